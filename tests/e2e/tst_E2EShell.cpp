// The client's main window in this process, on the platform's web application served by
// orvane-sim as a process, driven through DevTools as a user would: logging in stores the user,
// asks for the device-platform token and announces it; menus reach the tool bar and the module
// views; window buttons and a close from outside; alarm notices on the desktop whose click opens
// the message in the page and brings the window back.
#include "ConfigInfo/CBaseInfo.h"
#include "E2ESession.h"
#include "TesmarClient.h"
#include "TopToolBar/QTopToolBar.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>

#include <QApplication>
#include <QLabel>
#include <QSettings>
#include <QtTest>

#include <memory>

using ConfigInfo::CBaseInfo;

namespace {

const QString demoToken = "ut-demo-7f3a9c21";

// The visible alarm toasts' text labels, oldest (highest on the screen) first.
QList<QLabel *> alarmToasts()
{
    QList<QLabel *> labels;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && widget->objectName() == "KWMessageNotifyToast"
            && widget->property("kind").toString() == "link")
            labels << widget->findChild<QLabel *>("KWToastText");
    }
    std::sort(labels.begin(), labels.end(),
              [](QLabel *a, QLabel *b) { return a->window()->y() < b->window()->y(); });
    return labels;
}

} // namespace

#define STEP(done) QVERIFY2(done, qPrintable(failure()))

class tst_E2EShell : public QObject
{
    Q_OBJECT

private:
    E2ESession m_session;
    std::unique_ptr<TesmarClient> m_client;
    QString m_error;

    DevToolsClient &page() { return m_session.page(); }
    QString failure() { return m_error + "\npage console:\n" + page().console().join('\n'); }
    QTopToolBar *strip() const { return m_client->findChild<QTopToolBar *>(); }

