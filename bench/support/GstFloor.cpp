#include "GstFloor.h"

GstFloor::GstFloor(const QStringList &urls)
{
    QStringList arguments {"-q"};
    for (const QString &url : urls) {
        arguments << QString("rtspsrc location=%1 protocols=tcp latency=200 ! rtph264depay ! "
                             "h264parse ! avdec_h264 max-threads=1 ! fakesink sync=false")
                         .arg(url)
                         .split(' ');
    }
    m_launch.start("gst-launch-1.0", arguments);
    m_launch.waitForStarted();
}

GstFloor::~GstFloor()
{
    m_launch.kill();
    m_launch.waitForFinished();
}

pid_t GstFloor::pid() const
{
    return m_launch.state() == QProcess::NotRunning ? 0 : pid_t(m_launch.processId());
}
