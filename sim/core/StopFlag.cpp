#include "StopFlag.h"

#include <chrono>

bool StopFlag::sleepFor(int ms) const
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return !m_changed.wait_for(lock, std::chrono::milliseconds(ms), [this] { return m_stopped; });
}

void StopFlag::stop()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopped = true;
    m_changed.notify_all();
}

void StopFlag::reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stopped = false;
}
