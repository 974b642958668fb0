#include "ProcessStatus.h"

#include <dirent.h>

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
    if (DIR *fds = opendir((base + "/fd").c_str())) {
        while (const dirent *entry = readdir(fds))
            s.files += entry->d_name[0] == '.' ? 0 : 1;
        closedir(fds);
    }
    return s;
}

int ProcessStatus::children(pid_t pid, pid_t *ids, int capacity)
{
    // Each thread lists the children it started.
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    int count = 0;
    DIR *dir = opendir(tasks.c_str());
    while (dir && count < capacity) {
        const dirent *entry = readdir(dir);
        if (!entry)
            break;
        std::ifstream list(tasks + "/" + entry->d_name + "/children");
        for (pid_t child; count < capacity && list >> child;)
            ids[count++] = child;
    }
    if (dir)
        closedir(dir);
    return count;
}
