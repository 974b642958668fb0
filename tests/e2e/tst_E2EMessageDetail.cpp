// The alarm message detail end to end: alarms raised on orvane-sim, announced by the real page,
// opened from their desktop notice into the page's message dialog, and played by the main
// window of this process in its native video window; the picture's burnt-in clock tells what
// plays.
#undef QT_NO_KEYWORDS // the sim's media headers come with it; the client's headers use Qt's
#include "CommonUI/VideoBar/QMessageVideoBar.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "InProcessClient.h"
#include "MessageDetail/QMessageDetail.h"
#include "SimPicture.h"
#include "TestEnv.h"
#include "Toasts.h"
#include "Web/CWebMsgFactory.h"
#include "Web/CWebView.h"
#include "Web/OpenRecordMsg.h"
#include "Web/WndRectMsg.h"

#include <QCursor>
#include <QPushButton>
#include <QtTest>

class tst_E2EMessageDetail : public QObject
{
    Q_OBJECT

private:
    E2ESession m_session;
    std::unique_ptr<TesmarClient> m_client;
    QString m_error;

    DevToolsClient &page() { return m_session.page(); }
    QMessageDetail *detail() const { return m_client->findChild<QMessageDetail *>(); }
    QVideoWnd *wnd() const { return detail()->frame()->frame()->wnd(0); }

    bool waitFor(const QString &condition) { return page().waitFor(condition, &m_error); }
    QList<QJsonObject> calls(const QString &method) { return m_session.calls(method); }

    // Clicks the alarm's notice on the desktop and waits for the page's dialog.
    bool openFromNotice(const QJsonObject &alarm)
    {
        m_error = "no notice of the alarm on the desktop";
        QLabel *notice = nullptr;
        if (!QTest::qWaitFor([&] { return (notice = toastShowing(alarm["content"].toString())); },
                             15000))
            return false;
        QTest::mouseClick(notice, Qt::LeftButton);
        return waitFor(QString("document.querySelector('#message-detail[data-message=%1]')")
                           .arg(DevToolsClient::jsString(alarm["messageID"].toString())));
    }

    // Waits until window 0 plays the recording of the channel from the alarm's span.
    bool playsSpanOf(const QJsonObject &alarm)
    {
        const qint64 moment = qint64(alarm["timestamp"].toDouble()) / 1000;
        const qint64 end = moment + alarm["recordLength"].toInt();
        SimMedia::FrameStamp stamp;
        const bool plays = QTest::qWaitFor(
            [&] {
                stamp = stampOf(wnd());
                return wnd()->getVideoWndInfo().playType == 1
                    && stamp.deviceTag
                        == SimMedia::FrameStamp::tagOf(alarm["deviceId"].toString().toStdString())
                    && stamp.channel == alarm["channelId"].toInt() && stamp.seconds >= moment
                    && stamp.seconds <= end;
            },
            30000);
        m_error = QString("window 0 shows %1, not %2 to %3")
                      .arg(stamp.seconds)
                      .arg(moment)
                      .arg(end);
        return plays;
    }

private Q_SLOTS:
    void initTestCase()
    {
        STEP(InProcessClient::setUp(m_session, &m_error));
        QVERIFY(QFile::copy(TestEnv::buildBinDir() + "/WndSplit.xml", "WndSplit.xml"));
        STEP((m_client = InProcessClient::openWindow(m_session, &m_error))
             && m_session.logIn("demo", "demo123", &m_error)
             && m_session.alarmFeedWaits(&m_error));
        m_client->move(0, 0);
    }

    void cleanupTestCase()
    {
        m_client.reset();
        m_session.stop();
    }

