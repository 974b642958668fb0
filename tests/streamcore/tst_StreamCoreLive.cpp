// Live video through the media library against the simulated devices: what opens, what the
// window shows, and how each failure is reported.
#include "SimHarness.h"
#include "VideoProbe.h"

#include <StreamCore/IStreamCore.h>

#include <QDateTime>
#include <QPainter>
#include <QtTest>

using namespace StreamCore;

namespace {

struct DrawCalls
{
    int count = 0;
    int handle = -1;
    DrawInfo info {};
};

// Paints a magenta square in the bottom right corner, as a client draws its overlays.
void drawMarker(int handle, HDC hdc, void *info, void *user)
{
    auto *calls = static_cast<DrawCalls *>(user);
    ++calls->count;
    calls->handle = handle;
    calls->info = *static_cast<DrawInfo *>(info);
    hdc->fillRect(calls->info.viewWidth - 20, calls->info.viewHeight - 20, 20, 20, Qt::magenta);
}

} // namespace

class tst_StreamCoreLive : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void liveShowsTheChannel_data();
    void liveShowsTheChannel();
    void drawFunctionPaintsOverThePicture();
    void openFailuresCarryTheirText_data();
    void openFailuresCarryTheirText();
    void silentServerTimesOut();
    void lostStreamIsReportedAndCanReopen();
    void stopDuringOpenEndsQuietly();
    void soundOnlyWhereTheStreamHasIt();
    void operationsNeedAPlayingStream();

private:
    SimHarness m_sim;
};

void tst_StreamCoreLive::initTestCase()
{
    qputenv("STREAMCORE_AUDIO_SINK", "fakesink sync=false");
    QVERIFY(m_sim.start());
    QCOMPARE(IStreamCore::GetInstance()->InitApi("127.0.0.1", m_sim.httpPort(), "", true), 0);
}

void tst_StreamCoreLive::liveShowsTheChannel_data()
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

void tst_StreamCoreLive::liveShowsTheChannel()
{
    QFETCH(QString, device);
    QFETCH(int, channel);
    QFETCH(int, definition);
    QFETCH(QSize, size);
    VideoProbe probe;
    VideoPlay *play = probe.play();
    QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_IDLE));
    QCOMPARE(play->StartRealPlay(SimHarness::kToken, device.toUtf8(), channel, definition), 0);
    QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_OPENING));
    QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN));
    QCOMPARE(probe.first(VIDEO_EVENT_LIVE_OPEN).outcome, int(VIDEO_OUTCOME_PLAYING));
    QCOMPARE(probe.first(VIDEO_EVENT_LIVE_OPEN).kind, int(VIDEO_KIND_LIVE));
    QCOMPARE(probe.first(VIDEO_EVENT_LIVE_OPEN).error, QString());
    QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_PLAYING));
    QVERIFY(probe.waitFor(VIDEO_EVENT_PICTURE_SIZE));
    const VideoProbe::Event sizeEvent = probe.first(VIDEO_EVENT_PICTURE_SIZE);
    QCOMPARE(QSize(sizeEvent.width, sizeEvent.height), size);

    // The window shows this very channel, with the device's present clock.
    SimMedia::FrameStamp stamp;
    QVERIFY(probe.waitForStamp([](const SimMedia::FrameStamp &) { return true; }, &stamp));
    QCOMPARE(stamp.deviceTag, SimMedia::FrameStamp::tagOf(device.toStdString()));
    QCOMPARE(int(stamp.channel), channel);
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    QVERIFY(qAbs(qint64(stamp.seconds) - now) <= 3);
    QVERIFY(qAbs(play->GetFrameTime() - now) <= 3);
    QVERIFY(QTest::qWaitFor([&] { return play->GetFrameRate() > 0; }, 5000));
    QCOMPARE(play->IsPlayByTime(), -1);
    QCOMPARE(play->GetRecordBeginTime(), -1LL);
    RecordInfo info {};
    QCOMPARE(play->GetCurrentRecordInfo(&info), -1);

    QCOMPARE(play->StopPlay(), 0);
    QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_IDLE));
    QCOMPARE(play->GetFrameTime(), 0LL);
}

