// Playback of recordings through the media library: by time and by file, with pause, seek,
// speed, stepping one picture and the end of the span, read back from the recorded clock burnt
// into the picture.
#include "SimHarness.h"
#include "VideoProbe.h"

#include <StreamCore/IStreamCore.h>

#include <QDateTime>
#include <QElapsedTimer>
#include <QtTest>

#include <algorithm>

using namespace StreamCore;
using SimMedia::FrameStamp;

namespace {

constexpr int kFrameMs = 40; // the simulated devices record 25 pictures a second

// The recordings of the latest past day holding at least two, on the recorder's channel 1.
std::vector<SimMedia::Record> recordedDay(int source = RECORD_SRC_DEVICE)
{
    return SimHarness::recordedDay(SimHarness::kRecorder, 1, source, 2);
}

auto clockWithin(qint64 low, qint64 high)
{
    return [=](const FrameStamp &s) {
        return s.seconds >= low && s.seconds <= high;
    };
}

// Recorded seconds per wall second while the picture's clock moves on by `seconds`.
bool clockRate(const VideoProbe &probe, int seconds, double *rate)
{
    FrameStamp stamp;
    if (!probe.readStamp(&stamp))
        return false;
    const qint64 from = stamp.seconds;
    QElapsedTimer wall;
    wall.start();
    if (!probe.waitForStamp(clockWithin(from + seconds, from + 3 * seconds), &stamp, 60000))
        return false;
    *rate = 1000.0 * (stamp.seconds - from) / wall.elapsed();
    return true;
}

} // namespace

