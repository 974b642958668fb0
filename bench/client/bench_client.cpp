// bench_client: the whole client through the real page, as a user runs it, on orvane-sim with one
// recorder of 16 channels: started from a program folder (E2ESession), logged in, the live view
// opened from its menu (the page announces its video area, "SetWndRect"), and the 16 channels
// opened into a 16-window split by the page's own bridge ("OpenVideo"), called by script in the
// page (DevTools). Prints the client process's CPU beside gst-launch-1.0 decoding the same 16
// streams in the same seconds (the floor), the slowest window's displayed pictures per second,
// resident memory, and the time from the page's open request to each window's first picture, with
// the steps on the way (from the media library's log line of each first picture). `--minutes N`
// then keeps the videos open for N minutes and samples the client's memory, threads and open files
// each minute (a soak). BENCH_SECONDS sets the length of the CPU measurement (default 60). Needs a
// display; without one it runs itself under xvfb-run. Uses the DevTools port 9234: run it alone
// (flock -o /tmp/orvane-e2e.lock).
#include "PictureWatch.h"

#include <Bench.h>
#include <E2ESession.h>
#include <GstFloor.h>
#include <ProcessCpu.h>
#include <ProcessStatus.h>

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cstdio>
#include <thread>

namespace {

constexpr int kChannels = 16;
constexpr int kStandardDefinition = 1; // 640x360, what the split's small windows play
constexpr int kWarmUpMs = 3000;
constexpr int kOpenTimeoutMs = 30000;
constexpr int kWatchSeconds = 10;
constexpr int kSettleMinutes = 5;
constexpr int kBurstMs = 300; // about the median first picture

// Times each window's first playing status ("VideoStatusChanged", 3) from the open request, as
// the notifications arrive (the page keeps them in window.__orvane.notifications without a time);
// the request's time on the clock of the client's log lines in openedAt.
const char *const kWatchScript = R"((() => {
    const bench = {first: {}};
    const received = window.__orvane.notifications;
    const keep = received.push.bind(received);
    received.push = (entry) => {
        const p = entry.params;
        if (entry.method === 'VideoStatusChanged' && p.status === 3 && !(p.wndID in bench.first))
            bench.first[p.wndID] = Date.now() - bench.openedAt;
        return keep(entry);
    };
    window.__bench = bench;
    return true;
})())";

// The live view page announces its video area itself ("SetWndRect") once shown.
const char *const kAreaShown = "window.__orvane.calls.some((c) => c.method === 'SetWndRect' "
                               "&& c.params.module === 1 && c.params.right > c.params.left)";

// Opens the channels through the page's own bridge ("OpenVideo"); the video area's place on the
// screen, from the page's last "SetWndRect".
const char *const kOpenScript = R"((async () => {
    const {client} = await import('/js/bridge.js');
    const area = window.__orvane.calls
        .filter((c) => c.method === 'SetWndRect' && c.params.module === 1).pop().params;
    window.__bench.openedAt = Date.now();
    client.openVideo(1, %1);
    return {left: window.screenX + area.left, top: window.screenY + area.top,
            width: area.right - area.left, height: area.bottom - area.top};
})())";

const char *const kAllPlaying = "Object.keys(window.__bench.first).length >= 16";

// The built-in device file with the first recorder given 16 channels; its path, or "".
QString writeDeviceFile(const QString &folder)
{
    QProcess sim;
    sim.start(ORVANE_SIM_BINARY, {"--print-default-devices"});
    sim.waitForFinished();
    QJsonObject file = QJsonDocument::fromJson(sim.readAllStandardOutput()).object();
    QJsonArray devices = file.value("devices").toArray();
    if (devices.isEmpty())
        return {};
    QJsonObject recorder = devices.first().toObject();
    QJsonArray channels;
    for (int i = 1; i <= kChannels; ++i)
        channels.append(
            QJsonObject {{"channelId", i}, {"channelName", QString("Camera %1").arg(i)}});
    recorder.insert("channels", channels);
    devices.replace(0, recorder);
    file.insert("devices", devices);
    QFile out(QDir(folder).filePath("devices.json"));
    return out.open(QIODevice::WriteOnly) && out.write(QJsonDocument(file).toJson()) > 0
        ? out.fileName()
        : QString();
}

