#pragma once

#include <string>

namespace SimMedia {

struct ChannelSpec;

// The GStreamer pipeline pieces shared by live and recorded streams of a simulated channel.
class StreamRecipe
{
public:
    // Clock text over the picture (an overlay named "text"), then the encoder and its parser.
    static std::string overlayAndEncoder(const ChannelSpec &channel, int height);
    // The RTP payloader of the video stream, "pay0", keeping parameter sets out of the packets.
    static std::string videoPayloader(const ChannelSpec &channel);
    // The launch line of a live RTSP media fed by a LiveSource: app source "src", "pay0", and
    // the tone as "pay1" when the channel has sound.
    static std::string liveLaunch(const ChannelSpec &channel);
    // A payloaded A-law tone as the second stream, "pay1"; live or seekable.
    static std::string audioBranch(bool live);
    // Caps of the raw pictures the painter produces.
    static std::string rawCaps(int width, int height);
};

} // namespace SimMedia
