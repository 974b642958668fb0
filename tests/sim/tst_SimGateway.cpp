#include "SimServer.h"
#include "SimTestClient.h"
#include "TestEnv.h"

#include <QtNetwork>
#include <QtTest>

#include <memory>

namespace {

const QString versionPath = GatewayRoutes::versionPath;
const QString tokenPath = GatewayRoutes::tokenPath;
const QString deviceListPath = GatewayRoutes::deviceListPath;
const QString loginPath = GatewayRoutes::loginPath;
const QString logoutPath = GatewayRoutes::logoutPath;
const QString demoToken = "ut-demo-7f3a9c21";

QByteArray loginBody(const QString &user, const QString &password)
{
    return QJsonDocument(QJsonObject {{"userName", user}, {"password", password}}).toJson();
}

// A GET through Qt's network stack with the given TLS settings: its error.
QNetworkReply::NetworkError get(const QString &url, const QSslConfiguration &ssl,
                                QList<QSslError> *sslErrors = nullptr)
{
    QNetworkAccessManager manager;
    QNetworkRequest request {QUrl(url)};
    request.setSslConfiguration(ssl);
    std::unique_ptr<QNetworkReply> reply(manager.get(request));
    if (sslErrors)
        QObject::connect(reply.get(), &QNetworkReply::sslErrors,
                         [sslErrors](const QList<QSslError> &errors) { *sslErrors = errors; });
    QSignalSpy finished(reply.get(), &QNetworkReply::finished);
    return finished.wait(20000) ? reply->error() : QNetworkReply::TimeoutError;
}

} // namespace

class tst_SimGateway : public QObject
{
    Q_OBJECT

private:
    SimServer m_server;
    std::unique_ptr<SimTestClient> m_http;

    // Starts the platform on free ports with a web application folder.
    void startServer(SimServer &server)
    {
        QString error;
        QVERIFY2(server.start({0, 0, false, QDir::currentPath() + "/webapp"}, &error),
                 qPrintable(error));
    }

private slots:
    void initTestCase()
    {
        startServer(m_server);
        m_http = std::make_unique<SimTestClient>(m_server.httpPort());
    }

    void init()
    {
        m_server.requestLog().clear();
        m_server.tokens().closeSessions();
    }

    // Publishing itself is driven by the client's version-check tests; here: what it refuses.
    void versionObjectIsPublishedAndCanBeChanged()
    {
        // No token needed: the client asks before anybody logs in.
        QVERIFY(SimTestClient::json(m_http->get(versionPath))["data"]["version"].isString());
        const QJsonObject change {{"version", "V1.000.0000100.12.R"}};
        QCOMPARE(SimTestClient::json(m_http->post("/sim/version", change))["ok"].toBool(), true);
        const QJsonObject reply = SimTestClient::json(m_http->get(versionPath));
        QCOMPARE(reply["data"]["version"].toString(), QString("V1.000.0000100.12.R"));
        QCOMPARE(reply["data"]["desc"].toString(), QString("")); // untouched members stay

        const httplib::Result refused
            = m_http->post("/sim/version", QJsonObject {{"filesize", 12}});
        QCOMPARE(refused->status, 400);
        QCOMPARE(SimTestClient::json(refused)["error"].toString(),
                 QString("\"filesize\" must be a string"));
    }

