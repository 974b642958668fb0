// A device's own web page opened from the devices page: the client (main window in this
// process) fetches the device list with the device-platform token, the media library opens a
// local relay, the system browser (a URL handler here) gets http://127.0.0.1:<port>, and that
// port serves the simulated device's site. Also the failures the user sees, and the other
// requests the page sends where a person uses them: links, token refresh and the profile.
#include "ConfigInfo/CBaseInfo.h"
#include "InProcessClient.h"
#include "Toasts.h"

#include <StreamCore/IStreamCore.h>

#include <QDesktopServices>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

using ConfigInfo::CBaseInfo;

namespace {

const QString tokenPath = "/gateway/device/veltra/getTokenAndExpire";
const QString failedOpen = "Failed to open device configuration page,please try again";

// Sends a raw HTTP request to 127.0.0.1:port and returns the whole answer (the device closes).
QByteArray rawHttp(int port, const QByteArray &request)
{
    QTcpSocket socket;
    socket.connectToHost("127.0.0.1", quint16(port));
    socket.write(request);
    QByteArray answer;
    const bool ended = QTest::qWaitFor(
        [&] {
            answer += socket.readAll();
            return socket.state() == QAbstractSocket::UnconnectedState;
        },
        10000);
    if (!ended)
        qWarning("127.0.0.1:%d did not end its answer", port);
    return answer + socket.readAll();
}

QByteArray get(int port, const QByteArray &path)
{
    return rawHttp(port, "GET " + path + " HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
}

} // namespace

// What the client opened in the system browser.
class UrlRecorder : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

class tst_E2EDeviceWeb : public QObject
{
    Q_OBJECT

private:
    E2ESession m_session;
    std::unique_ptr<TesmarClient> m_client;
    UrlRecorder m_browser;
    QString m_error;

    DevToolsClient &page() { return m_session.page(); }
    bool click(const QString &selector) { return page().click(selector, &m_error); }
    bool waitFor(const QString &condition) { return page().waitFor(condition, &m_error); }
    QString webState(const QString &device)
    {
        return page()
            .evaluate(QString("(document.querySelector('tr[data-device=%1] [data-web-state]') "
                              "|| {dataset: {}}).dataset.webState || ''")
                          .arg(device))
            .toString();
    }
    // Logs in (with a token the client keeps, unless the gateway refuses it) and shows the
    // devices page.
    bool openDevices()
    {
        return m_session.logIn("demo", "demo123", &m_error)
            && click("#sidebar [data-menu=deviceList]")
            && waitFor("document.querySelector('tr[data-device=NVR0001A] button')");
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

    void init()
    {
        KSingleton<CBaseInfo>::Reset(); // no device-platform token yet
        m_session.sim("POST", "/sim/requests/clear");
        m_browser.urls.clear();
        STEP(m_client = InProcessClient::openWindow(m_session, &m_error));
    }

    void cleanup()
    {
        m_client.reset();
        m_session.sim("POST", "/sim/faults/clear");
        m_session.sim("POST", "/sim/devices/web");
    }

    void cleanupTestCase()
    {
        QDesktopServices::unsetUrlHandler("http");
        QDesktopServices::unsetUrlHandler("https");
        m_session.stop();
    }

    void devicePagesOpenThroughTheRelay()
    {
        STEP(openDevices());
        // The client fetched the device list with the user's token after the token came.
        QTRY_VERIFY(!m_session.simRequests("/gateway/device/veltra/deviceList").isEmpty());
        QCOMPARE(openWeb("NVR0001A"), QString("open"));
        QCOMPARE(openWeb("IPC0002B"), QString("open"));
        QCOMPARE(m_browser.urls.size(), 2);
        const int recorder = m_browser.urls[0].port(), camera = m_browser.urls[1].port();
        QCOMPARE(m_browser.urls[0], QUrl(QString("http://127.0.0.1:%1").arg(recorder)));
        QVERIFY(recorder > 0 && camera > 0 && recorder != camera);
        QVERIFY(get(recorder, "/").contains("<span id=\"deviceId\">NVR0001A</span>"));
        QVERIFY(get(camera, "/").contains("<span id=\"deviceId\">IPC0002B</span>"));

        // The picture arrives whole; the form saves.
        const QByteArray picture = get(recorder, "/snapshot.bmp");
        QVERIFY(picture.contains("\r\n\r\nBM"));
        QCOMPARE(picture.size() - picture.indexOf("\r\n\r\n") - 4, 54 + 160 * 90 * 3);
        const QByteArray form = "name=Back+office+NVR&ntp=ntp.example";
        QVERIFY(rawHttp(recorder,
                        "POST /settings HTTP/1.1\r\nHost: x\r\nConnection: close\r\n"
                        "Content-Type: application/x-www-form-urlencoded\r\n"
                        "Content-Length: "
                            + QByteArray::number(form.size()) + "\r\n\r\n" + form)
                    .startsWith("HTTP/1.1 303"));
        QVERIFY(get(recorder, "/settings?saved=1").contains("value=\"Back office NVR\""));

        // A browser that goes away in the middle of a download costs only its connection.
        QTcpSocket leaving;
        leaving.connectToHost("127.0.0.1", quint16(recorder));
        leaving.write("GET /recording.bin?bytes=50000000 HTTP/1.1\r\nHost: x\r\n\r\n");
        QVERIFY(leaving.waitForReadyRead(5000));
        QVERIFY(leaving.read(4096).startsWith("HTTP/1.1 200"));
        leaving.abort();
        QVERIFY(get(recorder, "/").contains("NVR0001A"));
        QVERIFY(get(camera, "/").contains("IPC0002B"));
        QCOMPARE(m_session.received("WebP2pState"),
                 QList<QJsonObject>({{{"state", 1}}, {{"state", 1}}}));
    }

    void devicesThatCannotBeReachedFail()
    {
        STEP(openDevices());
        QTRY_VERIFY(!m_session.simRequests("/gateway/device/veltra/deviceList").isEmpty());
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
        QTRY_VERIFY(!m_session.simRequests("/gateway/device/veltra/deviceList").isEmpty());
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
    return InProcessClient::run<tst_E2EDeviceWeb>(argc, argv);
}
#include "tst_E2EDeviceWeb.moc"
