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
};

} // namespace Web
