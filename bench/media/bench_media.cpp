// bench_media: what the media library costs and how fast it shows pictures, on the simulated
// devices. Needs a display; without one it runs itself under xvfb-run. BENCH_SECONDS sets the
// length of each CPU measurement (default 8). "bench_media WINDOWS DEFINITION" measures one grid
// only (definition 0 is 1280x720, 1 is 640x360), to profile it.
#include "MediaBench.h"

#include <BenchDisplay.h>
#include <BenchStats.h>
#include <ChildProcess.h>

#include <StreamCore/IStreamCore.h>

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace {

void printLatency(const char *what, const std::vector<double> &times, double target)
{
    std::printf("%-28s median %7.1f ms  (%zu samples, target <= %.0f ms: %s)\n", what,
                percentile(times, 0.5), times.size(), target,
                !times.empty() && percentile(times, 0.5) <= target ? "met" : "missed");
}

void printWindows(MediaBench &bench, int count, int definition)
{
    const MediaBench::Windows w = bench.windows(count, definition);
    std::printf("%-8d %-10s %8.1f %11.1f %6.2f %8.1f %8.1f %5d/%d\n", count,
                definition ? "640x360" : "1280x720", w.floorCpu, w.cpu,
                w.floorCpu > 0 ? w.cpu / w.floorCpu : 0.0, w.minFps, w.avgFps, w.playing, count);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    BenchDisplay::ensure(argv);
    QApplication app(argc, argv);
    ChildProcess sim;
    const int port = SimLogin::start(sim, "bench_media");
    if (port == 0)
        return 1;
    const std::string token = SimLogin::deviceToken(port);
    qputenv("STREAMCORE_AUDIO_SINK", "fakesink");
    StreamCore::IStreamCore::GetInstance()->InitApi("127.0.0.1", port, "", false);
    const int asked = std::atoi(qgetenv("BENCH_SECONDS").constData());
    const int seconds = asked > 0 ? std::max(2, asked) : 8;
    MediaBench bench(port, token, seconds);

    std::printf("CPU in percent of one core over %d s; floor = gst-launch-1.0 decoding the same "
                "streams to fakesink\n",
                seconds);
    std::printf("%-8s %-10s %8s %11s %6s %8s %8s %8s\n", "windows", "source", "floor%",
                "streamcore%", "ratio", "min fps", "avg fps", "playing");
    if (argc == 3) {
        printWindows(bench, std::atoi(argv[1]), std::atoi(argv[2]) == 0 ? 0 : 1);
        return 0;
    }
    for (int definition : {1, 0}) {
        for (int count : {1, 4, 16})
            printWindows(bench, count, definition);
    }
    std::printf("targets: 16 windows <= 1.2x the floor; every window >= 24 displayed fps\n");
    printLatency("first live picture", bench.firstLivePicture(9), 200);
    printLatency("first playback picture", bench.firstPlaybackPicture(5), 300);
    printLatency("seek to picture", bench.seekToPicture(5), 300);
    return 0;
}
