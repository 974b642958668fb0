// The reference platform's gateway: its refusals, the device file's errors, the web application
// folder, and the fault control API (how long a fault lasts, what it refuses). Logins, tokens,
// abilities, the device list, the certificate, the request log, the version check and the faults
// the client meets (status, delay, trickle, close, body, headers) are driven through the real
// client by its own tests, the built-in device file by every test that starts the platform.
#include "DeviceFile.h"
#include "SimServer.h"
#include "TestEnv.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtTest>

#include <httplib.h>

#include <atomic>
#include <memory>
#include <thread>

namespace {

const QString tokenPath = GatewayRoutes::tokenPath;
const QString versionPath = GatewayRoutes::versionPath;
const QString demoToken = "ut-demo-7f3a9c21";

// Plain HTTP calls to a platform on 127.0.0.1, with "Authorization: Bearer <token>" when a token
// is given.
class SimTestClient
{
public:
    explicit SimTestClient(int port)
        : m_client("127.0.0.1", port)
    { }
    httplib::Result get(const QString &path, const QString &token = {})
    {
        return m_client.Get(path.toStdString(), bearer(token));
    }
    httplib::Result post(const QString &path, const QByteArray &body, const QString &token = {})
    {
        return m_client.Post(path.toStdString(), bearer(token), body.toStdString(),
                             "application/json;charset=utf-8");
    }
    httplib::Result post(const QString &path, const QJsonObject &body)
    {
        return post(path, QJsonDocument(body).toJson(QJsonDocument::Compact));
    }
    static QJsonObject json(const httplib::Result &result)
    {
        return result ? QJsonDocument::fromJson(QByteArray::fromStdString(result->body)).object()
                      : QJsonObject();
    }
    httplib::Client &client() { return m_client; }

private:
    static httplib::Headers bearer(const QString &token)
    {
        return token.isEmpty()
            ? httplib::Headers()
            : httplib::Headers {{"Authorization", "Bearer " + token.toStdString()}};
    }
    httplib::Client m_client;
};

// A small valid file; each broken case changes one thing in it.
QJsonObject validFile()
{
    return QJsonDocument::fromJson(R"({
        "shops": [{"shopCode": "A", "shopName": "Alpha"}],
        "menus": [{"menuName": "Live", "menuPath": "videoSurveillance"}],
        "devices": [{"deviceId": "D1", "deviceName": "Cam", "deviceType": "camera",
                     "shopCode": "A", "channels": [{"channelId": 0, "channelName": "Door"}]}],
        "users": [{"userName": "u", "password": "p", "token": "t"}]
    })")
        .object();
}

QJsonObject with(QJsonObject object, const QString &key, const QJsonValue &value)
{
    if (value.isUndefined())
        object.remove(key);
    else
        object.insert(key, value);
    return object;
}

// The valid file with member key of the first element of list replaced (removed when undefined).
QByteArray withFirst(const QString &list, const QString &key, const QJsonValue &value)
{
    QJsonArray array = validFile().value(list).toArray();
    array.replace(0, with(array.first().toObject(), key, value));
    return QJsonDocument(with(validFile(), list, array)).toJson();
}

// The valid file with a top-level member replaced.
QByteArray withTop(const QString &key, const QJsonValue &value)
{
    return QJsonDocument(with(validFile(), key, value)).toJson();
}

} // namespace

class tst_SimGateway : public QObject
{
    Q_OBJECT

private:
    SimServer m_server; // for the faults, logged in as the demo user
    std::unique_ptr<SimTestClient> m_http;

