#include "FramePainter.h"

#include <GstBufferMap.h>

#include <gst/video/video.h>

#include <QDateTime>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace SimMedia {

FramePainter::FramePainter(const std::string &deviceId, int channel, int width, int height)
    : m_deviceTag(FrameStamp::tagOf(deviceId))
    , m_channel(channel)
    , m_width(width)
    , m_height(height)
    , m_label(deviceId + " ch" + std::to_string(channel))
{
    const double angle = channel * 2.1;
    m_tintU = static_cast<uint8_t>(128 + 40 * std::cos(angle));
    m_tintV = static_cast<uint8_t>(128 + 40 * std::sin(angle));
    m_phase[0].resize(width);
    m_phase[1].resize(width);
}

std::string FramePainter::clockText(int64_t seconds) const
{
    return m_label + "  "
        + QDateTime::fromSecsSinceEpoch(seconds).toString("yyyy-MM-dd HH:mm:ss").toStdString();
}

void FramePainter::fillRows(uint8_t *plane, int stride, int width, int height, int square,
                            int offsetX, int offsetY, uint8_t dark, uint8_t light)
{
    // Two template lines, one per phase of the chequer, copied row by row.
    for (int x = 0; x < width; ++x) {
        const bool odd = ((x + offsetX) / square) % 2;
        m_phase[0][x] = odd ? light : dark;
        m_phase[1][x] = odd ? dark : light;
    }
    for (int y = 0; y < height; ++y)
        std::memcpy(plane + y * stride, m_phase[((y + offsetY) / square) % 2].data(), width);
}

void FramePainter::paintMover(uint8_t *const plane[3], const int stride[3], uint64_t frame)
{
    // A bright block walking across the middle of the picture, 4 pixels per picture.
    const int size = std::max(8, m_height / 6) & ~1;
    const int travel = m_width + size;
    const int x0 = static_cast<int>((frame * 4) % static_cast<uint64_t>(travel)) - size;
    const int y0 = (m_height / 2 - size / 2) & ~1;
    const int left = std::max(0, x0) & ~1;
    const int right = std::min(m_width, x0 + size) & ~1;
    if (right <= left)
        return;
    for (int y = y0; y < y0 + size; ++y)
        std::memset(plane[0] + y * stride[0] + left, 220, right - left);
    for (int y = y0 / 2; y < (y0 + size) / 2; ++y) {
        std::memset(plane[1] + y * stride[1] + left / 2, 90, (right - left) / 2);
        std::memset(plane[2] + y * stride[2] + left / 2, 170, (right - left) / 2);
    }
}

GstBuffer *FramePainter::render(uint32_t seconds, const PtzState::View &view, uint64_t frame)
{
    FrameStamp stamp;
    stamp.deviceTag = m_deviceTag;
    stamp.channel = static_cast<uint8_t>(m_channel);
    stamp.seconds = seconds;
    stamp.pan = static_cast<uint8_t>(view.pan);
    stamp.tilt = static_cast<uint8_t>(view.tilt);
    stamp.zoom = static_cast<uint8_t>(view.zoom);

    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, m_width, m_height);
    GstBuffer *buffer = gst_buffer_new_allocate(nullptr, GST_VIDEO_INFO_SIZE(&info), nullptr);
    const GstBufferMap map(buffer, GST_MAP_WRITE);
    uint8_t *plane[3];
    int stride[3];
    for (int i = 0; i < 3; ++i) {
        plane[i] = map.data() + GST_VIDEO_INFO_PLANE_OFFSET(&info, i);
        stride[i] = GST_VIDEO_INFO_PLANE_STRIDE(&info, i);
    }
    const int square = std::max(4, static_cast<int>(m_height / 5 * (1.0 + stamp.zoom / 6.0)));
    const int offsetX = stamp.pan * m_width / 128;
    const int offsetY = stamp.tilt * m_height / 128;
    fillRows(plane[0], stride[0], m_width, m_height, square, offsetX, offsetY, 70, 180);
    const int cw = m_width / 2, ch = m_height / 2;
    fillRows(plane[1], stride[1], cw, ch, square / 2, offsetX / 2, offsetY / 2, 128, m_tintU);
    fillRows(plane[2], stride[2], cw, ch, square / 2, offsetX / 2, offsetY / 2, 128, m_tintV);
    paintMover(plane, stride, frame);
    // The stamp is grey: neutral chroma under it.
    const int stripRows = (FrameStamp::stripHeight(m_height) + 1) / 2;
    for (int y = 0; y < stripRows; ++y) {
        std::memset(plane[1] + y * stride[1], 128, cw);
        std::memset(plane[2] + y * stride[2], 128, cw);
    }
    stamp.paint(plane[0], stride[0], m_width, m_height);
    return buffer;
}

} // namespace SimMedia
