// Live video through the media library against the simulated devices: what opens, what the
// window shows, and how each failure is reported; and the services beside the picture: record
// searches and talk over the back channel. A stream lost and opened again is in the outside
// cameras' test (a server ending the session) and the video window's (reconnect); PTZ moves are
// driven through the client's PTZ panel by its own tests, the device web port through the page
// by the shell's end-to-end test.
#include "SimHarness.h"
#include "VideoProbe.h"

#include <SimMedia/RecordSchedule.h>
#include <StreamCore/AudioTalk.h>
#include <StreamCore/IMediaObserver.h>
#include <StreamCore/IStreamCore.h>
#include <StreamCore/ITalkObserver.h>
#include <StreamCore/PtzControlDll.h>

#include <QDateTime>
#include <QtTest>

#include <algorithm>

using namespace StreamCore;

namespace {

// What the draw function was last called with.
struct Drawn
{
    int handle = -1;
    DrawInfo info {};
};

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
        return QTest::qWaitFor([&] { return !events.empty() && events.back().talkState == state; },
                               VideoProbe::scaled(12000));
    }
    std::vector<TalkEvent> events;
};

} // namespace

class tst_StreamCoreLive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("STREAMCORE_AUDIO_SINK", "filesink location=sound.raw");
        QVERIFY(m_sim.start());
        QVERIFY(IStreamCore::GetInstance()->CreateVideoPlay(7) == nullptr);
    }

    void liveShowsTheChannel_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("definition"); // 0: high, 640x360; 1: standard, 320x180
        QTest::newRow("H.264 standard") << SimHarness::kRecorder << 2 << 1;
        QTest::newRow("H.264 high") << SimHarness::kRecorder << 1 << 0;
        QTest::newRow("H.265 with sound") << SimHarness::kCamera << 1 << 1;
        QTest::newRow("parameter sets out of band") << SimHarness::kRecorder << 3 << 0;
    }

    void liveShowsTheChannel()
    {
        QFETCH(QString, device);
        QFETCH(int, channel);
        QFETCH(int, definition);
        VideoProbe probe;
        VideoPlay *play = probe.play();
        // Nothing plays yet, and bad arguments never start anything.
        for (int result :
             {play->Pause(), play->Resume(), play->Seek(1700000000), play->SetPlaySpeed(2),
              play->OpenAudio(), play->StartRecord("x.mp4"), play->StopRecord(),
              play->SnapShot("x.jpg", PIC_FORMAT_JPG),
              play->StartRealPlay(nullptr, SimHarness::kRecorder, 1, 1),
              play->StartRealPlay(SimHarness::kToken, "", 1, 1), play->InitVideoPlay(0)})
            QCOMPARE(result, -1);
        Drawn drawn; // the client paints its overlays over the picture (tested with its window)
        QCOMPARE(play->RegisterDrawFun(
                     [](int handle, HDC, void *info, void *user) {
                         *static_cast<Drawn *>(user) = {handle, *static_cast<DrawInfo *>(info)};
                     },
                     &drawn),
                 0);
        QCOMPARE(play->StartRealPlay(SimHarness::kToken, device.toUtf8(), channel, definition), 0);
        QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_OPENING));
        QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN));
        const VideoProbe::Event opened = probe.first(VIDEO_EVENT_LIVE_OPEN);
        QCOMPARE(opened.outcome, int(VIDEO_OUTCOME_PLAYING));
        QCOMPARE(opened.kind, int(VIDEO_KIND_LIVE));
        QCOMPARE(opened.error, QString());
        QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_PLAYING));
        // Sound opens where the stream has it, even before its first data came out.
        const bool sound = device == SimHarness::kCamera;
        QFile::remove("sound.raw");
        QCOMPARE(play->OpenAudio() == 0, sound);
        QVERIFY(probe.waitFor(VIDEO_EVENT_PICTURE_SIZE));
        const VideoProbe::Event sizeEvent = probe.first(VIDEO_EVENT_PICTURE_SIZE);
        QCOMPARE(QSize(sizeEvent.width, sizeEvent.height), QSize(640, 360) / (definition + 1));

        // The window shows this very channel, with the device's present clock (up to a delay
        // that grows on slow builds), and the play object tells that clock.
        SimMedia::FrameStamp stamp;
        QVERIFY(probe.waitForStamp([](const SimMedia::FrameStamp &) { return true; }, &stamp));
        QCOMPARE(stamp.deviceTag, SimMedia::FrameStamp::tagOf(device.toStdString()));
        QCOMPARE(int(stamp.channel), channel);
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        QVERIFY(qAbs(qint64(stamp.seconds) - now) <= VideoProbe::scaled(3));
        QVERIFY(qAbs(play->GetFrameTime() - qint64(stamp.seconds)) <= 3);
        QVERIFY(
            QTest::qWaitFor([&] { return play->GetFrameRate() > 0; }, VideoProbe::scaled(5000)));
        // The draw function learns the stream's size and the window's.
        QVERIFY(QTest::qWaitFor([&] { return drawn.info.pictureWidth == sizeEvent.width; },
                                VideoProbe::scaled(5000)));
        QCOMPARE(drawn.info.viewHeight, 180);
        QCOMPARE(drawn.handle, play->GetObjectHandle());
        const auto heard = [] { return QFileInfo("sound.raw").size() > 0; };
        QCOMPARE(QTest::qWaitFor(heard, sound ? VideoProbe::scaled(5000) : 0), sound);
        QVERIFY(!sound || (play->CloseAudio() == 0 && play->OpenAudio() == 0));
        // Live video has no recording and no speed.
        QCOMPARE(play->GetRecordBeginTime(), -1LL);
        QCOMPARE(play->SetPlaySpeed(2), -1);

        QCOMPARE(play->StopPlay(), 0);
        QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_IDLE));
        QCOMPARE(play->GetFrameTime(), 0LL);
    }

    // A refusing or silent camera: the video window's test.
    void openFailuresCarryTheirText_data()
    {
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("error");
        const QString good = SimHarness::kToken, recorder = SimHarness::kRecorder;
        QTest::newRow("token refused") << "stale" << recorder << 1 << "100";
        QTest::newRow("unknown channel") << good << recorder << 9 << "404";
        QTest::newRow("unknown device") << good << "NOPE" << 1 << "404";
    }

    void openFailuresCarryTheirText()
    {
        QFETCH(QString, token);
        QFETCH(QString, device);
        QFETCH(int, channel);
        QFETCH(QString, error);
        VideoProbe probe;
        QCOMPARE(probe.play()->StartRealPlay(token.toUtf8(), device.toUtf8(), channel, 1), 0);
        QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN));
        const VideoProbe::Event e = probe.first(VIDEO_EVENT_LIVE_OPEN);
        QCOMPARE(e.outcome, int(VIDEO_OUTCOME_FAILED));
        QCOMPARE(e.error, error);
        QCOMPARE(e.kind, int(VIDEO_KIND_LIVE));
        QCOMPARE(probe.events().size(), 1);
        QCOMPARE(probe.play()->GetVideoState(), int(VIDEO_STATE_FAILED));
    }

    void stopDuringOpenEndsQuietly()
    {
        SimMedia::ChannelFault fault;
        fault.startDelayMs = 1500;
        m_sim.media().setFault(SimHarness::kRecorder, 1, fault);
        const auto restore = qScopeGuard([this] { m_sim.media().clearFaults(); });
        VideoProbe probe;
        VideoPlay *play = probe.play();
        QCOMPARE(play->StartRealPlay(SimHarness::kToken, SimHarness::kRecorder, 1, 1), 0);
        QTest::qWait(300);
        QCOMPARE(play->StopPlay(), 0);
        QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_IDLE));
        // Whatever the abandoned stream does later never reaches the observer.
        QTest::qWait(2500);
        QVERIFY(probe.events().isEmpty());
        // A slow camera still opens, just late.
        QCOMPARE(play->StartRealPlay(SimHarness::kToken, SimHarness::kRecorder, 1, 1), 0);
        QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN, VIDEO_OUTCOME_PLAYING));
    }

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
        RecordParam refused {"stale", SimHarness::kRecorder, 1, "2024-01-01 00:00:00",
                             "2024-01-01 23:59:59"};
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
        QCOMPARE(core->AddDevices(SimHarness::kToken, "not json"), -1);
        QTest::qWait(200);
        QVERIFY(probe.events.empty());
    }

    void talk_data()
    {
        QTest::addColumn<QString>("microphone");
        QTest::addColumn<bool>("works");
        QTest::newRow("talks") << "audiotestsrc is-live=true wave=sine freq=300" << true;
        QTest::newRow("no microphone") << "filesrc location=/nonexistent/microphone" << false;
    }

    void talk()
    {
        QFETCH(QString, microphone);
        QFETCH(bool, works);
        qputenv("STREAMCORE_MICROPHONE", microphone.toUtf8());
        IStreamCore *core = IStreamCore::GetInstance();
        AudioTalk *talk = core->InitAudioTalk();
        QVERIFY(talk);
        QCOMPARE(core->InitAudioTalk(), talk); // one talk object for everybody
        TalkProbe probe;
        QCOMPARE(talk->AddObserver(&probe), 0);
        QCOMPARE(talk->AddObserver(&probe), -1);
        QCOMPARE(talk->StartTalk(SimHarness::kToken, SimHarness::kRecorder, 1, 42), 0);
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

private:
    SimHarness m_sim;
};

QTEST_MAIN(tst_StreamCoreLive)
#include "tst_StreamCoreLive.moc"
