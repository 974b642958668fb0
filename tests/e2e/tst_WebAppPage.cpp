// The platform's web application in a real web engine, served by orvane-sim as a process and
// driven through DevTools. A web view of this test plays the client: its channel object
// "server" records every request the page makes and sends the notifications the client would.
#include "DeviceFile.h"
#include "E2ESession.h"

#include <QApplication>
#include <QJsonDocument>
#include <QWebChannel>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QtTest>

namespace {

const QString demoToken = "ut-demo-7f3a9c21";

} // namespace

// The channel object "server" as the client offers it: RPCCall takes a request text,
// RPCNotify sends a notification envelope. Client information is answered as the client does.
class PageServer : public QObject
{
    Q_OBJECT

public:
    QList<QJsonObject> requests;

    // The requests of one method, oldest first.
    QList<QJsonObject> requestsOf(const QString &method) const
    {
        QList<QJsonObject> found;
        for (const QJsonObject &request : requests) {
            if (request.value("method").toString() == method)
                found << request;
        }
        return found;
    }

    QStringList methods() const
    {
        QStringList names;
        for (const QJsonObject &request : requests)
            names << request.value("method").toString();
        return names;
    }

    void notify(const QString &method, const QJsonObject &params = {})
    {
        const QJsonObject envelope {{"result", true},
                                    {"id", ++m_lastId},
                                    {"async", false},
                                    {"method", method},
                                    {"params", params}};
        emit RPCNotify(QString::fromUtf8(QJsonDocument(envelope).toJson(QJsonDocument::Compact)));
    }

    static QJsonObject clientInfo()
    {
        return {{"macAddr", "52:54:00:12:34:56"},
                {"version", "V1.001.0000000.0.R"},
                {"sysVersion", "unKnow"},
                {"sysBit", 64}};
    }

public slots:
    void RPCCall(const QString &json)
    {
        const QJsonObject request = QJsonDocument::fromJson(json.toUtf8()).object();
        requests << request;
        const QString method = request.value("method").toString();
        if (method == "WebInited" || method == "GetClientInfo")
            notify("ReplyClientInfo", clientInfo());
    }

signals:
    void RPCNotify(const QString &json);

private:
    int m_lastId = 0;
};

// Checks a page step; a failure names its reason and the page's console.
#define STEP(done) QVERIFY2(done, qPrintable(failure()))

class tst_WebAppPage : public QObject
{
    Q_OBJECT

private:
    E2ESession m_session;
    PageServer m_server;
    QWebChannel m_channel;
    std::unique_ptr<QWebEngineView> m_view;
    QString m_error; // reason of the last page step that failed

    DevToolsClient &page() { return m_session.page(); }

    QString failure() { return m_error + "\npage console:\n" + page().console().join('\n'); }

    bool logIn(const QString &userName = "demo", const QString &password = "demo123")
    {
        return m_session.logIn(userName, password, &m_error);
    }

    bool clickAndWait(const QString &selector, const QString &condition)
    {
        return page().click(selector, &m_error) && page().waitFor(condition, &m_error);
    }

    bool waitFor(const QString &condition) { return page().waitFor(condition, &m_error); }

    // Waits until the page's alarm feed waits for news: its first poll has been answered and
    // the next one is open, so that an alarm raised now is announced.
    bool feedIsWaiting()
    {
        m_error = "the page's alarm feed does not poll the platform";
        return QTest::qWaitFor([this] { return m_session.simRequests("/gateway/message/list").size() >= 2; });
    }

    QJsonObject raiseAlarm(const QJsonObject &alarm)
    {
        return m_session.sim("POST", "/sim/alarms", alarm).json()["message"].toObject();
    }

    static QString messageShown(const QJsonObject &message)
    {
        return QString("document.querySelector('#message-detail[data-message=%1]')")
            .arg(DevToolsClient::jsString(message["messageID"].toString()));
    }

    // The menu paths the page announced with NotifySwitchMenu, in order.
    QStringList switchedMenus() const
    {
        QStringList paths;
        for (const QJsonObject &request : m_server.requestsOf("NotifySwitchMenu"))
            paths << request["params"]["menuPath"].toString();
        return paths;
    }

private slots:
    void initTestCase()
    {
        STEP(m_session.startSim(&m_error));
        m_channel.registerObject("server", &m_server);
        m_view = std::make_unique<QWebEngineView>();
        m_view->page()->setWebChannel(&m_channel);
        m_view->resize(1280, 800);
        m_view->show();
        m_view->load(QUrl(m_session.simUrl() + "/#/login?isFromC=1"));
        STEP(page().connectToPage(m_session.simUrl(), &m_error));
    }

