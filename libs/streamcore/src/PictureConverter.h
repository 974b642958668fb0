#pragma once

#include <gst/video/video.h>

#include <memory>

namespace StreamCore {

// Converts decoded pictures (any raw format GStreamer knows, I420 from the display branch) to
// BGRx straight into memory the caller owns, such as the window's backing store, so that a
// picture is converted and drawn in one pass without an image in between. Keeps its GStreamer
// converter while the pictures' format and the target size stay the same. GUI thread.
class PictureConverter
{
public:
    // Writes the picture, scaled to width x height when its size differs, as BGRx rows of
    // `stride` bytes from `target`; false when GStreamer cannot convert it.
    bool convert(const GstVideoFrame &picture, guint8 *target, int stride, int width, int height);

private:
    struct Free
    {
        void operator()(GstVideoConverter *c) const { gst_video_converter_free(c); }
    };

    std::unique_ptr<GstVideoConverter, Free> m_converter;
    GstVideoInfo m_in {};
    GstVideoInfo m_out {};
};

} // namespace StreamCore
