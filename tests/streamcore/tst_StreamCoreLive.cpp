// Live video through the media library against the simulated devices: what opens, what the
// window shows, and how each failure is reported. A stream lost and opened again is in the
// outside cameras' test (a server ending the session) and the video window's (reconnect).
#include "SimHarness.h"
#include "VideoProbe.h"

#include <GstBufferMap.h>
#include <GstPtr.h>
#include <StreamCore/IStreamCore.h>

#include <gst/app/gstappsink.h>

#include <QDateTime>
#include <QtTest>

using namespace StreamCore;

namespace {

// What the draw function was last called with.
struct Drawn
{
    int handle = -1;
    DrawInfo info {};
};

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

class tst_StreamCoreLive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("STREAMCORE_AUDIO_SINK", "fakesink sync=false");
        QVERIFY(m_sim.start());
        QVERIFY(IStreamCore::GetInstance()->CreateVideoPlay(7) == nullptr);
    }

    void liveShowsTheChannel_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("channel");
        QTest::addColumn<int>("definition");
        QTest::addColumn<QSize>("size");
        QTest::newRow("H.264 standard") << SimHarness::kRecorder << 2 << 1 << QSize(320, 180);
        QTest::newRow("H.264 high") << SimHarness::kRecorder << 1 << 0 << QSize(640, 360);
        QTest::newRow("H.265 with sound") << SimHarness::kCamera << 1 << 1 << QSize(320, 180);
        QTest::newRow("parameter sets out of band")
            << SimHarness::kRecorder << 3 << 0 << QSize(640, 360);
    }

    void liveShowsTheChannel()
    {
        QFETCH(QString, device);
        QFETCH(int, channel);
        QFETCH(int, definition);
        QFETCH(QSize, size);
        VideoProbe probe;
        VideoPlay *play = probe.play();
        QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_IDLE));
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
        QVERIFY(probe.waitFor(VIDEO_EVENT_PICTURE_SIZE));
        const VideoProbe::Event sizeEvent = probe.first(VIDEO_EVENT_PICTURE_SIZE);
        QCOMPARE(QSize(sizeEvent.width, sizeEvent.height), size);

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
        QVERIFY(QTest::qWaitFor([&] { return drawn.info.pictureWidth == size.width(); },
                                VideoProbe::scaled(5000)));
        QCOMPARE(drawn.info.viewHeight, 180);
        QCOMPARE(drawn.handle, play->GetObjectHandle());
        // Sound opens where the stream has it (its branch may come a moment after the picture).
        const bool sound = device == SimHarness::kCamera;
        QCOMPARE(QTest::qWaitFor([&] { return play->OpenAudio() == 0; },
                                 sound ? VideoProbe::scaled(5000) : 0),
                 sound);
        QVERIFY(!sound || (play->CloseAudio() == 0 && play->OpenAudio() == 0));
        // Live video has no recording, no speed and no picture format but JPEG.
        QCOMPARE(play->GetRecordBeginTime(), -1LL);
        QCOMPARE(play->SetPlaySpeed(2), -1);
        QCOMPARE(play->SnapShot("x.bmp", 0), -1);

        QCOMPARE(play->StopPlay(), 0);
        QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_IDLE));
        QCOMPARE(play->GetFrameTime(), 0LL);
    }

    void openFailuresCarryTheirText_data()
    {
        QTest::addColumn<QString>("token");
        QTest::addColumn<QString>("device");
        QTest::addColumn<QString>("fault"); // on the recorder's channel 2
        QTest::addColumn<int>("channel");
        QTest::addColumn<QString>("error");
        const QString good = SimHarness::kToken, recorder = SimHarness::kRecorder, none;
        QTest::newRow("token refused") << "stale" << recorder << none << 1 << "100";
        QTest::newRow("unknown channel") << good << recorder << none << 9 << "404";
        QTest::newRow("unknown device") << good << "NOPE" << none << 1 << "404";
        QTest::newRow("server refuses") << good << recorder << "refuse" << 2 << "7";
        QTest::newRow("silent server") << good << recorder << "silent" << 2 << "open timeout";
    }

    void openFailuresCarryTheirText()
    {
        QFETCH(QString, token);
        QFETCH(QString, device);
        QFETCH(QString, fault);
        QFETCH(int, channel);
        QFETCH(QString, error);
        SimMedia::ChannelFault channelFault;
        channelFault.refuse = fault == "refuse";
        channelFault.silent = fault == "silent";
        m_sim.media().setFault(SimHarness::kRecorder, 2, channelFault);
        QCOMPARE(IStreamCore::GetInstance()->SetTimeouts(1500, 0), 0);
        const auto restore = qScopeGuard([this] {
            SimHarness::scaleTimeouts();
            m_sim.media().clearFaults();
        });
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

    // For viewers that join mid-stream: the H.265 camera's key frames carry the parameter sets.
    void h265ParameterSetsComeWithEveryKeyFrame()
    {
        const std::string url = m_sim.media().liveAddress(SimHarness::kCamera, 1, 1).url;
        GstPtr<GError> gerror;
        const GstPtr<GstElement> pipeline(gst_parse_launch(
            ("rtspsrc protocols=tcp location=" + url
             + " ! rtph265depay ! video/x-h265,stream-format=byte-stream,alignment=au"
               " ! appsink name=out sync=false")
                .c_str(),
            gerror.out()));
        QVERIFY(pipeline);
        const GstPtr<GstElement> sink(gst_bin_get_by_name(GST_BIN(pipeline.get()), "out"));
        gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
        int withVps = 0;
        for (int i = 0; i < 80; ++i) { // over three seconds: key frames come every second
            const GstPtr<GstSample> sample(gst_app_sink_try_pull_sample(
                GST_APP_SINK(sink.get()), VideoProbe::scaled(5) * GST_SECOND));
            QVERIFY(sample);
            const GstBufferMap map(gst_sample_get_buffer(sample.get()), GST_MAP_READ);
            withVps += map && holdsVps(map.data(), map.size()) ? 1 : 0;
        }
        // Meanwhile a window joins the running stream and decodes it.
        VideoProbe probe(PLAY_MODE_LIVE);
        QCOMPARE(probe.play()->StartRealPlay(SimHarness::kToken, SimHarness::kCamera, 1, 1), 0);
        QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN, VIDEO_OUTCOME_PLAYING));
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
        QVERIFY2(withVps >= 3, qPrintable(QString("%1 key frames with VPS").arg(withVps)));
    }

private:
    SimHarness m_sim;
};

QTEST_MAIN(tst_StreamCoreLive)
#include "tst_StreamCoreLive.moc"