    // Every case starts on a fresh login page with nothing recorded.
    void init()
    {
        page().evaluate("sessionStorage.clear(); location.hash = '#/login?isFromC=1'; "
                        "location.reload()");
        STEP(waitFor("window.__orvane && window.__orvane.ready "
                     "&& document.querySelector('#login-form')"));
        m_error = "the page did not announce itself with WebInited";
        STEP(QTest::qWaitFor([this] { return m_server.methods().contains("WebInited"); }));
        m_server.requests.clear();
        m_session.sim("POST", "/sim/requests/clear");
    }

    void cleanupTestCase()
    {
        m_view.reset();
        m_session.stop();
    }

    void startsAndLogsInThroughThePlatform()
    {
        // Start-up asked the client for its information.
        QVERIFY(page().evaluate("window.__orvane.native").toBool());
        QCOMPARE(page().notifications().first()["method"].toString(), QString("ReplyClientInfo"));

        STEP(page().type("#login-user", "demo", &m_error)
             && page().type("#login-password", "wrong", &m_error)
             && page().click("#login-submit", &m_error)
             && waitFor("!document.querySelector('#login-message').classList.contains('hidden')"));
        QCOMPARE(page().text("#login-message"), QString("Wrong user name or password."));
        QVERIFY(m_server.requests.isEmpty());

        STEP(logIn());
        QTRY_COMPARE(m_server.requestsOf("NotifyLoginSucc").size(), 1);
        const QJsonObject params
            = m_server.requestsOf("NotifyLoginSucc").first()["params"].toObject();
        QCOMPARE(params["userName"].toString(), QString("demo"));
        QCOMPARE(params["userType"].toString(), QString("admin"));
        QCOMPARE(params["userPhoto"].toString(), QString(""));
        QCOMPARE(params["token"].toString(), demoToken);
        QJsonArray expectedMenus;
        for (const QJsonValue &menu : DeviceFile::builtIn().menus())
            expectedMenus.append(QJsonObject {{"menuName", menu["menuName"]},
                                              {"menuPath", menu["menuPath"]},
                                              {"menuNavigation", menu["menuNavigation"]}});
        QCOMPARE(params["menuList"].toArray(), expectedMenus);

        // The first navigable menu opens, and the client hears of it after the login.
        QTRY_COMPARE(m_server.methods(), QStringList({"NotifyLoginSucc", "NotifySwitchMenu"}));
        QCOMPARE(switchedMenus(), QStringList {"videoSurveillance"});
        QCOMPARE(
            page().evaluate("document.querySelector('.video-frame').dataset.module").toString(),
            QString("1"));
        QCOMPARE(page().text("#user-chip .user-name"), QString("demo"));
    }

    void menusSwitchTabsCloseAndLogOut()
    {
        STEP(logIn());
        QTRY_COMPARE(switchedMenus(), QStringList {"videoSurveillance"});

        STEP(clickAndWait("#sidebar [data-menu=accessControl]",
                          "document.querySelector('.video-frame[data-module=\"2\"]')"));
        STEP(clickAndWait("#sidebar [data-menu=messageCenter]",
                          "document.querySelector('.video-frame[data-module=\"3\"]') "
                          "|| document.querySelector('#message-none')"));
        // A click on the menu already shown announces nothing.
        STEP(clickAndWait("#sidebar [data-menu=messageCenter]", "true"));
        STEP(clickAndWait("#tabs [data-tab=videoSurveillance] a",
                          "document.querySelector('.video-frame[data-module=\"1\"]')"));
        QTRY_COMPARE(switchedMenus(),
                     QStringList({"videoSurveillance", "accessControl", "messageCenter",
                                  "videoSurveillance"}));

        // Closing a tab in the background only closes its menu; closing the one shown moves on
        // to its neighbour.
        STEP(clickAndWait("#tabs [data-tab=accessControl] .tab-close",
                          "!document.querySelector('#tabs [data-tab=accessControl]')"));
        STEP(clickAndWait("#tabs [data-tab=videoSurveillance] .tab-close",
                          "location.hash === '#/messageCenter'"));
        QTRY_COMPARE(m_server.methods().mid(5),
                     QStringList({"CloseMenu", "CloseMenu", "NotifySwitchMenu"}));
        const QList<QJsonObject> closed = m_server.requestsOf("CloseMenu");
        QCOMPARE(closed[0]["params"]["menuPath"].toString(), QString("accessControl"));
        QCOMPARE(closed[1]["params"]["menuPath"].toString(), QString("videoSurveillance"));
        QCOMPARE(switchedMenus().last(), QString("messageCenter"));
        // The last tab cannot be closed.
        QVERIFY(!page().evaluate("!!document.querySelector('#tabs .tab-close')").toBool());

        STEP(clickAndWait("#user-chip", "document.querySelector('#user-menu.open')"));
        STEP(clickAndWait("#logout", "document.querySelector('#login-form')"));
        QCOMPARE(m_server.methods().last(), QString("NotifyLoginOut"));
        QVERIFY(page().evaluate("sessionStorage.length === 0").toBool());
        QTRY_COMPARE(m_session.simRequests("/gateway/auth/logout").size(), 1);
        const QJsonObject logout = m_session.simRequests("/gateway/auth/logout").first().toObject();
        QCOMPARE(logout["headers"]["Authorization"].toString(), "Bearer " + demoToken);
    }

