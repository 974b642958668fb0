// The HTTP client against the reference platform on loopback, with its faults.
#include "Common/CNetWork.h"
#include "Common/CNetWorkListener.h"

#include <SimServer.h>

#include <QTcpServer>
#include <QtTest>

using Common::CNetWork;

namespace {

const QString kVersionPath = "/gateway//membership/appVersion/getVersion/9";

// Records every callback in order as short entries: "headers", "data:<bytes>", "finished",
// "error:<code>".
class RecordingListener : public Common::CNetWorkListener
{
public:
    QStringList events;
    QByteArray body;
    QStringList errorMessages;
    QStringList names;
    QList<QNetworkReply::RawHeaderPair> lastHeaders;

    void onNetWorkReadyRead(const QByteArray &data, const QString &name) override
    {
        events << "data";
        body += data;
        names << name;
    }
    void onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &headers,
                                    const QString &name) override
    {
        events << "headers";
        lastHeaders = headers;
        QVERIFY(name.isEmpty());
    }
    void onNetWorkFinished(const QString &name) override
    {
        events << "finished";
        names << name;
    }
    void onNetWorkError(int code, const QString &message, const QString &name) override
    {
        events << "error:" + QString::number(code);
        errorMessages << message;
        names << name;
    }
    // The outcome events only: finishes and errors, without headers and data.
    QStringList outcomes() const
    {
        return events.filter(QRegularExpression("^(finished|error:)"));
    }
    bool ended() const
    {
        return events.contains("finished") || events.contains("error:-1001")
            || std::any_of(events.begin(), events.end(), [](const QString &e) {
                   return e.startsWith("error:") && e != "error:5";
               });
    }
};

void sendGet(CNetWork &client, RecordingListener &listener, const QString &url)
{
    client.setListener(&listener);
    client.setUrl(url);
    client.get();
}

Fault faultOn(const QString &path)
{
    Fault fault;
    fault.path = path;
    return fault;
}

} // namespace