    // Presses the left button on the strip at from and moves to to (strip coordinates).
    void dragStrip(const QPoint &from, const QPoint &to)
    {
        QMouseEvent press(QEvent::MouseButtonPress, from, strip()->mapToGlobal(from),
                          Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(strip(), &press);
        QMouseEvent move(QEvent::MouseMove, to, strip()->mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(strip(), &move);
        QMouseEvent release(QEvent::MouseButtonRelease, to, strip()->mapToGlobal(to),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(strip(), &release);
    }

    bool logIn() { return m_session.logIn("demo", "demo123", &m_error); }
    bool click(const QString &selector) { return page().click(selector, &m_error); }
    bool waitFor(const QString &condition) { return page().waitFor(condition, &m_error); }

    // Notifications of one method the page received from the client, oldest first.
    QList<QJsonObject> received(const QString &method)
    {
        QList<QJsonObject> found;
        for (const QJsonValue &note : page().notifications()) {
            if (note["method"].toString() == method)
                found << note.toObject();
        }
        return found;
    }

    // Requests of one method the page made of the client, oldest first.
    int callsOf(const QString &method)
    {
        int count = 0;
        for (const QJsonValue &call : page().calls())
            count += call["method"].toString() == method;
        return count;
    }

    // The page's alarm feed waits for news: an alarm raised now is announced.
    bool feedIsWaiting()
    {
        m_error = "the page's alarm feed does not poll the platform";
        return QTest::qWaitFor([this] { return m_session.simRequests("/gateway/message/list").size() >= 2; },
                               30000);
    }

    QJsonObject raiseAlarm(const QJsonObject &alarm)
    {
        return m_session.sim("POST", "/sim/alarms", alarm).json()["message"].toObject();
    }

private slots:
    void initTestCase()
    {
        STEP(m_session.startSim(&m_error));
        // The client of this process reads its settings from the program folder.
        QSettings local(QCoreApplication::applicationDirPath() + "/Localcfg.ini",
                        QSettings::IniFormat);
        const QVariantMap addresses = m_session.platformAddresses();
        for (auto it = addresses.cbegin(); it != addresses.cend(); ++it)
            local.setValue(it.key(), it.value());
        local.sync();
        KPrintLog::instance()->SetFile("./log/e2e");
        KWGUI::KWMessageNotify *notifier = KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance();
        notifier->StartMessageProcess();
        notifier->SetDisplayTime(120000);
        QApplication::setQuitOnLastWindowClosed(false);
    }

    // Every case starts with a new window on the login page, nobody logged in.
    void init()
    {
        CBaseInfo::Instance().setLogin(false);
        CBaseInfo::Instance().resetUserInfo();
        m_session.sim("POST", "/sim/requests/clear");
        m_client = std::make_unique<TesmarClient>();
        m_client->show();
        m_client->QueryClientVersion();
        STEP(page().connectToPage(m_session.simUrl(), &m_error)
             && waitFor("window.__orvane && window.__orvane.ready "
                        "&& document.querySelector('#login-form')"));
    }

    void cleanup()
    {
        m_client.reset();
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->objectName() == "KWMessageNotifyToast")
                widget->close();
        }
    }

    void cleanupTestCase() { m_session.stop(); }

    void logInStoresTheUserAndAsksForTheDeviceToken()
    {
        QSignalSpy token(&CBaseInfo::Instance(), &CBaseInfo::sgnVeltTokenChanged);
        QSignalSpy menus(strip(), &QTopToolBar::sgnMenuChange);
        STEP(logIn());

        QTRY_VERIFY(CBaseInfo::Instance().isLogin());
        QCOMPARE(CBaseInfo::Instance().getUserInfo().userName, QString("demo"));
        QCOMPARE(CBaseInfo::Instance().getUserInfo().userType, QString("admin"));
        QCOMPARE(CBaseInfo::Instance().getUserInfo().token, demoToken);
        QVERIFY(CBaseInfo::Instance().getMenuInfoMap().contains("videoSurveillance"));

        // The device-platform token is asked for with the user's token and announced.
        QTRY_VERIFY(!m_session.simRequests("/gateway/device/veltra/getTokenAndExpire").isEmpty());
        const QJsonObject asked
            = m_session.simRequests("/gateway/device/veltra/getTokenAndExpire").first().toObject();
        QCOMPARE(asked["headers"]["Authorization"].toString(), "Bearer " + demoToken);
        QTRY_COMPARE(token.size(), 1);
        QVERIFY(!token.first().first().toString().isEmpty());

        // The page opens its first menu, which the strip passes on from no menu.
        QTRY_COMPARE(menus.size(), 1);
        QCOMPARE(menus.first(), QVariantList({"", "videoSurveillance"}));
    }

    void menusReachTheStripAndTheModuleViews()
    {
        QList<QPointer<QWidget>> views;
        for (const QString path : {"videoSurveillance", "accessControl"}) {
            m_client->SetModuleFactory(path, [&views, path](QWidget *parent, auto *) {
                views << new QWidget(parent);
                views.last()->setObjectName(path);
                return views.last().data();
            });
        }
        QSignalSpy menus(strip(), &QTopToolBar::sgnMenuChange);
        QSignalSpy closed(strip(), &QTopToolBar::sgnMenuClose);
        QSignalSpy logout(strip(), &QTopToolBar::sgnLogout);
        STEP(logIn());
        STEP(click("#sidebar [data-menu=accessControl]")
             && waitFor("document.querySelector('.video-frame[data-module=\"2\"]')"));
        STEP(click("#sidebar [data-menu=messageCenter]"));
        STEP(click("#sidebar [data-menu=videoSurveillance]"));
        QTRY_COMPARE(menus.size(), 4);
        QCOMPARE(menus.at(1), QVariantList({"videoSurveillance", "accessControl"}));
        QCOMPARE(menus.at(2), QVariantList({"accessControl", "messageCenter"}));
        QCOMPARE(menus.at(3), QVariantList({"messageCenter", "videoSurveillance"}));
        // One view per menu that has a module, made once.
        QCOMPARE(views.size(), 2);

        // Closing the access-control tab deletes its view.
        STEP(click("#tabs [data-tab=accessControl] .tab-close"));
        QTRY_COMPARE(closed.size(), 1);
        QCOMPARE(closed.first().first().toString(), QString("accessControl"));
        QTRY_VERIFY(views[1].isNull());

        // Logging out deletes the others and clears the user.
        STEP(click("#user-chip") && waitFor("document.querySelector('#user-menu.open')")
             && click("#logout") && waitFor("document.querySelector('#login-form')"));
        QTRY_COMPARE(logout.size(), 1);
        QVERIFY(views[0].isNull());
        QVERIFY(!CBaseInfo::Instance().isLogin());
        QVERIFY(CBaseInfo::Instance().getUserInfo().userName.isEmpty());
    }

    void windowButtonsAndTheStrip()
    {
        const QString state = "document.querySelector('#win-fullscreen').dataset.on";
        STEP(click("#win-fullscreen"));
        QTRY_VERIFY(m_client->isMaximized());
        STEP(waitFor(state + " === 'true'"));
        QCOMPARE(received("FullScreen").size(), 1);
        QCOMPARE(received("FullScreen").first()["params"].toObject(),
                 QJsonObject({{"bFullScreen", true}}));

        // Dragging the strip does not move a maximised window; a double click restores it and
        // tells the page; then a drag moves the window by the drag.
        const QPoint maximised = m_client->pos();
        dragStrip({300, 10}, {350, 40});
        QCOMPARE(m_client->pos(), maximised);
        QTest::mouseDClick(strip(), Qt::LeftButton, {}, QPoint(400, 10));
        QTRY_VERIFY(!m_client->isMaximized());
        STEP(waitFor(state + " === 'false'"));
        QCOMPARE(received("FullScreen").size(), 2);
        const QPoint normal = m_client->pos();
        dragStrip({300, 10}, {340, 30});
        QCOMPARE(m_client->pos(), normal + QPoint(40, 20));

        STEP(click("#win-min"));
        QTRY_VERIFY(m_client->isMinimized());
    }

    void closeFromOutsideAsksThePageFirst()
    {
        STEP(logIn());
        QVERIFY(!m_client->close());
        QVERIFY(m_client->isVisible());
        STEP(waitFor("document.querySelectorAll('.dialog').length === 1"));
        QCOMPARE(received("RightClickCloseAPP").size(), 1);

        // The page's answer closes the window.
        STEP(click("#dialog-confirm"));
        QTRY_VERIFY(!m_client->isVisible());
    }

    void alarmNoticeClickOpensTheMessage()
    {
        STEP(logIn());
        STEP(feedIsWaiting());
        m_client->showMinimized();
        QTRY_VERIFY(m_client->isMinimized());

        const QJsonObject alarm
            = raiseAlarm({{"deviceId", "NVR0001A"}, {"channelId", 2}, {"messageType", 4}});
        const QString messageID = alarm["messageID"].toString();
        QVERIFY(!messageID.isEmpty());
        QTRY_COMPARE(alarmToasts().size(), 1);
        QCOMPARE(alarmToasts().first()->text(), alarm["content"].toString());

        QTest::mouseClick(alarmToasts().first(), Qt::LeftButton);
        QTRY_VERIFY(!m_client->isMinimized());
        QTRY_COMPARE(received("ReplyMessageNotify").size(), 1);
        QCOMPARE(received("ReplyMessageNotify").first()["params"].toObject(),
                 QJsonObject({{"messageID", messageID}}));
        STEP(waitFor(QString("document.querySelector('#message-detail[data-message=%1]')")
                         .arg(DevToolsClient::jsString(messageID))));
    }

    void elevenAlarmsKeepTheNewestTen()
    {
        STEP(logIn());
        STEP(feedIsWaiting());
        QStringList ids;
        for (int i = 0; i < 11; ++i) {
            ids << raiseAlarm({{"deviceId", "IPC0002B"}, {"messageType", 1}})["messageID"]
                       .toString();
            m_error = QString("alarm %1 was not announced to the client").arg(i + 1);
            STEP(QTest::qWaitFor([&] { return callsOf("MessageNotify") == i + 1; }, 15000));
        }
        // Five notices stay on screen; each still answers with its own message.
        QTRY_COMPARE(alarmToasts().size(), 5);
        QTest::mouseClick(alarmToasts().first(), Qt::LeftButton);
        QTest::mouseClick(alarmToasts().last(), Qt::LeftButton);
        QTRY_COMPARE(received("ReplyMessageNotify").size(), 2);
        QCOMPARE(received("ReplyMessageNotify")[0]["params"].toObject()["messageID"].toString(),
                 ids[6]);
        QCOMPARE(received("ReplyMessageNotify")[1]["params"].toObject()["messageID"].toString(),
                 ids[10]);
    }
};

int main(int argc, char *argv[])
{
    // Before the web engine starts: the DevTools port, and the contexts it shares.
    qputenv("QTWEBENGINE_REMOTE_DEBUGGING", QByteArray::number(DevToolsClient::defaultPort));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_E2EShell test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_E2EShell.moc"