    bool addFault(const QJsonObject &fault)
    {
        return SimTestClient::json(m_http->post("/sim/faults", fault))["ok"].toBool();
    }
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
        QString error;
        QVERIFY2(m_server.start({}, &error), qPrintable(error));
        m_http = std::make_unique<SimTestClient>(m_server.httpPort());
        QVERIFY(!m_server.login("demo", "demo123").isEmpty());
    }

    void cleanup() { m_server.faults().clear(); }

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
        QCOMPARE(http.post("/sim/tokens/expire", QJsonObject {{"scope", "everything"}})->status,
                 400);
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

    void brokenFilesNameWhatIsWrongAndWhere_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("message");

        QTest::newRow("syntax") << QByteArray("{\n  \"shops\": [,]\n}")
                                << "line 2, column 14: illegal value";
        QTest::newRow("array at top") << QByteArray("[]") << "top level: must be an object";
        QTest::newRow("no shops") << withTop("shops", QJsonValue::Undefined)
                                  << "top level: \"shops\" must be a non-empty array";
        QTest::newRow("device id missing")
            << withFirst("devices", "deviceId", QJsonValue::Undefined)
            << "devices[0]: \"deviceId\" must be a non-empty string";
        QTest::newRow("device type unknown") << withFirst("devices", "deviceType", "toaster")
                                             << "devices[0]: \"deviceType\" must be one of "
                                                "recorder, camera, door";
        QTest::newRow("unknown shop") << withFirst("devices", "shopCode", "Z")
                                      << "devices[0]: \"shopCode\" \"Z\" names no shop";
        QTest::newRow("port out of range") << withFirst("devices", "streamPort", 70000)
                                           << "devices[0]: \"streamPort\" must be a whole number "
                                              "from 0 to 65535";
        QTest::newRow("channel twice")
            << withFirst("devices", "channels",
                         QJsonArray {QJsonObject {{"channelId", 1}, {"channelName", "a"}},
                                     QJsonObject {{"channelId", 1}, {"channelName", "b"}}})
            << "devices[0].channels[1]: \"channelId\" \"1\" is used twice";
        QTest::newRow("unknown user menu")
            << withFirst("users", "menus", QJsonArray {"nowhere"})
            << "users[0]: \"menus\" names an unknown menu path [\"nowhere\"]";
        QTest::newRow("version not text")
            << withTop("version", QJsonObject {{"url", 5}}) << "version: \"url\" must be a string";
    }

    void brokenFilesNameWhatIsWrongAndWhere()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, message);
        QString error;
        QVERIFY(!DeviceFile::parse(content, &error));
        QCOMPARE(error, message);
    }

    void faultsAreUsedUpOrStayUntilCleared()
    {
        QVERIFY(
            addFault({{"path", versionPath}, {"action", "status"}, {"status", 502}, {"times", 2}}));
        QVERIFY(addFault({{"path", versionPath}, {"action", "status"}, {"status", 503}}));
        QCOMPARE(m_http->get(versionPath)->status, 502);
        QCOMPARE(m_http->get(versionPath)->status, 502);
        QCOMPARE(m_http->get(versionPath)->status, 503); // queued behind the first
        QCOMPARE(m_http->get(versionPath)->status, 200);

        // Sticky, for one method, and for every route but the control API.
        QVERIFY(addFault({{"path", tokenPath},
                          {"method", "post"},
                          {"action", "status"},
                          {"status", 500},
                          {"sticky", true}}));
        QVERIFY(addFault({{"path", "*"}, {"action", "status"}, {"status", 418}, {"sticky", true}}));
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(m_http->post(tokenPath, "")->status, 500);
            QCOMPARE(m_http->get(tokenPath, demoToken)->status, 418);
        }
        QCOMPARE(SimTestClient::json(m_http->get("/sim/faults"))["faults"].toArray().size(), 2);
        // Clearing one path leaves the others; clearing without a path leaves none.
        QVERIFY(m_http->post("/sim/faults/clear", QJsonObject {{"path", "*"}}));
        QCOMPARE(m_http->get(tokenPath, demoToken)->status, 200);
        QCOMPARE(m_http->post(tokenPath, "")->status, 500);
        QVERIFY(m_http->post("/sim/faults/clear", QJsonObject()));
        QCOMPARE(m_http->post(tokenPath, "")->status, 404);
    }

    void controlApiRefusesWrongFaults_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("error");
        QTest::newRow("not json") << QByteArray("{path") << "the body is not JSON: ";
        QTest::newRow("array") << QByteArray("[]") << "the body must be a JSON object";
        QTest::newRow("action") << QByteArray(R"({"path":"/x","action":"explode"})")
                                << "unknown action \"explode\"; known: none, status, malformed, "
                                   "body, close";
        QTest::newRow("status") << QByteArray(R"({"path":"/x","action":"status"})")
                                << "action \"status\" needs \"status\"";
        QTest::newRow("times") << QByteArray(R"({"path":"/x","times":0})")
                               << "\"times\" must be a whole number from 1 to 2147483647";
        QTest::newRow("path") << QByteArray(R"({"path":""})")
                              << "\"path\" must name a route or be \"*\"";
        QTest::newRow("sticky") << QByteArray(R"({"path":"/x","sticky":"yes"})")
                                << "\"sticky\" must be true or false";
    }

    void controlApiRefusesWrongFaults()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, error);
        const httplib::Result result = m_http->post("/sim/faults", body);
        QCOMPARE(result->status, 400);
        QVERIFY2(SimTestClient::json(result)["error"].toString().startsWith(error),
                 qPrintable(SimTestClient::json(result)["error"].toString()));
        QVERIFY(m_server.faults().list().isEmpty());
    }

    void stoppingEndsAnswersThatWaitOnPurpose()
    {
        SimServer server;
        QString error;
        QVERIFY2(server.start({0, 0, false, {}}, &error), qPrintable(error));
        const int port = server.httpPort();
        server.faults().add(
            *Fault::fromJson({{"path", versionPath}, {"delayMs", 3600000}}, &error));
        server.faults().add(*Fault::fromJson(
            {{"path", tokenPath}, {"chunks", 10}, {"chunkIntervalMs", 3600000}}, &error));
        std::atomic<bool> lateAnswered {true}, trickleAnswered {true};
        std::thread lateClient([&] { lateAnswered = bool(SimTestClient(port).get(versionPath)); });
        std::thread trickleClient(
            [&] { trickleAnswered = bool(SimTestClient(port).get(tokenPath)); });
        QVERIFY(server.requestLog().waitFor({}, 2, 10000));
        server.stop(); // would hang for an hour if the waits ignored it
        lateClient.join();
        trickleClient.join();
        QVERIFY(!lateAnswered);
        QVERIFY(!trickleAnswered);
    }
};

QTEST_GUILESS_MAIN(tst_SimGateway)
#include "tst_SimGateway.moc"
