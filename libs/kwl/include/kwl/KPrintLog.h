#pragma once

#include <cstdio>
#include <mutex>
#include <string>

// Process-wide logger. One line per call:
//   2026-12-05 18:08:18.123 ERROR [tid 4242] Web/CWebView.cpp:88 Web::CWebView::RPCCall: text
// Levels follow the usual priority numbers: 2 verbose, 3 debug, 4 info, 5 warning, 6 error,
// 7 fatal. Lines from many threads never interleave; every sink is written under one lock.
class KPrintLog
{
public:
    static KPrintLog *instance();

    // Appends to this file from now on, creating missing folders; an empty path closes it.
    bool SetFile(const char *path);
    // Copies every line to standard error.
    void SetStderr(bool on);
    // Copies every line to the system log.
    void SetSyslog(bool on);
    // Writes one line; fmt and the arguments as for printf.
    void Log(const char *file, int line, const char *function, const char *module, int level,
             const char *fmt, ...) __attribute__((format(printf, 7, 8)));

    // The file currently written, empty when none.
    std::string FilePath() const;
    // Name shown for a level, "L<n>" when the number is not a known level.
    static std::string LevelName(int level);

private:
    KPrintLog() = default;
    ~KPrintLog();
    KPrintLog(const KPrintLog &) = delete;
    KPrintLog &operator=(const KPrintLog &) = delete;

    mutable std::mutex m_mutex;
    FILE *m_file = nullptr;
    std::string m_filePath;
    bool m_stderr = false;
    bool m_syslog = false;
};

// Logs with the caller's place filled in: KLOG(6, "open failed: %s", path).
#define KLOG(level, ...) \
    KPrintLog::instance()->Log(__FILE__, __LINE__, __PRETTY_FUNCTION__, "", level, __VA_ARGS__)
