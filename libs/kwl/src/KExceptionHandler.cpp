#include "kwl/KExceptionHandler.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <execinfo.h>
#include <fcntl.h>
#include <limits.h>
#include <link.h>
#include <pthread.h>
#include <sched.h>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <ucontext.h>
#include <unistd.h>

extern char **environ;

// Everything the handler needs is prepared in StartMonitor. The crashed thread may have been
// inside malloc, stdio or the dynamic loader, holding their locks, and the other threads keep
// running: the handler makes system calls and runs code of its own only. No fork() (its
// handlers take the allocator's locks), no dladdr or dl_iterate_phdr (the loader's lock), no
// localtime (the time-zone lock), no stdio, no allocation.
namespace {

const int kSignals[] = {SIGSEGV, SIGABRT, SIGBUS, SIGFPE, SIGILL};
constexpr int kMaxFrames = 64;
constexpr size_t kAltStackSize = 64 * 1024;
// Symbolizing stops this long after the crash; the watchdog ends the process a little later
// whatever the handler is doing by then.
constexpr long kSymbolizeMs = 4000;
constexpr unsigned kWatchdogSeconds = 6;

char g_reportPrefix[PATH_MAX]; // "<program folder>/<name>_"
char g_symbolizer[PATH_MAX]; // empty: frames stay unresolved
bool g_symbolizerChosen = false;
long g_utcOffset = 0; // seconds east of UTC when the monitor started
std::atomic<int> g_crashSignal {0}; // the signal being reported; 0 before a crash
std::atomic<pid_t> g_child {0}; // the symbolizer running now
alignas(16) char g_childStack[16 * 1024];

// Frees the thread's signal stack when the thread ends.
struct AltStack
{
    void *mapping = nullptr;
    size_t size = 0;
    ~AltStack()
    {
        if (!mapping)
            return;
        stack_t off {};
        off.ss_flags = SS_DISABLE;
        ::sigaltstack(&off, nullptr);
        ::munmap(mapping, size);
    }
};
thread_local AltStack t_altStack;

void writeText(int fd, const char *text)
{
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(fd, text, left);
        if (n < 0 && errno == EINTR)
            continue;
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

unsigned long parseHex(const char *&p)
{
    unsigned long value = 0;
    for (;; ++p) {
        const char c = *p;
        if (c >= '0' && c <= '9')
            value = value * 16 + static_cast<unsigned long>(c - '0');
        else if (c >= 'a' && c <= 'f')
            value = value * 16 + static_cast<unsigned long>(c - 'a' + 10);
        else
            return value;
    }
}

void appendDigits(char *&out, long long value, int width)
{
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[i] = static_cast<char>('0' + value % 10);
    out += width;
}

// "yyyyMMdd-hhmmss" of the local time, counted by hand from the offset taken at start
// (days to civil date after H. Hinnant's algorithm). A change to or from summer time while
// the program runs puts the name an hour off; the report itself is what matters.
void formatStamp(time_t utc, char (&text)[16])
{
    long long t = static_cast<long long>(utc) + g_utcOffset;
    long long days = t / 86400;
    long long seconds = t % 86400;
    if (seconds < 0) {
        seconds += 86400;
        --days;
    }
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra
        = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long shiftedMonth = (5 * dayOfYear + 2) / 153; // March is 0
    const long long day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    const long long month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    const long long year = yearOfEra + era * 400 + (month <= 2);
    char *p = text;
    appendDigits(p, year, 4);
    appendDigits(p, month, 2);
    appendDigits(p, day, 2);
    *p++ = '-';
    appendDigits(p, seconds / 3600, 2);
    appendDigits(p, seconds / 60 % 60, 2);
    appendDigits(p, seconds % 60, 2);
    *p = '\0';
}

const char *signalName(int sig)
{
    switch (sig) {
    case SIGSEGV:
        return "SIGSEGV (invalid memory access)";
    case SIGABRT:
        return "SIGABRT (abort)";
    case SIGBUS:
        return "SIGBUS (bus error)";
    case SIGFPE:
        return "SIGFPE (arithmetic error)";
    case SIGILL:
        return "SIGILL (illegal instruction)";
    default:
        return "fatal signal";
    }
}

// One frame of the trace and the loaded object whose code holds it.
struct Frame
{
    unsigned long address; // as the trace gives it: a return address except for the first
    unsigned long code; // inside the instruction: the faulting one, or the call
    int object; // index into g_objects, -1 when unknown
    unsigned long base; // what addr2line's addresses of that object count from
};

char g_objects[kMaxFrames][PATH_MAX];
int g_objectCount = 0;

int objectIndex(const char *path)
{
    for (int i = 0; i < g_objectCount; ++i) {
        if (std::strcmp(g_objects[i], path) == 0)
            return i;
    }
    if (g_objectCount == kMaxFrames)
        return -1;
    std::strncpy(g_objects[g_objectCount], path, PATH_MAX - 1);
    return g_objectCount++;
}

// An executable that is not position-independent is resolved by absolute addresses.
bool loadsAtFixedAddress(unsigned long start)
{
    const auto *header = reinterpret_cast<const ElfW(Ehdr) *>(start);
    return std::memcmp(header->e_ident, ELFMAG, SELFMAG) == 0 && header->e_type == ET_EXEC;
}

// One line of /proc/self/maps: "start-end perms offset dev inode path".
struct MapsState
{
    char firstPath[PATH_MAX]; // the object whose first page (file offset 0) came last
    unsigned long firstStart;
    bool firstReadable;
};

void matchMapping(const char *line, Frame *frames, int count, MapsState &state)
{
    const char *p = line;
    const unsigned long start = parseHex(p);
    if (*p++ != '-')
        return;
    const unsigned long end = parseHex(p);
    if (*p++ != ' ' || std::strlen(p) < 5)
        return;
    const char *perms = p;
    p += 5;
    const unsigned long offset = parseHex(p);
    for (int field = 0; field < 2; ++field) { // device and inode
        while (*p == ' ')
            ++p;
        while (*p && *p != ' ')
            ++p;
    }
    while (*p == ' ')
        ++p;
    const char *path = p;
    if (*path != '/')
        return;
    if (offset == 0) {
        std::strncpy(state.firstPath, path, sizeof state.firstPath - 1);
        state.firstStart = start;
        state.firstReadable = perms[0] == 'r';
    }
    if (perms[2] != 'x')
        return;
    const bool sameObject = std::strcmp(path, state.firstPath) == 0;
    unsigned long base = sameObject ? state.firstStart : start - offset;
    if (sameObject && state.firstReadable && loadsAtFixedAddress(state.firstStart))
        base = 0;
    for (int i = 0; i < count; ++i) {
        if (frames[i].object < 0 && frames[i].code >= start && frames[i].code < end) {
            frames[i].object = objectIndex(path);
            frames[i].base = base;
        }
    }
}

// Finds each frame's object in /proc/self/maps, read with plain read() calls.
void findObjects(Frame *frames, int count)
{
    const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return;
    static char buffer[2 * PATH_MAX];
    static MapsState state;
    size_t used = 0;
    for (;;) {
        const ssize_t n = ::read(fd, buffer + used, sizeof buffer - 1 - used);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        used += static_cast<size_t>(n);
        buffer[used] = '\0';
        char *line = buffer;
        while (char *newline = std::strchr(line, '\n')) {
            *newline = '\0';
            matchMapping(line, frames, count, state);
            line = newline + 1;
        }
        used -= static_cast<size_t>(line - buffer);
        std::memmove(buffer, line, used);
        if (used == sizeof buffer - 1)
            used = 0; // no line is that long: skip it
    }
    ::close(fd);
}

long millisecondsSince(const timespec &start)
{
    timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    return (now.tv_sec - start.tv_sec) * 1000 + (now.tv_nsec - start.tv_nsec) / 1000000;
}

struct SpawnArgs
{
    const char *const *argv;
    int out;
};

// The child shares the crashed process's memory until execve: raw system calls only, so that
// nothing in it takes a lock, allocates or goes through a sanitizer's bookkeeping.
int execSymbolizer(void *arg)
{
    const auto *spawn = static_cast<const SpawnArgs *>(arg);
    ::syscall(SYS_dup3, spawn->out, STDOUT_FILENO, 0);
    const long devnull = ::syscall(SYS_openat, AT_FDCWD, "/dev/null", O_WRONLY);
    if (devnull >= 0)
        ::syscall(SYS_dup3, devnull, STDERR_FILENO, 0);
    sigset_t none;
    sigemptyset(&none);
    ::syscall(SYS_rt_sigprocmask, SIG_SETMASK, &none, nullptr, _NSIG / 8);
    ::syscall(SYS_execve, g_symbolizer, spawn->argv, environ);
    ::syscall(SYS_exit_group, 127);
    return 127;
}

// Resolves offsets of one loaded object to "0x<offset>: function at file:line" with one
// symbolizer run writing straight into the report. The run is started by clone() sharing our
// memory until it execs (no fork handlers run) and is killed at the deadline; returns false then.
bool symbolizeObject(int fd, const char *object, const char *const *offsets, int count,
                     const timespec &crashTime)
{
    static const char *argv[9 + kMaxFrames];
    const char *options[] = {"addr2line", "-C", "-f", "-i", "-p", "-a", "-e", object};
    int n = 0;
    for (const char *option : options)
        argv[n++] = option;
    for (int i = 0; i < count; ++i)
        argv[n++] = offsets[i];
    argv[n] = nullptr;
    static SpawnArgs spawn;
    spawn = {argv, fd};

    // Signals stay blocked until the child has its own copy of the handlers replaced by exec.
    sigset_t all, previous;
    sigfillset(&all);
    ::pthread_sigmask(SIG_SETMASK, &all, &previous);
    const pid_t child = ::clone(execSymbolizer, g_childStack + sizeof g_childStack,
                                CLONE_VM | CLONE_VFORK | SIGCHLD, &spawn);
    if (child > 0)
        g_child = child;
    ::pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    if (child <= 0)
        return true;

    bool inTime = true;
    for (;;) {
        int status = 0;
        const pid_t done = ::waitpid(child, &status, WNOHANG);
        if (done == child || (done < 0 && errno != EINTR))
            break;
        if (millisecondsSince(crashTime) > kSymbolizeMs) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            inTime = false;
            break;
        }
        const timespec pause {0, 5 * 1000 * 1000};
        ::nanosleep(&pause, nullptr);
    }
    g_child = 0;
    return inTime;
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

// Raw frames: "object(+0xoffset)[0xaddress]" as backtrace_symbols_fd writes them, without
// names (those need dladdr).
void writeRawFrames(int fd, const Frame *frames, int count)
{
    char hex[24];
    for (int i = 0; i < count; ++i) {
        if (frames[i].object >= 0) {
            writeText(fd, g_objects[frames[i].object]);
            writeText(fd, "(+");
            writeText(fd, hexText(frames[i].address - frames[i].base, hex));
            writeText(fd, ")");
        }
        writeText(fd, "[");
        writeText(fd, hexText(frames[i].address, hex));
        writeText(fd, "]\n");
    }
}

// The symbolized trace starts at the faulting instruction. Frames are resolved per loaded
// object, one run each: reading an object's symbols is the slow part, and a deep GUI stack
// visits the same few objects many times.
void writeSymbolized(int fd, const Frame *frames, int first, int count, const timespec &crashTime)
{
    if (!g_symbolizer[0])
        return;
    static bool done[kMaxFrames];
    static char offsetTexts[kMaxFrames][24];
    static const char *batch[kMaxFrames];
    for (int i = first; i < count; ++i)
        done[i] = frames[i].object < 0;
    for (int i = first; i < count; ++i) {
        if (done[i])
            continue;
        int n = 0;
        for (int j = i; j < count; ++j) {
            if (!done[j] && frames[j].object == frames[i].object) {
                batch[n++] = hexText(frames[j].code - frames[j].base, offsetTexts[j]);
                done[j] = true;
            }
        }
        writeText(fd, "in ");
        writeText(fd, g_objects[frames[i].object]);
        writeText(fd, ":\n");
        if (!symbolizeObject(fd, g_objects[frames[i].object], batch, n, crashTime)) {
            writeText(fd, "(symbolizing stopped: out of time)\n");
            return;
        }
    }
}

void writeReport(int sig, siginfo_t *si, void *context)
{
    timespec crashTime {};
    ::clock_gettime(CLOCK_MONOTONIC, &crashTime);
    char stamp[16];
    formatStamp(::time(nullptr), stamp);
    static char path[PATH_MAX + 32];
    std::strcpy(path, g_reportPrefix);
    std::strcat(path, stamp);
    std::strcat(path, ".txt");
    const int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    writeText(fd, "Crash report\nsignal: ");
    writeText(fd, signalName(sig));
    writeText(fd, "\naddress: ");
    char addressText[24];
    writeText(fd,
              hexText(reinterpret_cast<unsigned long>(si ? si->si_addr : nullptr), addressText));
    writeText(fd, "\n\nback trace (raw):\n");

    static void *addresses[kMaxFrames];
    static Frame frames[kMaxFrames];
    const int count = ::backtrace(addresses, kMaxFrames);
    // Every frame older than the faulting one holds a return address, which points after its
    // call: one byte back lands inside the call.
    const unsigned long pc = faultingPc(context);
    int first = 0;
    while (first < count && reinterpret_cast<unsigned long>(addresses[first]) != pc)
        ++first;
    if (first == count)
        first = 0;
    for (int i = 0; i < count; ++i) {
        const unsigned long address = reinterpret_cast<unsigned long>(addresses[i]);
        const bool exact = i == first && address == pc;
        frames[i] = {address, exact || address == 0 ? address : address - 1, -1, 0};
    }
    findObjects(frames, count);
    writeRawFrames(fd, frames, count);

    writeText(fd, "\nback trace (symbolized):\n");
    writeSymbolized(fd, frames, first, count, crashTime);
    ::close(fd);
}

// Ends the process with the crash's own signal when the report takes too long.
void onWatchdog(int)
{
    const pid_t child = g_child;
    if (child > 0)
        ::kill(child, SIGKILL);
    const int sig = g_crashSignal;
    struct sigaction byDefault
    {
    };
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    ::sigaction(sig, &byDefault, nullptr);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, sig);
    ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
    ::raise(sig);
    ::_exit(128 + sig); // not reached: the default action of every monitored signal ends us
}

void startWatchdog()
{
    struct sigaction action
    {
    };
    action.sa_handler = onWatchdog;
    action.sa_flags = SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGALRM, &action, nullptr);
    sigset_t alarmOnly;
    sigemptyset(&alarmOnly);
    sigaddset(&alarmOnly, SIGALRM);
    ::pthread_sigmask(SIG_UNBLOCK, &alarmOnly, nullptr);
    ::alarm(kWatchdogSeconds);
}

