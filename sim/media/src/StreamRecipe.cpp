#include "StreamRecipe.h"

#include "SimMedia/DeviceSpec.h"

#include <algorithm>

namespace SimMedia {

std::string StreamRecipe::overlayAndEncoder(const ChannelSpec &channel, int width, int height)
{
    const int fontPixels = std::max(8, height / 14);
    const int kbps = std::max(64, width * height * 25 / 14000);
    const std::string overlay = "textoverlay name=text valignment=bottom halignment=left "
                                "shaded-background=true font-desc=\"Sans Bold "
                                + std::to_string(fontPixels) + "px\"";
    // Key frames every two seconds; a new viewer asks for one at once anyway.
    if (channel.codec == "h265")
        return overlay
               + " ! x265enc tune=zerolatency speed-preset=ultrafast key-int-max=50 bitrate="
               + std::to_string(kbps) + " ! h265parse";
    return overlay
           + " ! x264enc tune=zerolatency speed-preset=ultrafast key-int-max=50 threads=1 bitrate="
           + std::to_string(kbps) + " ! h264parse";
}

std::string StreamRecipe::videoPayloader(const ChannelSpec &channel)
{
    return channel.codec == "h265" ? "rtph265pay name=pay0 pt=96 config-interval=0"
                                   : "rtph264pay name=pay0 pt=96 config-interval=0";
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
