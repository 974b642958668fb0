#pragma once

#include "Records/VideoRecords.h"

namespace Web {

// The state of one video window as the page is told of it ("VideoStatusChanged",
// "PlayWndSelected").
struct WebWndStatus_t
{
    int wndIndex = -1;
    int module = -1;
    int status = -1;
    ChannelInfo_t channel; // the channel shown

    // What a module tells the page of its window index, in the window's status.
    static WebWndStatus_t of(int wndIndex, int module, int status, const VideoWndInfo_t &info)
    {
        return {wndIndex, module, status, info.channel};
    }
};

} // namespace Web