void onFatalSignal(int sig, siginfo_t *si, void *context)
{
    int none = 0;
    if (!g_crashSignal.compare_exchange_strong(none, sig)) {
        // Another thread is writing the report, or this one crashed while writing it: the
        // report's end or the watchdog ends the process.
        for (;;)
            ::pause();
    }
    startWatchdog();
    writeReport(sig, si, context);
    // SA_RESETHAND restored the default action: raising again ends the process with this
    // signal (and a core file where the system keeps them) once the handler returns.
    ::raise(sig);
}

void findAddr2line()
{
    const char *candidates[] = {"/usr/bin/addr2line", "/bin/addr2line", "/usr/local/bin/addr2line"};
    for (const char *c : candidates) {
        if (::access(c, X_OK) == 0) {
            std::strncpy(g_symbolizer, c, sizeof g_symbolizer - 1);
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
    std::snprintf(g_reportPrefix, sizeof g_reportPrefix, "%s%s_", exe,
                  name && *name ? name : "Dump");
    if (!g_symbolizerChosen)
        findAddr2line();
    const time_t now = ::time(nullptr);
    tm local {};
    ::localtime_r(&now, &local);
    g_utcOffset = local.tm_gmtoff;
    // backtrace() loads libgcc on first use, which allocates: do it now, not in the handler.
    void *warmUp[1];
    ::backtrace(warmUp, 1);
    PrepareThread();

    struct sigaction action
    {
    };
    action.sa_sigaction = onFatalSignal;
    action.sa_flags = SA_SIGINFO | SA_RESETHAND | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    for (int sig : kSignals) {
        if (::sigaction(sig, &action, nullptr) != 0)
            return -1;
    }
    return 0;
}

void KExceptionHandler::PrepareThread()
{
    AltStack &holder = t_altStack;
    if (holder.mapping)
        return;
    stack_t current {};
    if (::sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE))
        return; // the thread has one already (a sanitizer's, for one)
    const size_t guard = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    const size_t size = guard + kAltStackSize;
    void *mapping = ::mmap(nullptr, size, PROT_READ | PROT_WRITE,
                           MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (mapping == MAP_FAILED)
        return;
    // The lowest page is inaccessible: a handler that overflows its stack faults at once.
    ::mprotect(mapping, guard, PROT_NONE);
    stack_t alt {};
    alt.ss_sp = static_cast<char *>(mapping) + guard;
    alt.ss_size = kAltStackSize;
    if (::sigaltstack(&alt, nullptr) != 0) {
        ::munmap(mapping, size);
        return;
    }
    holder.mapping = mapping;
    holder.size = size;
}

void KExceptionHandler::SetSymbolizer(const char *path)
{
    g_symbolizer[0] = '\0';
    if (path)
        std::strncpy(g_symbolizer, path, sizeof g_symbolizer - 1);
    g_symbolizerChosen = true;
}
