// Outside cameras through the media library: RTSP servers of other makes that restrict the
// transport, ask for a login, place parameter sets elsewhere or keep sessions alive their own
// way; each stream is read back from the window showing it.
#include "LogText.h"
#include "SimHarness.h"
#include "VideoProbe.h"

#include <SimMedia/OutsideCamera.h>
#include <StreamCore/IStreamCore.h>
#include <StreamCore/VideoStatistics.h>

#include <QElapsedTimer>
#include <QtTest>

using namespace StreamCore;
using SimMedia::OutsideOptions;

Q_DECLARE_METATYPE(OutsideOptions::Login)
Q_DECLARE_METATYPE(OutsideOptions::ParameterSets)

namespace {

constexpr int kChannel = 1;

SimMedia::ChannelSpec outsideChannel(const QString &codec, bool audio)
{
    SimMedia::ChannelSpec c;
    c.codec = codec.toStdString();
    c.audio = audio;
    c.width[0] = 320;
    c.height[0] = 180;
    return c;
}

// The open platform, handing out the camera's own address for its channel.
std::unique_ptr<SimHarness> platformFor(const std::string &url)
{
    SimMedia::ChannelSpec channel = outsideChannel("h264", false);
    channel.rtspUrl = url;
    auto sim = std::make_unique<SimHarness>(std::vector<SimMedia::MediaDevice> {
        {SimMedia::OutsideCamera::kDeviceId, "Outside camera", {channel}}});
    return sim->start()
            && IStreamCore::GetInstance()->InitApi("127.0.0.1", sim->httpPort(), "", true) == 0
        ? std::move(sim)
        : nullptr;
}

bool showsOutsideCamera(const VideoProbe &probe, SimMedia::FrameStamp *stamp)
{
    return probe.waitForStamp(
        [](const SimMedia::FrameStamp &s) {
            return s.deviceTag == SimMedia::FrameStamp::tagOf(SimMedia::OutsideCamera::kDeviceId);
        },
        stamp);
}

} // namespace

class tst_OutsideCameras : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        qputenv("STREAMCORE_AUDIO_SINK", "fakesink sync=false");
        QVERIFY(KPrintLog::instance()->SetFile("./log/outside"));
    }
    void playsWhatTheServerOffers_data();
    void playsWhatTheServerOffers();
    void refusedLoginIsUnauthorised_data();
    void refusedLoginIsUnauthorised();
    void droppedKeepAliveLosesTheStream_data();
    void droppedKeepAliveLosesTheStream();
};

void tst_OutsideCameras::playsWhatTheServerOffers_data()
{
    QTest::addColumn<int>("transports");
    QTest::addColumn<OutsideOptions::Login>("login");
    QTest::addColumn<OutsideOptions::ParameterSets>("parameterSets");
    QTest::addColumn<QString>("codec");
    QTest::addColumn<bool>("audio");
    QTest::addColumn<int>("sessionTimeout");
    QTest::addColumn<bool>("getParameter");
    QTest::addColumn<QString>("transport"); // the one played over
    const auto both = OutsideOptions::DescriptionAndStream;
    const auto sdp = OutsideOptions::DescriptionOnly;
    const auto inBand = OutsideOptions::StreamOnly;
    const int tcp = OutsideOptions::Tcp;
    const int udp = OutsideOptions::Udp;
    QTest::newRow("TCP only, open")
        << tcp << OutsideOptions::Open << both << "h264" << false << 0 << true << "tcp";
    QTest::newRow("UDP only, open: TCP refused first")
        << udp << OutsideOptions::Open << both << "h264" << false << 0 << true << "udp";
    QTest::newRow("TCP or UDP, basic, parameter sets in the description only")
        << (tcp | udp) << OutsideOptions::Basic << sdp << "h264" << false << 0 << true << "tcp";
    QTest::newRow("UDP only, digest, in band only")
        << udp << OutsideOptions::Digest << inBand << "h264" << false << 0 << true << "udp";
    QTest::newRow("TCP only, digest, H.265 with sound in band only")
        << tcp << OutsideOptions::Digest << inBand << "h265" << true << 0 << true << "tcp";
    QTest::newRow("UDP only, basic, H.265 with sound")
        << udp << OutsideOptions::Basic << both << "h265" << true << 0 << true << "udp";
    QTest::newRow("short session over TCP, no GET_PARAMETER")
        << tcp << OutsideOptions::Basic << both << "h264" << false << 3 << false << "tcp";
    QTest::newRow("short session over UDP, kept alive by GET_PARAMETER")
        << udp << OutsideOptions::Open << both << "h264" << false << 3 << true << "udp";
    QTest::newRow("short session over UDP, kept alive by OPTIONS")
        << udp << OutsideOptions::Digest << both << "h264" << false << 3 << false << "udp";
}

