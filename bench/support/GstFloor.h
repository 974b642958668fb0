#pragma once

#include <QStringList>

// The floor a media benchmark compares with: gst-launch-1.0 receiving and decoding the same
// RTSP streams (H.264, one decoding thread each, like the media library) to fakesink.
namespace GstFloor {

// Percent of one core that gst-launch-1.0 uses over `seconds`, after `warmUpMs` for the streams
// to start; -1 when it cannot be started. The event loop runs meanwhile.
double cpu(const QStringList &urls, int warmUpMs, int seconds);

// Runs the event loop for ms milliseconds.
void spinFor(int ms);

} // namespace GstFloor
