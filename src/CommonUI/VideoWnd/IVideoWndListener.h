#pragma once

#include "Records/VideoRecords.h"

#include <winport/Hdc.h>

// What a video window controller tells its view. The status and talk operations may be called
// on any thread and must only hand the record over; the draw operation paints over the picture
// just shown, during the media library's call.
class IVideoWndListener
{
public:
    virtual ~IVideoWndListener() = default;

    // A play-state change of the window's stream.
    virtual void onVideoStatusNotify(const VideoStatus_t &status) = 0;
    // A talk-state change of the window's talk.
    virtual void onVideoTalkStatusNotify(const VideoTalkStatus_t &status) = 0;
    // Draws the overlay on the painter of the picture shown (info: StreamCore::DrawInfo).
    virtual void onVideoDraw(HDC hdc, void *info) = 0;
};
