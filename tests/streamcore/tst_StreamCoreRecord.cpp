// Local recording and snapshots through the media library: files that play back with the
// right length and content, also after the client was killed mid-recording.
#include "SimHarness.h"
#include "VideoProbe.h"

#include <StreamCore/IStreamCore.h>
#include <StreamCore/VideoStatistics.h>

#include <GstBufferMap.h>
#include <GstPtr.h>

#include <gst/app/gstappsink.h>

#include <QApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>

using namespace StreamCore;

namespace {

// What a media file holds, found by decoding it completely.
struct FileContent
{
    int frames = 0;
    double firstTime = -1, lastTime = -1; // seconds
    double longestGap = 0; // the longest time between two pictures
    bool hasSound = false;
    SimMedia::FrameStamp firstStamp, lastStamp;
    bool stampRead = false; // both stamps
    double length() const { return frames ? lastTime - firstTime + 0.04 : 0; }
    // Seconds between the clocks burnt into the first and the last picture.
    double clockSpan() const { return double(lastStamp.seconds) - firstStamp.seconds; }
};

void onFilePad(GstElement *, GstPad *pad, gpointer data)
{
    const GstPtr<GstCaps> caps(gst_pad_get_current_caps(pad));
    const char *media = gst_structure_get_name(gst_caps_get_structure(caps.get(), 0));
    static_cast<FileContent *>(data)->hasSound |= g_str_has_prefix(media, "audio");
}

bool readStamp(GstSample *sample, SimMedia::FrameStamp *stamp)
{
    int w = 0, h = 0;
    const GstStructure *s = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
    gst_structure_get_int(s, "width", &w);
    gst_structure_get_int(s, "height", &h);
    const GstBufferMap map(gst_sample_get_buffer(sample), GST_MAP_READ);
    return map && stamp->read(map.data(), w * 4, w, h);
}

// Decodes a whole file (its sound is only noticed); false when it does not play to its end.
bool decodeFile(const QString &path, FileContent *content)
{
    const QString description = QString("filesrc location=\"%1\" ! decodebin name=d ! "
                                        "videoconvert ! video/x-raw,format=BGRx ! "
                                        "appsink name=frames sync=false")
                                    .arg(path);
    const GstPtr<GstElement> pipeline(gst_parse_launch(description.toUtf8(), nullptr));
    const GstPtr<GstElement> decodebin(gst_bin_get_by_name(GST_BIN(pipeline.get()), "d"));
    g_signal_connect(decodebin.get(), "pad-added", G_CALLBACK(onFilePad), content);
    const GstPtr<GstElement> frames(gst_bin_get_by_name(GST_BIN(pipeline.get()), "frames"));
    GstAppSink *sink = GST_APP_SINK(frames.get());
    gst_element_set_state(pipeline.get(), GST_STATE_PLAYING);
    GstPtr<GstSample> first, last;
    while (GstPtr<GstSample> sample {
        gst_app_sink_try_pull_sample(sink, VideoProbe::scaled(5) * GST_SECOND)}) {
        const double time
            = double(GST_BUFFER_PTS(gst_sample_get_buffer(sample.get()))) / GST_SECOND;
        if (content->frames++ == 0) {
            content->firstTime = time;
            first = std::move(sample);
        } else {
            content->longestGap = std::max(content->longestGap, time - content->lastTime);
            last = std::move(sample);
        }
        content->lastTime = time;
    }
    content->stampRead = first && last && readStamp(first.get(), &content->firstStamp)
        && readStamp(last.get(), &content->lastStamp);
    const bool played = gst_app_sink_is_eos(sink);
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    return played;
}

// Waits for a picture whose clock is `seconds` after `from` (any picture when `from` is null):
// lengths go by the picture's clock, so a slow machine records as much as a fast one.
bool waitForClock(const VideoProbe &probe, SimMedia::FrameStamp *shown,
                  const SimMedia::FrameStamp *from = nullptr, uint32_t seconds = 0)
{
    const uint32_t until = from ? from->seconds + seconds : 0;
    return probe.waitForStamp([until](const SimMedia::FrameStamp &s) { return s.seconds >= until; },
                              shown, 60000);
}

// Starts recording into path and waits for its first bytes; from: the picture shown then.
bool startRecording(const VideoProbe &probe, const QString &path, SimMedia::FrameStamp *from)
{
    return probe.play()->StartRecord(path.toUtf8()) == 0
        && QTest::qWaitFor([&] { return QFileInfo(path).size() > 0; }, VideoProbe::scaled(10000))
        && waitForClock(probe, from);
}

// The child of killedWhileRecording: says "recording" once three seconds are in the file.
int recordUntilKilled(int argc, char **argv)
{
    QApplication app(argc, argv);
    IStreamCore::GetInstance()->InitApi("127.0.0.1", QString(argv[2]).toInt(), "", true);
    VideoProbe probe;
    probe.play()->StartRealPlay(SimHarness::kToken, SimHarness::kRecorder, 1, 1);
    SimMedia::FrameStamp from, shown;
    if (!waitForClock(probe, &from) || !startRecording(probe, argv[3], &from)
        || !waitForClock(probe, &shown, &from, 3))
        return 1;
    std::printf("recording\n");
    std::fflush(stdout);
    return app.exec();
}

} // namespace

