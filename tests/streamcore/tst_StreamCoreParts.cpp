// The media library's parts that need no stream: what a play plan asks for and where jumps
// land, the bit rate meter, the error texts of the platform client against a real HTTP server,
// and observer lists changed during delivery.
#include <BitRateMeter.h>
#include <MediaError.h>
#include <ObserverList.h>
#include <PlatformClient.h>
#include <PlaybackPlan.h>

#include <httplib.h>

#include <QDateTime>
#include <QtTest>

#include <cstring>
#include <thread>
#include <tuple>

using namespace StreamCore;

namespace {

RecordInfo record(const char *id, const QString &begin, const QString &end, int channel = 3)
{
    RecordInfo r {};
    std::strcpy(r.recordId, id);
    std::strcpy(r.beginTime, begin.toUtf8().constData());
    std::strcpy(r.endTime, end.toUtf8().constData());
    r.channel = channel;
    return r;
}

qint64 at(const char *text)
{
    return QDateTime::fromString(text, "yyyy-MM-dd HH:mm:ss").toSecsSinceEpoch();
}

std::string param(const PlatformClient::Params &p, const char *key)
{
    auto it = p.find(key);
    return it == p.end() ? std::string("<none>") : it->second;
}

struct Counter
{
    int calls = 0;
};

} // namespace

