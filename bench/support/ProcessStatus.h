#pragma once

#include <sys/types.h>

#include <vector>

// What a process holds at one moment, from /proc: resident memory, threads and open files.
struct ProcessStatus
{
    double residentMb = 0;
    int threads = 0;
    int files = 0;

    // The status of the process now; all zero when it is gone.
    static ProcessStatus of(pid_t pid);
    // The process and every process it started (the client's web engine helpers), deepest last.
    static std::vector<pid_t> family(pid_t pid);
};