    void aboutPageShowsTheClientAndSendsNotices()
    {
        STEP(logIn());
        STEP(clickAndWait("#user-chip", "document.querySelector('#user-menu.open')"));
        STEP(
            clickAndWait("#user-menu a[href='#/about']", "document.querySelector('#notice-form')"));
        QTRY_COMPARE(m_server.requestsOf("GetClientInfo").size(), 1);
        STEP(waitFor("document.querySelector('[data-field=macAddr]')"));
        QCOMPARE(page().text("[data-field=macAddr]"), QString("52:54:00:12:34:56"));
        QCOMPARE(page().text("[data-field=version]"), QString("V1.001.0000000.0.R"));
        QCOMPARE(page().text("[data-field=sysVersion]"), QString("unKnow"));
        QCOMPARE(page().text("[data-field=sysBit]"), QString("64-bit"));

        // Newer client information replaces what is shown.
        QJsonObject newer = PageServer::clientInfo();
        newer["version"] = "V1.001.0000001.2.R";
        m_server.notify("ReplyClientInfo", newer);
        STEP(waitFor("document.querySelector('[data-field=version]').textContent "
                     "=== 'V1.001.0000001.2.R'"));

        STEP(page().type("#notice-text", "Shift change at 18:00", &m_error)
             && page().click("#notice-send", &m_error));
        QTRY_COMPARE(m_server.requestsOf("TextNotify").size(), 1);
        QCOMPARE(m_server.requestsOf("TextNotify").first()["params"].toObject(),
                 QJsonObject({{"content", "Shift change at 18:00"}}));
        // An empty notice is not sent: the next one is the second to arrive.
        STEP(page().type("#notice-text", "  ", &m_error) && page().click("#notice-send", &m_error)
             && page().type("#notice-text", "Doors close", &m_error)
             && page().click("#notice-send", &m_error));
        QTRY_COMPARE(m_server.requestsOf("TextNotify").size(), 2);
        QCOMPARE(m_server.requestsOf("TextNotify").last()["params"].toObject()["content"].toString(),
                 QString("Doors close"));
    }

    void windowButtonsFollowTheClientsFullScreenState()
    {
        const QString state = "document.querySelector('#win-fullscreen').dataset.on";
        STEP(page().click("#win-min", &m_error));
        QTRY_COMPARE(m_server.methods(), QStringList {"MinSize"});

        // The button asks; the state changes only when the client reports it.
        STEP(page().click("#win-fullscreen", &m_error));
        QTRY_COMPARE(m_server.requestsOf("FullScreen").size(), 1);
        QCOMPARE(m_server.requestsOf("FullScreen")[0]["params"].toObject(),
                 QJsonObject({{"bFullScreen", true}}));
        QCOMPARE(page().evaluate(state).toString(), QString("false"));
        m_server.notify("FullScreen", {{"bFullScreen", true}});
        STEP(waitFor(state + " === 'true'"));
        QCOMPARE(page().evaluate("document.querySelector('#win-fullscreen').title").toString(),
                 QString("Restore"));

        // The state carries over into the console, whose button asks to leave full screen.
        STEP(logIn());
        QCOMPARE(page().evaluate(state).toString(), QString("true"));
        STEP(page().click("#win-fullscreen", &m_error));
        QTRY_COMPARE(m_server.requestsOf("FullScreen").size(), 2);
        QCOMPARE(m_server.requestsOf("FullScreen")[1]["params"].toObject(),
                 QJsonObject({{"bFullScreen", false}}));
        // The client may also leave full screen by itself (a double click on its strip).
        m_server.notify("FullScreen", {{"bFullScreen", false}});
        STEP(waitFor(state + " === 'false'"));

        const int before = m_server.requests.size();
        STEP(page().click("#win-close", &m_error));
        QTRY_COMPARE(m_server.requests.size(), before + 1);
        QCOMPARE(m_server.methods().last(), QString("CloseApp"));

        // What the page received is kept in the order it came.
        QStringList received;
        for (const QJsonValue &notice : page().notifications())
            received << notice["method"].toString();
        QCOMPARE(received, QStringList({"ReplyClientInfo", "FullScreen", "FullScreen"}));
    }

