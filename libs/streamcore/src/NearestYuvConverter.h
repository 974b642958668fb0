#pragma once

#include "RowGather.h"

#include <gst/video/video.h>

#include <QRect>

#include <cstdint>
#include <vector>

namespace StreamCore {

// Shrinks a part of a decoded 4:2:0 picture (I420 or YV12, limited range) by nearest-neighbour
// sampling and converts it to BGRx in the same pass, straight into memory the caller owns. Only
// the pixels written are ever read or converted: a 640x360 picture drawn at 412x232 costs a
// 412x232 conversion and no scaled copy. Rows are gathered into small buffers (RowGather), then
// converted 16 pixels at a time with SSE2 where the build has it (x86-64 always does) and by the
// same integer arithmetic one pixel at a time elsewhere, which is that of GStreamer's own I420
// to BGRx conversion: colours come out as before.
// GUI thread.
class NearestYuvConverter
{
public:
    // Whether pictures of this format can be converted here.
    static bool handles(const GstVideoInfo &info);

    // Writes `part` of the picture (in its pixels), sampled to width x height, as BGRx rows of
    // `stride` bytes from `target`. The part must lie inside the picture.
    void convert(const GstVideoFrame &picture, const QRect &part, uint8_t *target, int stride,
                 int width, int height);

private:
    // Levels of a colour per level of a sample, in 1/256.
    struct Coefficients
    {
        int16_t luma;
        int16_t redV;
        int16_t greenU;
        int16_t greenV;
        int16_t blueU;
    };

    // Sets the coefficients and the sampled rows and columns up for these pictures.
    void prepare(const GstVideoInfo &info, const QRect &part, int width, int height);
    // Converts the gathered row into BGRx pixels.
    void convertRow(uint8_t *target, int width) const;

    Coefficients m_coefficients {};
    GstVideoColorMatrix m_matrix = GST_VIDEO_COLOR_MATRIX_UNKNOWN;
    QRect m_part;
    std::vector<int> m_lumaRows;
    std::vector<int> m_chromaRows;
    RowGather m_luma;
    RowGather m_chroma;
    std::vector<uint8_t> m_y;
    std::vector<uint8_t> m_u;
    std::vector<uint8_t> m_v;
};

} // namespace StreamCore
