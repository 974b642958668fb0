// Stepping a paused playback one picture at a time, on device recordings by time and cloud
// recordings by file, read back from the library's picture time and the burnt-in clock.
#include "SimHarness.h"
#include "VideoProbe.h"

#include <SimMedia/RecordSchedule.h>
#include <StreamCore/IStreamCore.h>

#include <QDateTime>
#include <QtTest>

#include <algorithm>
#include <cstring>

using namespace StreamCore;

namespace {

constexpr int kFrameMs = 40; // the simulated devices record 25 pictures a second

// The first recording of the latest past day that has one, on the recorder's channel 1.
SimMedia::Record recording(int source)
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (QDate day = QDate::currentDate().addDays(-1);; day = day.addDays(-1)) {
        const auto records = SimMedia::RecordSchedule::day(SimHarness::kRecorder, 1, source,
                                                           day.year(), day.month(), day.day(), now);
        if (!records.empty())
            return records.front();
    }
}

// Opens the whole recording: by time from the device, by file from the cloud.
int open(VideoPlay *play, int source, const SimMedia::Record &r)
{
    RecordInfo info {};
    const auto copy = [](char *to, qint64 t) {
        std::strcpy(to, QDateTime::fromSecsSinceEpoch(t).toString("yyyy-MM-dd HH:mm:ss").toUtf8());
    };
    std::strcpy(info.recordId, r.id.c_str());
    copy(info.beginTime, r.begin);
    copy(info.endTime, r.end);
    info.channel = 1;
    const char *device = SimHarness::kRecorder;
    return source == RECORD_SRC_DEVICE
        ? play->StartPlaybackByTime(source, SimHarness::kToken, device, 1, r.begin, r.end)
        : play->StartPlaybackByFile(source, SimHarness::kToken, device, r.begin, r.end, &info, 1);
}

// The picture's burnt-in clock lies in [low, high].
auto clockIn(qint64 low, qint64 high)
{
    return [=](const SimMedia::FrameStamp &s) {
        return s.seconds >= low && s.seconds <= high;
    };
}

} // namespace

class tst_StreamCoreFrameStep : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void stepsOnePicture_data();
    void stepsOnePicture();

private:
    SimHarness m_sim;
};

void tst_StreamCoreFrameStep::initTestCase()
{
    QVERIFY(m_sim.start());
    QCOMPARE(IStreamCore::GetInstance()->InitApi("127.0.0.1", m_sim.httpPort(), "", true), 0);
}

void tst_StreamCoreFrameStep::stepsOnePicture_data()
{
    QTest::addColumn<int>("source");
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

void tst_StreamCoreFrameStep::stepsOnePicture()
{
    QFETCH(int, source);
    QFETCH(bool, paused);
    QFETCH(int, from);
    QFETCH(int, direction);
    QFETCH(int, steps);
    QFETCH(int, taken);
    const SimMedia::Record r = recording(source);
    VideoProbe probe(PLAY_MODE_PLAYBACK);
    VideoPlay *play = probe.play();
    QCOMPARE(open(play, source, r), 0);
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
        QVERIFY(QTest::qWaitFor([&] { return stepEvents() == i; }, 10000));
        QCOMPARE(play->GetFrameTimeMs(), start * 1000 + i * direction * kFrameMs);
    }
    QCOMPARE(stepEvents(), taken);
    if (taken == 0)
        return;
    // The picture shown is the stepped one and holds; resumed, the clock runs on from there.
    const qint64 shownMs = start * 1000 + taken * direction * kFrameMs;
    SimMedia::FrameStamp stamp;
    QVERIFY(probe.waitForStamp(clockIn(shownMs / 1000, shownMs / 1000), &stamp));
    QTest::qWait(500);
    QCOMPARE(play->GetFrameTimeMs(), shownMs);
    QCOMPARE(play->Resume(), 0);
    if (from < 0)
        QVERIFY(probe.waitFor(VIDEO_EVENT_PLAYBACK_END));
    else
        QVERIFY(probe.waitForStamp(clockIn(shownMs / 1000 + 1, shownMs / 1000 + 5), &stamp));
}

QTEST_MAIN(tst_StreamCoreFrameStep)
#include "tst_StreamCoreFrameStep.moc"