    void closeFromOutsideAsksFirst()
    {
        STEP(logIn());
        const QString dialogs = "document.querySelectorAll('.dialog').length";
        m_server.notify("RightClickCloseAPP");
        STEP(waitFor(dialogs + " === 1"));
        STEP(clickAndWait("#dialog-cancel", dialogs + " === 0"));
        QVERIFY(!m_server.methods().contains("CloseApp"));

        // Asking again while the question is open shows it once (the notification after both
        // shows they were handled) and quits once (the request after it shows it was the only).
        m_server.notify("RightClickCloseAPP");
        m_server.notify("RightClickCloseAPP");
        m_server.notify("FullScreen", {{"bFullScreen", true}});
        STEP(waitFor("document.querySelector('#win-fullscreen').dataset.on === 'true'"));
        QCOMPARE(page().evaluate(dialogs).toInt(), 1);
        STEP(page().click("#dialog-confirm", &m_error) && page().click("#win-min", &m_error));
        QTRY_COMPARE(m_server.methods().last(), QString("MinSize"));
        QCOMPARE(m_server.requestsOf("CloseApp").size(), 1);
    }

    void alarmsReachTheDesktopAndTheirClickOpensTheMessage()
    {
        // Messages kept from before the login are listed, never announced.
        const QJsonObject earlier = raiseAlarm({{"deviceId", "IPC0003C"}});
        QVERIFY(!earlier.isEmpty());
        STEP(logIn());
        STEP(feedIsWaiting());

        const QJsonObject alarm
            = raiseAlarm({{"deviceId", "NVR0001A"}, {"channelId", 2}, {"messageType", 4}});
        QTRY_COMPARE(m_server.requestsOf("MessageNotify").size(), 1);
        QCOMPARE(m_server.requestsOf("MessageNotify").first()["params"].toObject(),
                 QJsonObject({{"content", "Harbour Street, Till: Door opened"},
                              {"messageType", 4},
                              {"messageID", alarm["messageID"]}}));
        STEP(waitFor("document.querySelector('#alarm-bell').dataset.unread === '1'"));

        // The notice's click comes back from the client: the message opens.
        m_server.notify("ReplyMessageNotify", {{"messageID", alarm["messageID"]}});
        STEP(waitFor(messageShown(alarm)));
        QCOMPARE(switchedMenus().last(), QString("messageCenter"));
        QCOMPARE(page().text("[data-field=channelName]"), QString("Till"));
        QCOMPARE(page().evaluate("document.querySelector('#alarm-bell').dataset.unread").toString(),
                 QString("0"));
        const QString listed = "[...document.querySelectorAll('#message-list .message-row')]"
                               ".map((row) => row.dataset.message)";
        STEP(waitFor(QString("%1.includes(%2)")
                         .arg(listed, DevToolsClient::jsString(earlier["messageID"].toString()))));
        QCOMPARE(page().evaluate(listed + "[0]").toString(), alarm["messageID"].toString());

        // A click on a notice that rolled out of the client's list carries no messageID.
        m_server.notify("ReplyMessageNotify", {{"messageID", ""}});
        STEP(waitFor("document.querySelector('#message-none')"));
        QCOMPARE(m_server.requestsOf("MessageNotify").size(), 1);
    }

