#pragma once

#include "GstPtr.h"

#include <atomic>
#include <functional>
#include <mutex>

namespace StreamCore {

// The newest decoded picture of a stream, handed from the decoding thread to the surface that
// paints it. A picture that was not painted yet is simply replaced: old frames are dropped.
class FrameSlot
{
public:
    // Called from the decoding thread; takes a reference to the sample.
    void put(GstSample *sample);
    // The newest sample (null when none); marks it as taken.
    GstPtr<GstSample> take();
    // Forgets the picture (the stream stopped).
    void clear();
    // Called from put when the previous picture was already taken (one repaint request in
    // flight at most); must only post, it runs under the slot's lock.
    void setWakeUp(std::function<void()> wakeUp);
    // Whether the newest picture was put after the last take.
    bool waiting() const;
    // Frames put so far.
    long long count() const { return m_count; }

private:
    mutable std::mutex m_mutex;
    GstPtr<GstSample> m_sample;
    bool m_pending = false;
    std::function<void()> m_wakeUp;
    std::atomic<long long> m_count {0};
};

} // namespace StreamCore
