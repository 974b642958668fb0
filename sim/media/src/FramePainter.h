#pragma once

#include "PtzState.h"
#include "SimMedia/FrameStamp.h"

#include <gst/gst.h>

#include <cstdint>
#include <string>
#include <vector>

namespace SimMedia {

// Paints the pictures of one simulated camera as I420 buffers: a chequered scene that shifts
// with pan and tilt and grows with zoom, tinted per channel, a block crossing it as something
// moving in front of the camera, under the machine-readable stamp.
// The human-readable clock is added later by a text overlay (clockText).
class FramePainter
{
public:
    FramePainter(const std::string &deviceId, int channel, int width, int height);

    // A picture of the given clock and camera position; frame numbers the picture in its
    // stream and moves the block.
    GstBuffer *render(uint32_t seconds, const PtzState::View &view, uint64_t frame);
    // The overlay text: the camera's label and the clock in local time.
    std::string clockText(int64_t seconds) const;

private:
    void paintMover(uint8_t *const plane[3], const int stride[3], uint64_t frame);
    void fillRows(uint8_t *plane, int stride, int width, int height, int square, int offsetX,
                  int offsetY, uint8_t dark, uint8_t light);

    uint16_t m_deviceTag;
    int m_channel;
    int m_width;
    int m_height;
    std::string m_label;
    uint8_t m_tintU;
    uint8_t m_tintV;
    std::vector<uint8_t> m_phase[2];
};

} // namespace SimMedia
