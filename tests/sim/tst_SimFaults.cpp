#include "SimServer.h"
#include "SimTestClient.h"

#include <QtTest>

#include <atomic>
#include <thread>

namespace {

const QString tokenPath = GatewayRoutes::tokenPath;
const QString deviceListPath = GatewayRoutes::deviceListPath;
const QString versionPath = GatewayRoutes::versionPath;
const QString demoToken = "ut-demo-7f3a9c21";

// A fault set from C++; a wrong one ends the test with an exception.
Fault fault(const QJsonObject &json)
{
    QString error;
    return Fault::fromJson(json, &error).value();
}

} // namespace

class tst_SimFaults : public QObject
{
    Q_OBJECT

private:
    SimServer m_server;
    std::unique_ptr<SimTestClient> m_http;

    // Sets a fault through the control API, as a test of the client would.
    bool addFault(const QJsonObject &fault)
    {
        return SimTestClient::json(m_http->post("/sim/faults", fault))["ok"].toBool();
    }

    QByteArray normalTokenReply()
    {
        return QByteArray::fromStdString(m_http->get(tokenPath, demoToken)->body);
    }

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_server.start({}, &error), qPrintable(error));
        m_http = std::make_unique<SimTestClient>(m_server.httpPort());
        QVERIFY(!m_server.login("demo", "demo123").isEmpty());
    }

    void cleanup()
    {
        m_server.faults().clear();
        m_server.requestLog().clear();
    }

    void bodyFaultsChangeTheTokenReply_data()
    {
        QTest::addColumn<QJsonObject>("fault");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("check");

        QTest::newRow("status") << QJsonObject {{"action", "status"}, {"status", 404}} << 404
                                << "refusal";
        QTest::newRow("status with body")
            << QJsonObject {{"action", "status"}, {"status", 500}, {"body", "oops"}} << 500
            << "oops";
        QTest::newRow("malformed") << QJsonObject {{"action", "malformed"}} << 200 << "not json";
        QTest::newRow("non-object") << QJsonObject {{"action", "nonObject"}} << 200 << "array";
        QTest::newRow("empty data") << QJsonObject {{"action", "emptyData"}} << 200 << "empty data";
        QTest::newRow("negative expire")
            << QJsonObject {{"action", "negativeExpire"}, {"expire", -5}} << 200 << "expire -5";
        QTest::newRow("body") << QJsonObject {{"action", "body"},
                                              {"body",
                                               "{\"data\":{\"token\":\"\",\"expire\":3600}}"}}
                              << 200 << "empty token";
        QTest::newRow("header only")
            << QJsonObject {{"headers",
                             QJsonObject {{"size", "12"}, {"Content-Type", "text/plain"}}}}
            << 200 << "header";
    }

    void bodyFaultsChangeTheTokenReply()
    {
        QFETCH(QJsonObject, fault);
        QFETCH(int, status);
        QFETCH(QString, check);

        const QJsonObject normal = QJsonDocument::fromJson(normalTokenReply()).object();
        fault.insert("path", tokenPath);
        QVERIFY(addFault(fault));
        const httplib::Result result = m_http->get(tokenPath, demoToken);
        QCOMPARE(result->status, status);
        const QByteArray body = QByteArray::fromStdString(result->body);
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(body, &error);
        const QJsonObject object = document.object();

        if (check == "refusal") {
            QCOMPARE(object["success"].toBool(true), false);
            QCOMPARE(object["code"].toString(), QString("404"));
        } else if (check == "not json") {
            QVERIFY(error.error != QJsonParseError::NoError);
            QVERIFY(!body.isEmpty());
        } else if (check == "array") {
            QVERIFY(document.isArray());
            QCOMPARE(document.array().first().toObject()["code"], normal["code"]);
        } else if (check == "empty data") {
            QCOMPARE(object["data"].toObject(), QJsonObject());
            QCOMPARE(object["code"], normal["code"]);
        } else if (check == "expire -5") {
            QCOMPARE(object["data"]["expire"].toInt(), -5);
            QCOMPARE(object["data"]["token"], normal["data"]["token"]);
        } else if (check == "empty token") {
            QCOMPARE(object["data"]["token"].toString(), QString(""));
        } else if (check == "header") {
            QCOMPARE(result->get_header_value("size"), std::string("12"));
            QCOMPARE(result->get_header_value("Content-Type"), std::string("text/plain"));
            QCOMPARE(object, normal);
        } else {
            QCOMPARE(body, check.toUtf8());
        }
        // One-shot: the next answer is the normal one again.
        QCOMPARE(m_http->get(tokenPath, demoToken)->status, 200);
        QCOMPARE(m_server.requestLog().requests(tokenPath).at(1).fault,
                 fault["action"].toString("none"));
    }

    void emptyDataKeepsTheKindOfData()
    {
        QVERIFY(addFault({{"path", deviceListPath}, {"action", "emptyData"}}));
        const QJsonObject reply = SimTestClient::json(m_http->post(deviceListPath, "", demoToken));
        QVERIFY(reply["data"].isArray());
        QVERIFY(reply["data"].toArray().isEmpty());
        QCOMPARE(reply["success"].toBool(), true);
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
            QCOMPARE(m_http->get("/anything/else")->status, 418);
        }
        const QJsonArray listed
            = SimTestClient::json(m_http->get("/sim/faults"))["faults"].toArray();
        QCOMPARE(listed.size(), 2);
        QCOMPARE(listed[0]["method"].toString(), QString("POST"));
        QCOMPARE(listed[0]["sticky"].toBool(), true);

        // Clearing one path leaves the others; clearing without a path leaves none.
        QVERIFY(SimTestClient::json(
                    m_http->post("/sim/faults/clear", QJsonObject {{"path", "*"}}))["ok"]
                    .toBool());
        QCOMPARE(m_http->get(tokenPath, demoToken)->status, 200);
        QCOMPARE(m_http->post(tokenPath, "")->status, 500);
        QVERIFY(
            SimTestClient::json(m_http->post("/sim/faults/clear", QJsonObject()))["ok"].toBool());
        QCOMPARE(m_http->post(tokenPath, "")->status, 404);
        QVERIFY(m_server.faults().list().isEmpty());
    }

    void closedConnectionGivesNoAnswer()
    {
        QVERIFY(addFault({{"path", tokenPath}, {"action", "close"}, {"times", 2}}));
        httplib::Result result = m_http->get(tokenPath, demoToken);
        QVERIFY(!result);
        QCOMPARE(result.error(), httplib::Error::Read);

        SimServer https;
        QString error;
        QVERIFY2(https.start({}, &error), qPrintable(error));
        https.login("demo", "demo123");
        https.faults().add(fault({{"path", tokenPath}, {"action", "close"}}));
        result = SimTestClient(https.httpsPort(), true).get(tokenPath, demoToken);
        QVERIFY(!result);
        QCOMPARE(https.requestLog().requests().first().fault, QString("close"));
        QCOMPARE(https.requestLog().requests().first().scheme, QString("https"));

        // The second use of the first fault, then the normal answer.
        QVERIFY(!m_http->get(tokenPath, demoToken));
        QCOMPARE(m_http->get(tokenPath, demoToken)->status, 200);
    }

    void controlApiRefusesWrongFaults_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("error");
        QTest::newRow("not json") << QByteArray("{path") << "the body is not JSON: ";
        QTest::newRow("array") << QByteArray("[]") << "the body must be a JSON object";
        QTest::newRow("action") << QByteArray(R"({"path":"/x","action":"explode"})")
                                << "unknown action \"explode\"; known: none, status, malformed, "
                                   "nonObject, emptyData, negativeExpire, body, close";
        QTest::newRow("status") << QByteArray(R"({"path":"/x","action":"status"})")
                                << "action \"status\" needs \"status\"";
        QTest::newRow("body") << QByteArray(R"({"path":"/x","action":"body"})")
                              << "action \"body\" needs \"body\"";
        QTest::newRow("times") << QByteArray(R"({"path":"/x","times":0})")
                               << "\"times\" must be a whole number from 1 to 2147483647";
        QTest::newRow("delay") << QByteArray(R"({"path":"/x","delayMs":-1})")
                               << "\"delayMs\" must be a whole number from 0 to 86400000";
        QTest::newRow("expire") << QByteArray(
            R"({"path":"/x","action":"negativeExpire","expire":5})")
                                << "\"expire\" must be a whole number from -2147483648 to -1";
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
        const QJsonObject reply = SimTestClient::json(result);
        QCOMPARE(reply["ok"].toBool(true), false);
        QVERIFY2(reply["error"].toString().startsWith(error),
                 qPrintable(reply["error"].toString()));
        QVERIFY(m_server.faults().list().isEmpty());
    }

    void stoppingEndsAnswersThatWaitOnPurpose()
    {
        SimServer server;
        QString error;
        QVERIFY2(server.start({0, 0, false, {}}, &error), qPrintable(error));
        const int port = server.httpPort();
        server.faults().add(fault({{"path", versionPath}, {"delayMs", 3600000}}));
        server.faults().add(
            fault({{"path", tokenPath}, {"chunks", 10}, {"chunkIntervalMs", 3600000}}));
        std::atomic<bool> lateAnswered {true};
        std::atomic<bool> trickleAnswered {true};
        std::thread lateClient([&] { lateAnswered = bool(SimTestClient(port).get(versionPath)); });
        std::thread trickleClient(
            [&] { trickleAnswered = bool(SimTestClient(port).get(tokenPath)); });
        QVERIFY(server.requestLog().waitFor({}, 2, 10000));

        server.stop(); // would hang for an hour if the waits ignored it
        lateClient.join();
        trickleClient.join();
        QVERIFY(!lateAnswered);
        QVERIFY(!trickleAnswered);
        QCOMPARE(server.httpPort(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_SimFaults)
#include "tst_SimFaults.moc"
