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
#include <StreamCore/IStreamCore.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHash>

#include <cstdio>
#include <numeric>

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

// Prints the CPU and the displayed frame rates of 16 windows playing the same channel.
void measure(bool automatic, int seconds, PaintCounter &counter)
{
    QVideoFrame view(CVideoFrame::kOwnerPlayback);
    view.resize(1920, 1080);
    view.show();
    view.setFlag(CVideoFrame::FlagAutoDefinition, automatic);
    view.createWnds(kWindows);
    view.setSplitByCount(kWindows);
    ChannelInfo_t channel;
    channel.deviceID = Bench::kDevice;
    channel.channelID = 1;
    channel.definitionMode = 0;
    channel.bHasChannel = true;
    view.openVideos(QVector<ChannelInfo_t>(kWindows, channel).toList());
    CVideoFrame *frame = view.frame();
    const auto count = [frame](const std::function<bool(int)> &holds) {
        int n = 0;
        for (int i = 0; i < kWindows; ++i)
            n += holds(i) ? 1 : 0;
        return n;
    };
    const auto playing = [&] {
        return count([frame](int i) { return frame->wnd(i)->getVideoState() == 3; });
    };
    Bench::spinUntil([&] { return playing() == kWindows; }, 20000);
    Bench::spinFor(kWarmUpMs);
    counter.painted.clear();
    long long elapsed = 0;
    const double percent = Bench::ownCpuOver(seconds * 1000, &elapsed);
    std::vector<double> fps;
    for (long long n : counter.painted)
        fps.push_back(double(n) * 1000 / double(elapsed));
    fps.resize(kWindows, 0); // a window that painted nothing counts as 0
    std::printf("%-24s %6.1f %8.1f %8.1f %5d/%d %5d/%d\n",
                automatic ? "automatic (by size)" : "all high definition", percent,
                *std::min_element(fps.begin(), fps.end()),
                std::accumulate(fps.begin(), fps.end(), 0.0) / kWindows, playing(), kWindows,
                count([frame](int i) { return frame->wndInfo(i).channel.definitionMode == 0; }),
                kWindows);
    std::fflush(stdout);
    view.closeAll();
    Bench::spinFor(1000);
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
    for (bool automatic : {true, false})
        measure(automatic, seconds, counter);
    return 0;
}
