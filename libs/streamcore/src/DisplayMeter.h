#pragma once

#include <chrono>
#include <deque>

namespace StreamCore {

// Counts the new pictures a surface paints: how many, how many per second over the last two
// seconds, and how long ago the newest one was. GUI thread.
class DisplayMeter
{
public:
    using Clock = std::chrono::steady_clock;

    // A new picture was painted.
    void shown(Clock::time_point now = Clock::now());
    long long count() const { return m_count; }
    // Pictures per second over the last two seconds (or since the first picture, when later).
    float fps(Clock::time_point now = Clock::now());
    // Milliseconds since the newest picture; -1 before the first.
    long long ageMs(Clock::time_point now = Clock::now()) const;

private:
    void forget(Clock::time_point now);

    std::deque<Clock::time_point> m_times;
    long long m_count = 0;
};

} // namespace StreamCore