class tst_StreamCoreRecord : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QVERIFY(m_sim.start());
    }

    void recordingPlaysBackWithItsLength_data()
    {
        QTest::addColumn<QString>("device");
        QTest::addColumn<int>("channel");
        QTest::addColumn<bool>("sound");
        QTest::addColumn<bool>("stopPlay"); // instead of the recording only
        QTest::newRow("H.264") << SimHarness::kRecorder << 1 << false << false;
        QTest::newRow("H.265 with sound") << SimHarness::kCamera << 1 << true << false;
        // Key frames without parameter sets: the file must get them from the description.
        QTest::newRow("parameter sets out of band") << SimHarness::kRecorder << 3 << false << false;
        QTest::newRow("play stopped") << SimHarness::kRecorder << 2 << false << true;
    }

    void recordingPlaysBackWithItsLength()
    {
        QFETCH(QString, device);
        QFETCH(int, channel);
        QFETCH(bool, sound);
        QFETCH(bool, stopPlay);
        VideoProbe probe;
        VideoPlay *play = probe.play();
        QCOMPARE(play->StartRealPlay(SimHarness::kToken, device.toUtf8(), channel, 1), 0);
        QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN, VIDEO_OUTCOME_PLAYING));
        // Recording starts in the middle of the stream, not at its first picture.
        SimMedia::FrameStamp opened, from, shown;
        QVERIFY(waitForClock(probe, &opened) && waitForClock(probe, &from, &opened, 2));
        const QString path = m_dir.filePath(QString("%1-%2.mp4").arg(device).arg(channel));
        QVERIFY(startRecording(probe, path, &from));
        QCOMPARE(play->StartRecord(path.toUtf8()), -1);
        VideoStatistics statistics {};
        QCOMPARE(play->GetStatistics(&statistics), 0);
        const long long decodedBefore = statistics.decodedFrames;
        // Four seconds of the picture's clock and three key-frame intervals of 25 pictures.
        QVERIFY(waitForClock(probe, &shown, &from, 4));
        QVERIFY(QTest::qWaitFor(
            [&] {
                return play->GetStatistics(&statistics) == 0
                    && statistics.decodedFrames - decodedBefore >= 75;
            },
            VideoProbe::scaled(60000)));
        QVERIFY(waitForClock(probe, &shown));
        const long long decoded = statistics.decodedFrames - decodedBefore;
        FileContent content;
        if (stopPlay) {
            QCOMPARE(play->StopPlay(), 0);
            // The file is finished off the caller's thread, soon after.
            QVERIFY(QTest::qWaitFor(
                [&] {
                    return decodeFile(path, &(content = FileContent())) && content.length() > 1;
                },
                VideoProbe::scaled(30000)));
            QCOMPARE(play->StartRecord(m_dir.filePath("idle.mp4").toUtf8()), -1);
        } else {
            QCOMPARE(play->StopRecord(), 0);
            QCOMPARE(play->StopRecord(), -1);
            QVERIFY(probe.waitFor(VIDEO_EVENT_RECORD_END));
            QCOMPARE(probe.first(VIDEO_EVENT_RECORD_END).outcome, int(VIDEO_OUTCOME_NONE));
            QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_PLAYING));
            QVERIFY(decodeFile(path, &content));
            // Nothing after the stop: its last picture was on its way to the window then.
            SimMedia::FrameStamp later;
            QVERIFY(waitForClock(probe, &later, &shown, 1));
            QVERIFY(content.lastStamp.seconds <= later.seconds + 1);
        }
        QVERIFY(content.stampRead);
        // The file's times run with the picture's clock, up to its whole seconds and the longest
        // pause between two pictures written.
        QVERIFY2(content.clockSpan() >= 2, qPrintable(QString::number(content.clockSpan())));
        QVERIFY(qAbs(content.length() - content.clockSpan()) <= 1.0 + content.longestGap);
        QVERIFY(content.firstTime < 0.5);
        // Every picture, not only the key frames: at least half of those the window decoded.
        QVERIFY2(2 * content.frames > decoded,
                 qPrintable(QString("%1 of %2").arg(content.frames).arg(decoded)));
        QCOMPARE(content.hasSound, sound);
        QCOMPARE(content.firstStamp.deviceTag, SimMedia::FrameStamp::tagOf(device.toStdString()));
        QCOMPARE(int(content.firstStamp.channel), channel);
    }

    void killedWhileRecordingLeavesAPlayableFile()
    {
        const QString path = m_dir.filePath("killed.mp4");
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {"--record-until-killed", QString::number(m_sim.httpPort()), path});
        QVERIFY(child.waitForStarted());
        QVERIFY(QTest::qWaitFor([&] { return child.canReadLine(); }, VideoProbe::scaled(90000)));
        QCOMPARE(child.readLine().trimmed(), QByteArray("recording"));
        ::kill(child.processId(), SIGKILL);
        QVERIFY(child.waitForFinished());
        FileContent content;
        decodeFile(path, &content);
        // Fragments (a second each) written before the kill play; the last one may be cut.
        QVERIFY(content.stampRead);
        QVERIFY(content.clockSpan() >= 1);
        QVERIFY(content.frames > 5 * content.clockSpan());
        QCOMPARE(int(content.firstStamp.channel), 1);
    }

    void snapshotIsAJpegOfThePicture()
    {
        VideoProbe probe(PLAY_MODE_LIVE, QSize(400, 240));
        VideoPlay *play = probe.play();
        const QString path = m_dir.filePath("snap.jpg");
        QCOMPARE(play->SnapShot(path.toUtf8(), PIC_FORMAT_JPG), -1);
        QCOMPARE(play->StartRealPlay(SimHarness::kToken, SimHarness::kRecorder, 2, 1), 0);
        QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN, VIDEO_OUTCOME_PLAYING));
        QCOMPARE(play->SnapShot(path.toUtf8(), 0), -1);
        QCOMPARE(play->SnapShot(path.toUtf8(), PIC_FORMAT_JPG), 0);
        QVERIFY(probe.waitFor(VIDEO_EVENT_SNAPSHOT));
        QCOMPARE(probe.first(VIDEO_EVENT_SNAPSHOT).outcome, int(VIDEO_OUTCOME_NONE));
        // A JPEG at the stream's own size, whatever the window's.
        QImage image(path, "JPG");
        QCOMPARE(image.size(), QSize(320, 180));
        image = image.convertToFormat(QImage::Format_RGB32);
        SimMedia::FrameStamp stamp;
        QVERIFY(stamp.read(image.constBits(), image.bytesPerLine(), image.width(), image.height()));
        QCOMPARE(int(stamp.channel), 2);
        QCOMPARE(play->SnapShot(m_dir.filePath("missing/folder/snap.jpg").toUtf8(), PIC_FORMAT_JPG),
                 0);
        QVERIFY(probe.waitFor(VIDEO_EVENT_SNAPSHOT, VIDEO_OUTCOME_FAILED));
    }

private:
    SimHarness m_sim;
    QTemporaryDir m_dir;
};

int main(int argc, char **argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--record-until-killed") == 0)
        return recordUntilKilled(argc, argv);
    QApplication app(argc, argv);
    gst_init(nullptr, nullptr);
    tst_StreamCoreRecord test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_StreamCoreRecord.moc"
