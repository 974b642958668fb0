#pragma once

namespace StreamCore {

class ITalkObserver;

// Two-way talk to one device channel at a time, over the stream's back channel: the
// microphone goes to the device. One object for the whole process (IStreamCore::InitAudioTalk).
class AudioTalk
{
public:
    // Starts talking (asynchronously; the outcome comes as an event); -2 while already talking.
    virtual int StartTalk(const char *token, const char *deviceId, int channel, int playHandle) = 0;
    virtual int StopTalk() = 0;
    // True from StartTalk until StopTalk or a failure.
    virtual bool IsTalking() = 0;

    // Observers of the talk events; added and removed under the object's lock.
    virtual int AddObserver(ITalkObserver *observer) = 0;
    virtual int RemoveObserver(ITalkObserver *observer) = 0;

protected:
    virtual ~AudioTalk() = default;
};

} // namespace StreamCore
