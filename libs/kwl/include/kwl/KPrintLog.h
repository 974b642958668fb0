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
    // Named levels for KLOG: 6 for parse and transport failures, 4 for everything else.
    enum Level { Verbose = 2, Debug = 3, Info = 4, Warning = 5, Error = 6, Fatal = 7 };

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
    // A source file as lines name it: the path below the last "src/" folder (else the file
    // name) without extension, "/work/o/src/Common/CNetWork.cpp" -> "Common/CNetWork".
    static std::string SourceName(const char *path);
    // A function as lines name it: the qualified name without return type and parameters,
    // "void Common::CNetWork::onSSLErrors(const QList<QSslError>&)" ->
    // "Common::CNetWork::onSSLErrors".
    static std::string FunctionName(const char *signature);

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

// Logs with the caller's place filled in: KLOG(KPrintLog::Error, "open failed: %s", path).
#define KLOG(level, ...)                                                                           \
    KPrintLog::instance()->Log(KPrintLog::SourceName(__FILE__).c_str(), __LINE__,                  \
                               KPrintLog::FunctionName(__PRETTY_FUNCTION__).c_str(), "", level,    \
                               __VA_ARGS__)
