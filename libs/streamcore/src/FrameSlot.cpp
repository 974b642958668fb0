#include "FrameSlot.h"

#include <gst/gst.h>

namespace StreamCore {

FrameSlot::~FrameSlot()
{
    if (m_sample)
        gst_sample_unref(m_sample);
}

void FrameSlot::put(GstSample *sample)
{
    ++m_count;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_sample)
        gst_sample_unref(m_sample);
    m_sample = gst_sample_ref(sample);
    // Called under the lock so that a surface clearing its wake-up is never called afterwards.
    if (!m_pending && m_wakeUp) {
        m_pending = true;
        m_wakeUp();
    }
}

void FrameSlot::clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_sample)
        gst_sample_unref(m_sample);
    m_sample = nullptr;
}

GstSample *FrameSlot::take()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_pending = false;
    return m_sample ? gst_sample_ref(m_sample) : nullptr;
}

void FrameSlot::setWakeUp(std::function<void()> wakeUp)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_wakeUp = std::move(wakeUp);
}

} // namespace StreamCore
