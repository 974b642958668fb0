#pragma once

#include <SimMedia/MediaDevice.h>
#include <SimMedia/MediaServer.h>
#include <SimMedia/RecordSchedule.h>
#include <StreamCore/StreamCoreTypes.h>

#include <QString>

#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

// The simulated devices and the open platform on free ports of 127.0.0.1, for tests of the
// media library: the RTSP server, and an HTTP server carrying the open-platform routes.
class SimHarness
{
public:
    static constexpr const char *kToken = "device-platform-token";
    // Three H.264 channels without sound; the third announces its parameter sets in the
    // session description only.
    static constexpr const char *kRecorder = "NVR-T1";
    static constexpr const char *kCamera = "IPC-T2"; // one H.265 channel with sound

    SimHarness();
    // Other devices than the built-in ones.
    explicit SimHarness(std::vector<SimMedia::MediaDevice> deviceList);
    ~SimHarness();

    // Starts both servers and points the media library at the platform, its open and snapshot
    // time-outs scaled as the tests' waits (VideoProbe::scaled); false when any fails.
    bool start();
    static void scaleTimeouts();
    int httpPort() const { return m_httpPort; }
    SimMedia::MediaServer &media() { return *m_media; }

    // Small pictures keep the suite light: standard 320x180, high 640x360.
    static std::vector<SimMedia::MediaDevice> devices();
    // A channel of width x height in high definition and half that in standard.
    static SimMedia::ChannelSpec channel(int id, const std::string &codec = "h264",
                                         bool audio = false, int width = 640, int height = 360);
    // The recordings of the latest past day holding at least `count` on a device's channel.
    static std::vector<SimMedia::Record> recordedDay(const char *device, int channel, int source,
                                                     size_t count = 1);
    // A recording as the library's record lists hold it.
    static StreamCore::RecordInfo recordInfo(const SimMedia::Record &r, int channel = 1);
    // Seconds since the epoch as the library's local time text, "yyyy-MM-dd HH:mm:ss".
    static QString localText(qint64 seconds);

private:
    std::unique_ptr<SimMedia::MediaServer> m_media;
    std::unique_ptr<httplib::Server> m_http;
    std::thread m_thread;
    int m_httpPort = 0;
};
