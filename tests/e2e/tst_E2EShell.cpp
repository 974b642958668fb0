// The client's main window in this process on the platform's page, served by orvane-sim and
// driven through DevTools as a user would, with a URL handler in place of the system browser.
#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoPlay/QVideoPlay.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "ConfigInfo/CBaseInfo.h"
#include "InProcessClient.h"
#include "LogText.h"
#include "RemoteDoor/CRemoteDoor.h"
#include "RemoteDoor/QRemoteDoor.h"
#include "SendMouse.h"
#include "Toasts.h"
#include "TopToolBar/QTopToolBar.h"
#include "UrlRecorder.h"
#include "VideoMonitor/QVideoMonitor.h"
#include "Web/CWebMsgFactory.h"
#include "Web/CWebView.h"
#include "Web/ChannelInfoMsg.h"

#include <StreamCore/IStreamCore.h>

#include <QDesktopServices>
#include <QPushButton>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

using ConfigInfo::CBaseInfo;

namespace {

const QString demoToken = "ut-demo-7f3a9c21";
const QString tokenPath = "/gateway/device/veltra/getTokenAndExpire";
const QString failedOpen = "Failed to open device configuration page,please try again";

// A device's page through the relay at 127.0.0.1:port.
SyncHttp::Reply device(int port, const QString &path, const QByteArray &form = {})
{
    return SyncHttp::send(form.isEmpty() ? "GET" : "POST",
                          QUrl(QString("http://127.0.0.1:%1%2").arg(port).arg(path)), form, 15000,
                          "application/x-www-form-urlencoded");
}

} // namespace

class tst_E2EShell : public QObject
{
    Q_OBJECT

private:
    E2ESession m_session;
    std::unique_ptr<TesmarClient> m_client;
    UrlRecorder m_browser;
    QString m_error;

    DevToolsClient &page() { return m_session.page(); }
    QTopToolBar *strip() const { return m_client->findChild<QTopToolBar *>(); }
    Web::CWebView *web() const { return m_client->findChild<Web::CWebView *>(); }

    bool logIn() { return m_session.logIn("demo", "demo123", &m_error); }
    bool click(const QString &selector) { return page().click(selector, &m_error); }
    bool waitFor(const QString &condition) { return page().waitFor(condition, &m_error); }
    bool clickAndWait(const QString &selector, const QString &condition)
    {
        return click(selector) && waitFor(condition);
    }

    QList<QJsonObject> calls(const QString &method) { return m_session.calls(method); }
    QList<QJsonObject> received(const QString &method) { return m_session.received(method); }
    QJsonObject raiseAlarm(const QJsonObject &alarm) { return m_session.raiseAlarm(alarm); }

    QString webState(const QString &device)
    {
        return page()
            .evaluate(QString("(document.querySelector('tr[data-device=%1] [data-web-state]') "
                              "|| {dataset: {}}).dataset.webState || ''")
                          .arg(device))
            .toString();
    }

    // Logs in (with a token the client keeps, unless the gateway refuses it), shows the devices
    // page and waits until the client has fetched the device list with the token.
    bool openDevices()
    {
        if (!logIn() || !click("#sidebar [data-menu=deviceList]")
            || !waitFor("document.querySelector('tr[data-device=NVR0001A] button')"))
            return false;
        m_error = "the client did not fetch the device list";
        return QTest::qWaitFor([this] {
            return !m_session.simRequests("/gateway/device/veltra/deviceList").isEmpty();
        });
    }

