#include "DisplayMeter.h"

namespace StreamCore {

namespace {
constexpr std::chrono::seconds kWindow(2);
}

void DisplayMeter::shown(Clock::time_point now)
{
    ++m_count;
    m_times.push_back(now);
    forget(now);
}

float DisplayMeter::fps(Clock::time_point now)
{
    forget(now);
    if (m_times.size() < 2)
        return 0.0f;
    const std::chrono::duration<float> span = now - m_times.front();
    // A stream younger than the window is measured over its own life.
    return span.count() > 0 ? float(m_times.size() - 1) / span.count() : 0.0f;
}

long long DisplayMeter::ageMs(Clock::time_point now) const
{
    if (m_times.empty())
        return -1;
    return std::chrono::duration_cast<std::chrono::milliseconds>(now - m_times.back()).count();
}

void DisplayMeter::forget(Clock::time_point now)
{
    // The newest time stays, so that the age is known however old it is.
    while (m_times.size() > 1 && now - m_times.front() > kWindow)
        m_times.pop_front();
}

} // namespace StreamCore
