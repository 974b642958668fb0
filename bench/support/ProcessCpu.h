#pragma once

#include <chrono>
#include <sys/types.h>

// CPU time of a process (user and system, all threads), from /proc.
class ProcessCpu
{
public:
    explicit ProcessCpu(pid_t pid);
    // Starts a measurement interval.
    void start();
    // Percent of one core used since start().
    double percent() const;

private:
    double cpuSeconds() const;

    pid_t m_pid;
    double m_cpuAtStart = 0;
    std::chrono::steady_clock::time_point m_wallAtStart;
};
