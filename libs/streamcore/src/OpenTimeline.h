#pragma once

#include <atomic>
#include <chrono>

namespace StreamCore {

// When the steps of a stream's start happened, noted by the threads that see them (the first
// time of each counts) and read on the GUI thread for the log line that ends the open.
class OpenTimeline
{
public:
    using Clock = std::chrono::steady_clock;
    enum Step { Described, StreamAdded, Decoded, StepCount };

    void mark(Step step);
    // Milliseconds from `since` to the step; -1 when the step has not happened.
    long long msAfter(Clock::time_point since, Step step) const;
    static long long msBetween(Clock::time_point from, Clock::time_point to);

private:
    std::atomic<Clock::rep> m_marks[StepCount] {}; // 0: not yet
};

} // namespace StreamCore
