#pragma once

#include <QJsonArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

class ChildProcess;

// What the benchmarks share: a display, their length, waiting in the event loop, orvane-sim and
// its demo user, the gst-launch-1.0 decoding floor, and figures printed beside their targets.
namespace Bench {

constexpr const char *kDevice = "NVR0001A"; // a recorder of the built-in device list

// Without a display (DISPLAY unset) starts this program again under xvfb-run on a 1920x1080
// screen and never returns. webEngine: QtWebEngine runs on xcb, without its sandbox as root.
void ensureDisplay(char **argv, bool webEngine = false);
// BENCH_SECONDS (at least 2), or fallback when it is not set.
int seconds(int fallback);

// Runs the event loop for ms milliseconds.
void spinFor(int ms);
// Runs the event loop until done() holds or timeoutMs passed; done() at the end.
bool spinUntil(const std::function<bool()> &done, int timeoutMs);
// This process's CPU in percent of one core while the event loop runs for ms milliseconds;
// elapsedMs: how long that really took (a loaded machine overruns).
double ownCpuOver(int ms, long long *elapsedMs);

// The figure below which the share p (0 to 1) of the figures lie (0.5: the median); -1 without.
template<typename T> double percentile(std::vector<T> values, double p)
{
    if (values.empty())
        return -1;
    std::sort(values.begin(), values.end());
    return double(values[static_cast<size_t>(p * double(values.size() - 1))]);
}
const char *verdict(bool met); // "met" or "missed"

// Starts the build's orvane-sim over plain HTTP on free ports in a process of its own (its
// encoding is not the benchmark's CPU); its HTTP port, or 0 after printing why it failed.
int startSim(ChildProcess &sim, const char *benchmark, const QStringList &arguments = {});
// The device-platform token of the demo user, logged in over HTTP; empty when that failed.
std::string deviceToken(int httpPort);
// The RTSP address of a live channel of kDevice (definition 0: 1280x720, 1: 640x360).
QString liveUrl(int httpPort, const std::string &token, int channel, int definition);
// The 16 channels of kDevice as the page sends them in "OpenVideo".
QJsonArray channels(const std::string &token, int definition);
// Percent of one core that the floor (GstFloor) uses on the streams over `seconds`, after
// `warmUpMs`; -1 when it cannot start.
double gstFloorCpu(const QStringList &urls, int warmUpMs, int seconds);

} // namespace Bench