class tst_StreamCoreParts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Recordings given in any order play in time order; unreadable ones and those outside the
    // span are left out. Walking and seeking them on real streams is in the playback test.
    void playByFileOrdersAndFiltersRecordings()
    {
        const RecordInfo list[] = {
            record("c", "2024-03-01 12:00:00", "2024-03-01 12:30:00"),
            record("a", "2024-03-01 08:00:00", "2024-03-01 09:00:00"),
            record("bad", "noon", "2024-03-01 10:00:00"),
            record("b", "2024-03-01 10:00:00", "2024-03-01 11:00:00"),
            record("late", "2024-03-01 20:00:00", "2024-03-01 21:00:00"),
        };
        PlaybackPlan plan;
        QVERIFY(plan.setByFile(1, "tok", "DEV", at("2024-03-01 08:30:00"),
                               at("2024-03-01 13:00:00"), list, 5));
        QCOMPARE(param(plan.requestParams(), "source"), std::string("1"));
        QStringList walked {plan.currentRecord()->recordId};
        while (plan.next())
            walked << plan.currentRecord()->recordId;
        QCOMPARE(walked, QStringList({"a", "b", "c"}));

        QVERIFY(!plan.setByFile(0, "tok", "DEV", at("2024-03-02 00:00:00"),
                                at("2024-03-02 01:00:00"), list, 5));
        QVERIFY(!plan.setByFile(0, "tok", "DEV", 0, at("2030-01-01 00:00:00"), nullptr, 3));
        QCOMPARE(PlaybackPlan::parseTime("2024-13-01 00:00:00"), -1LL);
    }

    void playByTimeClipsAndJoins()
    {
        PlaybackPlan plan;
        QVERIFY(!plan.setByTime(0, "tok", "DEV", 2, 1000, 1000));
        QVERIFY(plan.setByTime(0, "tok", "DEV", 2, 1000, 5000));
        QVERIFY(plan.needsRecordings());
        QCOMPARE(param(plan.searchParams(), "end"), std::string("5000"));
        QVERIFY(!plan.setRecordings({{100, 900}, {5000, 6000}}));
        // Clipped to the span; overlapping recordings play as one.
        QVERIFY(plan.setRecordings({{3000, 4000}, {500, 1200}, {2000, 3500}, {6000, 7000}}));
        QVERIFY(!plan.needsRecordings());
        PlaybackPlan::Target t;
        QVERIFY(plan.target(1100, &t));
        QCOMPARE(t.position, 100.0);
        QVERIFY(!t.reopen);
        // A moment in the gap lands on the next recording.
        QVERIFY(plan.target(1500, &t));
        QVERIFY(t.reopen);
        QCOMPARE(plan.timeAt(0), 2000LL);
        QCOMPARE(param(plan.requestParams(), "begin"), std::string("2000"));
        QCOMPARE(param(plan.requestParams(), "end"), std::string("4000"));
        QVERIFY(!plan.next());
        QVERIFY(!plan.target(999, &t));
        QVERIFY(!plan.target(4500, &t));
        // A failed search plays the whole span as one stream.
        QVERIFY(plan.setByTime(0, "tok", "DEV", 2, 1000, 5000));
        plan.playWholeSpan();
        QCOMPARE(param(plan.requestParams(), "end"), std::string("5000"));
    }

    void bitRateFollowsTheStream()
    {
        using Clock = BitRateMeter::Clock;
        using std::chrono::milliseconds;
        BitRateMeter meter;
        const Clock::time_point start = Clock::now();
        QCOMPARE(meter.kbps(start), 0.0f);
        // 25 pictures a second of 2500 bytes: 500 kbit/s.
        for (int i = 0; i <= 100; ++i)
            meter.add(2500, start + milliseconds(40 * i));
        const float rate = meter.kbps(start + milliseconds(4000));
        QVERIFY2(rate > 470 && rate < 530, qPrintable(QString::number(rate)));
        // A stream that stops fades out as the window passes.
        QVERIFY(meter.kbps(start + milliseconds(30000)) < 50);
    }

    void platformAnswersBecomeErrorTexts()
    {
        httplib::Server server;
        server.Get("/ok", [](const httplib::Request &req, httplib::Response &res) {
            res.set_content("{\"code\":0,\"data\":{\"url\":\"rtsp://x/" + req.get_param_value("a")
                                + "\",\"auth\":\"" + req.get_header_value("Authorization") + "\"}}",
                            "application/json");
        });
        // Path, status, body: what the platform answers, and the error text it becomes.
        const std::tuple<std::string, int, std::string, std::string> answers[] = {
            {"/refused", 401, "", "100"},
            {"/missing", 404, "", "404"},
            {"/broken", 200, "{\"code\":0,", "99"},
            {"/failed", 200, "{\"code\":12,\"message\":\"busy\"}", "99"},
            {"/crashed", 500, "", "99"},
        };
        for (const auto &[path, status, body, error] : answers) {
            server.Get(
                path,
                [status = status, body = body](const httplib::Request &, httplib::Response &res) {
                    res.status = status;
                    res.set_content(body, "application/json");
                });
        }
        const int port = server.bind_to_any_port("127.0.0.1");
        std::thread thread([&] { server.listen_after_bind(); });

        PlatformClient client;
        QVERIFY(!client.configured());
        QCOMPARE(client.get("/ok", {}, "t").error, std::string(MediaError::kConnection));
        client.setEndpoint("127.0.0.1", port);
        QVERIFY(client.configured());
        const PlatformClient::Reply ok = client.get("/ok", {{"a", "b c"}}, "tok");
        QCOMPARE(ok.error, std::string());
        QCOMPARE(ok.data.value("url").toString(), QString("rtsp://x/b c"));
        QCOMPARE(ok.data.value("auth").toString(), QString("Bearer tok"));
        for (const auto &[path, status, body, error] : answers)
            QCOMPARE(client.get(path, {}, "t").error, error);
        server.stop();
        thread.join();
        // Nobody listens any more.
        QCOMPARE(client.post("/ok", QJsonObject(), "t").error, std::string("7"));
    }

    void observersChangedDuringDelivery()
    {
        KMutex mutex;
        ObserverList<Counter> list(mutex);
        Counter a, b, c;
        QCOMPARE(list.add(&a), 0);
        QCOMPARE(list.add(&b), 0);
        QCOMPARE(list.add(&b), -1);
        QCOMPARE(list.add(nullptr), -1);
        // The first observer removes the second one and adds a third: the removed one is not
        // called any more, the new one only from the next delivery.
        list.forEach([&](Counter *o) {
            ++o->calls;
            if (o == &a) {
                list.remove(&b);
                list.add(&c);
            }
        });
        QCOMPARE(a.calls, 1);
        QCOMPARE(b.calls, 0);
        QCOMPARE(c.calls, 0);
        list.forEach([](Counter *o) { ++o->calls; });
        QCOMPARE(c.calls, 1);
        QCOMPARE(list.remove(&b), -1);
    }
};

QTEST_GUILESS_MAIN(tst_StreamCoreParts)
#include "tst_StreamCoreParts.moc"
