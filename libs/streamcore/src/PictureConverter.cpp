#include "PictureConverter.h"

#include "GstPtr.h"

#include <cmath>

namespace StreamCore {

namespace {

// The region in whole pixels of a picture of this size, at least one pixel and inside it.
QRect pixelsOf(const QRectF &region, int width, int height)
{
    const auto edge = [](double fraction, int size) {
        return std::clamp(int(std::lround(fraction * size)), 0, size);
    };
    const int left = std::min(edge(region.left(), width), width - 1);
    const int top = std::min(edge(region.top(), height), height - 1);
    return QRect(QPoint(left, top),
                 QPoint(std::max(left + 1, edge(region.right(), width)) - 1,
                        std::max(top + 1, edge(region.bottom(), height)) - 1));
}

} // namespace

bool PictureConverter::convert(const GstVideoFrame &picture, const QRectF &region, guint8 *target,
                               int stride, int width, int height)
{
    const int pictureWidth = GST_VIDEO_FRAME_WIDTH(&picture);
    const int pictureHeight = GST_VIDEO_FRAME_HEIGHT(&picture);
    if (width <= 0 || height <= 0 || pictureWidth <= 0 || pictureHeight <= 0)
        return false;
    const QRect part = pixelsOf(region, pictureWidth, pictureHeight);
    if (part.width() >= width && part.height() >= height
        && NearestYuvConverter::handles(picture.info)) {
        m_nearest.convert(picture, part, target, stride, width, height);
        return true;
    }
    return convertWithGStreamer(picture, part, target, stride, width, height);
}

bool PictureConverter::convertWithGStreamer(const GstVideoFrame &picture, const QRect &part,
                                            guint8 *target, int stride, int width, int height)
{
    if (!m_converter || !gst_video_info_is_equal(&m_in, &picture.info) || part != m_part
        || GST_VIDEO_INFO_WIDTH(&m_out) != width || GST_VIDEO_INFO_HEIGHT(&m_out) != height) {
        m_in = picture.info;
        m_part = part;
        gst_video_info_set_format(&m_out, GST_VIDEO_FORMAT_BGRx, guint(width), guint(height));
        // The converter changes pixels only: the pictures' rate and interlacing stay.
        m_out.fps_n = m_in.fps_n;
        m_out.fps_d = m_in.fps_d;
        m_out.interlace_mode = m_in.interlace_mode;
        // One thread, no dithering: the picture is drawn at once on the GUI thread.
        m_converter.reset(gst_video_converter_new(
            &m_in, &m_out,
            gst_structure_new(
                "options", GST_VIDEO_CONVERTER_OPT_DITHER_METHOD, GST_TYPE_VIDEO_DITHER_METHOD,
                GST_VIDEO_DITHER_NONE, GST_VIDEO_CONVERTER_OPT_THREADS, G_TYPE_UINT, 1u,
                GST_VIDEO_CONVERTER_OPT_RESAMPLER_METHOD, GST_TYPE_VIDEO_RESAMPLER_METHOD,
                GST_VIDEO_RESAMPLER_METHOD_LINEAR, GST_VIDEO_CONVERTER_OPT_SRC_X, G_TYPE_INT,
                part.x(), GST_VIDEO_CONVERTER_OPT_SRC_Y, G_TYPE_INT, part.y(),
                GST_VIDEO_CONVERTER_OPT_SRC_WIDTH, G_TYPE_INT, part.width(),
                GST_VIDEO_CONVERTER_OPT_SRC_HEIGHT, G_TYPE_INT, part.height(), nullptr)));
        if (!m_converter)
            return false;
    }
    // The target's rows, as a frame of the target's stride.
    GstVideoInfo out = m_out;
    out.stride[0] = stride;
    out.size = gsize(stride) * gsize(height - 1) + gsize(width) * 4;
    GstPtr<GstBuffer> memory(gst_buffer_new_wrapped_full(GstMemoryFlags(0), target, out.size, 0,
                                                         out.size, nullptr, nullptr));
    GstVideoFrame frame;
    if (!gst_video_frame_map(&frame, &out, memory.get(), GST_MAP_WRITE))
        return false;
    gst_video_converter_frame(m_converter.get(), &picture, &frame);
    gst_video_frame_unmap(&frame);
    return true;
}

} // namespace StreamCore
