#include "GstFloor.h"

#include "ProcessCpu.h"

#include <QEventLoop>
#include <QProcess>
#include <QTimer>

namespace GstFloor {

void spinFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double cpu(const QStringList &urls, int warmUpMs, int seconds)
{
    QStringList arguments {"-q"};
    for (const QString &url : urls) {
        arguments << "rtspsrc"
                  << "location=" + url << "protocols=tcp"
                  << "latency=200"
                  << "!"
                  << "rtph264depay"
                  << "!"
                  << "h264parse"
                  << "!"
                  << "avdec_h264"
                  << "max-threads=1"
                  << "!"
                  << "fakesink"
                  << "sync=false";
    }
    QProcess launch;
    launch.start("gst-launch-1.0", arguments);
    if (!launch.waitForStarted())
        return -1;
    spinFor(warmUpMs);
    ProcessCpu cpu(launch.processId());
    cpu.start();
    spinFor(seconds * 1000);
    const double percent = cpu.percent();
    launch.kill();
    launch.waitForFinished();
    return percent;
}

} // namespace GstFloor
