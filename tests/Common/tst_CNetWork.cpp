// The HTTP client against the reference platform on loopback, with its faults. The first-data
// guard is shortened to kGuardMs so that late and trickled answers take a second, not ten.
#include "Common/CNetWork.h"
#include "Common/CNetWorkListener.h"
#include "LogText.h"

#include <SimServer.h>
#include <kwl/KPrintLog.h>

#include <QTcpServer>
#include <QtTest>

using Common::CNetWork;

namespace {

const QString kVersionPath = "/gateway//membership/appVersion/getVersion/9";
const QString kNoRoute = "/gateway/no/such/route";
constexpr int kGuardMs = 300;
const QString kCanceled = "error:" + QString::number(QNetworkReply::OperationCanceledError);

// Records every callback in order as short entries: "headers", "data", "finished",
// "error:<code>"; a reply ends with "finished" or an error other than the cancellation.
class RecordingListener : public Common::CNetWorkListener
{
public:
    QStringList events;
    QByteArray body;
    QStringList errorMessages;

    void onNetWorkReadyRead(const QByteArray &data, const QString &) override
    {
        events << "data";
        body += data;
    }
    void onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &headers,
                                    const QString &name) override
    {
        events << (headers.isEmpty() || !name.isEmpty() ? "bad headers" : "headers");
    }
    void onNetWorkFinished(const QString &) override { events << "finished"; }
    void onNetWorkError(int code, const QString &message, const QString &) override
    {
        events << "error:" + QString::number(code);
        errorMessages << message;
    }
    // The outcome events only: finishes and errors, without headers and data.
    QStringList outcomes() const { return events.filter(QRegularExpression("^(finished|error)")); }
    int ended() const { return outcomes().size() - outcomes().count(kCanceled); }
};

} // namespace

class tst_CNetWork : public QObject
{
    Q_OBJECT

private:
    SimServer m_sim;

    void delay(const QString &path, int delayMs, int chunks = 0)
    {
        Fault fault;
        fault.path = path;
        fault.delayMs = chunks ? 0 : delayMs;
        fault.chunks = chunks;
        fault.chunkIntervalMs = chunks ? delayMs : 0;
        m_sim.faults().add(fault);
    }

    void get(CNetWork &client, RecordingListener &listener, const QString &url)
    {
        client.setListener(&listener);
        client.setUrl(url);
        client.get();
    }

private slots:
    void initTestCase()
    {
        CNetWork::setFirstDataTimeOut(kGuardMs);
        KPrintLog::instance()->SetFile("log/net");
        QString error;
        QVERIFY2(m_sim.start(SimServerOptions(), &error), qPrintable(error));
    }

    void init()
    {
        m_sim.faults().clear();
        m_sim.requestLog().clear();
    }

    void trickledBodyOutlastsTheGuard()
    {
        delay(kVersionPath, kGuardMs, 4); // four chunks, the last well past the guard
        CNetWork client("slow");
        RecordingListener listener;
        get(client, listener, m_sim.httpUrl() + kVersionPath);
        QTRY_COMPARE(listener.ended(), 1);
        QCOMPARE(listener.outcomes(), QStringList {"finished"});
        QVERIFY(listener.events.count("data") >= 2);
        QVERIFY(QJsonDocument::fromJson(listener.body).isObject());
    }

    // An empty body finishes without data, and its guard, which then finds the reply finished,
    // stays quiet; a late first byte times out; errors are reported once, never followed by a
    // finish or by the late answer: each next request's outcome comes after them.
    void outcomesAreReportedOnce()
    {
        Fault empty;
        empty.path = kVersionPath;
        empty.action = Fault::Action::Body;
        empty.status = 200;
        empty.body = QByteArray();
        m_sim.faults().add(empty);
        delay(kVersionPath, 4 * kGuardMs);
        delay(kNoRoute, 8 * kGuardMs);
        CNetWork client("late");
        RecordingListener listener;
        get(client, listener, m_sim.httpUrl() + kVersionPath);
        QTRY_COMPARE(listener.ended(), 1);
        QCOMPARE(listener.events, QStringList {"finished"});
        get(client, listener, m_sim.httpUrl() + kVersionPath);
        QTRY_COMPARE(listener.ended(), 2);
        QCOMPARE(listener.events, QStringList({"finished", kCanceled, "error:-1001"}));
        QCOMPARE(listener.errorMessages.last(), QString("onNetWorkTimeOut"));

        CNetWork::setFirstDataTimeOut(10 * kGuardMs);
        get(client, listener, m_sim.httpUrl() + kNoRoute);
        CNetWork::setFirstDataTimeOut(kGuardMs);
        QTRY_COMPARE(listener.ended(), 3);
        QTcpServer probe; // a port nobody listens on: connection refused
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const quint16 deadPort = probe.serverPort();
        probe.close();
        get(client, listener, QString("http://127.0.0.1:%1/x").arg(deadPort));
        QTRY_COMPARE(listener.ended(), 4);
        QCOMPARE(listener.outcomes(),
                 QStringList({"finished", kCanceled, "error:-1001", "error:203",
                              "error:" + QString::number(QNetworkReply::ConnectionRefusedError)}));
    }

