#pragma once

#include <condition_variable>
#include <mutex>

// Lets answers that wait on purpose (late or trickled ones) end at once when the server stops.
class StopFlag
{
public:
    // Waits for ms milliseconds; false when the server stopped before or during the wait.
    bool sleepFor(int ms) const;
    // Wakes every waiter and makes later waits return false at once.
    void stop();
    // Allows waiting again (a server started anew).
    void reset();

private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    bool m_stopped = false;
};
