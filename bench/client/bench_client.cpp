// bench_client: the whole client through the real page, as a user runs it: logged in, the live
// view opened, 16 channels of a simulated recorder playing in a 16-window split. Prints the
// client process's CPU beside gst-launch-1.0 decoding the same 16 streams (the floor), the
// slowest window's displayed pictures per second, resident memory, and the time from the page's
// open request to each window's first picture. `--minutes N` then keeps the videos open for N
// minutes and samples the client's memory, threads and open files each minute (a soak).
// BENCH_SECONDS sets the length of the CPU measurement (default 60). Needs a display; without
// one it runs itself under xvfb-run. Uses the DevTools port 9234: run it alone
// (flock /tmp/orvane-e2e.lock).
#include "ClientBench.h"
#include "PictureWatch.h"

#include <BenchDisplay.h>
#include <GstFloor.h>
#include <ProcessCpu.h>
#include <ProcessStatus.h>

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kWarmUpMs = 3000;
constexpr int kWatchSeconds = 10;
constexpr int kSettleMinutes = 5;

double median(std::vector<double> v)
{
    if (v.empty())
        return -1;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// The process and every process it started (the web engine's helpers), deepest last.
std::vector<pid_t> family(pid_t pid)
{
    std::vector<pid_t> all {pid};
    for (size_t i = 0; i < all.size(); ++i) {
        pid_t children[64];
        const int count = ProcessStatus::children(all[i], children, 64);
        all.insert(all.end(), children, children + count);
    }
    return all;
}

int fail(const QString &what, const QString &error)
{
    std::fprintf(stderr, "bench_client: %s: %s\n", qPrintable(what), qPrintable(error));
    return 1;
}

const char *verdict(bool met)
{
    return met ? "met" : "missed";
}

// Resident memory, threads and open files of the client each minute; false when any grew by 5 %
// or more after the first minutes.
bool soak(pid_t client, int minutes)
{
    std::printf("soak: %d minutes\n%-8s %12s %8s %8s\n", minutes, "minute", "resident MB",
                "threads", "files");
    std::vector<ProcessStatus> samples;
    for (int minute = 1; minute <= minutes; ++minute) {
        GstFloor::spinFor(60000);
        samples.push_back(ProcessStatus::of(client));
        const ProcessStatus &s = samples.back();
        std::printf("%-8d %12.1f %8d %8d\n", minute, s.residentMb, s.threads, s.files);
        std::fflush(stdout);
    }
    const ProcessStatus &base = samples[std::min<size_t>(kSettleMinutes, samples.size()) - 1];
    const ProcessStatus &last = samples.back();
    const auto growth = [](double from, double to) {
        return from > 0 ? 100 * (to - from) / from : 0;
    };
    const double memory = growth(base.residentMb, last.residentMb);
    const double threads = growth(base.threads, last.threads);
    const double files = growth(base.files, last.files);
    const bool met = memory < 5 && threads < 5 && files < 5;
    std::printf("growth after minute %d: memory %+.1f %%, threads %+.1f %%, files %+.1f %% "
                "(target < 5 %%: %s)\n",
                std::min(kSettleMinutes, minutes), memory, threads, files, verdict(met));
    return met;
}

} // namespace

int main(int argc, char **argv)
{
    BenchDisplay::ensure(argv);
    QApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    const int at = arguments.indexOf("--minutes");
    const int minutes = at > 0 && at + 1 < arguments.size() ? arguments[at + 1].toInt() : 0;
    const int asked = qEnvironmentVariable("BENCH_SECONDS").toInt();
    const int seconds = asked > 0 ? asked : 60;

    QTemporaryDir root;
    qputenv("ORVANE_TEST_ROOT", root.path().toUtf8());
    qputenv("ORVANE_BIN_DIR", CLIENT_BIN_DIR);
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    auto bench = std::make_unique<ClientBench>();
    QString error;
    if (!bench->startSim(&error))
        return fail("orvane-sim", error);
    const double floor = GstFloor::cpu(bench->channelUrls(), kWarmUpMs, seconds);
    if (!bench->startClient(&error))
        return fail("client", error);
    QVector<double> firstPicture;
    if (!bench->openChannels(&firstPicture, &error))
        std::fprintf(stderr, "bench_client: not every window plays: %s\n", qPrintable(error));
    GstFloor::spinFor(kWarmUpMs);

    const pid_t client = static_cast<pid_t>(bench->clientPid());
    const std::vector<pid_t> processes = family(client);
    std::vector<ProcessCpu> cpus;
    for (pid_t pid : processes) {
        cpus.emplace_back(pid);
        cpus.back().start();
    }
    GstFloor::spinFor(seconds * 1000);
    const double clientCpu = cpus.front().percent();
    double familyCpu = 0;
    double familyMb = 0;
    for (size_t i = 0; i < processes.size(); ++i) {
        familyCpu += cpus[i].percent();
        familyMb += ProcessStatus::of(processes[i]).residentMb;
    }
    const ProcessStatus status = ProcessStatus::of(client);
    PictureWatch watch(PictureWatch::locate(bench->area(), 4));
    const int stamped = watch.windowsWithStamp();
    const QVector<double> fps = watch.framesPerSecond(kWatchSeconds);
    const double slowest = fps.isEmpty() ? 0 : *std::min_element(fps.begin(), fps.end());

    std::printf(
        "16 channels of 640x360 in a 16-window split, CPU in percent of one core over %d s\n",
        seconds);
    std::printf("client %.1f %% (with its web engine processes %.1f %%), floor %.1f %%: ratio %.2f "
                "(target <= 1.2: %s)\n",
                clientCpu, familyCpu, floor, floor > 0 ? clientCpu / floor : 0.0,
                verdict(floor > 0 && clientCpu / floor <= 1.2));
    std::printf("slowest window %.1f pictures/s over %d s, windows showing a camera %d/16 (target "
                ">= 24: %s)\n",
                slowest, kWatchSeconds, stamped, verdict(stamped == 16 && slowest >= 24));
    std::printf("resident memory %.0f MB (with its web engine processes %.0f MB; target <= 600: "
                "%s), %d threads, %d open files\n",
                status.residentMb, familyMb, verdict(status.residentMb <= 600), status.threads,
                status.files);
    const double first = median(std::vector<double>(firstPicture.begin(), firstPicture.end()));
    const auto [fastest, slowestOpen]
        = std::minmax_element(firstPicture.begin(), firstPicture.end());
    std::printf("first picture after the page's open request: median %.0f ms over %d windows "
                "(%.0f to %.0f; target <= 150: %s)\n",
                first, int(firstPicture.size()), firstPicture.isEmpty() ? 0 : *fastest,
                firstPicture.isEmpty() ? 0 : *slowestOpen, verdict(first >= 0 && first <= 150));
    std::fflush(stdout);
    if (minutes > 0)
        soak(client, minutes);
    return 0;
}
