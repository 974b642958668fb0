#include "SimMedia/FrameStamp.h"

#include <array>

namespace SimMedia {

namespace {

// Two rows of 24 blocks, two bits per block: 96 bits.
constexpr int kColumns = 24;
constexpr int kRows = 2;
constexpr int kBytes = kColumns * kRows * 2 / 8;
// Blocks are one sixteenth of the picture height tall.
constexpr int kRowDivider = 16;
constexpr uint8_t kMagic = 0xA5;
// Studio-range luma of the four block levels, and their full-range thresholds after decoding.
constexpr std::array<uint8_t, 4> kLevels = {16, 89, 162, 235};

using Bits = std::array<uint8_t, kBytes>;

uint8_t checksum(const Bits &bytes)
{
    uint8_t sum = 0x5A;
    for (int i = 0; i < kBytes - 1; ++i)
        sum = static_cast<uint8_t>((sum << 1 | sum >> 7) ^ bytes[i]);
    return sum;
}

Bits pack(const FrameStamp &s)
{
    Bits b {};
    b[0] = kMagic;
    b[1] = static_cast<uint8_t>(s.deviceTag >> 8);
    b[2] = static_cast<uint8_t>(s.deviceTag);
    b[3] = s.channel;
    for (int i = 0; i < 4; ++i)
        b[4 + i] = static_cast<uint8_t>(s.seconds >> (24 - 8 * i));
    b[8] = s.pan;
    b[9] = s.tilt;
    b[10] = static_cast<uint8_t>(s.zoom & 0x0F);
    b[11] = checksum(b);
    return b;
}

int symbolAt(const Bits &b, int index)
{
    return (b[index / 4] >> (6 - 2 * (index % 4))) & 3;
}

} // namespace

uint16_t FrameStamp::tagOf(const std::string &deviceId)
{
    uint32_t hash = 2166136261u;
    for (unsigned char c : deviceId)
        hash = (hash ^ c) * 16777619u;
    return static_cast<uint16_t>(hash ^ (hash >> 16));
}

int FrameStamp::stripHeight(int height)
{
    return kRows * (height / kRowDivider);
}

void FrameStamp::paint(uint8_t *luma, int stride, int width, int height) const
{
    const Bits bits = pack(*this);
    const int rowHeight = height / kRowDivider;
    for (int row = 0; row < kRows; ++row) {
        for (int y = row * rowHeight; y < (row + 1) * rowHeight; ++y) {
            uint8_t *line = luma + y * stride;
            for (int col = 0; col < kColumns; ++col) {
                const int x0 = col * width / kColumns;
                const int x1 = (col + 1) * width / kColumns;
                const uint8_t level = kLevels[symbolAt(bits, row * kColumns + col)];
                for (int x = x0; x < x1; ++x)
                    line[x] = level;
            }
        }
    }
}

bool FrameStamp::read(const uint8_t *pixels, int bytesPerLine, int width, int height)
{
    Bits bits {};
    for (int index = 0; index < kRows * kColumns; ++index) {
        const int row = index / kColumns;
        const int col = index % kColumns;
        const int cx = (2 * col + 1) * width / (2 * kColumns);
        const int cy = (2 * row + 1) * height / (2 * kRowDivider);
        // Average a small neighbourhood: compression blurs block edges, not their centres.
        int sum = 0, count = 0;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = cx + dx, y = cy + dy;
                if (x < 0 || y < 0 || x >= width || y >= height)
                    continue;
                const uint8_t *p = pixels + y * bytesPerLine + 4 * x;
                sum += (p[0] + p[1] + p[2]) / 3;
                ++count;
            }
        }
        const int value = count ? sum / count : 0;
        const int symbol = value < 43 ? 0 : value < 128 ? 1 : value < 213 ? 2 : 3;
        bits[index / 4] = static_cast<uint8_t>(bits[index / 4] | symbol << (6 - 2 * (index % 4)));
    }
    if (bits[0] != kMagic || bits[11] != checksum(bits))
        return false;
    deviceTag = static_cast<uint16_t>(bits[1] << 8 | bits[2]);
    channel = bits[3];
    seconds = static_cast<uint32_t>(bits[4]) << 24 | static_cast<uint32_t>(bits[5]) << 16
        | static_cast<uint32_t>(bits[6]) << 8 | bits[7];
    pan = bits[8];
    tilt = bits[9];
    zoom = bits[10];
    return true;
}

} // namespace SimMedia
