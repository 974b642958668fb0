#include "kwl/KExceptionHandler.h"

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dlfcn.h>
#include <execinfo.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

// Everything the handler needs is prepared in StartMonitor: inside a signal handler only
// async-signal-safe calls are allowed, so no allocation, no stdio, no locks.
namespace {

const int kSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};
constexpr int kMaxFrames = 64;

char g_reportPrefix[PATH_MAX]; // "<program folder>/<name>_"
char g_addr2line[PATH_MAX];    // empty when addr2line is not installed
alignas(16) char g_altStack[64 * 1024];

void writeText(int fd, const char *text)
{
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(fd, text, left);
        if (n <= 0)
            return;
        text += n;
        left -= static_cast<size_t>(n);
    }
}

// "0x..." of a number without stdio; the text lives in buf.
const char *hexText(unsigned long value, char (&buf)[24])
{
    char *p = buf + sizeof buf - 1;
    *p = '\0';
    do {
        *--p = "0123456789abcdef"[value & 0xf];
        value >>= 4;
    } while (value);
    *--p = 'x';
    *--p = '0';
    return p;
}

const char *signalName(int sig)
{
    switch (sig) {
    case SIGSEGV: return "SIGSEGV (invalid memory access)";
    case SIGABRT: return "SIGABRT (abort)";
    case SIGBUS: return "SIGBUS (bus error)";
    case SIGFPE: return "SIGFPE (arithmetic error)";
    case SIGILL: return "SIGILL (illegal instruction)";
    default: return "fatal signal";
    }
}

int openReport()
{
    char path[PATH_MAX + 32];
    const time_t now = ::time(nullptr);
    tm local{};
    ::localtime_r(&now, &local); // reads the time zone loaded at start; no allocation afterwards
    char stamp[32];
    ::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    std::strcpy(path, g_reportPrefix);
    std::strcat(path, stamp);
    std::strcat(path, ".txt");
    return ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
}

// Resolves code addresses of one loaded object to "0x<offset>: function at file:line" with one
// addr2line run in a child process writing straight into the report. Offsets are relative to
// the object so that position-independent binaries and shared libraries resolve too.
void symbolizeModule(int fd, const char *module, const char *const *offsets, int count)
{
    const char *argv[8 + kMaxFrames] = {"addr2line", "-C", "-f", "-i", "-p", "-a", "-e", module};
    for (int i = 0; i < count; ++i)
        argv[8 + i] = offsets[i];
    argv[8 + count] = nullptr;
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(fd, STDOUT_FILENO);
        const int devnull = ::open("/dev/null", O_WRONLY);
        if (devnull >= 0)
            ::dup2(devnull, STDERR_FILENO);
        ::execv(g_addr2line, const_cast<char *const *>(argv));
        ::_exit(127);
    }
    if (child > 0) {
        int status = 0;
        ::waitpid(child, &status, 0);
    }
}

// The instruction that faulted, read from the interrupted context.
unsigned long faultingPc(void *context)
{
    const auto *uc = static_cast<const ucontext_t *>(context);
#if defined(__x86_64__)
    return static_cast<unsigned long>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return static_cast<unsigned long>(uc->uc_mcontext.pc);
#else
    (void)uc;
    return 0;
#endif
}

// The trace starts at the faulting instruction, whose address is exact; every older frame
// holds a return address that points after its call, so one byte back lands inside the call.
// Frames are resolved per loaded object, one addr2line run each: reading an object's symbols is
// the slow part, and a deep GUI stack visits the same few objects many times.
void writeSymbolized(int fd, void *const *frames, int count, unsigned long pc)
{
    int first = 0;
    while (first < count && reinterpret_cast<unsigned long>(frames[first]) != pc)
        ++first;
    if (first == count)
        first = 0;

    static Dl_info objects[kMaxFrames];
    static unsigned long offsets[kMaxFrames];
    static bool done[kMaxFrames];
    static char offsetTexts[kMaxFrames][24];
    static const char *batch[kMaxFrames];
    for (int i = first; i < count; ++i) {
        const unsigned long address = reinterpret_cast<unsigned long>(frames[i]);
        const unsigned long code = i == first && address == pc ? address : address - 1;
        done[i] = !::dladdr(reinterpret_cast<void *>(code), &objects[i]) || !objects[i].dli_fname
            || !g_addr2line[0];
        offsets[i] = done[i] ? 0 : code - reinterpret_cast<unsigned long>(objects[i].dli_fbase);
    }
    for (int i = first; i < count; ++i) {
        if (done[i])
            continue;
        int n = 0;
        for (int j = i; j < count; ++j) {
            if (!done[j] && std::strcmp(objects[j].dli_fname, objects[i].dli_fname) == 0) {
                batch[n++] = hexText(offsets[j], offsetTexts[j]);
                done[j] = true;
            }
        }
        writeText(fd, "in ");
        writeText(fd, objects[i].dli_fname);
        writeText(fd, ":\n");
        symbolizeModule(fd, objects[i].dli_fname, batch, n);
    }
}

void writeReport(int sig, siginfo_t *si, void *context)
{
    const int fd = openReport();
    if (fd < 0)
        return;
    writeText(fd, "Crash report\nsignal: ");
    writeText(fd, signalName(sig));
    writeText(fd, "\naddress: ");
    char addressText[24];
    writeText(fd, hexText(reinterpret_cast<unsigned long>(si ? si->si_addr : nullptr), addressText));
    writeText(fd, "\n\nback trace (raw):\n");

    void *frames[kMaxFrames];
    const int count = ::backtrace(frames, kMaxFrames);
    ::backtrace_symbols_fd(frames, count, fd);

    writeText(fd, "\nback trace (symbolized):\n");
    writeSymbolized(fd, frames, count, faultingPc(context));
    ::close(fd);
}

void onFatalSignal(int sig, siginfo_t *si, void *context)
{
    writeReport(sig, si, context);
    // SA_RESETHAND restored the default action: raising again ends the process with this
    // signal (and a core file where the system keeps them).
    ::raise(sig);
}

void findAddr2line()
{
    const char *candidates[] = {"/usr/bin/addr2line", "/bin/addr2line", "/usr/local/bin/addr2line"};
    for (const char *c : candidates) {
        if (::access(c, X_OK) == 0) {
            std::strncpy(g_addr2line, c, sizeof g_addr2line - 1);
            return;
        }
    }
}

} // namespace

int KExceptionHandler::StartMonitor(const char *name)
{
    char exe[PATH_MAX] = {};
    const ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0)
        return -1;
    char *slash = std::strrchr(exe, '/');
    if (slash)
        slash[1] = '\0';
    std::snprintf(g_reportPrefix, sizeof g_reportPrefix, "%s%s_", exe, name && *name ? name : "Dump");
    findAddr2line();
    ::tzset();
    // backtrace() loads libgcc on first use, which allocates: do it now, not in the handler.
    void *warmUp[1];
    ::backtrace(warmUp, 1);

    stack_t altStack{};
    altStack.ss_sp = g_altStack;
    altStack.ss_size = sizeof g_altStack;
    ::sigaltstack(&altStack, nullptr); // a stack overflow still gets its report

    struct sigaction action {};
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_RESETHAND | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals) {
        if (::sigaction(sig, &action, nullptr) != 0)
            return -1;
    }
    return 0;
}