    // Asks for a device's page and waits for the page's answer ("open" or "failed").
    QString openWeb(const QString &device)
    {
        if (!click(QString("tr[data-device=%1] [data-action=open-web]").arg(device)))
            return m_error;
        waitFor(QString("['open','failed'].includes(document.querySelector("
                        "'tr[data-device=%1] [data-web-state]').dataset.webState)")
                    .arg(device));
        return webState(device);
    }

private slots:
    void initTestCase()
    {
        STEP(InProcessClient::setUp(m_session, &m_error));
        QDesktopServices::setUrlHandler("http", &m_browser, "open");
        QDesktopServices::setUrlHandler("https", &m_browser, "open");
        // A silent device fails in 1.5 s instead of 10.
        StreamCore::IStreamCore::GetInstance()->SetTimeouts(1500, 0);
    }

    // Every case starts with a new window on the login page, nobody logged in.
    void init()
    {
        KSingleton<CBaseInfo>::Reset(); // nobody logged in, no device-platform token
        m_session.sim("POST", "/sim/requests/clear");
        m_browser.urls.clear();
        STEP(InProcessClient::openWindow(m_session, m_client, &m_error)
             && waitFor("document.querySelector('#login-form')"));
        m_client->QueryClientVersion();
    }

    void cleanup()
    {
        m_client.reset();
        closeToasts();
        m_session.sim("POST", "/sim/faults/clear");
        m_session.sim("POST", "/sim/devices/web");
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
        m_session.stop();
    }

    void menusTabsAndLogOut()
    {
        QSignalSpy menus(strip(), &QTopToolBar::sgnMenuChange);
        QSignalSpy closed(strip(), &QTopToolBar::sgnMenuClose);
        QSignalSpy logout(strip(), &QTopToolBar::sgnLogout);
        STEP(logIn());
        QTRY_VERIFY(CBaseInfo::Instance().isLogin());
        QCOMPARE(CBaseInfo::Instance().getUserInfo().token, demoToken);
        STEP(clickAndWait("#sidebar [data-menu=accessControl]",
                          "document.querySelector('.video-frame[data-module=\"2\"]')"));
        STEP(click("#sidebar [data-menu=messageCenter]"));
        // A click on the menu already shown announces nothing; a tab link switches back. The
        // first menu is passed on from no menu.
        STEP(click("#sidebar [data-menu=messageCenter]"));
        STEP(clickAndWait("#tabs [data-tab=videoSurveillance] a",
                          "document.querySelector('.video-frame[data-module=\"1\"]')"));
        QTRY_COMPARE(menus.size(), 4);
        QCOMPARE(menus,
                 QList<QVariantList>({{"", "videoSurveillance"},
                                      {"videoSurveillance", "accessControl"},
                                      {"accessControl", "messageCenter"},
                                      {"messageCenter", "videoSurveillance"}}));
        // A menu's view is made once, hidden while another menu shows, and goes with its tab.
        QCOMPARE(m_client->findChildren<QVideoMonitor *>().size(), 1);
        QCOMPARE(m_client->findChildren<QRemoteDoor *>().size(), 1);
        QVERIFY(!m_client->findChild<QRemoteDoor *>()->isVisible());

        // Closing the tab shown moves on to its neighbour; the last tab stays.
        STEP(clickAndWait("#tabs [data-tab=accessControl] .tab-close",
                          "!document.querySelector('#tabs [data-tab=accessControl]')"));
        STEP(clickAndWait("#tabs [data-tab=videoSurveillance] .tab-close",
                          "location.hash === '#/messageCenter'"));
        QTRY_COMPARE(closed.size(), 2);
        QCOMPARE(closed.at(0).first().toString(), QString("accessControl"));
        QCOMPARE(closed.at(1).first().toString(), QString("videoSurveillance"));
        QVERIFY(!m_client->findChild<QRemoteDoor *>() && !m_client->findChild<QVideoMonitor *>());
        QTRY_COMPARE(menus.size(), 5);
        QCOMPARE(menus.last().last().toString(), QString("messageCenter"));

        // Logging out clears the user and ends the platform session.
        STEP(clickAndWait("#user-chip", "document.querySelector('#user-menu.open')")
             && clickAndWait("#logout", "document.querySelector('#login-form')"));
        QTRY_COMPARE(logout.size(), 1);
        QVERIFY(!CBaseInfo::Instance().isLogin());
        QVERIFY(CBaseInfo::Instance().getUserInfo().userName.isEmpty());
        QTRY_COMPARE(m_session.simRequests("/gateway/auth/logout").size(), 1);
        QCOMPARE(m_session.simRequests("/gateway/auth/logout")
                     .first()["headers"]["Authorization"]
                     .toString(),
                 "Bearer " + demoToken);
    }

