#pragma once

#include <chrono>
#include <mutex>

namespace SimMedia {

// Where one simulated camera points. A move runs until a stop or until its duration is over;
// pan and tilt wrap around (0 to 255), zoom stays within 0 to 15.
class PtzState
{
public:
    using Clock = std::chrono::steady_clock;

    struct View
    {
        int pan = 0;
        int tilt = 0;
        int zoom = 0;
    };

    // Starts a move (0 up, 1 down, 2 left, 3 right, 8 zoom out, 9 zoom in) or stops (10); false
    // for an unknown operation.
    bool apply(int operation, int durationMs, Clock::time_point now = Clock::now());
    View view(Clock::time_point now = Clock::now()) const;

private:
    struct Position
    {
        double pan = 0, tilt = 0, zoom = 0;
    };
    Position positionAt(Clock::time_point now) const;

    mutable std::mutex m_mutex;
    Position m_base;
    int m_operation = 10;
    Clock::time_point m_start;
    Clock::time_point m_until;
};

} // namespace SimMedia
