#pragma once

#include <atomic>
#include <functional>
#include <mutex>

typedef struct _GstSample GstSample;

namespace StreamCore {

// The newest decoded picture of a stream, handed from the decoding thread to the surface that
// paints it. A picture that was not painted yet is simply replaced: old frames are dropped.
class FrameSlot
{
public:
    ~FrameSlot();

    // Called from the decoding thread; takes a reference to the sample.
    void put(GstSample *sample);
    // The newest sample (a new reference, or null); marks it as taken.
    GstSample *take();
    // Forgets the picture (the stream stopped).
    void clear();
    // Called from put when the previous picture was already taken (one repaint request in
    // flight at most); must only post, it runs under the slot's lock.
    void setWakeUp(std::function<void()> wakeUp);
    // Frames put so far.
    long long count() const { return m_count; }

private:
    std::mutex m_mutex;
    GstSample *m_sample = nullptr;
    bool m_pending = false;
    std::function<void()> m_wakeUp;
    std::atomic<long long> m_count {0};
};

} // namespace StreamCore
