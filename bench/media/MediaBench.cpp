#include "MediaBench.h"

#include "GstFloor.h"
#include "ProcessCpu.h"

#include <SimMedia/FrameStamp.h>
#include <SimMedia/RecordSchedule.h>
#include <StreamCore/IStreamCore.h>
#include <StreamCore/VideoPlay.h>

#include <httplib.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QGridLayout>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>
#include <QWidget>

#include <atomic>
#include <cmath>
#include <functional>
#include <memory>
#include <unistd.h>

using namespace StreamCore;

namespace {

constexpr int kWarmUpMs = 3000;

// One window of the grid and the pictures painted in it.
struct Tile
{
    QWidget *widget = nullptr;
    VideoPlay *play = nullptr;
    std::atomic<long long> painted {0};

    static void onDraw(int, HDC, void *, void *user) { ++static_cast<Tile *>(user)->painted; }
};

// Runs the event loop, idle between checks, until done() holds or the time is over; false on
// time-out.
bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (done() || timer.elapsed() > timeoutMs)
            loop.quit();
    });
    poll.start(2);
    if (!done())
        loop.exec();
    return done();
}

using GstFloor::spinFor;

// A window holding one play object, for the latency measurements.
class Probe
{
public:
    Probe()
    {
        m_widget.resize(320, 180);
        m_widget.show();
        m_tile.widget = &m_widget;
        m_tile.play = IStreamCore::GetInstance()->CreateVideoPlay(PLAY_MODE_PLAYBACK);
        m_tile.play->InitVideoPlay(m_widget.winId());
        m_tile.play->RegisterDrawFun(&Tile::onDraw, &m_tile);
    }
    ~Probe() { IStreamCore::GetInstance()->DestroyVideoPlay(m_tile.play); }
    VideoPlay *play() { return m_tile.play; }
    long long painted() const { return m_tile.painted; }
    bool stamp(SimMedia::FrameStamp *s)
    {
        const QImage image = m_widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
        return s->read(image.constBits(), image.bytesPerLine(), image.width(), image.height());
    }

private:
    QWidget m_widget;
    Tile m_tile;
};

// The start of a recording of the bench's channel on a past day, at least 20 minutes long, so
// that playback and seeks land inside it (playback skips the gaps between recordings).
qint64 recordedMoment()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (QDate day = QDate::currentDate().addDays(-1);; day = day.addDays(-1)) {
        for (const SimMedia::Record &r : SimMedia::RecordSchedule::day(
                 MediaBench::kDevice, 1, 0, day.year(), day.month(), day.day(), now)) {
            if (r.end - r.begin >= 1200)
                return r.begin;
        }
    }
}

// Times (ms) from start() until the probe paints its first picture.
std::vector<double> timeFirstPictures(int repeats, const std::function<void(VideoPlay *)> &start)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        Probe probe;
        QElapsedTimer timer;
        timer.start();
        start(probe.play());
        if (spinUntil([&] { return probe.painted() > 0; }, 10000))
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        probe.play()->StopPlay();
        spinFor(200);
    }
    return times;
}

} // namespace

MediaBench::MediaBench(int httpPort, std::string token, int seconds)
    : m_httpPort(httpPort)
    , m_token(std::move(token))
    , m_seconds(seconds)
{ }

QString MediaBench::liveUrl(int definition) const
{
    httplib::Client client("127.0.0.1", m_httpPort);
    const std::string path = std::string("/openapi/v1/stream/live?deviceId=") + kDevice
        + "&channel=1&definition=" + std::to_string(definition);
    const auto reply = client.Get(path.c_str(), {{"Authorization", "Bearer " + m_token}});
    if (!reply)
        return {};
    const QJsonObject o = QJsonDocument::fromJson(QByteArray::fromStdString(reply->body)).object();
    return o.value("data").toObject().value("url").toString();
}

double MediaBench::floorCpu(int count, int definition)
{
    const QString url = liveUrl(definition);
    QStringList urls;
    for (int i = 0; i < count; ++i)
        urls << url;
    return GstFloor::cpu(urls, kWarmUpMs, m_seconds);
}

