#include "SimServer.h"
#include "SimTestClient.h"

#include <QtTest>

#include <atomic>
#include <functional>
#include <thread>

namespace {

const QString tokenPath = GatewayRoutes::tokenPath;
const QString versionPath = GatewayRoutes::versionPath;
const QString demoToken = "ut-demo-7f3a9c21";

// A fault set from C++; a wrong one ends the test with an exception.
Fault fault(const QJsonObject &json)
{
    QString error;
    return Fault::fromJson(json, &error).value();
}

} // namespace

// The fault control API: what each fault does to an answer, how long it lasts, and what it
// refuses. The client's own tests use the faults the client meets (status, delay, trickle, close).
class tst_SimFaults : public QObject
{
    Q_OBJECT

private:
    SimServer m_server;
    std::unique_ptr<SimTestClient> m_http;

    bool addFault(const QJsonObject &fault)
    {
        return SimTestClient::json(m_http->post("/sim/faults", fault))["ok"].toBool();
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

    // Each fault changes the next token answer only ("status", "body", "malformed" and "close"
    // are met by the client's own tests).
    void bodyFaultsChangeTheTokenReplyOnce()
    {
        using Reply = const httplib::Result &;
        const auto document = [](Reply r) {
            return QJsonDocument::fromJson(QByteArray::fromStdString(r->body));
        };
        const struct
        {
            QJsonObject fault;
            std::function<QVariant(Reply)> seen;
            QVariant expected;
        } cases[] = {
            {{{"action", "nonObject"}}, [&](Reply r) { return document(r).isArray(); }, true},
            {{{"action", "emptyData"}},
             [&](Reply r) { return document(r)["data"].toObject().isEmpty(); },
             true},
            {{{"action", "negativeExpire"}, {"expire", -5}},
             [&](Reply r) { return document(r)["data"]["expire"].toInt(); },
             -5},
            {{{"headers", QJsonObject {{"size", "12"}}}},
             [](Reply r) { return QString::fromStdString(r->get_header_value("size")); },
             "12"},
        };
        for (const auto &c : cases) {
            QJsonObject fault = c.fault;
            fault.insert("path", tokenPath);
            QVERIFY(addFault(fault));
            const httplib::Result result = m_http->get(tokenPath, demoToken);
            QCOMPARE(result->status, 200);
            QCOMPARE(c.seen(result), c.expected);
            QVERIFY(c.seen(m_http->get(tokenPath, demoToken)) != c.expected); // used up
        }
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
                                   "nonObject, emptyData, negativeExpire, body, close";
        QTest::newRow("status") << QByteArray(R"({"path":"/x","action":"status"})")
                                << "action \"status\" needs \"status\"";
        QTest::newRow("times") << QByteArray(R"({"path":"/x","times":0})")
                               << "\"times\" must be a whole number from 1 to 2147483647";
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
    }
};

QTEST_GUILESS_MAIN(tst_SimFaults)
#include "tst_SimFaults.moc"
