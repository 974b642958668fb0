#pragma once

#include "StreamCore/StreamCoreTypes.h"
#include "StreamCore/VideoStatistics.h"

#include <winport/Hdc.h>

#include <cstdint>

namespace StreamCore {

class IVideoObserver;

// Called for every shown picture, after it is painted, to draw over it: the play object's
// handle, the painter of the surface, a DrawInfo and the registered user pointer.
typedef void (*DrawFun)(int handle, HDC hdc, void *info, void *user);

// One stream shown in one window: live video or playback of recordings. Created by
// IStreamCore::CreateVideoPlay and used on the thread that created it; results are 0 on
// success and negative on failure. Opening is asynchronous: its outcome comes as an event.
class VideoPlay
{
public:
    // Shows the pictures inside the window with this native id; -1 when there is no such window.
    virtual int InitVideoPlay(uintptr_t window) = 0;
    // Registers the callback that draws over each shown picture (null: none).
    virtual int RegisterDrawFun(DrawFun fun, void *user) = 0;
    // Shows only this part of the picture (fractions of its width and height) over the whole
    // window, for a digital zoom; (0, 0, 1, 1) shows all of it. -1 for an empty part or one
    // reaching outside the picture.
    virtual int SetDisplayRegion(double left, double top, double width, double height) = 0;

    // Starts live video of a device channel; definition 0 high, 1 standard.
    virtual int StartRealPlay(const char *token, const char *deviceId, int channel, int definition)
        = 0;
    // Starts playback of a channel's recordings from begin to end (seconds since 1970).
    virtual int StartPlaybackByTime(int source, const char *token, const char *deviceId,
                                    int channel, long long begin, long long end)
        = 0;
    // Plays the given recordings one after the other, from begin up to end.
    virtual int StartPlaybackByFile(int source, const char *token, const char *deviceId,
                                    long long begin, long long end, const RecordInfo *records,
                                    int count)
        = 0;
    // Stops whatever plays; never blocks on the network.
    virtual int StopPlay() = 0;

    // Holds and resumes the stream.
    virtual int Pause() = 0;
    virtual int Resume() = 0;
    // Jumps to a time (seconds since 1970); playing by file, an offset in seconds from the
    // current recording's start is taken as well.
    virtual int Seek(long long time) = 0;
    // Playback speed, 1 to 8 (fractions down to 1/8 slow it down).
    virtual int SetPlaySpeed(float speed) = 0;
    // While playback is paused, shows the next (1) or previous (-1) picture of the recording
    // playing and stays paused; event VIDEO_EVENT_FRAME_STEP tells when it shows. -1 while
    // playing, live, during another step, or beyond either end of the recording's stream.
    virtual int StepFrame(int direction) = 0;

    // Plays and mutes the stream's sound.
    virtual int OpenAudio() = 0;
    virtual int CloseAudio() = 0;
    // Records the stream as it arrives into an MP4 file, without re-encoding the picture.
    virtual int StartRecord(const char *path) = 0;
    virtual int StopRecord() = 0;
    // Saves the current picture, at the stream's own size, as a JPEG file.
    virtual int SnapShot(const char *path, int format) = 0;

    // Video_State_e.
    virtual int GetVideoState() = 0;
    // Time of the picture shown, seconds since 1970 (0 before the first picture).
    virtual long long GetFrameTime() = 0;
    // The same in milliseconds: the time of the picture itself.
    virtual long long GetFrameTimeMs() = 0;
    // The stream's bit rate in kbit/s over the last seconds.
    virtual float GetFrameRate() = 0;
    // Start of the span or of the current recording played, seconds since 1970 (-1: live).
    virtual long long GetRecordBeginTime() = 0;
    // 1 playing by time, 0 playing by file, -1 live or idle.
    virtual int IsPlayByTime() = 0;
    // The recording played by file; -1 when not playing by file.
    virtual int GetCurrentRecordInfo(RecordInfo *info) = 0;
    // The number naming this object in events.
    virtual int GetObjectHandle() = 0;

    // Observers of this object's events; added and removed under the object's lock.
    virtual int AddObserver(IVideoObserver *observer) = 0;
    virtual int RemoveObserver(IVideoObserver *observer) = 0;

    // Size, codec, rates and picture counts of the stream shown; -1 for a null pointer.
    virtual int GetStatistics(VideoStatistics *statistics) = 0;

protected:
    virtual ~VideoPlay() = default;
};

} // namespace StreamCore