    void aboutPageShowsTheClientAndSendsNotices()
    {
        STEP(logIn());
        STEP(clickAndWait("#user-chip", "document.querySelector('#user-menu.open')"));
        STEP(clickAndWait("#user-menu a[href='#/about']",
                          "document.querySelector('[data-field=version]').textContent !== ''"));
        QTRY_COMPARE(received("ReplyClientInfo").size(), 2); // at start-up and for the page
        const QJsonObject info = received("ReplyClientInfo").last();
        for (const QString field : {"macAddr", "version", "sysVersion"})
            QCOMPARE(page().text(QString("[data-field=%1]").arg(field)), info[field].toString());
        QCOMPARE(page().text("[data-field=sysBit]"), QString("%1-bit").arg(info["sysBit"].toInt()));

        // A notice reaches the desktop.
        STEP(page().type("#notice-text", "Shift change at 18:00", &m_error)
             && click("#notice-send"));
        QTRY_COMPARE(shownToasts("text"), QStringList({"Shift change at 18:00"}));
        QCOMPARE(calls("TextNotify"), QList<QJsonObject>({{{"content", "Shift change at 18:00"}}}));
    }

    void windowButtonsAndTheStrip()
    {
        const QString state = "document.querySelector('#win-fullscreen').dataset.on";
        STEP(click("#win-fullscreen"));
        QTRY_VERIFY(m_client->isMaximized());
        STEP(waitFor(state + " === 'true'"));
        QCOMPARE(received("FullScreen"), QList<QJsonObject>({{{"bFullScreen", true}}}));

        // A double click on the strip restores the window and tells the page; a drag moves the
        // window by the drag (that a maximised one stays is the strip's own test).
        QTest::mouseDClick(strip(), Qt::LeftButton, {}, QPoint(400, 10));
        QTRY_VERIFY(!m_client->isMaximized());
        STEP(waitFor(state + " === 'false'"));
        QCOMPARE(received("FullScreen").size(), 2);
        const QPoint normal = m_client->pos();
        dragMouse(strip(), strip()->mapToGlobal(QPoint(300, 10)),
                  strip()->mapToGlobal(QPoint(340, 30)));
        QCOMPARE(m_client->pos(), normal + QPoint(40, 20));

        // The console's buttons do the same.
        STEP(click("#win-fullscreen") && waitFor(state + " === 'true'") && logIn());
        STEP(click("#win-fullscreen") && waitFor(state + " === 'false'"));
        QVERIFY(!m_client->isMaximized());
        QCOMPARE(calls("FullScreen").last(), QJsonObject({{"bFullScreen", false}}));
        STEP(click("#win-min"));
        QTRY_VERIFY(m_client->isMinimized());
        m_client->showNormal();
        STEP(click("#win-close"));
        QTRY_VERIFY(!m_client->isVisible());
    }

    void closeFromOutsideAsksThePageFirst()
    {
        STEP(logIn());
        // Asked twice while the question is open, the page shows it once (the notification after
        // both shows they were handled); its answer closes the window. (Cancel: tst_E2ELiveView.)
        QVERIFY(!m_client->close());
        m_client->close();
        web()->FullScreen(true);
        STEP(waitFor("document.querySelector('#win-fullscreen').dataset.on === 'true'"));
        QCOMPARE(page().evaluate("document.querySelectorAll('.dialog').length").toInt(), 1);
        QCOMPARE(received("RightClickCloseAPP").size(), 2);
        QVERIFY(m_client->isVisible());
        STEP(click("#dialog-confirm"));
        QTRY_VERIFY(!m_client->isVisible());
        QCOMPARE(calls("CloseApp").size(), 1);
    }