class tst_StreamCorePlayback : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_sim.start()); }

    void byTimePausesSeeksAndSpeedsUp()
    {
        const SimMedia::Record first = recordedDay().front();
        const qint64 begin = first.begin + 60;
        const qint64 end = begin + 900;
        VideoProbe probe(PLAY_MODE_PLAYBACK);
        VideoPlay *play = probe.play();
        QCOMPARE(play->StartPlaybackByTime(RECORD_SRC_DEVICE, SimHarness::kToken,
                                           SimHarness::kRecorder, 1, begin, end),
                 0);
        QVERIFY(probe.waitFor(VIDEO_EVENT_PLAYBACK_OPEN, VIDEO_OUTCOME_PLAYING));
        QCOMPARE(probe.first(VIDEO_EVENT_PLAYBACK_OPEN).kind, int(VIDEO_KIND_PLAYBACK));
        QCOMPARE(play->IsPlayByTime(), 1);
        QCOMPARE(play->GetRecordBeginTime(), begin);
        FrameStamp stamp;
        QVERIFY(probe.waitForStamp(clockWithin(begin, begin + 5), &stamp));
        QCOMPARE(int(stamp.channel), 1);
        QVERIFY(play->GetFrameTime() >= begin && play->GetFrameTime() <= begin + 6);

        // Paused, the recorded clock stands still (once pictures on their way are shown); resumed,
        // it runs on from there. Seeking while paused: stepsOnePicture.
        QVERIFY(probe.waitForStamp(clockWithin(begin + 2, begin + 8), &stamp));
        QCOMPARE(play->Pause(), 0);
        qint64 held = 0;
        QVERIFY(QTest::qWaitFor(
            [&] {
                held = probe.readStamp(&stamp) ? qint64(stamp.seconds) : -1;
                QTest::qWait(2500);
                return probe.readStamp(&stamp) && stamp.seconds == held;
            },
            VideoProbe::scaled(10000)));
        QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_PLAYING));
        QCOMPARE(play->Resume(), 0);
        QVERIFY(probe.waitForStamp(clockWithin(held + 1, held + 6), &stamp));

        // A seek lands on the asked moment of the recording.
        QCOMPARE(play->Seek(begin + 400), 0);
        QVERIFY(probe.waitForStamp(clockWithin(begin + 400, begin + 404), &stamp));
        QVERIFY(QTest::qWaitFor([&] { return play->GetFrameTime() >= begin + 400; },
                                VideoProbe::scaled(3000)));
        QVERIFY(play->GetFrameTime() <= begin + 405);
        QCOMPARE(play->Seek(end + 10), -1);
        QCOMPARE(play->Seek(begin - 10), -1);

        // Four times the speed moves the recorded clock faster than normal speed, both measured on
        // this machine as it is now.
        double normal = 0, fast = 0;
        QVERIFY(clockRate(probe, 4, &normal));
        QCOMPARE(play->SetPlaySpeed(4), 0);
        QVERIFY(clockRate(probe, 20, &fast));
        QVERIFY2(fast > 1.5 * normal, qPrintable(QString("%1 against %2").arg(fast).arg(normal)));
        QVERIFY(probe.readStamp(&stamp));
        QVERIFY(qAbs(play->GetFrameTime() - qint64(stamp.seconds)) <= 3);
        QCOMPARE(play->SetPlaySpeed(9), -1);
        QCOMPARE(play->SetPlaySpeed(1), 0);
    }

    void byFileWalksTheRecordings()
    {
        const std::vector<SimMedia::Record> day = recordedDay();
        const SimMedia::Record &r1 = day[0];
        const SimMedia::Record &r2 = day[1];
        // In any order: played in time order.
        const RecordInfo list[] = {SimHarness::recordInfo(r2), SimHarness::recordInfo(r1)};
        VideoProbe probe(PLAY_MODE_PLAYBACK);
        VideoPlay *play = probe.play();
        QCOMPARE(play->StartPlaybackByFile(RECORD_SRC_DEVICE, SimHarness::kToken,
                                           SimHarness::kRecorder, r1.end - 4, r2.end, list, 2),
                 0);
        QVERIFY(probe.waitFor(VIDEO_EVENT_PLAYBACK_OPEN, VIDEO_OUTCOME_PLAYING));
        QCOMPARE(play->IsPlayByTime(), 0);
        RecordInfo current {};
        QCOMPARE(play->GetCurrentRecordInfo(&current), 0);
        QCOMPARE(QString(current.recordId), QString::fromStdString(r1.id));
        QCOMPARE(play->GetRecordBeginTime(), r1.begin);
        FrameStamp stamp;
        QVERIFY(probe.waitForStamp(clockWithin(r1.end - 4, r1.end), &stamp));

        // At the end of the first recording the next one follows, from its start.
        QVERIFY(probe.waitForStamp(clockWithin(r2.begin, r2.begin + 5), &stamp));
        QCOMPARE(play->GetCurrentRecordInfo(&current), 0);
        QCOMPARE(QString(current.recordId), QString::fromStdString(r2.id));
        QCOMPARE(play->GetRecordBeginTime(), r2.begin);
        QCOMPARE(probe.first(VIDEO_EVENT_PLAYBACK_END).code, -1);

        // A seek by offset stays in the recording; a seek to a time goes to the one holding it.
        QCOMPARE(play->Seek(60), 0);
        QVERIFY(probe.waitForStamp(clockWithin(r2.begin + 60, r2.begin + 64), &stamp));
        QCOMPARE(play->Seek(r1.begin + 30), 0);
        QVERIFY(probe.waitForStamp(clockWithin(r1.begin + 30, r1.begin + 34), &stamp));
        QCOMPARE(play->GetCurrentRecordInfo(&current), 0);
        QCOMPARE(QString(current.recordId), QString::fromStdString(r1.id));
        QCOMPARE(play->Seek(r2.end + 3600 * 24), -1);

        // Recordings outside the asked span leave nothing to play.
        QCOMPARE(play->StartPlaybackByFile(RECORD_SRC_DEVICE, SimHarness::kToken,
                                           SimHarness::kRecorder, r2.end + 10, r2.end + 20, list,
                                           2),
                 -1);
    }

    void byTimeOpensOrFails_data()
    {
        const std::vector<SimMedia::Record> day = recordedDay();
        const qint64 gapBegin = day[0].end, gapEnd = day[1].begin;
        const qint64 now = QDateTime::currentSecsSinceEpoch();
        QTest::addColumn<QString>("token");
        QTest::addColumn<qint64>("begin");
        QTest::addColumn<qint64>("end");
        QTest::addColumn<QString>("error"); // none: it plays
        const QString good = SimHarness::kToken;
        const qint64 first = day[0].begin;
        QTest::newRow("ends with the span") << good << first << first + 3 << "";
        QTest::newRow("into the next recording") << good << gapBegin - 2 << gapEnd + 60 << "";
        QTest::newRow("starting in the gap")
            << good << (gapBegin + gapEnd) / 2 << gapEnd + 60 << "";
        QTest::newRow("nothing but the gap") << good << gapBegin + 1 << gapEnd - 1 << "404";
        QTest::newRow("token refused") << "stale" << now - 7200 << now - 7197 << "100";
        QTest::newRow("future span") << good << now + 3600 << now + 3603 << "404";
    }

    void byTimeOpensOrFails()
    {
        QFETCH(QString, token);
        QFETCH(qint64, begin);
        QFETCH(qint64, end);
        QFETCH(QString, error);
        VideoProbe probe(PLAY_MODE_PLAYBACK);
        VideoPlay *play = probe.play();
        QCOMPARE(play->StartPlaybackByTime(RECORD_SRC_DEVICE, token.toUtf8(), SimHarness::kRecorder,
                                           1, begin, end),
                 0);
        QVERIFY(probe.waitFor(VIDEO_EVENT_PLAYBACK_OPEN));
        const VideoProbe::Event opened = probe.first(VIDEO_EVENT_PLAYBACK_OPEN);
        QCOMPARE(opened.error, error);
        QCOMPARE(opened.kind, int(VIDEO_KIND_PLAYBACK));
        QCOMPARE(opened.outcome,
                 int(error.isEmpty() ? VIDEO_OUTCOME_PLAYING : VIDEO_OUTCOME_FAILED));
        if (!error.isEmpty())
            return;
        QCOMPARE(play->GetRecordBeginTime(), begin);
        if (end - begin == 3) {
            QVERIFY(probe.waitFor(VIDEO_EVENT_PLAYBACK_END));
            QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_ENDED));
            QCOMPARE(probe.first(VIDEO_EVENT_PLAYBACK_END).kind, int(VIDEO_KIND_PLAYBACK));
            QCOMPARE(probe.first(VIDEO_EVENT_PLAYBACK_LOST).code, -1); // the end is not a loss
            return;
        }

        // The gap lasts minutes: the recorded clock jumps over it within seconds, without an event.
        const qint64 next = recordedDay()[1].begin;
        FrameStamp stamp;
        QVERIFY(probe.waitForStamp(clockWithin(next, next + 4), &stamp));
        QCOMPARE(probe.first(VIDEO_EVENT_PLAYBACK_LOST).code, -1);
        QCOMPARE(probe.first(VIDEO_EVENT_PLAYBACK_END).code, -1);

        // A seek into the gap lands on the next recording.
        QVERIFY(probe.waitForStamp(clockWithin(next + 3, next + 10), &stamp));
        QCOMPARE(play->Seek(next - 30), 0);
        QVERIFY(probe.waitForStamp(clockWithin(next, next + 2), &stamp));
    }

    void stepsOnePicture_data()
    {
        QTest::addColumn<int>("source"); // device recordings open by time, cloud ones by file
        QTest::addColumn<bool>("paused");
        QTest::addColumn<int>("from"); // seconds into the recording (negative: from its end)
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("steps");
        QTest::addColumn<int>("taken"); // the first steps taken, the others refused
        for (const int source : {int(RECORD_SRC_DEVICE), int(RECORD_SRC_CLOUD)}) {
            const QByteArray by = source == RECORD_SRC_DEVICE ? "by time: " : "by file: ";
            QTest::newRow(by + "a second forward") << source << true << 5 << 1 << 25 << 25;
            QTest::newRow(by + "back") << source << true << 5 << -1 << 5 << 5;
            QTest::newRow(by + "back at the start") << source << true << 0 << -1 << 2 << 0;
            QTest::newRow(by + "forward at the end") << source << true << -1 << 1 << 26 << 24;
            QTest::newRow(by + "while playing") << source << false << 5 << 1 << 1 << 0;
        }
    }

    void stepsOnePicture()
    {
        QFETCH(int, source);
        QFETCH(bool, paused);
        QFETCH(int, from);
        QFETCH(int, direction);
        QFETCH(int, steps);
        QFETCH(int, taken);
        const SimMedia::Record r = recordedDay(source).front();
        VideoProbe probe(PLAY_MODE_PLAYBACK);
        VideoPlay *play = probe.play();
        const RecordInfo info = SimHarness::recordInfo(r);
        const char *token = SimHarness::kToken, *device = SimHarness::kRecorder;
        QCOMPARE(source == RECORD_SRC_DEVICE
                     ? play->StartPlaybackByTime(source, token, device, 1, r.begin, r.end)
                     : play->StartPlaybackByFile(source, token, device, r.begin, r.end, &info, 1),
                 0);
        QVERIFY(probe.waitFor(VIDEO_EVENT_PLAYBACK_OPEN, VIDEO_OUTCOME_PLAYING));
        const qint64 start = from < 0 ? r.end + from : r.begin + from;
        if (paused) {
            QCOMPARE(play->Pause(), 0);
            QCOMPARE(play->Seek(start), 0);
            QCOMPARE(play->GetFrameTimeMs(), start * 1000);
        }
        const auto stepEvents = [&] {
            return std::count_if(
                probe.events().begin(), probe.events().end(), [](const VideoProbe::Event &e) {
                    return e.code == VIDEO_EVENT_FRAME_STEP && e.outcome == VIDEO_OUTCOME_NONE;
                });
        };
        for (int i = 1; i <= steps; ++i) {
            const bool takes = i <= taken;
            QCOMPARE(play->StepFrame(direction), takes ? 0 : -1);
            if (!takes)
                continue;
            QCOMPARE(play->StepFrame(direction), -1); // one step at a time
            QVERIFY(QTest::qWaitFor([&] { return stepEvents() == i; }, VideoProbe::scaled(10000)));
            QCOMPARE(play->GetFrameTimeMs(), start * 1000 + i * direction * kFrameMs);
        }
        QCOMPARE(stepEvents(), taken);
        if (taken == 0)
            return;
        // The picture shown is the stepped one and holds; resumed, the clock runs on from there.
        const qint64 shown = (start * 1000 + taken * direction * kFrameMs) / 1000;
        FrameStamp stamp;
        QVERIFY(probe.waitForStamp(clockWithin(shown, shown), &stamp));
        QTest::qWait(500);
        QCOMPARE(play->GetFrameTimeMs(), start * 1000 + taken * direction * kFrameMs);
        QCOMPARE(play->Resume(), 0);
        if (from < 0)
            QVERIFY(probe.waitFor(VIDEO_EVENT_PLAYBACK_END));
        else
            QVERIFY(probe.waitForStamp(clockWithin(shown + 1, shown + 5), &stamp));
    }

private:
    SimHarness m_sim;
};

QTEST_MAIN(tst_StreamCorePlayback)
#include "tst_StreamCorePlayback.moc"
