#pragma once

#include "NearestYuvConverter.h"

#include <gst/video/video.h>

#include <QRect>
#include <QRectF>

#include <memory>

namespace StreamCore {

// Draws decoded pictures, as the decoder made them, as BGRx straight into memory the caller
// owns, such as the window's backing store: scaling and converting happen in one pass, only for
// pictures that are drawn, and no image is made in between. A shrunk 4:2:0 picture (the usual
// case: a small window on a larger stream) is sampled nearest-neighbour by NearestYuvConverter;
// an enlarged one (a zoomed part, a window larger than the stream) or another format goes
// through GStreamer's converter with bilinear scaling, kept while the format, the part and the
// target size stay the same. GUI thread.
class PictureConverter
{
public:
    // Writes the region of the picture (in fractions of its width and height), scaled to
    // width x height, as BGRx rows of `stride` bytes from `target`; false when it cannot.
    bool convert(const GstVideoFrame &picture, const QRectF &region, guint8 *target, int stride,
                 int width, int height);

private:
    bool convertWithGStreamer(const GstVideoFrame &picture, const QRect &part, guint8 *target,
                              int stride, int width, int height);

    struct Free
    {
        void operator()(GstVideoConverter *c) const { gst_video_converter_free(c); }
    };

    NearestYuvConverter m_nearest;
    std::unique_ptr<GstVideoConverter, Free> m_converter;
    GstVideoInfo m_in {};
    GstVideoInfo m_out {};
    QRect m_part;
};

} // namespace StreamCore
