#pragma once

#include <sys/types.h>

// The simulated devices and open platform in a child process of their own, so that their
// encoding does not count as the client's CPU. Start it before anything else creates threads.
class SimProcess
{
public:
    static constexpr const char *kToken = "bench-token";
    static constexpr const char *kDevice = "BENCH";

    // Forks the simulator; false when it did not come up.
    bool start();
    ~SimProcess();

    int httpPort() const { return m_httpPort; }

private:
    pid_t m_pid = 0;
    int m_httpPort = 0;
};
