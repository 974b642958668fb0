#pragma once

// Crash reports. After StartMonitor, a fatal signal (SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL)
// writes "<name>_<yyyyMMdd-hhmmss>.txt" into the program's folder: the signal, the faulting
// address and a symbolized back trace. The process then dies of the same signal, as it would
// have without the monitor.
class KExceptionHandler
{
public:
    // Installs the handlers; returns 0, or -1 when the handlers could not be installed.
    static int StartMonitor(const char *name);
};