class tst_CNetWork : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QString error;
        QVERIFY2(m_sim.start(SimServerOptions(), &error), qPrintable(error));
    }

    void init()
    {
        m_sim.faults().clear();
        m_sim.requestLog().clear();
    }

    void getDeliversHeadersBeforeEveryChunkThenFinishes()
    {
        CNetWork client("version");
        RecordingListener listener;
        sendGet(client, listener, m_sim.httpUrl() + kVersionPath);
        QTRY_VERIFY(listener.ended());
        QCOMPARE(listener.events.last(), QString("finished"));
        QVERIFY(listener.events.contains("data"));
        QVERIFY(QJsonDocument::fromJson(listener.body).isObject());
        QVERIFY(!listener.lastHeaders.isEmpty());
        QCOMPARE(listener.names.count("version"), listener.names.size());
    }

    void firstByteAfterElevenSecondsTimesOut()
    {
        Fault late = faultOn(kVersionPath);
        late.delayMs = 11000;
        m_sim.faults().add(late);
        CNetWork client("late");
        RecordingListener listener;
        sendGet(client, listener, m_sim.httpUrl() + kVersionPath);
        QTRY_VERIFY_WITH_TIMEOUT(listener.events.contains("error:-1001"), 15000);
        // Cancellation first, then the time-out; never any data.
        QCOMPARE(listener.events,
                 QStringList({"error:" + QString::number(QNetworkReply::OperationCanceledError),
                              "error:-1001"}));
        QCOMPARE(listener.errorMessages.last(), QString("onNetWorkTimeOut"));
        QTest::qWait(1500); // the late answer arriving now must not reach the listener
        QCOMPARE(listener.events.size(), 2);
    }

    void trickledBodyOutlastsTheGuard()
    {
        Fault trickle = faultOn(kVersionPath);
        trickle.chunks = 8;
        trickle.chunkIntervalMs = 1700; // about 12 s in all, past the 10 s guard
        m_sim.faults().add(trickle);
        CNetWork client("slow");
        RecordingListener listener;
        sendGet(client, listener, m_sim.httpUrl() + kVersionPath);
        QTRY_VERIFY_WITH_TIMEOUT(listener.ended(), 20000);
        QCOMPARE(listener.events.last(), QString("finished"));
        QCOMPARE(listener.events.count("finished"), 1);
        QVERIFY(listener.events.count("data") >= 2);
        for (int i = 0; i + 1 < listener.events.size(); i += 2) {
            QCOMPARE(listener.events[i], QString("headers"));
            QCOMPARE(listener.events[i + 1], QString("data"));
        }
        QVERIFY(QJsonDocument::fromJson(listener.body).isObject());
    }

    void errorsAreReportedOnceWithoutFinish()
    {
        CNetWork client("missing");
        RecordingListener listener;
        sendGet(client, listener, m_sim.httpUrl() + "/gateway/no/such/route");
        QTRY_VERIFY(listener.ended());
        QTest::qWait(200);
        QCOMPARE(listener.events.count("error:203"), 1);
        QVERIFY(!listener.events.contains("finished"));
        QVERIFY(!listener.errorMessages.first().isEmpty());

        // A dead port: connection refused, reported as Qt's code.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 deadPort = probe.serverPort();
        probe.close();
        RecordingListener refused;
        sendGet(client, refused, QString("http://127.0.0.1:%1/x").arg(deadPort));
        QTRY_VERIFY(refused.ended());
        QCOMPARE(refused.events, QStringList{"error:" + QString::number(QNetworkReply::ConnectionRefusedError)});
    }

    void httpsInCapitalsSkipsVerification()
    {
        CNetWork client("secure");
        RecordingListener listener;
        client.setListener(&listener);
        QString url = m_sim.httpsUrl() + kVersionPath;
        url.replace("https://", "HTTPS://");
        client.setUrl(url);
        client.get();
        QTRY_VERIFY(listener.ended());
        QCOMPARE(listener.events.last(), QString("finished"));
        QCOMPARE(m_sim.requestLog().requests(kVersionPath).last().scheme, QString("https"));
    }

    void postCarriesTheClassWideHeaders()
    {
        CNetWork client("post");
        RecordingListener listener;
        client.setListener(&listener);
        client.setUrl(m_sim.httpUrl() + "/gateway/device/veltra/deviceList");
        client.setToken("ut-demo-7f3a9c21");
        client.setContentType("text/plain");
        client.post("{\"deviceIds\":[]}");
        QTRY_VERIFY(listener.ended());
        const SimRequest post = m_sim.requestLog().requests().last();
        QCOMPARE(post.method, QString("POST"));
        QCOMPARE(post.header("Content-Type"), QByteArray("application/json;charset=utf-8"));
        QCOMPARE(post.header("Accept-Language"), QByteArray("zh-CN"));
        QCOMPARE(post.header("timeOffset"),
                 QByteArray::number(-qint64(QDateTime::currentDateTime().offsetFromUtc()) * 1000));
        QCOMPARE(post.header("Authorization"), QByteArray("Bearer ut-demo-7f3a9c21"));
        QCOMPARE(post.body, QByteArray("{\"deviceIds\":[]}"));

        // A GET sends what was set on the request itself: the POST wrote the class-wide type over
        // it, so set it again.
        client.setContentType("text/plain");
        client.setUrl(m_sim.httpUrl() + kVersionPath);
        RecordingListener second;
        client.setListener(&second);
        client.get();
        QTRY_VERIFY(second.ended());
        const SimRequest get = m_sim.requestLog().requests().last();
        QCOMPARE(get.method, QString("GET"));
        QCOMPARE(get.header("Content-Type"), QByteArray("text/plain"));
        QCOMPARE(get.header("Authorization"), QByteArray("Bearer ut-demo-7f3a9c21"));

        // The class-wide values can be changed for every later POST.
        CNetWork::setPostAcceptLanguage("en-US");
        client.post("{}");
        QTRY_COMPARE(m_sim.requestLog().requests().last().header("Accept-Language"), QByteArray("en-US"));
        CNetWork::setPostAcceptLanguage("zh-CN");
    }

    void emptyBodyFinishesAndTheGuardStaysQuiet()
    {
        Fault empty = faultOn(kVersionPath);
        empty.action = Fault::Action::Body;
        empty.status = 200;
        empty.body = QByteArray();
        m_sim.faults().add(empty);
        CNetWork client("empty");
        RecordingListener listener;
        sendGet(client, listener, m_sim.httpUrl() + kVersionPath);
        QTRY_VERIFY(listener.ended());
        QCOMPARE(listener.events, QStringList{"finished"});
    }

    void abortAndNewerRequestsReplaceOlderOnes()
    {
        Fault late = faultOn(kVersionPath);
        late.delayMs = 1500;
        late.times = 2;
        m_sim.faults().add(late);
        CNetWork client("abort");
        RecordingListener listener;
        sendGet(client, listener, m_sim.httpUrl() + kVersionPath);
        QVERIFY(m_sim.requestLog().waitFor(kVersionPath, 1, 5000));
        client.abortRequest();
        QCOMPARE(listener.events,
                 QStringList{"error:" + QString::number(QNetworkReply::OperationCanceledError)});
        client.abortRequest(); // nothing in flight: nothing happens
        QCOMPARE(listener.events.size(), 1);

        // Two sends in a row: only the newest reply reports.
        RecordingListener newest;
        client.setListener(&newest);
        client.get();
        client.setUrl(m_sim.httpUrl() + "/gateway/no/such/route");
        client.get();
        QTRY_VERIFY(newest.ended());
        QTest::qWait(2000); // the first, late reply arrives meanwhile
        QCOMPARE(newest.outcomes(), QStringList{"error:203"});
    }

private:
    SimServer m_sim;
};

QTEST_GUILESS_MAIN(tst_CNetWork)
#include "tst_CNetWork.moc"
