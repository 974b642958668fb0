#include "ProcessStatus.h"

#include <QDir>

#include <fstream>
#include <sstream>
#include <string>

ProcessStatus ProcessStatus::of(pid_t pid)
{
    ProcessStatus s;
    const std::string base = "/proc/" + std::to_string(pid);
    std::ifstream status(base + "/status");
    for (std::string line; std::getline(status, line);) {
        std::istringstream fields(line);
        std::string key;
        double value = 0;
        fields >> key >> value;
        if (key == "VmRSS:")
            s.residentMb = value / 1024;
        else if (key == "Threads:")
            s.threads = static_cast<int>(value);
    }
    s.files = int(QDir(QString::fromStdString(base + "/fd"))
                      .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)
                      .size());
    return s;
}

std::vector<pid_t> ProcessStatus::family(pid_t pid)
{
    std::vector<pid_t> all {pid};
    for (size_t i = 0; i < all.size(); ++i) {
        // Each thread lists the children it started.
        const QString tasks = QString("/proc/%1/task").arg(all[i]);
        for (const QString &task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            std::ifstream list((tasks + "/" + task + "/children").toStdString());
            for (pid_t child; list >> child;)
                all.push_back(child);
        }
    }
    return all;
}
