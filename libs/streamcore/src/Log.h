#pragma once

#include <kwl/KPrintLog.h>

#include <atomic>

namespace StreamCore {

// Whether the library writes log lines (switched by InitApi).
inline std::atomic<bool> &logEnabled()
{
    static std::atomic<bool> enabled {true};
    return enabled;
}

} // namespace StreamCore

// A log line of the library: level 6 for transport and parse failures, 4 for the rest.
#define SCLOG(level, ...)                                                                          \
    do {                                                                                           \
        if (StreamCore::logEnabled())                                                              \
            KLOG(level, __VA_ARGS__);                                                              \
    } while (0)
