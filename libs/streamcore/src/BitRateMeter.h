#pragma once

#include <chrono>
#include <deque>
#include <mutex>

namespace StreamCore {

// The bit rate of a stream over its last two seconds, answered afresh at most once a second: a
// figure shown over every picture changes once a second, not with every picture, and can be
// read.
class BitRateMeter
{
public:
    using Clock = std::chrono::steady_clock;

    // Counts received bytes (any thread).
    void add(size_t bytes, Clock::time_point now = Clock::now());
    // kbit/s over the window; 0 until a quarter of a second was seen.
    float kbps(Clock::time_point now = Clock::now());

private:
    struct Mark
    {
        Clock::time_point time;
        unsigned long long total;
    };
    void forget(Clock::time_point now);

    std::mutex m_mutex;
    unsigned long long m_total = 0;
    std::deque<Mark> m_marks;
    Clock::time_point m_answeredAt;
    float m_answer = 0;
};

} // namespace StreamCore