    // A notice's click opens the dialog, which places the video and plays the recording around
    // the alarm; the bar follows the mouse; a second alarm replaces the first in the one window;
    // closing the dialog closes the video.
    void noticeOpensTheRecordingAroundTheAlarm()
    {
        const QJsonObject first
            = m_session.raiseAlarm({{"deviceId", "NVR0001A"}, {"channelId", 2}, {"moment", "recording"}});
        STEP(openFromNotice(first));
        QTRY_VERIFY(!calls("OpenRecord").isEmpty());
        const QJsonObject asked = calls("OpenRecord").last();
        QCOMPARE(asked["recordTime"].toDouble(), first["timestamp"].toDouble());
        QCOMPARE(asked["recordLengthOfTime"].toInt(), 30);
        QCOMPARE(asked["module"].toInt(), 3);
        QVERIFY(detail());
        QTRY_VERIFY(detail()->isVisible());
        const QJsonObject area = calls("SetWndRect").last();
        QCOMPARE(detail()->geometry(),
                 QRect(QPoint(area["left"].toInt(), area["top"].toInt()),
                       QPoint(area["right"].toInt() - 1, area["bottom"].toInt() - 1)));
        QVERIFY(detail()->height() > 100);
        QVERIFY(detail()->dialogRect().contains(detail()->videoRect()));
        STEP(playsSpanOf(first));

        // The bar shows while the mouse is over the video or the bar, and only then.
        QMessageVideoBar *bar = detail()->videoBar();
        QCursor::setPos(detail()->mapToGlobal(detail()->rect().center()));
        QTRY_VERIFY(bar->isVisible());
        QCOMPARE(bar->geometry().bottomLeft(),
                 detail()->mapToGlobal(detail()->rect().bottomLeft()));
        QCursor::setPos(bar->geometry().center());
        QTest::qWait(300);
        QVERIFY(bar->isVisible());
        // Its buttons pause and resume the recording and take the video to full screen and back.
        for (bool on : {true, false}) {
            QTest::mouseClick(bar->findChild<QPushButton *>("VB_Pause"), Qt::LeftButton);
            QTRY_COMPARE(wnd()->getVideoWndInfo().bPauseOn, on);
        }
        QCursor::setPos(m_client->mapToGlobal(QPoint(5, 5)));
        QTRY_VERIFY(!bar->isVisible());
        QCursor::setPos(detail()->mapToGlobal(detail()->rect().center()));
        QTRY_VERIFY(bar->isVisible());
        QTest::mouseClick(bar->findChild<QPushButton *>("VB_FullScreen"), Qt::LeftButton);
        QTRY_VERIFY(detail()->isFullScreen());
        detail()->onVideoBarBtnClick("VB_FullScreen", false);
        QTRY_COMPARE(detail()->geometry(), detail()->videoRect());
        QVERIFY(!detail()->isWindow());

        const QJsonObject second
            = m_session.raiseAlarm({{"deviceId", "IPC0002B"}, {"channelId", 1}, {"moment", "recording"}});
        QTRY_COMPARE(calls("MessageNotify").size(), 2);
        STEP(page()
                 .evaluate(QString("location.hash = '#/messageCenter?id=%1'")
                               .arg(second["messageID"].toString()),
                           &m_error)
                 .isString());
        STEP(playsSpanOf(second));
        QCOMPARE(detail()->frame()->frame()->wndCount(), 1);
        QCOMPARE(wnd()->getVideoWndInfo().channel.deviceID, QString("IPC0002B"));
        QCOMPARE(m_client->findChildren<QMessageDetail *>().size(), 1);

        STEP(page().click("#message-close", &m_error)
             && waitFor("!document.querySelector('#message-dialog')"));
        QTRY_VERIFY(!detail()->isVisible());
        QCOMPARE(calls("CloseVideo").last()["deviceID"].toString(), QString("IPC0002B"));
        QTRY_COMPARE(wnd()->getVideoState(), 0);
    }

    // An alarm between two recordings has nothing to play; one without a moment asks for the
    // records around the present.
    void gapAndPresentMoment()
    {
        const QJsonObject gap
            = m_session.raiseAlarm({{"deviceId", "NVR0001A"}, {"channelId", 3}, {"moment", "gap"}});
        QVERIFY(!gap.isEmpty());
        STEP(openFromNotice(gap));
        QTRY_VERIFY_WITH_TIMEOUT(shownToasts().contains("No Video Record"), 20000);
        QTRY_COMPARE(wnd()->getVideoState(), 0);

        QSignalSpy asked(detail()->frame(), &QVideoFrame::sgnStartQueryRecordNotify);
        QSignalSpy answered(detail()->frame(), &QVideoFrame::sgnEndQueryRecordNotify);
        QJsonObject params {
            {"module", 3},
            {"recordTime", 0},
            {"recordLengthOfTime", 30},
            {"channels", QJsonArray {QJsonObject {{"deviceID", "IPC0003C"}, {"channelID", 1}}}}};
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        const QRect area = detail()->videoRect();
        Web::CWebView *web = m_client->findChild<Web::CWebView *>();
        // The live view's rectangle is not this module's.
        web->PostRPCCall(
            Web::CWebMsgRef(Web::CWebMsgFactory::wndRect(
                                "SetWndRect", {{"module", 1}, {"right", 10}, {"bottom", 10}})
                                .get()));
        web->PostRPCCall(
            Web::CWebMsgRef(Web::CWebMsgFactory::openRecord("OpenRecord", params).get()));
        QTRY_COMPARE(asked.size(), 1);
        QCOMPARE(detail()->videoRect(), area);
        const qint64 queried
            = QDateTime::fromString(asked.first().at(2).toString(), "yyyy-MM-dd HH:mm:ss")
                  .toSecsSinceEpoch();
        QVERIFY2(qAbs(queried - now) <= 5, qPrintable(asked.first().at(2).toString()));
        QTRY_COMPARE_WITH_TIMEOUT(answered.size(), 1, 15000);
        const RecordQueryResult_t result = answered.first().first().value<RecordQueryResult_t>();
        QCOMPARE(result.queryType, QMessageDetail::kRecordQuery);
        QCOMPARE(QDateTime::fromSecsSinceEpoch(result.queryTime).date(), QDate::currentDate());
    }
};

int main(int argc, char *argv[])
{
    return InProcessClient::run<tst_E2EMessageDetail>(argc, argv);
}

#include "tst_E2EMessageDetail.moc"
