#pragma once

#include <QProcess>
#include <QStringList>

#include <sys/types.h>

// gst-launch-1.0 receiving the RTSP streams over TCP and decoding them (H.264, one decoding thread
// each, as the media library) to fakesink: the floor that the benchmarks set their CPU beside.
// Runs from construction to destruction.
class GstFloor
{
public:
    explicit GstFloor(const QStringList &urls);
    ~GstFloor();
    GstFloor(const GstFloor &) = delete;
    GstFloor &operator=(const GstFloor &) = delete;

    // Its process, or 0 when it could not start.
    pid_t pid() const;

private:
    QProcess m_launch;
};