// The steps of the opens from the media library's log lines ("play N: first picture T ms after
// the open (address A, described D, stream S, decoded P)", written when the first picture is
// handed to the window and its status sent), each step's median in ms after the page's request.
void printSteps(const QString &log, qint64 requestedAt, double pageMedian)
{
    static const QRegularExpression line(
        R"(^(\S+ \S+) .*first picture (\d+) ms after the open \(address (-?\d+), described )"
        R"((-?\d+), stream (-?\d+), decoded (-?\d+)\))",
        QRegularExpression::MultilineOption);
    const char *const names[] = {"media library's open", "address", "RTSP described",
                                 "first stream data",    "decoded", "status sent"};
    std::vector<double> steps[6];
    for (auto it = line.globalMatch(log); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        const qint64 total = m.captured(2).toLongLong();
        const qint64 opened
            = QDateTime::fromString(m.captured(1), "yyyy-MM-dd HH:mm:ss.zzz").toMSecsSinceEpoch()
            - requestedAt - total;
        steps[0].push_back(opened);
        for (int i = 1; i < 5; ++i)
            steps[i].push_back(opened + m.captured(i + 2).toLongLong());
        steps[5].push_back(opened + total);
    }
    std::printf("first picture step by step, median ms after the page's request:");
    for (int i = 0; i < 6; ++i)
        std::printf(" %s %.0f,", names[i], Bench::percentile(steps[i], 0.5));
    std::printf(" status at the page %.0f\n", pageMedian);
}

// What the open of the 16 channels measured.
struct Opening
{
    QRect area; // the video area on the screen; empty when the open failed
    // Per window, from the page's open request to the window's playing status at the page.
    std::vector<double> firstPictureMs;
    qint64 requestedAt = 0; // the request, on the clock of the client's log lines
    // Percent of one core while the first pictures come, the first kBurstMs after the request.
    double clientCpu = 0;
    double simCpu = 0;
};

// Starts the client, logs in, shows the live view and opens the 16 channels; an empty area with
// the reason when that failed.
Opening openChannels(E2ESession &session, const std::string &token, QString *error)
{
    Opening opening;
    DevToolsClient &page = session.page();
    if (!session.startClient(error) || !session.logIn("demo", "demo123", error)
        || !page.click("#sidebar [data-menu=videoSurveillance]", error)
        || !page.waitFor(kAreaShown, error) || !page.evaluate(kWatchScript, error).toBool())
        return opening;
    const ProcessCpu clientCpu(pid_t(session.client()->processId()));
    const ProcessCpu simCpu(pid_t(session.simProcessId()));
    const QJsonObject area
        = page.evaluate(QString(kOpenScript)
                            .arg(QString::fromUtf8(
                                QJsonDocument(Bench::channels(token, kStandardDefinition))
                                    .toJson(QJsonDocument::Compact))),
                        error)
              .toObject();
    Bench::spinFor(kBurstMs);
    opening.clientCpu = clientCpu.percent();
    opening.simCpu = simCpu.percent();
    if (!page.waitFor(kAllPlaying, error, kOpenTimeoutMs))
        std::fprintf(stderr, "bench_client: not every window plays: %s\n", qPrintable(*error));
    for (const QJsonValue &ms : page.evaluate("Object.values(window.__bench.first)").toArray())
        opening.firstPictureMs.push_back(ms.toDouble());
    opening.requestedAt = qint64(page.evaluate("window.__bench.openedAt").toDouble());
    opening.area = QRect(area["left"].toInt(), area["top"].toInt(), area["width"].toInt(),
                         area["height"].toInt());
    return opening;
}

// Resident memory, threads and open files of the client each minute; whether none grew by 5 %
// or more after the first minutes.
void soak(pid_t client, int minutes)
{
    std::printf("soak: %d minutes\n%-8s %12s %8s %8s\n", minutes, "minute", "resident MB",
                "threads", "files");
    std::vector<ProcessStatus> samples;
    for (int minute = 1; minute <= minutes; ++minute) {
        Bench::spinFor(60000);
        samples.push_back(ProcessStatus::of(client));
        const ProcessStatus &s = samples.back();
        std::printf("%-8d %12.1f %8d %8d\n", minute, s.residentMb, s.threads, s.files);
        std::fflush(stdout);
    }
    const int settled = std::min(kSettleMinutes, minutes);
    const ProcessStatus &base = samples[size_t(settled - 1)];
    const auto growth = [](double from, double to) {
        return from > 0 ? 100 * (to - from) / from : 0;
    };
    const double memory = growth(base.residentMb, samples.back().residentMb);
    const double threads = growth(base.threads, samples.back().threads);
    const double files = growth(base.files, samples.back().files);
    std::printf("growth after minute %d: memory %+.1f %%, threads %+.1f %%, files %+.1f %% "
                "(target < 5 %%: %s)\n",
                settled, memory, threads, files,
                Bench::verdict(memory < 5 && threads < 5 && files < 5));
}

} // namespace

