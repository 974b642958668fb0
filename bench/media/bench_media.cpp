// bench_media: what the media library costs and how fast it shows pictures, on the simulated
// devices: CPU of N live windows in a real Qt window beside gst-launch-1.0 decoding the same
// streams (the floor), displayed frame rates, first-picture and seek-to-picture times. Needs a
// display; without one it runs itself under xvfb-run. BENCH_SECONDS sets the length of each CPU
// measurement (default 8). "bench_media WINDOWS DEFINITION" measures one grid only (definition 0
// is 1280x720, 1 is 640x360), to profile it.
#include <Bench.h>
#include <ChildProcess.h>
#include <SimMedia/FrameStamp.h>
#include <SimMedia/RecordSchedule.h>
#include <StreamCore/IStreamCore.h>
#include <StreamCore/VideoPlay.h>

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QGridLayout>
#include <QImage>
#include <QWidget>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <memory>
#include <numeric>

using namespace StreamCore;

namespace {

constexpr int kWarmUpMs = 3000;

int g_port = 0;
std::string g_token;

// A play object in a window, counting the pictures painted in it.
class Tile
{
public:
    explicit Tile(QWidget *widget, int mode)
        : m_widget(widget)
        , m_play(IStreamCore::GetInstance()->CreateVideoPlay(mode))
    {
        m_play->InitVideoPlay(m_widget->winId());
        m_play->RegisterDrawFun(
            [](int, HDC, void *, void *tile) { ++static_cast<Tile *>(tile)->painted; }, this);
    }
    ~Tile() { IStreamCore::GetInstance()->DestroyVideoPlay(m_play); }
    VideoPlay *play() const { return m_play; }
    bool stamp(SimMedia::FrameStamp *s) const
    {
        const QImage image = m_widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
        return s->read(image.constBits(), image.bytesPerLine(), image.width(), image.height());
    }

    std::atomic<long long> painted {0};

private:
    QWidget *m_widget;
    VideoPlay *m_play;
};

// A lone 320x180 window, for the latency measurements.
struct Probe
{
    Probe() { widget.resize(320, 180), widget.show(); }
    QWidget widget;
    Tile tile {&widget, PLAY_MODE_PLAYBACK};
};

// Prints the CPU of `count` live windows in a 1280x720 window beside the floor, and their
// displayed frame rates.
void measureWindows(int count, int definition, int seconds)
{
    const QString url = Bench::liveUrl(g_port, g_token, 1, definition);
    const double floor
        = Bench::gstFloorCpu(QVector<QString>(count, url).toList(), kWarmUpMs, seconds);
    QWidget window;
    auto *grid = new QGridLayout(&window);
    grid->setSpacing(1);
    grid->setContentsMargins(0, 0, 0, 0);
    const int columns = int(std::ceil(std::sqrt(double(count))));
    std::vector<std::unique_ptr<Tile>> tiles;
    for (int i = 0; i < count; ++i) {
        auto *widget = new QWidget(&window);
        grid->addWidget(widget, i / columns, i % columns);
        tiles.push_back(std::make_unique<Tile>(widget, PLAY_MODE_LIVE));
    }
    window.resize(1280, 720);
    window.show();
    Bench::spinFor(200);
    for (auto &tile : tiles)
        tile->play()->StartRealPlay(g_token.c_str(), Bench::kDevice, 1, definition);
    const auto playing = [&tiles] {
        return std::count_if(tiles.begin(), tiles.end(), [](const auto &t) {
            return t->play()->GetVideoState() == VIDEO_STATE_PLAYING;
        });
    };
    Bench::spinUntil([&] { return playing() == count; }, 15000);
    Bench::spinFor(kWarmUpMs);
    std::vector<long long> before;
    for (auto &tile : tiles)
        before.push_back(tile->painted);
    long long elapsed = 0;
    const double streamcore = Bench::ownCpuOver(seconds * 1000, &elapsed);
    std::vector<double> fps;
    for (size_t i = 0; i < tiles.size(); ++i)
        fps.push_back(double(tiles[i]->painted - before[i]) * 1000 / double(elapsed));
    std::printf("%-8d %-10s %8.1f %11.1f %6.2f %8.1f %8.1f %5d/%d\n", count,
                definition ? "640x360" : "1280x720", floor, streamcore,
                floor > 0 ? streamcore / floor : 0.0, *std::min_element(fps.begin(), fps.end()),
                std::accumulate(fps.begin(), fps.end(), 0.0) / count, int(playing()), count);
    std::fflush(stdout);
    tiles.clear();
    Bench::spinFor(500);
}

// The start of a recording of the bench's channel on a past day, at least 20 minutes long, so
// that playback and seeks land inside it (playback skips the gaps between recordings).
qint64 recordedMoment()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    for (QDate day = QDate::currentDate().addDays(-1);; day = day.addDays(-1)) {
        for (const SimMedia::Record &r : SimMedia::RecordSchedule::day(
                 Bench::kDevice, 1, 0, day.year(), day.month(), day.day(), now)) {
            if (r.end - r.begin >= 1200)
                return r.begin;
        }
    }
}

