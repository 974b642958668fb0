#pragma once

#include "SimMedia/MediaDevice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace SimMedia {

// Faults a test can put on one device channel.
struct ChannelFault
{
    bool refuse = false; // the stream server refuses the connection
    bool silent = false; // the stream server accepts the connection and never answers
    int startDelayMs = 0; // the first live picture comes this late
};

// The simulated devices' media: an RTSP server (with the ONVIF back channel) serving, for every
// device channel, live video in two definitions, playback of any past span, and talk; plus each
// device's own web page, PTZ, and faults. Listens on 127.0.0.1 only.
class MediaServer
{
public:
    explicit MediaServer(std::vector<MediaDevice> devices = defaultDevices());
    ~MediaServer();
    MediaServer(const MediaServer &) = delete;
    MediaServer &operator=(const MediaServer &) = delete;

    // Starts the RTSP server on the port (0: a free one); false with a reason on failure.
    bool start(int rtspPort = 0, std::string *error = nullptr);
    // Ends every session and stops serving.
    void stop();
    int rtspPort() const;

    const std::vector<MediaDevice> &devices() const;
    const MediaDevice *device(const std::string &deviceId) const;

    // An RTSP address handed out by the platform; status 0 when found, 404 when the device,
    // channel or span is unknown.
    struct Address
    {
        int status = 404;
        std::string url;
    };
    Address liveAddress(const std::string &deviceId, int channel, int definition);
    // Playback of [begin, end] (seconds since 1970) from the device (0) or the cloud (1).
    Address playbackAddress(const std::string &deviceId, int channel, int source, int64_t begin,
                            int64_t end);
    Address talkAddress(const std::string &deviceId, int channel);

    // Port of the device's own web page (started on first use); 0 for an unknown device.
    int webPort(const std::string &deviceId);
    // Moves the channel's camera (0 up, 1 down, 2 left, 3 right, 8 zoom out, 9 zoom in, 10
    // stop); false for an unknown channel or operation.
    bool ptz(const std::string &deviceId, int channel, int operation, int durationMs);

    void setFault(const std::string &deviceId, int channel, const ChannelFault &fault);
    void clearFaults();
    // Cuts every running session of the channel at once, as a camera losing power would;
    // returns how many connections were cut.
    int dropSessions(const std::string &deviceId, int channel);
    // The audio (G.711 mu-law bytes) that clients sent on the channel's talk back channel.
    std::string talkReceived(const std::string &deviceId, int channel) const;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace SimMedia
