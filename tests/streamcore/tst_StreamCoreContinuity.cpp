// Pictures that must keep coming: playback by time across the gaps between recordings, and an
// H.265 camera whose parameter sets travel in the stream for viewers that join mid-stream.
#include "SimHarness.h"
#include "VideoProbe.h"

#include <GstBufferMap.h>
#include <GstPtr.h>
#include <SimMedia/RecordSchedule.h>
#include <StreamCore/IStreamCore.h>

#include <gst/app/gstappsink.h>

#include <QDateTime>
#include <QtTest>

using namespace StreamCore;
using SimMedia::FrameStamp;

namespace {

// Two neighbouring recordings of the recorder's channel 1 on the latest past day holding two.
std::pair<SimMedia::Record, SimMedia::Record> recordingsAroundAGap()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (QDate day = QDate::currentDate().addDays(-1);; day = day.addDays(-1)) {
        const auto records = SimMedia::RecordSchedule::day(SimHarness::kRecorder, 1, 0, day.year(),
                                                           day.month(), day.day(), now);
        if (records.size() >= 2)
            return {records[0], records[1]};
    }
}

auto clockWithin(qint64 low, qint64 high)
{
    return [=](const FrameStamp &s) {
        return s.seconds >= low && s.seconds <= high;
    };
}

// Whether an H.265 access unit holds a video parameter set (NAL type 32).
bool holdsVps(const uint8_t *data, size_t size)
{
    for (size_t i = 0; i + 3 < size; ++i) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1
            && ((data[i + 3] >> 1) & 0x3F) == 32)
            return true;
    }
    return false;
}

} // namespace

class tst_StreamCoreContinuity : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void playbackByTimeSkipsGaps_data();
    void playbackByTimeSkipsGaps();
    void h265ParameterSetsComeWithEveryKeyFrame();

private:
    SimHarness m_sim;
};

void tst_StreamCoreContinuity::initTestCase()
{
    qputenv("STREAMCORE_AUDIO_SINK", "fakesink sync=false");
    QVERIFY(m_sim.start());
    QCOMPARE(IStreamCore::GetInstance()->InitApi("127.0.0.1", m_sim.httpPort(), "", true), 0);
}

void tst_StreamCoreContinuity::playbackByTimeSkipsGaps_data()
{
    const auto [r1, r2] = recordingsAroundAGap();
    const qint64 gapEnd = r2.begin;
    QTest::addColumn<qint64>("begin");
    QTest::addColumn<qint64>("end");
    QTest::addColumn<QString>("error");
    QTest::newRow("into the next recording") << qint64(r1.end - 2) << gapEnd + 60 << "";
    QTest::newRow("starting in the gap") << qint64(r1.end + gapEnd) / 2 << gapEnd + 60 << "";
    QTest::newRow("nothing but the gap") << qint64(r1.end + 1) << gapEnd - 1 << "404";
}

void tst_StreamCoreContinuity::playbackByTimeSkipsGaps()
{
    QFETCH(qint64, begin);
    QFETCH(qint64, end);
    QFETCH(QString, error);
    const auto [r1, r2] = recordingsAroundAGap();
    VideoProbe probe(PLAY_MODE_PLAYBACK);
    VideoPlay *play = probe.play();
    QCOMPARE(play->StartPlaybackByTime(RECORD_SRC_DEVICE, SimHarness::kToken, SimHarness::kRecorder,
                                       1, begin, end),
             0);
    QVERIFY(probe.waitFor(VIDEO_EVENT_PLAYBACK_OPEN));
    QCOMPARE(probe.first(VIDEO_EVENT_PLAYBACK_OPEN).error, error);
    if (!error.isEmpty())
        return;
    QCOMPARE(play->GetRecordBeginTime(), begin);

    // The gap lasts minutes: the recorded clock jumps over it within seconds.
    FrameStamp stamp;
    QVERIFY(probe.waitForStamp(clockWithin(r2.begin, r2.begin + 4), &stamp));
    QVERIFY(QTest::qWaitFor([&] { return play->GetFrameTime() >= r2.begin; }, 3000));
    QVERIFY(play->GetFrameTime() <= r2.begin + 6);
    QCOMPARE(probe.first(VIDEO_EVENT_PLAYBACK_LOST).code, -1);
    QCOMPARE(probe.first(VIDEO_EVENT_PLAYBACK_END).code, -1);

    // A seek into the gap lands on the next recording.
    QVERIFY(probe.waitForStamp(clockWithin(r2.begin + 3, r2.begin + 10), &stamp));
    QCOMPARE(play->Seek(r2.begin - 30), 0);
    QVERIFY(probe.waitForStamp(clockWithin(r2.begin, r2.begin + 2), &stamp));
    QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_PLAYING));
}

void tst_StreamCoreContinuity::h265ParameterSetsComeWithEveryKeyFrame()
{
    // A viewer that reads the stream alone: how many key frames carry the parameter sets.
    const std::string url = m_sim.media().liveAddress(SimHarness::kCamera, 1, 1).url;
    GstPtr<GError> gerror;
    const GstPtr<GstElement> pipeline(
        gst_parse_launch(("rtspsrc protocols=tcp location=" + url
                          + " ! rtph265depay ! video/x-h265,stream-format=byte-stream,alignment=au"
                            " ! appsink name=out sync=false")
                             .c_str(),
                         gerror.out()));
    QVERIFY(pipeline);
    const GstPtr<GstElement> sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    int withVps = 0;
    for (int i = 0; i < 80; ++i) { // over three seconds: key frames come every second
        const GstPtr<GstSample> sample(
            gst_app_sink_try_pull_sample(GST_APP_SINK(sink.get()), 5 * GST_SECOND));
        QVERIFY(sample);
        const GstBufferMap map(gst_sample_get_buffer(sample.get()), GST_MAP_READ);
        withVps += map && holdsVps(map.data(), map.size()) ? 1 : 0;
    }

    // Meanwhile a window joins the running stream and decodes it.
    VideoProbe probe(PLAY_MODE_LIVE);
    QCOMPARE(probe.play()->StartRealPlay(SimHarness::kToken, SimHarness::kCamera, 1, 1), 0);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    FrameStamp stamp;
    QVERIFY(probe.waitForStamp(clockWithin(now - 2, now + 10), &stamp));
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    QVERIFY2(withVps >= 3, qPrintable(QString("%1 key frames with VPS").arg(withVps)));
}

QTEST_MAIN(tst_StreamCoreContinuity)
#include "tst_StreamCoreContinuity.moc"