void startPlayback(VideoPlay *play, qint64 begin)
{
    play->StartPlaybackByTime(RECORD_SRC_DEVICE, g_token.c_str(), Bench::kDevice, 1, begin,
                              begin + 3600);
}

// Milliseconds from start() until a fresh probe paints its first picture, `repeats` times.
std::vector<double> timeFirstPictures(int repeats, const std::function<void(VideoPlay *)> &start)
{
    std::vector<double> times;
    for (int i = 0; i < repeats; ++i) {
        Probe probe;
        QElapsedTimer timer;
        timer.start();
        start(probe.tile.play());
        if (Bench::spinUntil([&] { return probe.tile.painted > 0; }, 10000))
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
        probe.tile.play()->StopPlay();
        Bench::spinFor(200);
    }
    return times;
}

// Milliseconds from a seek to the first picture of the asked moment, `repeats` times.
std::vector<double> seekToPicture(int repeats)
{
    std::vector<double> times;
    const qint64 begin = recordedMoment();
    Probe probe;
    startPlayback(probe.tile.play(), begin);
    if (!Bench::spinUntil([&] { return probe.tile.painted > 0; }, 10000))
        return times;
    for (int i = 0; i < repeats; ++i) {
        Bench::spinFor(500);
        const qint64 target = begin + 100 + 200 * i;
        QElapsedTimer timer;
        timer.start();
        probe.tile.play()->Seek(target);
        SimMedia::FrameStamp stamp;
        if (Bench::spinUntil(
                [&] {
                    return probe.tile.stamp(&stamp) && stamp.seconds >= target
                        && stamp.seconds <= target + 2;
                },
                10000))
            times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return times;
}

void printLatency(const char *what, const std::vector<double> &times, double target)
{
    const double median = Bench::percentile(times, 0.5);
    std::printf("%-28s median %7.1f ms  (%zu samples, target <= %.0f ms: %s)\n", what, median,
                times.size(), target, Bench::verdict(!times.empty() && median <= target));
}

} // namespace

int main(int argc, char **argv)
{
    Bench::ensureDisplay(argv);
    QApplication app(argc, argv);
    ChildProcess sim;
    g_port = Bench::startSim(sim, "bench_media");
    if (g_port == 0)
        return 1;
    g_token = Bench::deviceToken(g_port);
    qputenv("STREAMCORE_AUDIO_SINK", "fakesink");
    IStreamCore::GetInstance()->InitApi("127.0.0.1", g_port, "", false);
    const int seconds = Bench::seconds(8);

    std::printf("CPU in percent of one core over %d s; floor = gst-launch-1.0 decoding the same "
                "streams to fakesink\n%-8s %-10s %8s %11s %6s %8s %8s %8s\n",
                seconds, "windows", "source", "floor%", "streamcore%", "ratio", "min fps",
                "avg fps", "playing");
    if (argc == 3) {
        measureWindows(std::atoi(argv[1]), std::atoi(argv[2]) == 0 ? 0 : 1, seconds);
        return 0;
    }
    for (int definition : {1, 0}) {
        for (int count : {1, 4, 16})
            measureWindows(count, definition, seconds);
    }
    std::printf("targets: 16 windows <= 1.2x the floor; every window >= 24 displayed fps\n");
    printLatency(
        "first live picture",
        timeFirstPictures(
            9, [](VideoPlay *play) { play->StartRealPlay(g_token.c_str(), Bench::kDevice, 1, 1); }),
        200);
    const qint64 begin = recordedMoment();
    printLatency("first playback picture",
                 timeFirstPictures(5, [begin](VideoPlay *play) { startPlayback(play, begin); }),
                 300);
    printLatency("seek to picture", seekToPicture(5), 300);
    return 0;
}