    void loginOpensTheSessionTheGatewayChecks()
    {
        // Refusals: no header, another scheme, a token nobody logged in with.
        for (const httplib::Headers &headers :
             {httplib::Headers {},
              httplib::Headers {{"Authorization", "Basic " + demoToken.toStdString()}},
              httplib::Headers {{"Authorization", "Bearer " + demoToken.toStdString()}}}) {
            const httplib::Result result = m_http->client().Get(tokenPath.toStdString(), headers);
            QCOMPARE(result->status, 401);
            QCOMPARE(SimTestClient::json(result)["success"].toBool(true), false);
            QVERIFY(!SimTestClient::json(result)["errMsg"].toString().isEmpty());
        }

        QCOMPARE(m_http->post(loginPath, loginBody("demo", "wrong"))->status, 401);
        QCOMPARE(m_http->post(loginPath, "userName=demo")->status, 400);
        const QJsonObject login
            = SimTestClient::json(m_http->post(loginPath, loginBody("demo", "demo123")));
        QCOMPARE(login["data"]["token"].toString(), demoToken);
        QCOMPARE(login["data"]["userName"].toString(), QString("demo"));
        QCOMPARE(login["data"]["userType"].toString(), QString("admin"));
        QVERIFY(login["data"]["userPhoto"].isString());
        const QJsonObject firstMenu = login["data"]["menuList"].toArray().first().toObject();
        QCOMPARE(firstMenu["menuPath"].toString(), QString("videoSurveillance"));
        QVERIFY(firstMenu["menuName"].isString() && firstMenu["menuNavigation"].isBool());

        // The device-platform token lasts its lifetime and is the same until then.
        const QJsonObject first = SimTestClient::json(m_http->get(tokenPath, demoToken));
        const QString token = first["data"]["token"].toString();
        QVERIFY(!token.isEmpty());
        QCOMPARE(first["data"]["expire"].toInt(), 3600);
        const QJsonObject again = SimTestClient::json(m_http->get(tokenPath, demoToken));
        QCOMPARE(again["data"]["token"].toString(), token);
        QVERIFY(again["data"]["expire"].toInt() > 3500);
        QVERIFY(m_server.isDeviceTokenValid(token.toStdString()));

        // Expired on request: a new token, and the open platform refuses the old one.
        QCOMPARE(
            SimTestClient::json(m_http->post("/sim/tokens/expire", QJsonObject()))["ok"].toBool(),
            true);
        QVERIFY(!m_server.isDeviceTokenValid(token.toStdString()));
        const QString renewed
            = SimTestClient::json(m_http->get(tokenPath, demoToken))["data"]["token"].toString();
        QVERIFY(!renewed.isEmpty() && renewed != token);

        // A lifetime of 0: every token is over as soon as it is issued.
        QVERIFY(SimTestClient::json(
                    m_http->post("/sim/tokens/lifetime", QJsonObject {{"seconds", 0}}))["ok"]
                    .toBool());
        m_server.tokens().expireDeviceTokens();
        const QJsonObject instant = SimTestClient::json(m_http->get(tokenPath, demoToken));
        QCOMPARE(instant["data"]["expire"].toInt(), 0);
        QVERIFY(!m_server.isDeviceTokenValid(instant["data"]["token"].toString().toStdString()));
        QCOMPARE(m_http->post("/sim/tokens/lifetime", QJsonObject {{"seconds", -1}})->status, 400);
        m_server.tokens().setLifetime(3600);

        // Logging out closes the session; the gateway refuses it from then on.
        QCOMPARE(SimTestClient::json(m_http->post(logoutPath, "", demoToken))["success"].toBool(),
                 true);
        QCOMPARE(m_http->get(tokenPath, demoToken)->status, 401);
        QCOMPARE(m_http->post(logoutPath, "", demoToken)->status, 401);

        // Closing every session on request, and the C++ login of the tests.
        QCOMPARE(m_server.login("guard", "guard123"), QString("ut-guard-4be01d57"));
        QVERIFY(m_server.login("guard", "nope").isEmpty());
        QCOMPARE(m_http->get(tokenPath, "ut-guard-4be01d57")->status, 200);
        QCOMPARE(m_http->post("/sim/tokens/expire", QJsonObject {{"scope", "sessions"}})->status,
                 200);
        QCOMPARE(m_http->get(tokenPath, "ut-guard-4be01d57")->status, 401);
        QCOMPARE(m_http->post("/sim/tokens/expire", QJsonObject {{"scope", "everything"}})->status,
                 400);
    }

    void deviceListFollowsTheDeviceFile()
    {
        QString error;
        QJsonObject file = DeviceFile::builtIn().document();
        const QJsonArray devices = QJsonDocument::fromJson(R"([
            {"deviceId": "R1", "deviceName": "Recorder", "deviceType": "recorder",
             "shopCode": "S001", "ability": "Talk RTSV1", "streamPort": 9000,
             "devLoginName": "root", "devLoginPassword": "pw",
             "channels": [{"channelId": 3, "channelName": "Till", "ability": "PTZ"}]},
            {"deviceId": "C2", "deviceName": "Camera", "deviceType": "camera", "shopCode": "S002",
             "online": false, "channels": [{"channelId": 1, "channelName": "Door"}]}])")
                                       .array();
        file.insert("devices", devices);
        const std::optional<DeviceFile> deviceFile
            = DeviceFile::parse(QJsonDocument(file).toJson(), &error);
        QVERIFY2(deviceFile, qPrintable(error));
        SimServer server(*deviceFile);
        startServer(server);
        SimTestClient client(server.httpPort());

