// VideoPlayImpl::GetStatistics: what the play object knows about its stream, gathered from the
// pipeline (codec, bit rate), the frame slot (decoded pictures) and the surface (shown ones).
#include "FrameSlot.h"
#include "PlayPipeline.h"
#include "VideoPlayImpl.h"
#include "VideoSurface.h"

#include <algorithm>
#include <cstring>

namespace StreamCore {

int VideoPlayImpl::GetStatistics(VideoStatistics *statistics)
{
    if (!statistics)
        return -1;
    VideoStatistics s {};
    s.width = m_pictureWidth;
    s.height = m_pictureHeight;
    if (m_pipeline) {
        const std::string codec = m_pipeline->videoCodec();
        std::strncpy(s.codec, codec.c_str(), sizeof(s.codec) - 1);
        s.kbps = m_pipeline->kbps();
        std::strncpy(s.transport, m_pipeline->source().transportName(), sizeof(s.transport) - 1);
    }
    s.decodedFrames = m_slot->count();
    s.lastPictureAgeMs = -1;
    if (m_surface) {
        DisplayMeter &meter = m_surface->displayMeter();
        s.displayedFps = meter.fps();
        s.shownFrames = meter.count();
        s.lastPictureAgeMs = meter.ageMs();
    }
    s.droppedFrames = std::max(0LL, s.decodedFrames - s.shownFrames);
    *statistics = s;
    return 0;
}

} // namespace StreamCore
