#pragma once

#include <chrono>
#include <sys/types.h>

// CPU time of a process (user and system, all threads), from /proc, from construction on.
class ProcessCpu
{
public:
    explicit ProcessCpu(pid_t pid);
    // Percent of one core used since construction.
    double percent() const;

private:
    double cpuSeconds() const;

    pid_t m_pid;
    double m_cpuAtStart;
    std::chrono::steady_clock::time_point m_wallAtStart = std::chrono::steady_clock::now();
};