        QCOMPARE(client.post(deviceListPath, "")->status, 401);
        QCOMPARE(client.get(deviceListPath, demoToken)->status, 404); // POST only
        server.login("demo", "demo123");
        const QJsonObject reply = SimTestClient::json(client.post(deviceListPath, "", demoToken));
        QCOMPARE(reply["success"].toBool(), true);
        QCOMPARE(reply["errMsg"].toString(), QString(""));
        const QJsonArray list = reply["data"].toArray();
        QCOMPARE(list.size(), 2);
        const QJsonObject recorder = list[0].toObject();
        QCOMPARE(recorder["deviceId"].toString(), QString("R1"));
        QCOMPARE(recorder["ability"].toString(), QString("Talk RTSV1"));
        QCOMPARE(recorder["streamPort"].toInt(), 9000);
        QCOMPARE(recorder["devLoginName"].toString(), QString("root"));
        QCOMPARE(recorder["devLoginPassword"].toString(), QString("pw"));
        QCOMPARE(recorder["shopName"].toString(), QString("Harbour Street"));
        QCOMPARE(recorder["channels"][0]["channelName"].toString(), QString("Till"));
        QCOMPARE(recorder["channels"][0]["ability"].toString(), QString("PTZ"));
        const QJsonObject camera = list[1].toObject();
        QCOMPARE(camera["streamPort"].toInt(), 554);
        QCOMPARE(camera["devLoginName"].toString(), QString("admin"));
        QCOMPARE(camera["online"].toBool(true), false);
    }

    void deviceAbilitiesAnswerTheWayTheClientReadsThem()
    {
        const QString light = AbilityRoutes::cameraStatusPath;
        const QString sirenStart = AbilityRoutes::sirenStartPath;
        const auto call
            = [this](const QString &path, const QJsonObject &body) -> const QJsonObject {
            return SimTestClient::json(
                m_http->post(path, QJsonDocument(body).toJson(QJsonDocument::Compact), demoToken));
        };
        const QJsonObject whiteLight {{"deviceId", "NVR0001A"},
                                      {"enableType", "whiteLight"},
                                      {"enable", true},
                                      {"channelId", 1}};
        QCOMPARE(m_http->post(light, QJsonDocument(whiteLight).toJson())->status, 401);
        m_server.login("demo", "demo123");
        QCOMPARE(call(light, whiteLight)["code"].toString(), QString("0"));

        // Refusals come as a "code" other than "0" in a normal answer.
        QJsonObject wrong = whiteLight;
        wrong.insert("channelId", 9);
        QCOMPARE(call(light, wrong)["code"].toString(), QString("404"));
        wrong = whiteLight;
        wrong.insert("enableType", "laser");
        QCOMPARE(call(light, wrong)["code"].toString(), QString("400"));
        QCOMPARE(call(light, {{"deviceId", "NOPE"}})["code"].toString(), QString("404"));
        QCOMPARE(call(light, {{"deviceId", "IPC0004D"}})["code"].toString(), QString("503"));

        // The siren says how long it sounds, for the device and for each channel asked for.
        const QJsonObject perChannel = call(sirenStart,
                                            {{"deviceId", "NVR0001A"},
                                             {"clientLocalTime", "20261205T1830"},
                                             {"channels", QJsonArray {"1"}}});
        QCOMPARE(perChannel["code"].toString(), QString("0"));
        QCOMPARE(perChannel["data"]["time"].toInt(), 10);
        QCOMPARE(perChannel["data"]["channels"][0]["channelId"].toString(), QString("1"));
        QCOMPARE(perChannel["data"]["channels"][0]["time"].toInt(), 10);
        QCOMPARE(call(sirenStart, {{"deviceId", "IPC0002B"}})["data"]["time"].toInt(), 10);
        QCOMPARE(
            call(sirenStart, {{"deviceId", "NVR0001A"}, {"channels", QJsonArray {"7"}}})["code"]
                .toString(),
            QString("404"));
        QCOMPARE(call(AbilityRoutes::sirenStopPath, {{"deviceId", "NVR0001A"}})["code"].toString(),
                 QString("0"));
    }

    void webApplicationFilesAreServedFromTheirFolder()
    {
        // Before the folder exists the answer says what is missing.
        httplib::Result result = m_http->get("/");
        QCOMPARE(result->status, 404);
        QVERIFY(SimTestClient::json(result)["errMsg"].toString().contains("does not exist"));

        QVERIFY(TestEnv::writeFile("webapp/index.html", "<html>login</html>"));
        QVERIFY(TestEnv::writeFile("webapp/js/app.js", "let a = 1;"));
        QVERIFY(TestEnv::writeFile("secret.txt", "outside"));
        QVERIFY(QFile::link(QDir::currentPath() + "/secret.txt", "webapp/link.txt"));
        SimServer server;
        startServer(server);
        SimTestClient client(server.httpPort());

        // The login address: the fragment stays in the browser, so "/" must be the page.
        result = client.get("/");
        QCOMPARE(result->status, 200);
        QCOMPARE(result->body, std::string("<html>login</html>"));
        QCOMPARE(result->get_header_value("Content-Type"), std::string("text/html;charset=utf-8"));
        result = client.get("/js/app.js");
        QCOMPARE(result->body, std::string("let a = 1;"));
        QCOMPARE(result->get_header_value("Content-Type"),
                 std::string("text/javascript;charset=utf-8"));

        // Nothing outside the folder, by ".." or by a link.
        for (const char *path : {"/../secret.txt", "/js/../../secret.txt", "/%2e%2e/secret.txt",
                                 "/link.txt", "/missing.html", "/js"})
            QCOMPARE(client.get(path)->status, 404);
        QCOMPARE(client.post("/index.html", "")->status, 404);
    }

    void requestLogKeepsWhatTheClientSent()
    {
        httplib::Headers headers {{"Authorization", "Bearer abc"},
                                  {"Accept-Language", "zh-CN"},
                                  {"timeOffset", "-28800000"}};
        m_http->client().Post("/gateway/export/list?page=2&size=10", headers, "{\"a\":1}",
                              "application/json;charset=utf-8");
        m_http->get(versionPath);
        m_http->get("/sim/faults"); // the control API is not logged

        const QList<SimRequest> all = m_server.requestLog().requests();
        QCOMPARE(all.size(), 2);
        const SimRequest post = all[0];
        QCOMPARE(post.method, QString("POST"));
        QCOMPARE(post.path, QString("/gateway/export/list"));
        QCOMPARE(post.query, QString("page=2&size=10"));
        QCOMPARE(post.body, QByteArray("{\"a\":1}"));
        QCOMPARE(post.header("content-type"), QByteArray("application/json;charset=utf-8"));
        QCOMPARE(post.header("TIMEOFFSET"), QByteArray("-28800000"));
        QCOMPARE(post.header("Accept-Language"), QByteArray("zh-CN"));
        QCOMPARE(post.bearerToken(), QString("abc"));
        QVERIFY(post.header("REMOTE_ADDR").isEmpty()); // httplib's own additions are left out
        QCOMPARE(all[1].sequence, post.sequence + 1);
        QCOMPARE(all[1].scheme, QString("http"));

        // The same log over the control API, filtered by path.
        const QJsonObject listed = SimTestClient::json(
            m_http->get("/sim/requests?path=" + QUrl::toPercentEncoding(versionPath)));
        QCOMPARE(listed["requests"].toArray().size(), 1);
        QCOMPARE(listed["requests"][0]["path"].toString(), versionPath);
        QCOMPARE(listed["requests"][0]["method"].toString(), QString("GET"));

        // Waiting for a request another thread sends.
        QVERIFY(!m_server.requestLog().waitFor(tokenPath, 1, 10));
        std::thread later([this] { SimTestClient(m_server.httpPort()).get(tokenPath); });
        QVERIFY(m_server.requestLog().waitFor(tokenPath, 1, 10000));
        later.join();

        QVERIFY(
            SimTestClient::json(m_http->post("/sim/requests/clear", QJsonObject()))["ok"].toBool());
        QVERIFY(m_server.requestLog().requests().isEmpty());
    }
    // The HTTPS certificate: signed by itself, naming 127.0.0.1.
    void certificateIsSignedByItselfForTheLoopback()
    {
        SimServer server;
        QString error;
        QVERIFY2(server.start({}, &error), qPrintable(error));
        const QString url = server.httpsUrl() + GatewayRoutes::versionPath;
        QList<QSslError> sslErrors;
        QCOMPARE(get(url, QSslConfiguration::defaultConfiguration(), &sslErrors),
                 QNetworkReply::SslHandshakeFailedError);
        QVERIFY(!sslErrors.isEmpty());
        QCOMPARE(sslErrors.first().error(), QSslError::SelfSignedCertificate);

        // The client's HTTPS settings: no peer verification, its old protocol value.
        QSslConfiguration client = QSslConfiguration::defaultConfiguration();
        client.setPeerVerifyMode(QSslSocket::VerifyNone);
        client.setProtocol(QSsl::TlsV1SslV3);
        QCOMPARE(get(url, client), QNetworkReply::NoError);

        // Trusting the certificate the platform hands out: it names 127.0.0.1.
        QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
        trusting.setCaCertificates(QSslCertificate::fromData(server.certificatePem()));
        QCOMPARE(get(url, trusting), QNetworkReply::NoError);
        QCOMPARE(server.requestLog().requests().last().scheme, QString("https"));
    }
};

QTEST_GUILESS_MAIN(tst_SimGateway)
#include "tst_SimGateway.moc"
