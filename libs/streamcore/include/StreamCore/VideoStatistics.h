#pragma once

namespace StreamCore {

// What a play object can tell about the stream it shows (VideoPlay::GetStatistics). Counts
// run from the play object's creation; sizes and codec are those of the stream playing now.
struct VideoStatistics
{
    int width; // picture size of the stream, 0 before the first picture
    int height;
    char codec[16]; // "h264" or "h265"; "" before the stream is known
    float kbps; // bit rate over the last two seconds (as GetFrameRate)
    float displayedFps; // new pictures painted per second over the last two seconds
    long long decodedFrames; // pictures decoded
    long long shownFrames; // pictures painted at least once
    long long droppedFrames; // decoded pictures replaced by a newer one before being painted
    long long lastPictureAgeMs; // milliseconds since the newest picture was painted; -1: none
    char transport[16]; // "tcp", "udp" or "multicast" (how RTP arrives); "" before a stream
};

} // namespace StreamCore