void tst_OutsideCameras::playsWhatTheServerOffers()
{
    QFETCH(int, transports);
    QFETCH(OutsideOptions::Login, login);
    QFETCH(OutsideOptions::ParameterSets, parameterSets);
    QFETCH(QString, codec);
    QFETCH(bool, audio);
    QFETCH(int, sessionTimeout);
    QFETCH(bool, getParameter);
    QFETCH(QString, transport);
    OutsideOptions options;
    options.transports = transports;
    options.login = login;
    options.parameterSets = parameterSets;
    options.sessionTimeout = sessionTimeout;
    options.getParameter = getParameter;
    SimMedia::OutsideCamera camera(outsideChannel(codec, audio), options);
    QVERIFY(camera.start());
    const auto sim = platformFor(camera.url());
    QVERIFY(sim);

    // A transport the server refuses is left within the open, well before its time-out.
    VideoProbe probe;
    QCOMPARE(probe.play()->StartRealPlay(SimHarness::kToken, SimMedia::OutsideCamera::kDeviceId,
                                         kChannel, 1),
             0);
    QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN));
    QCOMPARE(probe.first(VIDEO_EVENT_LIVE_OPEN).outcome, int(VIDEO_OUTCOME_PLAYING));
    SimMedia::FrameStamp stamp;
    QVERIFY(showsOutsideCamera(probe, &stamp));
    VideoStatistics statistics {};
    QCOMPARE(probe.play()->GetStatistics(&statistics), 0);
    QCOMPARE(QString(statistics.transport), transport);
    QCOMPARE(QString(statistics.codec), codec);
    // The sound stream may come out a moment after the first picture.
    QCOMPARE(QTest::qWaitFor([&] { return probe.play()->OpenAudio() == 0; }, audio ? 5000 : 0),
             audio);

    if (sessionTimeout > 0) {
        // The session outlives its time-out and the server's grace, and the picture keeps
        // moving. Over TCP the RTCP reports on the connection keep it alive; over UDP requests.
        const quint32 before = stamp.seconds;
        QTest::qWait((2 * sessionTimeout + 5) * 1000);
        QVERIFY(showsOutsideCamera(probe, &stamp));
        QVERIFY(stamp.seconds > before + uint(sessionTimeout));
        QCOMPARE(camera.keepAlives() > 0, transport == "udp");
        QCOMPARE(probe.play()->GetVideoState(), int(VIDEO_STATE_PLAYING));
    }
}

void tst_OutsideCameras::refusedLoginIsUnauthorised_data()
{
    QTest::addColumn<OutsideOptions::Login>("login");
    QTest::newRow("basic") << OutsideOptions::Basic;
    QTest::newRow("digest") << OutsideOptions::Digest;
}

void tst_OutsideCameras::refusedLoginIsUnauthorised()
{
    QFETCH(OutsideOptions::Login, login);
    OutsideOptions options;
    options.login = login;
    SimMedia::OutsideCamera camera(outsideChannel("h264", false), options);
    QVERIFY(camera.start());
    const auto sim = platformFor(camera.url(options.user, "wrong-pass"));
    QVERIFY(sim);
    VideoProbe probe;
    QElapsedTimer clock;
    clock.start();
    probe.play()->StartRealPlay(SimHarness::kToken, SimMedia::OutsideCamera::kDeviceId, kChannel,
                                1);
    QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN));
    QCOMPARE(probe.first(VIDEO_EVENT_LIVE_OPEN).outcome, int(VIDEO_OUTCOME_FAILED));
    QCOMPARE(probe.first(VIDEO_EVENT_LIVE_OPEN).error, QString("100"));
    // Refused at once, not left to the 10 s open time-out (generous for a busy machine).
    QVERIFY(clock.elapsed() < 5000);
    // The address is logged, the login is not.
    QVERIFY(logText().contains("rtsp://***@127.0.0.1:"));
    QVERIFY(!logText().contains("wrong-pass"));
}

// What the video window's reconnect relies on: the loss is reported, and opening the same
// channel again plays.
void tst_OutsideCameras::droppedKeepAliveLosesTheStream_data()
{
    QTest::addColumn<int>("transports");
    QTest::newRow("TCP") << int(OutsideOptions::Tcp);
    QTest::newRow("UDP") << int(OutsideOptions::Udp);
}

void tst_OutsideCameras::droppedKeepAliveLosesTheStream()
{
    QFETCH(int, transports);
    OutsideOptions options;
    options.transports = transports;
    options.sessionTimeout = 3;
    SimMedia::OutsideCamera camera(outsideChannel("h264", false), options);
    QVERIFY(camera.start());
    const auto sim = platformFor(camera.url());
    QVERIFY(sim);
    VideoProbe probe;
    VideoPlay *play = probe.play();
    play->StartRealPlay(SimHarness::kToken, SimMedia::OutsideCamera::kDeviceId, kChannel, 1);
    QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_OPEN, VIDEO_OUTCOME_PLAYING));
    camera.dropKeepAlives(true);
    QVERIFY(probe.waitFor(VIDEO_EVENT_LIVE_LOST, VIDEO_OUTCOME_FAILED, 20000));
    QCOMPARE(probe.first(VIDEO_EVENT_LIVE_LOST).error, QString("7"));

    camera.dropKeepAlives(false);
    play->StartRealPlay(SimHarness::kToken, SimMedia::OutsideCamera::kDeviceId, kChannel, 1);
    QVERIFY(QTest::qWaitFor([&] { return play->GetVideoState() == VIDEO_STATE_PLAYING; }, 10000));
    SimMedia::FrameStamp stamp;
    QVERIFY(showsOutsideCamera(probe, &stamp));
}

QTEST_MAIN(tst_OutsideCameras)
#include "tst_OutsideCameras.moc"
