#include "FrameSlot.h"

#include <gst/gst.h>

namespace StreamCore {

void FrameSlot::put(GstSample *sample)
{
    ++m_count;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sample = GstPtr<GstSample>::share(sample);
    // Called under the lock so that a surface clearing its wake-up is never called afterwards.
    if (!m_pending && m_wakeUp) {
        m_pending = true;
        m_wakeUp();
    }
}

void FrameSlot::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sample.reset();
}

GstPtr<GstSample> FrameSlot::take()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending = false;
    return GstPtr<GstSample>::share(m_sample.get());
}

bool FrameSlot::waiting() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_pending;
}

void FrameSlot::setWakeUp(std::function<void()> wakeUp)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wakeUp = std::move(wakeUp);
}

} // namespace StreamCore