void tst_StreamCoreLive::drawFunctionPaintsOverThePicture()
{
    VideoProbe probe(PLAY_MODE_LIVE, QSize(400, 240));
    DrawCalls calls;
    QCOMPARE(probe.play()->RegisterDrawFun(&drawMarker, &calls), 0);
    QCOMPARE(probe.play()->StartRealPlay(SimHarness::kToken, SimHarness::kRecorder, 1, 1), 0);
    QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN, VIDEO_OUTCOME_PLAYING));
    QVERIFY(QTest::qWaitFor([&] { return calls.count > 3; }, 5000));
    QCOMPARE(calls.handle, probe.play()->GetObjectHandle());
    // The picture is scaled to the window; the callback knows both sizes.
    QVERIFY(QTest::qWaitFor([&] { return calls.info.pictureWidth == 400; }, 5000));
    QCOMPARE(calls.info.viewWidth, 400);
    QCOMPARE(calls.info.viewHeight, 240);
    const QImage grabbed = probe.window()->grab().toImage();
    QCOMPARE(grabbed.pixelColor(390, 230), QColor(Qt::magenta));
    // The overlay sits on the picture, which is still there under it.
    SimMedia::FrameStamp stamp;
    QVERIFY(probe.readStamp(&stamp));
    QCOMPARE(int(stamp.channel), 1);
}

void tst_StreamCoreLive::openFailuresCarryTheirText_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<QString>("device");
    QTest::addColumn<int>("channel");
    QTest::addColumn<bool>("refuse");
    QTest::addColumn<QString>("error");
    QTest::newRow("token refused") << "stale" << SimHarness::kRecorder << 1 << false << "100";
    QTest::newRow("unknown channel")
        << SimHarness::kToken << SimHarness::kRecorder << 9 << false << "404";
    QTest::newRow("unknown device") << SimHarness::kToken << "NOPE" << 1 << false << "404";
    QTest::newRow("server refuses")
        << SimHarness::kToken << SimHarness::kRecorder << 2 << true << "7";
}

void tst_StreamCoreLive::openFailuresCarryTheirText()
{
    QFETCH(QString, token);
    QFETCH(QString, device);
    QFETCH(int, channel);
    QFETCH(bool, refuse);
    QFETCH(QString, error);
    SimMedia::ChannelFault fault;
    fault.refuse = refuse;
    m_sim.media().setFault(SimHarness::kRecorder, 2, fault);
    VideoProbe probe;
    QCOMPARE(probe.play()->StartRealPlay(token.toUtf8(), device.toUtf8(), channel, 1), 0);
    QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN));
    const VideoProbe::Event e = probe.first(VIDEO_EVENT_LIVE_OPEN);
    QCOMPARE(e.outcome, int(VIDEO_OUTCOME_FAILED));
    QCOMPARE(e.error, error);
    QCOMPARE(e.kind, int(VIDEO_KIND_LIVE));
    QCOMPARE(probe.play()->GetVideoState(), int(VIDEO_STATE_FAILED));
    m_sim.media().clearFaults();
}

void tst_StreamCoreLive::silentServerTimesOut()
{
    SimMedia::ChannelFault fault;
    fault.silent = true;
    m_sim.media().setFault(SimHarness::kRecorder, 1, fault);
    QCOMPARE(IStreamCore::GetInstance()->SetTimeouts(1500, 0), 0);
    const auto restore = qScopeGuard([] { IStreamCore::GetInstance()->SetTimeouts(0, 0); });
    VideoProbe probe;
    QCOMPARE(probe.play()->StartRealPlay(SimHarness::kToken, SimHarness::kRecorder, 1, 1), 0);
    QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN, -1, 5000));
    QCOMPARE(probe.first(VIDEO_EVENT_LIVE_OPEN).outcome, int(VIDEO_OUTCOME_FAILED));
    QCOMPARE(probe.first(VIDEO_EVENT_LIVE_OPEN).error, QString("open timeout"));
    QCOMPARE(probe.events().size(), 1);
    m_sim.media().clearFaults();
}

