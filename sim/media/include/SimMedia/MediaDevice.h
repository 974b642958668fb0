#pragma once

#include <string>
#include <vector>

namespace SimMedia {

// One channel of a simulated device.
struct ChannelSpec
{
    int id = 1;
    std::string name;
    // Picture size per definition: index 0 high, 1 standard.
    int width[2] = {1280, 640};
    int height[2] = {720, 360};
    std::string codec = "h264"; // "h264" or "h265"
    bool audio = false;
    // H.264 only: false keeps the parameter sets out of the live stream, announced in the
    // session description alone (as some cameras do).
    bool parameterSetsInBand = true;
    // An outside camera: when set, the platform hands out this RTSP address for live video.
    std::string rtspUrl;
};

// A simulated recorder or camera.
struct MediaDevice
{
    std::string id;
    std::string name;
    std::vector<ChannelSpec> channels;

    const ChannelSpec *channel(int channelId) const;
};

// Reads a device list: a JSON array of devices, or an object whose "devices" member is one. A
// device: "deviceId", "deviceName", "channels": [{"channelId", "channelName", "codec", "audio",
// "high": [w, h], "standard": [w, h], "rtspUrl", "inBandParameterSets"}]. False with a reason
// on malformed input.
bool parseDevices(const std::string &json, std::vector<MediaDevice> *devices, std::string *error);

// The built-in devices: a four-channel recorder and two cameras, one of them H.265 with sound.
std::vector<MediaDevice> defaultDevices();

} // namespace SimMedia
