#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>

// CPU time of a process (user and system, all threads) or of one of its threads, from /proc,
// from construction on.
class ProcessCpu
{
public:
    explicit ProcessCpu(pid_t pid, pid_t thread = 0);
    // Percent of one core used since construction.
    double percent() const;

private:
    double cpuSeconds() const;

    std::string m_stat; // the /proc file read
    double m_cpuAtStart;
    std::chrono::steady_clock::time_point m_wallAtStart = std::chrono::steady_clock::now();
};