void tst_StreamCoreLive::lostStreamIsReportedAndCanReopen()
{
    VideoProbe probe;
    VideoPlay *play = probe.play();
    QCOMPARE(play->StartRealPlay(SimHarness::kToken, SimHarness::kRecorder, 2, 1), 0);
    QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN, VIDEO_OUTCOME_PLAYING));
    QVERIFY(m_sim.media().dropSessions(SimHarness::kRecorder, 2) > 0);
    QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_LOST));
    QCOMPARE(probe.first(VIDEO_EVENT_LIVE_LOST).outcome, int(VIDEO_OUTCOME_FAILED));
    QCOMPARE(probe.first(VIDEO_EVENT_LIVE_LOST).error, QString("7"));
    QCOMPARE(play->GetVideoState(), int(VIDEO_STATE_FAILED));

    // The same object opens again as if nothing happened.
    QCOMPARE(play->StartRealPlay(SimHarness::kToken, SimHarness::kRecorder, 2, 1), 0);
    QVERIFY(QTest::qWaitFor([&] { return play->GetVideoState() == VIDEO_STATE_PLAYING; }, 10000));
}

void tst_StreamCoreLive::stopDuringOpenEndsQuietly()
{
    SimMedia::ChannelFault fault;
    fault.startDelayMs = 1500;
    m_sim.media().setFault(SimHarness::kRecorder, 1, fault);
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
    m_sim.media().clearFaults();
}

void tst_StreamCoreLive::soundOnlyWhereTheStreamHasIt()
{
    VideoProbe withSound;
    VideoProbe silent;
    QCOMPARE(withSound.play()->StartRealPlay(SimHarness::kToken, SimHarness::kCamera, 1, 1), 0);
    QCOMPARE(silent.play()->StartRealPlay(SimHarness::kToken, SimHarness::kRecorder, 1, 1), 0);
    QVERIFY(withSound.waitFor(VIDEO_EVENT_LIVE_OPEN, VIDEO_OUTCOME_PLAYING));
    QVERIFY(silent.waitFor(VIDEO_EVENT_LIVE_OPEN, VIDEO_OUTCOME_PLAYING));
    QCOMPARE(withSound.play()->OpenAudio(), 0);
    QCOMPARE(silent.play()->OpenAudio(), -1);
    QCOMPARE(withSound.play()->CloseAudio(), 0);
    // Sound can be switched on again, and the picture kept playing meanwhile.
    QCOMPARE(withSound.play()->OpenAudio(), 0);
    QCOMPARE(withSound.play()->GetVideoState(), int(VIDEO_STATE_PLAYING));
}

void tst_StreamCoreLive::operationsNeedAPlayingStream()
{
    VideoProbe probe;
    VideoPlay *play = probe.play();
    QCOMPARE(play->Pause(), -1);
    QCOMPARE(play->Resume(), -1);
    QCOMPARE(play->Seek(1700000000), -1);
    QCOMPARE(play->SetPlaySpeed(2), -1);
    QCOMPARE(play->OpenAudio(), -1);
    QCOMPARE(play->StartRecord("x.mp4"), -1);
    QCOMPARE(play->StopRecord(), -1);
    QCOMPARE(play->SnapShot("x.jpg", PIC_FORMAT_JPG), -1);
    QCOMPARE(play->StartRealPlay(nullptr, SimHarness::kRecorder, 1, 1), -1);
    QCOMPARE(play->StartRealPlay(SimHarness::kToken, "", 1, 1), -1);
    QCOMPARE(play->InitVideoPlay(0), -1);
    QVERIFY(IStreamCore::GetInstance()->CreateVideoPlay(7) == nullptr);

    // Live video has no speed.
    QCOMPARE(play->StartRealPlay(SimHarness::kToken, SimHarness::kRecorder, 1, 1), 0);
    QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN, VIDEO_OUTCOME_PLAYING));
    QCOMPARE(play->SetPlaySpeed(2), -1);
    QCOMPARE(play->SnapShot("x.bmp", 0), -1);
}

QTEST_MAIN(tst_StreamCoreLive)
#include "tst_StreamCoreLive.moc"
