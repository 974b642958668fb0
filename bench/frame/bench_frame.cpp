// bench_frame: a 16-window frame on the simulated devices, with windows following their size
// (standard definition at this size) beside every window in high definition, in the same run:
// CPU of the process and displayed frame rates. Needs a display; without one it runs itself
// under xvfb-run. BENCH_SECONDS sets the length of each measurement (default 8).
// The simulator library switches Qt's keywords off for GLib; the client's headers use them.
#undef QT_NO_KEYWORDS
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "ConfigInfo/CBaseInfo.h"

#include <Bench.h>
#include <ChildProcess.h>
#include <ProcessCpu.h>
#include <StreamCore/IStreamCore.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHash>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr int kWindows = 16;
constexpr int kWarmUpMs = 3000;

// Counts the pictures StreamCore paints, per surface.
class PaintCounter : public QObject
{
public:
    QHash<QObject *, long long> painted;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == "StreamCoreSurface")
            ++painted[watched];
        return false;
    }
};

struct Figures
{
    double cpu = 0;
    double minFps = 0;
    double avgFps = 0;
    int playing = 0;
    int high = 0; // windows in high definition
};

Figures measure(bool automatic, int seconds, PaintCounter &counter)
{
    QVideoFrame view(CVideoFrame::kOwnerPlayback);
    view.resize(1920, 1080);
    view.show();
    view.setFlag(CVideoFrame::FlagAutoDefinition, automatic);
    view.createWnds(kWindows);
    view.setSplitByCount(kWindows);
    QList<ChannelInfo_t> channels;
    for (int i = 0; i < kWindows; ++i) {
        ChannelInfo_t c;
        c.deviceID = Bench::kDevice;
        c.channelID = 1;
        c.definitionMode = 0;
        c.bHasChannel = true;
        channels << c;
    }
    view.openVideos(channels);
    CVideoFrame *frame = view.frame();
    auto playing = [frame] {
        int n = 0;
        for (int i = 0; i < kWindows; ++i)
            n += frame->wnd(i)->getVideoState() == 3 ? 1 : 0;
        return n;
    };
    Bench::spinUntil([&] { return playing() == kWindows; }, 20000);
    Bench::spinFor(kWarmUpMs);
    counter.painted.clear();
    ProcessCpu cpu(getpid());
    QElapsedTimer timer;
    timer.start();
    Bench::spinFor(seconds * 1000);
    Figures f;
    f.cpu = cpu.percent();
    const double elapsed = double(timer.elapsed()) / 1000;
    std::vector<double> fps;
    for (long long n : counter.painted)
        fps.push_back(double(n) / elapsed);
    fps.resize(kWindows, 0); // a window that painted nothing counts as 0
    f.minFps = *std::min_element(fps.begin(), fps.end());
    for (double v : fps)
        f.avgFps += v / kWindows;
    f.playing = playing();
    for (int i = 0; i < kWindows; ++i)
        f.high += frame->wndInfo(i).channel.definitionMode == 0 ? 1 : 0;
    view.closeAll();
    Bench::spinFor(1000);
    return f;
}

} // namespace

int main(int argc, char **argv)
{
    Bench::ensureDisplay(argv);
    QApplication app(argc, argv);
    ChildProcess sim;
    const int port = Bench::startSim(sim, "bench_frame");
    if (port == 0)
        return 1;
    // The client runs in its program folder: the layouts and the skin are read from there.
    const QString programFolder = QCoreApplication::applicationDirPath() + "/../bin";
    if (!QDir::setCurrent(programFolder) || !QFile::exists("WndSplit.xml")) {
        std::fprintf(stderr, "bench_frame: no program folder at %s\n", qPrintable(programFolder));
        return 1;
    }
    StreamCore::IStreamCore::GetInstance()->InitApi("127.0.0.1", port, "", false);
    ConfigInfo::CBaseInfo::Instance().setVeltToken(
        QString::fromStdString(Bench::deviceToken(port)));
    const int seconds = Bench::seconds(8);
    PaintCounter counter;
    app.installEventFilter(&counter);

    std::printf("16 windows in a 1920x1080 frame (about 478x267 each), CPU in percent of one core "
                "over %d s\n",
                seconds);
    std::printf("%-24s %6s %8s %8s %8s %8s\n", "definition", "cpu%", "min fps", "avg fps",
                "playing", "high");
    for (bool automatic : {true, false}) {
        const Figures f = measure(automatic, seconds, counter);
        std::printf("%-24s %6.1f %8.1f %8.1f %5d/%d %5d/%d\n",
                    automatic ? "automatic (by size)" : "all high definition", f.cpu, f.minFps,
                    f.avgFps, f.playing, kWindows, f.high, kWindows);
        std::fflush(stdout);
    }
    return 0;
}