MediaBench::Windows MediaBench::windows(int count, int definition)
{
    Windows result;
    result.floorCpu = floorCpu(count, definition);

    QWidget window;
    window.setWindowTitle("bench_media");
    auto *grid = new QGridLayout(&window);
    grid->setSpacing(1);
    grid->setContentsMargins(0, 0, 0, 0);
    const int columns = int(std::ceil(std::sqrt(double(count))));
    std::vector<std::unique_ptr<Tile>> tiles;
    for (int i = 0; i < count; ++i) {
        auto tile = std::make_unique<Tile>();
        tile->widget = new QWidget(&window);
        grid->addWidget(tile->widget, i / columns, i % columns);
        tiles.push_back(std::move(tile));
    }
    window.resize(1280, 720);
    window.show();
    spinFor(200);
    IStreamCore *core = IStreamCore::GetInstance();
    for (auto &tile : tiles) {
        tile->play = core->CreateVideoPlay(PLAY_MODE_LIVE);
        tile->play->InitVideoPlay(tile->widget->winId());
        tile->play->RegisterDrawFun(&Tile::onDraw, tile.get());
        tile->play->StartRealPlay(m_token.c_str(), kDevice, 1, definition);
    }
    spinUntil(
        [&] {
            for (auto &tile : tiles) {
                if (tile->play->GetVideoState() != VIDEO_STATE_PLAYING)
                    return false;
            }
            return true;
        },
        15000);
    spinFor(kWarmUpMs);
    ProcessCpu cpu(getpid());
    std::vector<long long> before;
    for (auto &tile : tiles)
        before.push_back(tile->painted);
    cpu.start();
    QElapsedTimer timer;
    timer.start();
    spinFor(m_seconds * 1000);
    result.cpu = cpu.percent();
    const double seconds = double(timer.elapsed()) / 1000;
    result.minFps = 1e9;
    for (size_t i = 0; i < tiles.size(); ++i) {
        const double fps = double(tiles[i]->painted - before[i]) / seconds;
        result.minFps = std::min(result.minFps, fps);
        result.avgFps += fps / double(tiles.size());
        result.playing += tiles[i]->play->GetVideoState() == VIDEO_STATE_PLAYING ? 1 : 0;
    }
    for (auto &tile : tiles)
        core->DestroyVideoPlay(tile->play);
    spinFor(500);
    return result;
}

std::vector<double> MediaBench::firstLivePicture(int repeats)
{
    return timeFirstPictures(
        repeats, [this](VideoPlay *play) { play->StartRealPlay(m_token.c_str(), kDevice, 1, 1); });
}

std::vector<double> MediaBench::firstPlaybackPicture(int repeats)
{
    const qint64 begin = recordedMoment();
    return timeFirstPictures(repeats, [this, begin](VideoPlay *play) {
        play->StartPlaybackByTime(RECORD_SRC_DEVICE, m_token.c_str(), kDevice, 1, begin,
                                  begin + 3600);
    });
}

std::vector<double> MediaBench::seekToPicture(int repeats)
{
    std::vector<double> times;
    const qint64 begin = recordedMoment();
    Probe probe;
    probe.play()->StartPlaybackByTime(RECORD_SRC_DEVICE, m_token.c_str(), kDevice, 1, begin,
                                      begin + 3600);
    if (!spinUntil([&] { return probe.painted() > 0; }, 10000))
        return times;
    for (int i = 0; i < repeats; ++i) {
        spinFor(500);
        const qint64 target = begin + 100 + 200 * i;
        QElapsedTimer timer;
        timer.start();
        probe.play()->Seek(target);
        SimMedia::FrameStamp stamp;
        const bool landed = spinUntil(
            [&] {
                return probe.stamp(&stamp) && stamp.seconds >= target
                    && stamp.seconds <= target + 2;
            },
            10000);
        if (landed)
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return times;
}
