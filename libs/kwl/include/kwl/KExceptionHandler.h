#pragma once

// Crash reports. After StartMonitor, a fatal signal (SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL)
// writes "<name>_<yyyyMMdd-hhmmss>.txt" into the program's folder: the signal, the faulting
// address, the raw back trace and then, as far as time allows, the symbolized one. The process
// then dies of the same signal, as it would have without the monitor, within a few seconds even
// when the crash happened inside the allocator or the symbolizer stalls.
class KExceptionHandler
{
public:
    // Installs the handlers; returns 0, or -1 when the handlers could not be installed.
    static int StartMonitor(const char *name);
    // Gives the calling thread its own signal stack, so that its stack overflow is reported too.
    static void PrepareThread();
    // Runs this program instead of addr2line (tests); an empty path leaves frames unresolved.
    static void SetSymbolizer(const char *path);
};
