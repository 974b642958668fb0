#include "ProcessCpu.h"

#include <cstdio>
#include <fstream>
#include <string>
#include <unistd.h>

ProcessCpu::ProcessCpu(pid_t pid, pid_t thread)
    : m_stat("/proc/" + std::to_string(pid)
             + (thread ? "/task/" + std::to_string(thread) : std::string()) + "/stat")
    , m_cpuAtStart(cpuSeconds())
{ }

double ProcessCpu::cpuSeconds() const
{
    std::ifstream stat(m_stat);
    std::string line;
    std::getline(stat, line);
    // Fields 14 and 15 (user, system), counted after the command name, which may hold spaces.
    unsigned long long user = 0, system = 0;
    const size_t name = line.rfind(')');
    if (name != std::string::npos)
        std::sscanf(line.c_str() + name + 2,
                    "%*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %*s %llu %llu", &user, &system);
    return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

double ProcessCpu::percent() const
{
    const double wall
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wallAtStart).count();
    return wall > 0 ? 100.0 * (cpuSeconds() - m_cpuAtStart) / wall : 0;
}
