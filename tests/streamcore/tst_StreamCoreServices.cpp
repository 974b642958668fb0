// The media library's services beside the picture, against the simulated devices: record
// searches and month bitmaps, talk over the back channel and the device web port. PTZ moves
// are driven through the client's PTZ panel by its own tests.
#include "SimHarness.h"
#include "VideoProbe.h"

#include <SimMedia/RecordSchedule.h>
#include <StreamCore/AudioTalk.h>
#include <StreamCore/IMediaObserver.h>
#include <StreamCore/IStreamCore.h>
#include <StreamCore/ITalkObserver.h>
#include <StreamCore/PtzControlDll.h>

#include <httplib.h>

#include <QDateTime>
#include <QtTest>

#include <algorithm>

using namespace StreamCore;

namespace {

// Copies of the library's events, which are valid only during the call.
struct MediaCopy
{
    MediaEvent event;
    std::string text1, text2, bitmap, deviceId;
    std::vector<RecordInfo> records;
};

std::string text(const char *t)
{
    return t ? t : "";
}

class MediaProbe : public IMediaObserver
{
public:
    MediaProbe() { IStreamCore::GetInstance()->AddObserver(this); }
    ~MediaProbe() override { IStreamCore::GetInstance()->RemoveObserver(this); }
    void OnMediaEvent(const MediaEvent *e) override
    {
        events.push_back({*e,
                          text(e->text1),
                          text(e->text2),
                          text(e->bitmap),
                          text(e->deviceId),
                          {e->records, e->records + e->recordCount}});
    }
    // Takes the next event of this type.
    bool next(int type, MediaCopy *copy)
    {
        const auto found = [&] {
            return std::find_if(events.begin(), events.end(),
                                [&](const MediaCopy &c) { return c.event.type == type; });
        };
        if (!QTest::qWaitFor([&] { return found() != events.end(); }, VideoProbe::scaled(10000)))
            return false;
        *copy = *found();
        events.erase(found());
        return true;
    }
    std::vector<MediaCopy> events;
};

class TalkProbe : public ITalkObserver
{
public:
    void OnTalkEvent(const TalkEvent *e) override { events.push_back(*e); }
    bool waitFor(int state)
    {
        return QTest::qWaitFor(
            [&] {
                return std::any_of(events.begin(), events.end(),
                                   [&](const TalkEvent &e) { return e.talkState == state; });
            },
            VideoProbe::scaled(12000));
    }
    std::vector<TalkEvent> events;
};

} // namespace