    void alarmNoticeClickOpensTheMessage()
    {
        STEP(logIn());
        STEP(m_session.alarmFeedWaits(&m_error));
        m_client->showMinimized();
        QTRY_VERIFY(m_client->isMinimized());

        const QJsonObject alarm
            = raiseAlarm({{"deviceId", "NVR0001A"}, {"channelId", 2}, {"messageType", 4}});
        const QString messageID = alarm["messageID"].toString();
        QTRY_COMPARE(shownToasts("link"), QStringList({"Harbour Street, Till: Door opened"}));
        QCOMPARE(calls("MessageNotify"),
                 QList<QJsonObject>({{{"content", "Harbour Street, Till: Door opened"},
                                      {"messageType", 4},
                                      {"messageID", messageID}}}));

        QTest::mouseClick(toastText(shownToastWindows("link").first()), Qt::LeftButton);
        QTRY_VERIFY(!m_client->isMinimized());
        QTRY_COMPARE(received("ReplyMessageNotify"),
                     QList<QJsonObject>({{{"messageID", messageID}}}));
        STEP(waitFor(QString("document.querySelector('#message-detail[data-message=%1]')")
                         .arg(DevToolsClient::jsString(messageID))));

        // A notice that rolled out of the client's list answers without a messageID.
        web()->ReplyMessageNotify("");
        STEP(waitFor("document.querySelector('#message-none')"));
        QCOMPARE(calls("MessageNotify").size(), 1);
    }

    void endedSessionReturnsToTheLogin()
    {
        QSignalSpy logout(strip(), &QTopToolBar::sgnLogout);
        STEP(logIn());
        STEP(m_session.alarmFeedWaits(&m_error));
        QTRY_VERIFY(m_client->findChild<QVideoMonitor *>());
        m_session.sim("POST", "/sim/tokens/expire", {{"scope", "sessions"}});
        raiseAlarm({}); // answers the waiting poll; the next one is refused
        STEP(waitFor("document.querySelector('#login-message:not(.hidden)')"));
        QVERIFY(page().text("#login-message").contains("session has ended"));
        QTRY_COMPARE(logout.size(), 1);
        QVERIFY(!CBaseInfo::Instance().isLogin());
        QVERIFY(!m_client->findChild<QVideoMonitor *>()); // the views go with the user
    }

