#include "ProcessCpu.h"

#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>

ProcessCpu::ProcessCpu(pid_t pid)
    : m_pid(pid)
{ }

double ProcessCpu::cpuSeconds() const
{
    std::ifstream stat("/proc/" + std::to_string(m_pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    // Fields after the command name (which may hold spaces, inside parentheses).
    std::istringstream fields(line.substr(line.rfind(')') + 2));
    std::string field;
    unsigned long long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14)
            user = std::stoull(field);
        if (i == 15)
            system = std::stoull(field);
    }
    return double(user + system) / double(sysconf(_SC_CLK_TCK));
}

void ProcessCpu::start()
{
    m_cpuAtStart = cpuSeconds();
    m_wallAtStart = std::chrono::steady_clock::now();
}

double ProcessCpu::percent() const
{
    const double wall
        = std::chrono::duration<double>(std::chrono::steady_clock::now() - m_wallAtStart).count();
    return wall > 0 ? 100.0 * (cpuSeconds() - m_cpuAtStart) / wall : 0;
}
