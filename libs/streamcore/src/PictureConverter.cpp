#include "PictureConverter.h"

#include "GstPtr.h"

namespace StreamCore {

bool PictureConverter::convert(const GstVideoFrame &picture, guint8 *target, int stride, int width,
                               int height)
{
    if (width <= 0 || height <= 0)
        return false;
    if (!m_converter || !gst_video_info_is_equal(&m_in, &picture.info)
        || GST_VIDEO_INFO_WIDTH(&m_out) != width || GST_VIDEO_INFO_HEIGHT(&m_out) != height) {
        m_in = picture.info;
        gst_video_info_set_format(&m_out, GST_VIDEO_FORMAT_BGRx, guint(width), guint(height));
        // The converter changes pixels only: the pictures' rate and interlacing stay.
        m_out.fps_n = m_in.fps_n;
        m_out.fps_d = m_in.fps_d;
        m_out.interlace_mode = m_in.interlace_mode;
        // One thread, no dithering: the picture is drawn at once on the GUI thread.
        m_converter.reset(gst_video_converter_new(
            &m_in, &m_out,
            gst_structure_new("options", GST_VIDEO_CONVERTER_OPT_DITHER_METHOD,
                              GST_TYPE_VIDEO_DITHER_METHOD, GST_VIDEO_DITHER_NONE,
                              GST_VIDEO_CONVERTER_OPT_THREADS, G_TYPE_UINT, 1u, nullptr)));
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