    // A door station chosen on the access-control page plays, its picture reaches the page, and
    // the door button opens only a door the module opened; device news; leaving closes it.
    void remoteDoorPlaysSendsItsPictureAndOpens()
    {
        STEP(logIn() && click("#sidebar [data-menu=accessControl]")
             && waitFor("document.querySelector('#door-list [data-device=DS0005E]')")
             && click("#door-list [data-device=DS0005E]")
             && page().waitFor("window.__orvane.notifications.some((n) => n.method === "
                               "'SendFileData')",
                               &m_error, 30000));
        const QJsonObject sent = received("SendFileData").first();
        QCOMPARE(sent["DeviceId"].toString(), QString("DS0005E"));
        QCOMPARE(sent["ChannelId"].toInt(), 1);
        QVERIFY(
            !QImage::fromData(QByteArray::fromBase64(sent["fileData"].toString().toLatin1()), "JPG")
                 .isNull());
        STEP(waitFor("!document.querySelector('#door-picture').hidden"));

        auto *door = m_client->findChild<QRemoteDoor *>();
        QVERIFY(door && door->isVisible());
        QPushButton *openDoor = door->play()->bar()->findChild<QPushButton *>("VB_OpenDoor");
        openDoor->click();
        STEP(waitFor("document.querySelector('#door-result').dataset.outcome === 'opened'"));
        const QJsonArray opened = m_session.simRequests("/gateway/device/door/openDoor");
        QCOMPARE(opened.size(), 1);
        QCOMPARE(QJsonDocument::fromJson(opened[0]["body"].toString().toUtf8()).object(),
                 QJsonObject({{"deviceId", "DS0005E"}, {"channelId", 1}}));

        QSignalSpy notes(web(), &Web::CWebView::sgnRPCNotify);
        const QJsonObject camera {{"deviceID", "IPC0003C"}, {"channelID", 1}};
        door->play()->frame()->openVideo(0, Web::CWebMsgFactory::channel(camera));
        openDoor->click();
        QVERIFY(logText().contains("door not opened: window 0 shows no channel of the door"));
        QVERIFY(std::none_of(notes.cbegin(), notes.cend(), [](const QList<QVariant> &note) {
            return note.first().toString().contains("RemoteOpenDoor");
        }));

        // News of another channel leave the window alone, "offline" closes it; a request
        // without a channel is refused.
        const auto deliver = [door](const auto &msg) {
            door->controller()->onRPCCall(msg.get());
        };
        QJsonObject news {{"status", "delete"}, {"deviceID", "DS0005E"}, {"channelID", 2}};
        deliver(Web::CWebMsgFactory::deviceStatus("NotifyDeviceStatus", news));
        QVERIFY(door->play()->frame()->frame()->wnd(0)->getVideoState() != 0);
        news["status"] = "offline";
        deliver(Web::CWebMsgFactory::deviceStatus("NotifyDeviceStatus", news));
        QCOMPARE(door->play()->frame()->frame()->wnd(0)->getVideoState(), 0);
        deliver(Web::CWebMsgFactory::openVideo("OpenVideo",
                                               {{"module", 2}, {"channels", QJsonArray()}}));
        QVERIFY(logText().contains("OpenVideo for the door refused: no channel"));

        STEP(click("#sidebar [data-menu=videoSurveillance]"));
        QTRY_VERIFY(!door->isVisible());
    }

    void devicePagesOpenThroughTheRelay()
    {
        STEP(openDevices());
        QCOMPARE(openWeb("NVR0001A"), QString("open"));
        QCOMPARE(openWeb("IPC0002B"), QString("open"));
        QCOMPARE(m_browser.urls.size(), 2);
        const int recorder = m_browser.urls[0].port(), camera = m_browser.urls[1].port();
        QCOMPARE(m_browser.urls[0], QUrl(QString("http://127.0.0.1:%1").arg(recorder)));
        QVERIFY(recorder > 0 && camera > 0 && recorder != camera);
        QVERIFY(device(recorder, "/").body.contains("<span id=\"deviceId\">NVR0001A</span>"));
        QVERIFY(device(camera, "/").body.contains("<span id=\"deviceId\">IPC0002B</span>"));

        // The picture arrives whole; the form saves.
        const QByteArray picture = device(recorder, "/snapshot.bmp").body;
        QVERIFY(picture.startsWith("BM"));
        QCOMPARE(picture.size(), 54 + 160 * 90 * 3);
        QCOMPARE(device(recorder, "/settings", "name=Back+office+NVR&ntp=ntp.example").status, 303);
        QVERIFY(device(recorder, "/settings?saved=1").body.contains("value=\"Back office NVR\""));

        // A browser that goes away in the middle of a download costs only its connection.
        QTcpSocket leaving;
        leaving.connectToHost("127.0.0.1", quint16(recorder));
        leaving.write("GET /recording.bin?bytes=50000000 HTTP/1.1\r\nHost: x\r\n\r\n");
        QVERIFY(leaving.waitForReadyRead(5000));
        QVERIFY(leaving.read(4096).startsWith("HTTP/1.1 200"));
        leaving.abort();
        QVERIFY(device(recorder, "/").body.contains("NVR0001A"));
        QCOMPARE(m_session.received("WebP2pState"),
                 QList<QJsonObject>({{{"state", 1}}, {{"state", 1}}}));
    }