int main(int argc, char **argv)
{
    Bench::ensureDisplay(argv, true);
    QApplication app(argc, argv);
    const int at = app.arguments().indexOf("--minutes");
    const int minutes = at > 0 ? app.arguments().value(at + 1).toInt() : 0;
    const int seconds = Bench::seconds(60);
    QTemporaryDir root;
    qputenv("ORVANE_TEST_ROOT", root.path().toUtf8());
    qputenv("ORVANE_BIN_DIR", CLIENT_BIN_DIR);

    E2ESession session;
    QString error;
    const QString devices = writeDeviceFile(root.path());
    if (devices.isEmpty() || !session.startSim(&error, {"--devices", devices})) {
        std::fprintf(stderr, "bench_client: orvane-sim: %s\n", qPrintable(error));
        return 1;
    }
    const int port = QUrl(session.simUrl()).port();
    const std::string token = Bench::deviceToken(port);
    QStringList urls;
    for (int channel = 1; channel <= kChannels; ++channel)
        urls << Bench::liveUrl(port, token, channel, kStandardDefinition);
    {
        // A simulated camera starts its encoder for its first viewer, a real one never stops
        // it: the floor views every channel once before the client opens them.
        const GstFloor warmUp(urls);
        Bench::spinFor(kWarmUpMs);
    }
    const Opening opening = openChannels(session, token, &error);
    const std::vector<double> &firstPicture = opening.firstPictureMs;
    if (opening.area.isEmpty()) {
        std::fprintf(stderr, "bench_client: client: %s\n", qPrintable(error));
        return 1;
    }
    const pid_t client = static_cast<pid_t>(session.client()->processId());
    const std::vector<pid_t> processes = ProcessStatus::family(client);
    double floor = -1, clientCpu = 0, guiCpu = 0, familyCpu = 0, familyMb = 0;
    {
        // The floor runs beside the client and is measured over the same seconds: on this
        // machine either one's share moves by a fifth from one minute to the next.
        const GstFloor launch(urls);
        Bench::spinFor(kWarmUpMs);
        const ProcessCpu floorCpu(launch.pid());
        std::vector<ProcessCpu> cpus(processes.begin(), processes.end());
        // The GUI thread (the process's first) displays; the others receive and decode.
        const ProcessCpu gui(client, client);
        Bench::spinFor(seconds * 1000);
        floor = launch.pid() ? floorCpu.percent() : -1;
        clientCpu = cpus.front().percent();
        guiCpu = gui.percent();
        for (size_t i = 0; i < processes.size(); ++i) {
            familyCpu += cpus[i].percent();
            familyMb += ProcessStatus::of(processes[i]).residentMb;
        }
    }
    const ProcessStatus status = ProcessStatus::of(client);
    const PictureWatch watch(PictureWatch::locate(opening.area, 4));
    const int stamped = watch.windowsWithStamp();
    const QVector<double> fps = watch.framesPerSecond(kWatchSeconds);
    const double slowest = fps.isEmpty() ? 0 : *std::min_element(fps.begin(), fps.end());
    const double first = Bench::percentile(firstPicture, 0.5);
    const auto [fastestOpen, slowestOpen]
        = std::minmax_element(firstPicture.begin(), firstPicture.end());

    std::printf("16 channels of 640x360 in a 16-window split, CPU in percent of one core over %d "
                "s\nclient %.1f %% (with its web engine processes %.1f %%), floor %.1f %%: ratio "
                "%.2f (target <= 1.2: %s)\n",
                seconds, clientCpu, familyCpu, floor, floor > 0 ? clientCpu / floor : 0.0,
                Bench::verdict(floor > 0 && clientCpu / floor <= 1.2));
    std::printf(
        "of the client: GUI thread %.1f %% (%.2f of the floor), other threads %.1f %% (%.2f "
        "of the floor)\n",
        guiCpu, floor > 0 ? guiCpu / floor : 0.0, clientCpu - guiCpu,
        floor > 0 ? (clientCpu - guiCpu) / floor : 0.0);
    std::printf("slowest window %.1f pictures/s over %d s, windows showing a camera %d/16 (target "
                ">= 24: %s)\n",
                slowest, kWatchSeconds, stamped, Bench::verdict(stamped == 16 && slowest >= 24));
    std::printf("resident memory %.0f MB (with its web engine processes %.0f MB; target <= 600: "
                "%s), %d threads, %d open files\n",
                status.residentMb, familyMb, Bench::verdict(status.residentMb <= 600),
                status.threads, status.files);
    std::printf("first picture after the page's open request: median %.0f ms over %d windows "
                "(%.0f to %.0f; target <= 150: %s)\n",
                first, int(firstPicture.size()), firstPicture.empty() ? 0 : *fastestOpen,
                firstPicture.empty() ? 0 : *slowestOpen,
                Bench::verdict(first >= 0 && first <= 150));
    printSteps(session.client()->output(), opening.requestedAt, first);
    std::printf("processor time in the first %d ms after the request, in percent of one core (of "
                "%u): client %.0f %%, orvane-sim %.0f %%\n",
                kBurstMs, std::thread::hardware_concurrency(), opening.clientCpu, opening.simCpu);
    std::fflush(stdout);
    if (minutes > 0)
        soak(client, minutes);
    return 0;
}