class tst_StreamCoreServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_sim.start()); }

    // What the asker passed comes back unchanged with the schedule's recordings.
    void recordSearchMatchesTheSchedule()
    {
        MediaProbe probe;
        for (const int source : {RECORD_SRC_DEVICE, RECORD_SRC_CLOUD}) {
            const QDate day = QDate::currentDate().addDays(-1 - source);
            const qint64 begin = QDateTime(day.addDays(-1), QTime(22, 0)).toSecsSinceEpoch();
            const qint64 end = QDateTime(day, QTime(23, 59, 59)).toSecsSinceEpoch();
            const QByteArray beginText = SimHarness::localText(begin).toUtf8(),
                             endText = SimHarness::localText(end).toUtf8();
            QCOMPARE(IStreamCore::GetInstance()->QueryRecord(
                         {SimHarness::kToken, SimHarness::kRecorder, 2, beginText.constData(),
                          endText.constData(), source, 5, 301, 1700000000, 3}),
                     0);
            MediaCopy answer;
            QVERIFY(probe.next(MEDIA_EVENT_RECORD_QUERY, &answer));
            QCOMPARE(answer.event.window, 5);
            QCOMPARE(answer.event.frameType, 301);
            QCOMPARE(answer.event.queryTime, 1700000000LL);
            QCOMPARE(answer.event.queryType, 3);
            QCOMPARE(answer.event.source, source);
            QCOMPARE(answer.text1, std::string(SimHarness::kRecorder));
            QCOMPARE(answer.text2, std::string());
            const auto expected = SimMedia::RecordSchedule::between(
                SimHarness::kRecorder, 2, source, begin, end, QDateTime::currentSecsSinceEpoch());
            QCOMPARE(answer.event.result, int(expected.size()));
            QCOMPARE(answer.records.size(), expected.size());
            for (size_t i = 0; i < expected.size(); ++i) {
                const RecordInfo &r = answer.records[i];
                QCOMPARE(QString(r.recordId), QString::fromStdString(expected[i].id));
                QCOMPARE(QString(r.beginTime), SimHarness::localText(expected[i].begin));
                QCOMPARE(QString(r.endTime), SimHarness::localText(expected[i].end));
                QCOMPARE(r.channel, 2);
                QCOMPARE(r.type, expected[i].type);
                QCOMPARE(QString(r.deviceId), QString(SimHarness::kRecorder));
            }
        }
    }

    void recordSearchFailures()
    {
        MediaProbe probe;
        IStreamCore *core = IStreamCore::GetInstance();
        MediaCopy answer;
        RecordParam refused {"stale",
                             SimHarness::kRecorder,
                             1,
                             "2024-01-01 00:00:00",
                             "2024-01-01 23:59:59",
                             0,
                             1,
                             1,
                             0,
                             0};
        RecordParam unknown = refused;
        unknown.token = SimHarness::kToken;
        unknown.deviceId = "NOPE";
        for (const auto &[param, error] : {std::pair(refused, "100"), std::pair(unknown, "404")}) {
            QCOMPARE(core->QueryRecord(param), 0);
            QVERIFY(probe.next(MEDIA_EVENT_RECORD_QUERY, &answer));
            QCOMPARE(answer.event.result, -1);
            QCOMPARE(answer.text2, std::string(error));
            QCOMPARE(answer.event.recordCount, 0);
        }
        // Month bitmaps that match the schedule are shown by the client's own tests.
        QCOMPARE(core->QueryRecordBitmap(0, "stale", SimHarness::kCamera, 1, 2024, 3), 0);
        QVERIFY(probe.next(MEDIA_EVENT_RECORD_BITMAP, &answer));
        QCOMPARE(answer.event.result, -1);
        QCOMPARE(answer.bitmap, std::string());

        // Malformed requests are refused at once, without an event.
        RecordParam malformed = unknown;
        malformed.beginTime = "yesterday";
        QCOMPARE(core->QueryRecord(malformed), -1);
        malformed.beginTime = "2024-01-02 00:00:00"; // after the end
        QCOMPARE(core->QueryRecord(malformed), -1);
        QCOMPARE(core->QueryRecordBitmap(0, SimHarness::kToken, SimHarness::kRecorder, 1, 2024, 13),
                 -1);
        QCOMPARE(PtzControlDll().PtzMoveControl({nullptr, SimHarness::kToken, 2, 600000, 3}), -1);
        QTest::qWait(200);
        QVERIFY(probe.events.empty());
    }

    void talk_data()
    {
        QTest::addColumn<QString>("microphone");
        QTest::addColumn<QString>("device");
        QTest::addColumn<bool>("works");
        const QString sine = "audiotestsrc is-live=true wave=sine freq=300";
        QTest::newRow("talks") << sine << SimHarness::kRecorder << true;
        QTest::newRow("no microphone")
            << "filesrc location=/nonexistent/microphone" << SimHarness::kRecorder << false;
    }

    void talk()
    {
        QFETCH(QString, microphone);
        QFETCH(QString, device);
        QFETCH(bool, works);
        qputenv("STREAMCORE_MICROPHONE", microphone.toUtf8());
        IStreamCore *core = IStreamCore::GetInstance();
        AudioTalk *talk = core->InitAudioTalk();
        QVERIFY(talk);
        QCOMPARE(core->InitAudioTalk(), talk); // one talk object for everybody
        TalkProbe probe;
        QCOMPARE(talk->AddObserver(&probe), 0);
        QCOMPARE(talk->AddObserver(&probe), -1);
        QCOMPARE(talk->StartTalk(SimHarness::kToken, device.toUtf8(), 1, 42), 0);
        QVERIFY(probe.waitFor(works ? TALK_STATE_TALKING : TALK_STATE_FAILED));
        QCOMPARE(probe.events.back().result, works ? 0 : -1);
        QCOMPARE(probe.events.back().playHandle, 42);
        QCOMPARE(talk->IsTalking(), works);
        if (works) {
            QCOMPARE(talk->StartTalk(SimHarness::kToken, SimHarness::kRecorder, 2, 43), -2);
            QVERIFY(QTest::qWaitFor(
                [&] { return m_sim.media().talkReceived(SimHarness::kRecorder, 1).size() > 8000; },
                VideoProbe::scaled(10000)));
            const std::string sound = m_sim.media().talkReceived(SimHarness::kRecorder, 1);
            // Not only the two μ-law codes of silence.
            QVERIFY(std::any_of(sound.begin(), sound.end(),
                                [](unsigned char c) { return c != 0xFF && c != 0x7F; }));
            QCOMPARE(talk->StopTalk(), 0);
            QVERIFY(!talk->IsTalking());
            QCOMPARE(probe.events.back().talkState, int(TALK_STATE_STOPPED));
            QCOMPARE(talk->StopTalk(), -1);
        }
        QCOMPARE(talk->RemoveObserver(&probe), 0);
        QCOMPARE(core->UnitAudioTalk(talk), 0);
        QCOMPARE(core->UnitAudioTalk(talk), 0);
        QCOMPARE(core->UnitAudioTalk(talk), -1);
    }

    void webPortReachesTheDevicePage()
    {
        IStreamCore *core = IStreamCore::GetInstance();
        MediaProbe probe;
        QCOMPARE(core->AddDevices(SimHarness::kToken, "not json"), -1);
        const QByteArray devices = QByteArray("[{\"Sn\":\"") + SimHarness::kRecorder
            + "\",\"Type\":1,\"Port\":8086,\"User\":\"admin\",\"Pwd\":\"pw\"}]";
        QCOMPARE(core->AddDevices(SimHarness::kToken, devices), 0);
        QCOMPARE(core->GetDevWebP2pPort(SimHarness::kRecorder).state, int(WEB_PORT_NONE));

        QCOMPARE(core->GetWebP2pPort(SimHarness::kToken, SimHarness::kRecorder), 0);
        MediaCopy opened;
        QVERIFY(probe.next(MEDIA_EVENT_WEB_PORT, &opened));
        QCOMPARE(opened.deviceId, std::string(SimHarness::kRecorder));
        QVERIFY(opened.event.port > 0);
        const PortState state = core->GetDevWebP2pPort(SimHarness::kRecorder);
        QCOMPARE(state.port, opened.event.port);
        QCOMPARE(state.state, int(WEB_PORT_OPEN));
        const auto page = httplib::Client("127.0.0.1", state.port).Get("/");
        QVERIFY(page && page->body.find(SimHarness::kRecorder) != std::string::npos);

        QCOMPARE(core->ClearDevWebPort(SimHarness::kRecorder), 0);
        QCOMPARE(core->GetDevWebP2pPort(SimHarness::kRecorder).state, int(WEB_PORT_NONE));
        httplib::Client closed("127.0.0.1", state.port);
        QVERIFY(!closed.Get("/"));

        // A device the user does not have gets no port.
        QCOMPARE(core->GetWebP2pPort(SimHarness::kToken, SimHarness::kCamera), 0);
        MediaCopy failed;
        QVERIFY(probe.next(MEDIA_EVENT_WEB_PORT, &failed));
        QCOMPARE(failed.event.port, 0);
        QCOMPARE(failed.deviceId, std::string(SimHarness::kCamera));
        QCOMPARE(core->GetDevWebP2pPort(SimHarness::kCamera).state, int(WEB_PORT_FAILED));
    }

private:
    SimHarness m_sim;
};

QTEST_MAIN(tst_StreamCoreServices)
#include "tst_StreamCoreServices.moc"
