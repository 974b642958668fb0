#pragma once

#include <sys/types.h>

// What a process holds at one moment, from /proc: resident memory, threads and open files.
struct ProcessStatus
{
    double residentMb = 0;
    int threads = 0;
    int files = 0;

    // The status of the process now; all zero when it is gone.
    static ProcessStatus of(pid_t pid);
    // The process's children's ids (the web engine's helpers of the client).
    static int children(pid_t pid, pid_t *ids, int capacity);
};
