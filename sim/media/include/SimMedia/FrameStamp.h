#pragma once

#include <cstdint>
#include <string>

namespace SimMedia {

// What a simulated camera burns into every picture as a strip of grey blocks along the top edge:
// which device and channel it is, the clock of the picture and where the camera points. The strip
// survives compression and scaling, so a test can read it back from a grabbed window.
struct FrameStamp
{
    uint16_t deviceTag = 0;
    uint8_t channel = 0;
    uint32_t seconds = 0; // the picture's clock, seconds since 1970 (UTC)
    uint8_t pan = 0;
    uint8_t tilt = 0;
    uint8_t zoom = 0; // 0 to 15

    // Short fingerprint of a device id, as carried in the strip.
    static uint16_t tagOf(const std::string &deviceId);

    // Paints the strip onto the luma plane of a picture (chroma of the strip is left to the
    // caller, which keeps it neutral).
    void paint(uint8_t *luma, int stride, int width, int height) const;
    // Height in pixels of the strip on a picture of this height.
    static int stripHeight(int height);

    // Reads the strip from a 32-bit BGRx/ARGB picture of any size; false when no valid strip is
    // found (wrong magic or checksum).
    bool read(const uint8_t *pixels, int bytesPerLine, int width, int height);
};

} // namespace SimMedia