    void httpsInCapitalsSkipsVerificationAndSaysSoOnce()
    {
        CNetWork client("secure");
        for (int i = 1; i <= 2; ++i) {
            RecordingListener listener;
            QString url = m_sim.httpsUrl() + kVersionPath;
            get(client, listener, url.replace("https://", "HTTPS://"));
            QTRY_COMPARE(listener.ended(), 1);
            QCOMPARE(listener.outcomes(), QStringList {"finished"});
        }
        QCOMPARE(m_sim.requestLog().requests(kVersionPath).last().scheme, QString("https"));
        const QRegularExpression line(
            R"(INFO \[tid \d+\] Common/CNetWork:\d+ Common::CNetWork::setUrl: HTTPS to the )"
            R"(platform: peer verification off \(kPlatformPeerVerify\)\n)");
        QCOMPARE(logText().count(line), 1);
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
        QTRY_COMPARE(listener.ended(), 1);
        const SimRequest post = m_sim.requestLog().requests().last();
        QCOMPARE(post.header("Content-Type"), QByteArray("application/json;charset=utf-8"));
        QCOMPARE(post.header("Accept-Language"), QByteArray("zh-CN"));
        QCOMPARE(post.header("timeOffset"),
                 QByteArray::number(-qint64(QDateTime::currentDateTime().offsetFromUtc()) * 1000));
        QCOMPARE(post.header("Authorization"), QByteArray("Bearer ut-demo-7f3a9c21"));

        // A GET sends what is set on the request itself; the class-wide values change every
        // later POST.
        client.setContentType("text/plain");
        get(client, listener, m_sim.httpUrl() + kVersionPath);
        QTRY_COMPARE(listener.ended(), 2);
        QCOMPARE(m_sim.requestLog().requests().last().header("Content-Type"),
                 QByteArray("text/plain"));
        CNetWork::setPostAcceptLanguage("en-US");
        client.post("{}");
        QTRY_COMPARE(listener.ended(), 3);
        CNetWork::setPostAcceptLanguage("zh-CN");
        QCOMPARE(m_sim.requestLog().requests().last().header("Accept-Language"),
                 QByteArray("en-US"));
    }

    void abortAndNewerRequestsReplaceOlderOnes()
    {
        Fault late;
        late.path = kVersionPath;
        late.delayMs = 2 * kGuardMs;
        late.times = 2;
        m_sim.faults().add(late);
        CNetWork::setFirstDataTimeOut(10 * kGuardMs);
        CNetWork client("abort");
        RecordingListener listener;
        get(client, listener, m_sim.httpUrl() + kVersionPath);
        QVERIFY(m_sim.requestLog().waitFor(kVersionPath, 1, 5000));
        client.abortRequest();
        client.abortRequest(); // nothing in flight any more
        QCOMPARE(listener.events, QStringList {kCanceled});

        // Two sends in a row: only the newest reply, answered after the older one, reports.
        delay(kNoRoute, 4 * kGuardMs);
        RecordingListener newest;
        get(client, newest, m_sim.httpUrl() + kVersionPath);
        get(client, newest, m_sim.httpUrl() + kNoRoute);
        QTRY_COMPARE(newest.ended(), 1);
        CNetWork::setFirstDataTimeOut(kGuardMs);
        QCOMPARE(newest.outcomes(), QStringList {"error:203"});
    }
};

QTEST_GUILESS_MAIN(tst_CNetWork)
#include "tst_CNetWork.moc"
