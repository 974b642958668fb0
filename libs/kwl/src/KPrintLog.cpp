#include "kwl/KPrintLog.h"

#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sys/syscall.h>
#include <sys/time.h>
#include <syslog.h>
#include <unistd.h>
#include <vector>

namespace {

// Thread id as the kernel numbers it, so that lines match what gdb and top show.
long currentThreadId()
{
    return static_cast<long>(::syscall(SYS_gettid));
}

std::string timestamp()
{
    timeval tv {};
    ::gettimeofday(&tv, nullptr);
    tm local {};
    ::localtime_r(&tv.tv_sec, &local);
    char text[40];
    const size_t n = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::snprintf(text + n, sizeof text - n, ".%03ld", static_cast<long>(tv.tv_usec / 1000));
    return text;
}

std::string vformat(const char *fmt, va_list args)
{
    va_list copy;
    va_copy(copy, args);
    char small[512];
    const int needed = std::vsnprintf(small, sizeof small, fmt, copy);
    va_end(copy);
    if (needed < 0)
        return "(bad log format)";
    if (static_cast<size_t>(needed) < sizeof small)
        return std::string(small, static_cast<size_t>(needed));
    std::vector<char> big(static_cast<size_t>(needed) + 1);
    std::vsnprintf(big.data(), big.size(), fmt, args);
    return std::string(big.data(), static_cast<size_t>(needed));
}

// Messages often end in "\n" already; a line gets exactly one.
void trimLineEnd(std::string &text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
}

int syslogPriority(int level)
{
    if (level >= 7)
        return LOG_CRIT;
    if (level == 6)
        return LOG_ERR;
    if (level == 5)
        return LOG_WARNING;
    if (level == 4)
        return LOG_INFO;
    return LOG_DEBUG;
}

} // namespace

KPrintLog *KPrintLog::instance()
{
    // Never destroyed: threads may log while static objects are torn down.
    static KPrintLog *log = new KPrintLog;
    return log;
}

KPrintLog::~KPrintLog()
{
    if (m_file)
        std::fclose(m_file);
}

bool KPrintLog::SetFile(const char *path)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
    }
    m_filePath.clear();
    if (!path || !*path)
        return true;

    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty())
        std::filesystem::create_directories(parent, ec);
    m_file = std::fopen(path, "ae");
    if (!m_file) {
        std::fprintf(stderr, "KPrintLog: cannot open log file %s: %s\n", path,
                     std::strerror(errno));
        return false;
    }
    m_filePath = path;
    return true;
}

void KPrintLog::SetStderr(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stderr = on;
}

void KPrintLog::SetSyslog(bool on)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (on && !m_syslog)
        ::openlog(nullptr, LOG_PID, LOG_USER);
    m_syslog = on;
}

std::string KPrintLog::FilePath() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_filePath;
}

std::string KPrintLog::LevelName(int level)
{
    static const char *const names[]
        = {"L0", "L1", "VERB", "DEBUG", "INFO", "WARN", "ERROR", "FATAL"};
    if (level >= 0 && level < 8)
        return names[level];
    return "L" + std::to_string(level);
}

std::string KPrintLog::SourceName(const char *path)
{
    if (!path || !*path)
        return "?";
    const std::string text(path);
    const size_t src = text.rfind("/src/");
    const size_t slash = text.rfind('/');
    size_t begin = 0;
    if (src != std::string::npos)
        begin = src + 5;
    else if (slash != std::string::npos)
        begin = slash + 1;
    const size_t dot = text.rfind('.');
    const size_t end = dot != std::string::npos && dot > begin ? dot : text.size();
    return text.substr(begin, end - begin);
}

std::string KPrintLog::FunctionName(const char *signature)
{
    if (!signature || !*signature)
        return "?";
    std::string text(signature);
    text = text.substr(0, text.find('(')); // parameters, and what a lambda adds after them
    // The return type ends at the last blank outside template brackets ("QMap<QString, int> f").
    int depth = 0;
    for (size_t i = text.size(); i-- > 0;) {
        if (text[i] == '>')
            ++depth;
        else if (text[i] == '<')
            --depth;
        else if (text[i] == ' ' && depth == 0)
            return text.substr(i + 1);
    }
    return text;
}

void KPrintLog::Log(const char *file, int line, const char *function, const char *module, int level,
                    const char *fmt, ...)
{
    va_list args;
    va_start(args, fmt);
    std::string message = fmt ? vformat(fmt, args) : std::string();
    va_end(args);
    trimLineEnd(message);

    // The whole line is built before the lock so that the critical section is one write.
    std::string text = timestamp();
    text += ' ';
    const size_t afterTime = text.size();
    text += LevelName(level);
    text += " [tid ";
    text += std::to_string(currentThreadId());
    text += "] ";
    if (module && *module) {
        text += '(';
        text += module;
        text += ") ";
    }
    text += file ? file : "?";
    text += ':';
    text += std::to_string(line);
    text += ' ';
    text += function ? function : "?";
    text += ": ";
    text += message;
    text += '\n';

    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_file) {
        std::fwrite(text.data(), 1, text.size(), m_file);
        std::fflush(m_file);
    }
    if (m_stderr)
        std::fwrite(text.data(), 1, text.size(), stderr);
    if (m_syslog)
        ::syslog(syslogPriority(level), "%s",
                 text.c_str() + afterTime); // syslog stamps its own time
}
