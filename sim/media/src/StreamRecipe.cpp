#include "StreamRecipe.h"

#include "SimMedia/MediaDevice.h"

#include <algorithm>

namespace SimMedia {

std::string StreamRecipe::overlayAndEncoder(const ChannelSpec &channel, int height)
{
    const int fontPixels = std::max(8, height / 14);
    const std::string overlay = "textoverlay name=text valignment=bottom halignment=left "
                                "shaded-background=true font-desc=\"Sans Bold "
        + std::to_string(fontPixels) + "px\"";
    // A constant quantiser keeps every picture sharp, the first one after a key-frame request
    // included; the scene is flat, so the bit rate stays modest. Key frames every second. Both
    // codecs go out as a byte stream with the parameter sets before every key frame (x265 writes
    // VPS, SPS and PPS before the first picture only unless told to repeat them), so that a
    // viewer joining mid-stream decodes without the session description.
    if (channel.codec == "h265")
        return overlay
            + " ! x265enc tune=zerolatency speed-preset=ultrafast key-int-max=25 qp=24"
              " option-string=repeat-headers=1 ! h265parse";
    return overlay
        + " ! x264enc tune=zerolatency speed-preset=ultrafast key-int-max=25 threads=1"
          " pass=quant quantizer=24 ! video/x-h264,stream-format=byte-stream ! h264parse";
}

std::string StreamRecipe::videoPayloader(const ChannelSpec &channel)
{
    return channel.codec == "h265" ? "rtph265pay name=pay0 pt=96 config-interval=0"
                                   : "rtph264pay name=pay0 pt=96 config-interval=0";
}

std::string StreamRecipe::liveLaunch(const ChannelSpec &channel)
{
    return "( appsrc name=src is-live=true format=time max-buffers=50 leaky-type=upstream ! "
        + videoPayloader(channel) + (channel.audio ? " " + audioBranch(true) : "") + " )";
}

std::string StreamRecipe::audioBranch(bool live)
{
    return std::string("audiotestsrc wave=sine freq=440 volume=0.3 samplesperbuffer=320 is-live=")
        + (live ? "true" : "false")
        + " ! audio/x-raw,rate=8000,channels=1 ! alawenc ! rtppcmapay name=pay1 pt=8";
}

std::string StreamRecipe::rawCaps(int width, int height)
{
    return "video/x-raw,format=I420,width=" + std::to_string(width)
        + ",height=" + std::to_string(height) + ",framerate=25/1";
}

} // namespace SimMedia
