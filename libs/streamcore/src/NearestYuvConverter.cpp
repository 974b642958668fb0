#include "NearestYuvConverter.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace StreamCore {

namespace {

// The arithmetic of GStreamer's own I420 to BGRx path, which drew the pictures before, so that
// colours stay as they were to the level: samples centred on 128 as signed bytes, each spread
// over both bytes of a 16-bit word (s * 257), multiplied by the coefficient times 256 keeping
// the upper 16 bits, summed, saturated to a signed byte and moved back up by 128.
int16_t fixed(double coefficient)
{
    return static_cast<int16_t>(std::lround(coefficient * 256));
}

#ifndef __SSE2__
int spread(uint8_t sample)
{
    const uint8_t centred = sample ^ 0x80;
    return static_cast<int16_t>(uint16_t(centred << 8 | centred));
}

int term(uint8_t sample, int16_t coefficient)
{
    return (spread(sample) * coefficient) >> 16;
}

uint8_t level(int sum)
{
    return static_cast<uint8_t>(std::clamp(sum, -128, 127) + 128);
}
#endif

// The source column or row for each of `count` target ones over `length` pixels from `first`:
// the one under the target's pixel centre.
void sampleAt(std::vector<int> &out, int first, int length, int count)
{
    out.resize(size_t(count));
    for (int i = 0; i < count; ++i)
        out[size_t(i)] = first + int((int64_t(2 * i + 1) * length) / (2 * int64_t(count)));
}

// Asks for the cache lines of a row that will be gathered soon: the decoded picture was written
// by the decoder on another thread a while ago and is seldom in this core's cache any more.
void prefetch(const uint8_t *row, const std::vector<int> &columns)
{
    constexpr int kCacheLine = 64;
    for (int at = columns.front(); at <= columns.back(); at += kCacheLine)
        __builtin_prefetch(row + at);
    __builtin_prefetch(row + columns.back());
}

} // namespace

bool NearestYuvConverter::handles(const GstVideoInfo &info)
{
    const GstVideoFormat format = GST_VIDEO_INFO_FORMAT(&info);
    gdouble kr = 0, kb = 0;
    return (format == GST_VIDEO_FORMAT_I420 || format == GST_VIDEO_FORMAT_YV12)
        && info.colorimetry.range == GST_VIDEO_COLOR_RANGE_16_235
        && gst_video_color_matrix_get_Kr_Kb(info.colorimetry.matrix, &kr, &kb);
}

void NearestYuvConverter::prepare(const GstVideoInfo &info, const QRect &part, int width,
                                  int height)
{
    if (info.colorimetry.matrix != m_matrix) {
        m_matrix = info.colorimetry.matrix;
        gdouble kr = 0, kb = 0;
        gst_video_color_matrix_get_Kr_Kb(m_matrix, &kr, &kb);
        const double kg = 1 - kr - kb;
        const double luma = 255.0 / 219;
        const double chroma = 255.0 / 224;
        m_coefficients
            = {fixed(luma), fixed(2 * (1 - kr) * chroma), fixed(-2 * kb * (1 - kb) / kg * chroma),
               fixed(-2 * kr * (1 - kr) / kg * chroma), fixed(2 * (1 - kb) * chroma)};
    }
    if (part == m_part && m_luma.columns().size() == size_t(width)
        && m_lumaRows.size() == size_t(height))
        return;
    m_part = part;
    std::vector<int> columns;
    sampleAt(m_lumaRows, part.y(), part.height(), height);
    sampleAt(columns, part.x(), part.width(), width);
    m_luma.setColumns(std::move(columns), GST_VIDEO_INFO_COMP_WIDTH(&info, 0));
    // The chroma planes are sampled at half the target's size, as scaling the planes one by one
    // did: each chroma sample serves two target pixels.
    const int chromaLeft = part.x() / 2;
    const int chromaTop = part.y() / 2;
    sampleAt(m_chromaRows, chromaTop, (part.bottom() + 2) / 2 - chromaTop, (height + 1) / 2);
    sampleAt(columns, chromaLeft, (part.right() + 2) / 2 - chromaLeft, (width + 1) / 2);
    m_chroma.setColumns(std::move(columns), GST_VIDEO_INFO_COMP_WIDTH(&info, 1));
    // Whole blocks of 16 pixels are converted: the rows are long enough for the last one.
    const size_t padded = size_t((width + 15) / 16 * 16);
    m_y.resize(padded);
    m_u.resize(padded / 2);
    m_v.resize(padded / 2);
}

