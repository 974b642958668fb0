// The video window's siren and white light against the reference platform's gateway, its day
// cache and its failure texts: everything of the controller that needs no stream.
#include "Common/CGlobalEvent.h"
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CLocalCfg.h"
#include "Toasts.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>

#include <AbilityRoutes.h>
#include <SimServer.h>

#include <QApplication>
#include <QJsonDocument>
#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QtTest>

namespace {

// Sends a request of the platform's control API and waits for its answer.
bool control(const QString &url, const QByteArray &body)
{
    QNetworkAccessManager manager;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    QNetworkReply *reply = manager.post(request, body);
    QSignalSpy finished(reply, &QNetworkReply::finished);
    const bool ok = finished.wait(5000) && reply->error() == QNetworkReply::NoError;
    delete reply;
    return ok;
}

ChannelInfo_t nvrChannel(const QString &devAbility)
{
    ChannelInfo_t channel;
    channel.deviceID = "NVR0001A";
    channel.channelID = 1;
    channel.devAbility = devAbility;
    return channel;
}

} // namespace

class tst_VideoWndGateway : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_sim.start(SimServerOptions(), &error), qPrintable(error));
        ConfigInfo::UserInfo user;
        user.token = m_sim.login("demo", "demo123");
        ConfigInfo::CBaseInfo::Instance().setUserInfo(user);
        ConfigInfo::CLocalCfg::Instance().SetPlatformUrl(m_sim.httpUrl());
        KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->StartMessageProcess();
        Common::CGlobalEvent *hub = Common::CGlobalEvent::Instance();
        connect(hub, &Common::CGlobalEvent::sgnUpdateSoundAlarmBtnState, this,
                [this](int wnd, bool on, int left) {
                    m_hub << QString("siren %1 %2 %3").arg(wnd).arg(on).arg(left);
                });
        connect(hub, &Common::CGlobalEvent::sgnUpdateLightAlarmBtnState, this,
                [this](int wnd, bool on) { m_hub << QString("light %1 %2").arg(wnd).arg(on); });
    }

    void init()
    {
        m_hub.clear();
        m_sim.faults().clear();
        m_sim.requestLog().clear();
        QVERIFY(control(m_sim.httpUrl() + "/sim/abilities/clear", "{}"));
    }

    void answersSwitchTheAlarms_data()
    {
        QTest::addColumn<bool>("siren");
        QTest::addColumn<QString>("devAbility");
        QTest::addColumn<QString>("setting"); // of the platform's control API, for NVR0001A
        QTest::addColumn<QString>("sentBody");
        QTest::addColumn<QStringList>("hub");
        QTest::addColumn<bool>("flag");
        const QString siren = R"({"deviceId":"NVR0001A"%1})";
        const QString light
            = R"({"deviceId":"NVR0001A","enableType":"whiteLight","enable":true%1})";
        QTest::newRow("siren for 3 s counts down")
            << true << ""
            << R"("sirenSeconds":3)" << siren.arg(QString())
            << QStringList {"siren 4 1 3", "siren 4 1 2", "siren 4 1 1", "siren 4 0 0"} << false;
        QTest::newRow("siren of a channel takes the channel's time")
            << true << "ChnSiren"
            << R"("channelId":1,"sirenSeconds":1)" << siren.arg(R"(,"channels":["1"])")
            << QStringList {"siren 4 1 1", "siren 4 0 0"} << false;
        QTest::newRow("refused siren is undone")
            << true << ""
            << R"("code":"1")" << siren.arg(QString()) << QStringList {"siren 4 0 0"} << false;
        QTest::newRow("white light of a channel")
            << false << "ChnWhiteLight"
            << "" << light.arg(R"(,"channelId":1)") << QStringList() << true;
        QTest::newRow("refused white light is undone")
            << false << ""
            << R"("code":"1")" << light.arg(QString()) << QStringList {"light 4 0"} << false;
    }

    void answersSwitchTheAlarms()
    {
        QFETCH(bool, siren);
        QFETCH(QString, devAbility);
        QFETCH(QString, setting);
        QFETCH(QString, sentBody);
        QFETCH(QStringList, hub);
        QFETCH(bool, flag);
        const QString path
            = siren ? AbilityRoutes::sirenStartPath : AbilityRoutes::cameraStatusPath;
        if (!setting.isEmpty())
            QVERIFY(control(m_sim.httpUrl() + "/sim/abilities",
                            R"({"deviceId":"NVR0001A",)" + setting.toUtf8() + "}"));
        CVideoWnd wnd(nullptr, 4);
        wnd.alarms().setSirenStepMs(20);
        VideoWndInfo_t info = wnd.getVideoWndInfo();
        info.channel = nvrChannel(devAbility);
        wnd.setVideoWndInfo(info);
        const QString sentAt = QDateTime::currentDateTime().toString("yyyyMMddThhmm");
        QCOMPARE(siren ? wnd.alarms().openSoundAlarm(true) : wnd.alarms().openLightAlarm(true), 0);
        QTRY_COMPARE(m_sim.requestLog().requests(path).size(), 1);
        const SimRequest sent = m_sim.requestLog().requests(path).first();
        QJsonObject body = QJsonDocument::fromJson(sent.body).object();
        if (siren)
            QCOMPARE(body.take("clientLocalTime").toString(), sentAt);
        QCOMPARE(body, QJsonDocument::fromJson(sentBody.toUtf8()).object());
        QCOMPARE(sent.header("Authorization"), QByteArray("Bearer ut-demo-7f3a9c21"));
        QTRY_COMPARE(m_hub, hub);
        const VideoWndInfo_t after = wnd.getVideoWndInfo();
        QCOMPARE(siren ? after.bSoundAlarmOn : after.bLightAlarmOn, flag);
        if (setting.contains("code"))
            QTRY_VERIFY(shownToasts().contains("request fail!"));
    }

    void strayAnswersAreIgnored_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("not JSON") << "openSoundAlarm_NVR0001A_1" << QByteArray("{\"code\":");
        QTest::newRow("unknown request")
            << "openFogAlarm_NVR0001A_1" << QByteArray(R"({"code":"1"})");
        QTest::newRow("another channel")
            << "openSoundAlarm_NVR0001A_2" << QByteArray(R"({"code":"1"})");
        QTest::newRow("no channel") << "openLightAlarm" << QByteArray(R"({"code":"1"})");
    }

    void strayAnswersAreIgnored()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, body);
        CVideoWnd wnd(nullptr, 2);
        VideoWndInfo_t info = wnd.getVideoWndInfo();
        info.channel = nvrChannel("");
        info.bSoundAlarmOn = info.bLightAlarmOn = true;
        wnd.setVideoWndInfo(info);
        wnd.alarms().onNetWorkReadyRead(body, name);
        wnd.alarms().onNetWorkFinished(name);
        QVERIFY(wnd.getVideoWndInfo().bSoundAlarmOn && wnd.getVideoWndInfo().bLightAlarmOn);
        QCOMPARE(m_hub, QStringList());
    }

    void dayCacheKeepsThreeNeighbouringDays_data()
    {
        QTest::addColumn<QStringList>("cached");
        QTest::addColumn<QString>("added");
        QTest::addColumn<QStringList>("kept");
        const QStringList three {"2026-01-02", "2026-01-04", "2026-01-06"};
        QTest::newRow("earlier than all drops the latest")
            << three << "2026-01-01" << QStringList {"2026-01-01", "2026-01-02", "2026-01-04"};
        QTest::newRow("later than all drops the earliest")
            << three << "2026-01-07" << QStringList {"2026-01-04", "2026-01-06", "2026-01-07"};
        QTest::newRow("before the third drops the earliest")
            << three << "2026-01-05" << QStringList {"2026-01-04", "2026-01-05", "2026-01-06"};
        QTest::newRow("a cached day is replaced") << three << "2026-01-04" << three;
        QTest::newRow("fewer than three grow") << QStringList {"2026-01-04"} << "2026-01-02"
                                               << QStringList {"2026-01-02", "2026-01-04"};
    }

    void dayCacheKeepsThreeNeighbouringDays()
    {
        QFETCH(QStringList, cached);
        QFETCH(QString, added);
        QFETCH(QStringList, kept);
        CVideoWnd wnd(nullptr, 0);
        RecordQueryResult_t result;
        result.wndIndex = 0;
        for (const QString &day : cached)
            wnd.addRecordResult(day, result);
        result.queryType = 7;
        wnd.addRecordResult(added, result);
        QCOMPARE(wnd.cachedDays(), kept);
        QCOMPARE(wnd.getRecordResult(added).queryType, 7);
        for (const QString &day : cached) // an evicted day answers the default record
            QCOMPARE(wnd.getRecordResult(day).wndIndex == 0, kept.contains(day));
    }

    void failureTexts()
    {
        CVideoWnd wnd(nullptr, 0);
        const QList<QPair<QPair<QString, int>, QString>> cases {
            {{"100", 0}, "[100,0]User information exception!"},
            {{"100", 1}, "[100,1]Playback failure!"},
            {{"11", 1}, "[11,1]playback timeout!"},
            {{"11", 0}, "[11,0]Playback failure!"}};
        for (const auto &c : cases)
            QCOMPARE(wnd.errorText(c.first.first, c.first.second), c.second);
    }

private:
    SimServer m_sim;
    QStringList m_hub;
};

QTEST_MAIN(tst_VideoWndGateway)
#include "tst_VideoWndGateway.moc"
