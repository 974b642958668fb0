#include "SimServer.h"
#include "SimTestClient.h"
#include "TestEnv.h"

#include <QtNetwork>
#include <QtTest>

#include <memory>

namespace {

const QString tokenPath = GatewayRoutes::tokenPath;
const QString demoToken = "ut-demo-7f3a9c21";

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

// The gateway's refusals, the device file behind the device list, the web application folder
// and the certificate. Logins, tokens, abilities, the request log and the version check are
// driven through the real client by its own tests.
class tst_SimGateway : public QObject
{
    Q_OBJECT

private:
    // Starts the platform on free ports with a web application folder.
    void startServer(SimServer &server)
    {
        QString error;
        QVERIFY2(server.start({0, 0, false, QDir::currentPath() + "/webapp"}, &error),
                 qPrintable(error));
    }

private slots:
    void refusesWhatItMustRefuse()
    {
        SimServer server;
        startServer(server);
        SimTestClient http(server.httpPort());
        // No header, another scheme, a token nobody logged in with.
        for (const httplib::Headers &headers :
             {httplib::Headers {},
              httplib::Headers {{"Authorization", "Basic " + demoToken.toStdString()}},
              httplib::Headers {{"Authorization", "Bearer " + demoToken.toStdString()}}}) {
            const httplib::Result result = http.client().Get(tokenPath.toStdString(), headers);
            QCOMPARE(result->status, 401);
            QCOMPARE(SimTestClient::json(result)["success"].toBool(true), false);
            QVERIFY(!SimTestClient::json(result)["errMsg"].toString().isEmpty());
        }
        const QByteArray wrong = R"({"userName":"demo","password":"wrong"})";
        QCOMPARE(http.post(GatewayRoutes::loginPath, wrong)->status, 401);
        QCOMPARE(http.post(GatewayRoutes::loginPath, "userName=demo")->status, 400);
        QCOMPARE(http.post("/sim/tokens/lifetime", QJsonObject {{"seconds", -1}})->status, 400);
        QCOMPARE(http.post("/sim/tokens/expire", QJsonObject {{"scope", "everything"}})->status,
                 400);

        // A lifetime of 0: every token is over as soon as it is issued.
        QVERIFY(!server.login("demo", "demo123").isEmpty());
        QCOMPARE(http.post("/sim/tokens/lifetime", QJsonObject {{"seconds", 0}})->status, 200);
        server.tokens().expireDeviceTokens();
        const QJsonObject instant = SimTestClient::json(http.get(tokenPath, demoToken));
        QCOMPARE(instant["data"]["expire"].toInt(), 0);
        QVERIFY(!server.isDeviceTokenValid(instant["data"]["token"].toString().toStdString()));
    }

    void deviceListFollowsTheDeviceFile()
    {
        QString error;
        QJsonObject file = DeviceFile::builtIn().document();
        file.insert("devices",
                    QJsonDocument::fromJson(R"([
            {"deviceId": "R1", "deviceName": "Recorder", "deviceType": "recorder",
             "shopCode": "S001", "ability": "Talk RTSV1", "streamPort": 9000,
             "devLoginName": "root", "devLoginPassword": "pw",
             "channels": [{"channelId": 3, "channelName": "Till", "ability": "PTZ"}]},
            {"deviceId": "C2", "deviceName": "Camera", "deviceType": "camera", "shopCode": "S002",
             "online": false, "channels": [{"channelId": 1, "channelName": "Door"}]}])")
                        .array());
        const std::optional<DeviceFile> deviceFile
            = DeviceFile::parse(QJsonDocument(file).toJson(), &error);
        QVERIFY2(deviceFile, qPrintable(error));
        SimServer server(*deviceFile);
        startServer(server);
        SimTestClient client(server.httpPort());
        QCOMPARE(client.get(GatewayRoutes::deviceListPath, demoToken)->status, 404); // POST only
        server.login("demo", "demo123");
        const QJsonArray list
            = SimTestClient::json(client.post(GatewayRoutes::deviceListPath, "", demoToken))["data"]
                  .toArray();
        QCOMPARE(list.size(), 2);
        const QJsonObject recorder = list[0].toObject();
        QCOMPARE(recorder["ability"].toString(), QString("Talk RTSV1"));
        QCOMPARE(recorder["streamPort"].toInt(), 9000);
        QCOMPARE(recorder["devLoginName"].toString(), QString("root"));
        QCOMPARE(recorder["devLoginPassword"].toString(), QString("pw"));
        QCOMPARE(recorder["shopName"].toString(), QString("Harbour Street"));
        QCOMPARE(recorder["channels"][0]["ability"].toString(), QString("PTZ"));
        // Members the file leaves out get the platform's defaults.
        const QJsonObject camera = list[1].toObject();
        QCOMPARE(camera["streamPort"].toInt(), 554);
        QCOMPARE(camera["devLoginName"].toString(), QString("admin"));
        QCOMPARE(camera["online"].toBool(true), false);
    }

    void webApplicationFilesStayInTheirFolder()
    {
        SimServer missing;
        startServer(missing);
        const httplib::Result result = SimTestClient(missing.httpPort()).get("/");
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
        QCOMPARE(client.get("/")->body, std::string("<html>login</html>"));
        QCOMPARE(client.get("/js/app.js")->get_header_value("Content-Type"),
                 std::string("text/javascript;charset=utf-8"));
        // Nothing outside the folder, by ".." or by a link.
        for (const char *path : {"/../secret.txt", "/js/../../secret.txt", "/%2e%2e/secret.txt",
                                 "/link.txt", "/missing.html", "/js"})
            QCOMPARE(client.get(path)->status, 404);
        QCOMPARE(client.post("/index.html", "")->status, 404);
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
        QCOMPARE(sslErrors.value(0).error(), QSslError::SelfSignedCertificate);
        QSslConfiguration trusting = QSslConfiguration::defaultConfiguration();
        trusting.setCaCertificates(QSslCertificate::fromData(server.certificatePem()));
        QCOMPARE(get(url, trusting), QNetworkReply::NoError);
    }
};

QTEST_GUILESS_MAIN(tst_SimGateway)
#include "tst_SimGateway.moc"