void NearestYuvConverter::convert(const GstVideoFrame &picture, const QRect &part, uint8_t *target,
                                  int stride, int width, int height)
{
    prepare(picture.info, part, width, height);
    const auto *luma = static_cast<const uint8_t *>(GST_VIDEO_FRAME_COMP_DATA(&picture, 0));
    const auto *blue = static_cast<const uint8_t *>(GST_VIDEO_FRAME_COMP_DATA(&picture, 1));
    const auto *red = static_cast<const uint8_t *>(GST_VIDEO_FRAME_COMP_DATA(&picture, 2));
    const int lumaStride = GST_VIDEO_FRAME_COMP_STRIDE(&picture, 0);
    const int blueStride = GST_VIDEO_FRAME_COMP_STRIDE(&picture, 1);
    const int redStride = GST_VIDEO_FRAME_COMP_STRIDE(&picture, 2);
    // Rows are asked for this many target rows ahead.
    constexpr int kAhead = 2;
    for (int y = 0; y < height; ++y) {
        if (y + kAhead < height) {
            prefetch(luma + m_lumaRows[size_t(y + kAhead)] * lumaStride, m_luma.columns());
            if ((y + kAhead) % 2 == 0) {
                const int chromaRow = m_chromaRows[size_t((y + kAhead) / 2)];
                prefetch(blue + chromaRow * blueStride, m_chroma.columns());
                prefetch(red + chromaRow * redStride, m_chroma.columns());
            }
        }
        m_luma.gather(luma + m_lumaRows[size_t(y)] * lumaStride, m_y.data());
        // Two target rows share a chroma row.
        if (y % 2 == 0) {
            const int chromaRow = m_chromaRows[size_t(y / 2)];
            m_chroma.gather(blue + chromaRow * blueStride, m_u.data());
            m_chroma.gather(red + chromaRow * redStride, m_v.data());
        }
        convertRow(target + y * stride, width);
    }
}

void NearestYuvConverter::convertRow(uint8_t *target, int width) const
{
    const Coefficients &c = m_coefficients;
#ifdef __SSE2__
    const __m128i centre = _mm_set1_epi8(char(0x80));
    const __m128i opaque = _mm_set1_epi8(char(0xff));
    const __m128i luma = _mm_set1_epi16(c.luma);
    const __m128i redV = _mm_set1_epi16(c.redV);
    const __m128i greenU = _mm_set1_epi16(c.greenU);
    const __m128i greenV = _mm_set1_epi16(c.greenV);
    const __m128i blueU = _mm_set1_epi16(c.blueU);
    // One colour of 16 pixels from its sum of terms, low and high 8 pixels.
    const auto pack = [centre](__m128i low, __m128i high) {
        return _mm_xor_si128(_mm_packs_epi16(low, high), centre);
    };
    for (int x = 0; x < width; x += 16) {
        const __m128i y = _mm_xor_si128(
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(m_y.data() + x)), centre);
        // 8 chroma samples, each doubled for the two pixels it serves.
        const auto chroma = [x, centre](const std::vector<uint8_t> &row) {
            const __m128i s
                = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(row.data() + x / 2));
            return _mm_xor_si128(_mm_unpacklo_epi8(s, s), centre);
        };
        const __m128i u = chroma(m_u);
        const __m128i v = chroma(m_v);
        __m128i r[2], g[2], b[2];
        for (int half = 0; half < 2; ++half) {
            const auto spreadHalf = [half](__m128i s) {
                return half ? _mm_unpackhi_epi8(s, s) : _mm_unpacklo_epi8(s, s);
            };
            const __m128i yy = _mm_mulhi_epi16(spreadHalf(y), luma);
            const __m128i uu = spreadHalf(u);
            const __m128i vv = spreadHalf(v);
            r[half] = _mm_add_epi16(yy, _mm_mulhi_epi16(vv, redV));
            g[half] = _mm_add_epi16(_mm_add_epi16(yy, _mm_mulhi_epi16(uu, greenU)),
                                    _mm_mulhi_epi16(vv, greenV));
            b[half] = _mm_add_epi16(yy, _mm_mulhi_epi16(uu, blueU));
        }
        const __m128i red = pack(r[0], r[1]);
        const __m128i green = pack(g[0], g[1]);
        const __m128i blue = pack(b[0], b[1]);
        const __m128i bgLow = _mm_unpacklo_epi8(blue, green);
        const __m128i bgHigh = _mm_unpackhi_epi8(blue, green);
        const __m128i rxLow = _mm_unpacklo_epi8(red, opaque);
        const __m128i rxHigh = _mm_unpackhi_epi8(red, opaque);
        const __m128i quads[4]
            = {_mm_unpacklo_epi16(bgLow, rxLow), _mm_unpackhi_epi16(bgLow, rxLow),
               _mm_unpacklo_epi16(bgHigh, rxHigh), _mm_unpackhi_epi16(bgHigh, rxHigh)};
        // The last, partial block: whole quads of pixels, then the rest pixel by pixel. Copying
        // it from a buffer in one go read the stores back before they had landed: a stall on
        // every row.
        const int pixels = std::min(16, width - x);
        auto *out = reinterpret_cast<__m128i *>(target + x * 4);
        for (int q = 0; q < pixels / 4; ++q)
            _mm_storeu_si128(out + q, quads[q]);
        if (pixels % 4) {
            alignas(16) uint32_t last[4];
            _mm_store_si128(reinterpret_cast<__m128i *>(last), quads[pixels / 4]);
            for (int i = 0; i < pixels % 4; ++i)
                std::memcpy(target + (x + pixels / 4 * 4 + i) * 4, &last[i], 4);
        }
    }
#else
    // Without SSE2, by the same arithmetic.
    for (int x = 0; x < width; ++x) {
        const uint8_t u = m_u[size_t(x / 2)];
        const uint8_t v = m_v[size_t(x / 2)];
        const int yy = term(m_y[size_t(x)], c.luma);
        uint8_t *out = target + x * 4;
        out[0] = level(yy + term(u, c.blueU));
        out[1] = level(yy + term(u, c.greenU) + term(v, c.greenV));
        out[2] = level(yy + term(v, c.redV));
        out[3] = 0xff;
    }
#endif
}

} // namespace StreamCore
