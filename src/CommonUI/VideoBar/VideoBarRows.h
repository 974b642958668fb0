#pragma once

#include "Records/VideoRecords.h"

class QVideoBar;

// Which buttons of the video bar a window offers, and the states they show, from the window's
// play state and record: live and playback windows differ, a channel's abilities add PTZ, siren
// and white light, and a channel of access source 11 offers only recording, snapshot, full
// screen and close-all. The play panel calls it for the selected window.
namespace VideoBarRows {

// The play state of a window that shows a picture.
constexpr int kPlaying = 3;

// Sets the buttons of bar for a window in play state status (kPlaying when it plays) with info.
void apply(QVideoBar *bar, int status, const VideoWndInfo_t &info);

} // namespace VideoBarRows