    void devicesThatCannotBeReachedFail()
    {
        STEP(openDevices());
        // IPC0004D is offline in the device file; the others are switched.
        m_session.sim("POST", "/sim/devices/web", {{"deviceId", "IPC0002B"}, {"state", "refuse"}});
        m_session.sim("POST", "/sim/devices/web", {{"deviceId", "IPC0003C"}, {"state", "silent"}});
        for (const QString device : {"IPC0004D", "IPC0002B", "IPC0003C"})
            QCOMPARE(openWeb(device), QString("failed"));
        QVERIFY(m_browser.urls.isEmpty());
        QVERIFY(shownToasts().contains(failedOpen));
        // Back online, the same device opens.
        m_session.sim("POST", "/sim/devices/web", {{"deviceId", "IPC0002B"}, {"state", "online"}});
        QCOMPARE(openWeb("IPC0002B"), QString("open"));
    }

    void withoutATokenTheUserIsToldAndATokenIsAskedFor()
    {
        STEP(openDevices());
        // The token is gone (a new store) and the gateway gives none.
        m_session.sim(
            "POST", "/sim/faults",
            {{"path", tokenPath}, {"action", "status"}, {"status", 500}, {"sticky", true}});
        const ConfigInfo::UserInfo user = CBaseInfo::Instance().getUserInfo();
        KSingleton<CBaseInfo>::Reset();
        CBaseInfo::Instance().setUserInfo(user);
        const int asked = m_session.simRequests(tokenPath).size();
        STEP(click("tr[data-device=NVR0001A] [data-action=open-web]"));
        QTRY_VERIFY(shownToasts().contains("P2P init configuration fail,please try again"));
        QVERIFY(shownToasts().contains("Failed to Get VeltToken,Please try again later!"));
        QTRY_COMPARE(m_session.simRequests(tokenPath).size(), asked + 1);
        QCOMPARE(m_session.simRequests(tokenPath).last()["headers"]["Authorization"].toString(),
                 "Bearer " + user.token);
        QCOMPARE(webState("NVR0001A"), QString("opening")); // no answer without a token
    }

    void pageLinksTokenRefreshAndProfile()
    {
        STEP(openDevices());
        QTRY_COMPARE(m_session.simRequests(tokenPath).size(), 1);
        STEP(click("#refresh-device-access"));
        QTRY_COMPARE(m_session.simRequests(tokenPath).size(), 2);

        STEP(click("#user-chip") && click("#user-menu a[href='#/about']") && click("#help-link")
             && click("#vendor-link") && click("#console-in-browser"));
        QTRY_COMPARE(m_browser.urls.size(), 3);
        QCOMPARE(m_browser.urls[0], QUrl(m_session.simUrl() + "/help.html"));
        QCOMPARE(m_browser.urls[1], QUrl("https://www.orvane.example/"));
        QCOMPARE(m_browser.urls[2], QUrl(m_session.simUrl() + "/#/login"));
        QVERIFY(!m_browser.offItsThread); // opened from the GUI thread, not the queue's worker

        STEP(click("#user-chip") && click("#profile-link")
             && page().type("#profile-name", "Store manager", &m_error)
             && click("[data-colour='#1f9d6b']") && click("#profile-save"));
        QTRY_COMPARE(CBaseInfo::Instance().getUserInfo().userName, QString("Store manager"));
        QVERIFY(CBaseInfo::Instance().getUserInfo().userPhoto.startsWith("data:image/svg+xml"));
        QCOMPARE(page().text("#user-chip .user-name"), QString("Store manager"));
    }
};

int main(int argc, char *argv[])
{
    return InProcessClient::run<tst_E2EShell>(argc, argv);
}

#include "tst_E2EShell.moc"