    void alarmControlRefusesWrongMembers()
    {
        const QList<QPair<QByteArray, QString>> refused {
            {R"({"deviceId":"NOPE"})", "no device \"NOPE\""},
            {R"({"deviceId":"IPC0002B","channelId":7})", "device IPC0002B has no channel 7"},
            {R"({"messageType":1.5})", "\"messageType\" must be a whole number"},
            {R"({"content":7})", "\"content\" must be a string"},
            {R"({"time":"yesterday"})", "\"time\" must read yyyy-MM-dd HH:mm:ss"},
            {"[1]", "the body must be a JSON object"}};
        const int before = m_session.sim("GET", "/sim/alarms").json()["messages"].toArray().size();
        for (const auto &wrong : refused) {
            const SyncHttp::Reply reply
                = SyncHttp::send("POST", QUrl(m_session.simUrl() + "/sim/alarms"), wrong.first);
            QCOMPARE(reply.status, 400);
            QCOMPARE(reply.json()["error"].toString(), wrong.second);
        }
        QCOMPARE(m_session.sim("GET", "/sim/alarms").json()["messages"].toArray().size(), before);
    }

    void alarmControlFillsDefaults()
    {
        // The time given is kept; the defaults name the first device and its first channel.
        const QJsonObject message = raiseAlarm({{"time", "2024-03-01 08:30:00"}});
        QCOMPARE(message["time"].toString(), QString("2024-03-01 08:30:00"));
        QCOMPARE(message["timestamp"].toDouble(),
                 double(QDateTime(QDate(2024, 3, 1), QTime(8, 30)).toMSecsSinceEpoch()));
        QCOMPARE(message["deviceId"].toString(), QString("NVR0001A"));
        QCOMPARE(message["channelName"].toString(), QString("Entrance"));
        QCOMPARE(message["content"].toString(),
                 QString("Harbour Street, Entrance: Motion detected"));
    }

    void endedSessionReturnsToTheLogin()
    {
        STEP(logIn());
        STEP(feedIsWaiting());
        m_session.sim("POST", "/sim/tokens/expire", {{"scope", "sessions"}});
        raiseAlarm({}); // answers the waiting poll; the next one is refused
        STEP(waitFor("document.querySelector('#login-message:not(.hidden)')"));
        QVERIFY(page().text("#login-message").contains("session has ended"));
        QCOMPARE(m_server.methods().last(), QString("NotifyLoginOut"));
    }

    void worksInAPlainBrowserWithoutTheClient()
    {
        QWebEngineView browser; // no web channel: a browser of its own
        browser.resize(1280, 800);
        browser.show();
        browser.load(QUrl(m_session.simUrl() + "/?plain=1#/login"));
        DevToolsClient plain;
        STEP(plain.connectToPage("plain=1", &m_error)
             && plain.waitFor("window.__orvane && window.__orvane.ready", &m_error));
        QVERIFY(!plain.evaluate("window.__orvane.native").toBool());
        QVERIFY(plain
                    .evaluate("getComputedStyle(document.querySelector('.window-buttons'))"
                              ".display === 'none'")
                    .toBool());
        QVERIFY(!plain.text("#browser-note").isEmpty());

        STEP(plain.type("#login-user", "guard", &m_error)
             && plain.type("#login-password", "guard123", &m_error)
             && plain.click("#login-submit", &m_error)
             && plain.waitFor("document.querySelector('.shell')", &m_error));
        QCOMPARE(plain
                     .evaluate("[...document.querySelectorAll('#sidebar .nav-item')]"
                               ".map((item) => item.dataset.menu).join()")
                     .toString(),
                 QString("videoSurveillance,accessControl,messageCenter"));
        QVERIFY(plain.text(".video-note").contains("desktop client"));
        // What would go to the client stays in the page.
        QVERIFY(m_server.requests.isEmpty());
        QCOMPARE(plain.calls().first()["method"].toString(), QString("WebInited"));

        STEP(feedIsWaiting());
        const QJsonObject alarm = raiseAlarm({{"deviceId", "DS0005E"}});
        STEP(plain.waitFor("document.querySelector('.toast-alarm')", &m_error)
             && plain.click(".toast-alarm", &m_error)
             && plain.waitFor(messageShown(alarm), &m_error));
    }
};

int main(int argc, char *argv[])
{
    // Before the web engine starts: the DevTools port, and the contexts it shares.
    qputenv("QTWEBENGINE_REMOTE_DEBUGGING", QByteArray::number(DevToolsClient::defaultPort));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    tst_WebAppPage test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_WebAppPage.moc"
