// Child processes that really crash leave a report beside the program and die of their signal
// within a bounded time, also when the crash interrupts the allocator or the symbolizer stalls.
#include "TestEnv.h"

#include <kwl/KExceptionHandler.h>

#include <QtTest>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char **environ;

namespace {

// Not instrumented: the undefined-behaviour checker would report the null store instead of
// letting the processor trap.
__attribute__((no_sanitize("undefined"))) void writeThroughNull()
{
    volatile int *volatile nowhere = nullptr;
    *nowhere = 1;
}

// Blocks too large for the allocator's per-thread cache: its arena lock is held most of the time.
void hammerAllocator(std::atomic<int> *running)
{
    void *volatile blocks[32] = {};
    ++*running;
    for (unsigned i = 0;; ++i) {
        std::free(blocks[i % 32]);
        auto *block = static_cast<char *>(std::malloc(2048 + (i * 7919u) % 60000));
        block[0] = 1;
        blocks[i % 32] = block;
    }
}

// Child mode: --crash <segv|allocator> <report name> [symbolizer]
int crashChild(int argc, char *argv[])
{
    KExceptionHandler::StartMonitor(argv[3]);
    if (argc > 4)
        KExceptionHandler::SetSymbolizer(argv[4]);
    const QByteArray how = argv[2];
    if (how == "allocator") {
        // Four threads in the allocator; one of them is stopped wherever it is.
        std::atomic<int> running {0};
        std::vector<std::thread> threads;
        for (int i = 0; i < 4; ++i)
            threads.emplace_back(hammerAllocator, &running);
        while (running < 4)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        pthread_kill(threads.front().native_handle(), SIGSEGV);
        for (std::thread &t : threads)
            t.join();
    }
    writeThroughNull();
    return 3; // not reached
}

// Runs children of this binary at once; returns how each ended, separated by blanks: the signal
// that killed it, "exit <code>", or -1 when it still ran after 10 s (it is killed then).
QString runChildren(const QList<QStringList> &runs)
{
    posix_spawn_file_actions_t quiet; // sanitizer builds talk on stderr
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    QVector<pid_t> pids;
    for (const QStringList &args : runs) {
        QByteArrayList bytes {QCoreApplication::applicationFilePath().toLocal8Bit()};
        std::vector<char *> argv;
        for (const QString &arg : args)
            bytes << arg.toLocal8Bit();
        for (QByteArray &b : bytes)
            argv.push_back(b.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        const int error = posix_spawn(&pid, argv[0], &quiet, nullptr, argv.data(), environ);
        pids << (error ? -error : pid);
    }
    posix_spawn_file_actions_destroy(&quiet);

    QStringList endings;
    QDeadlineTimer deadline(10000);
    for (pid_t pid : pids) {
        int status = 0;
        while (pid > 0 && waitpid(pid, &status, WNOHANG) == 0 && !deadline.hasExpired())
            QThread::msleep(10);
        if (pid <= 0)
            endings << QString("spawn error %1").arg(-pid);
        else if (kill(pid, SIGKILL) == 0 && waitpid(pid, nullptr, 0) == pid)
            endings << "-1"; // still running at the deadline
        else
            endings << (WIFSIGNALED(status) ? QString::number(WTERMSIG(status))
                                            : QString("exit %1").arg(WEXITSTATUS(status)));
    }
    return endings.join(' ');
}

// The one report written under this name.
QString report(const QString &name)
{
    const QDir dir(QCoreApplication::applicationDirPath());
    const QStringList found = dir.entryList({name + "_*.txt"}, QDir::Files);
    if (found.size() != 1)
        return QString("%1 reports named %2").arg(found.size()).arg(name);
    QFile file(dir.filePath(found.first()));
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// A raw frame in the test binary: "/path/tst_KExceptionHandler(+0x1f2e)[0x55d1c3a01f2e]".
const QRegularExpression kRawFrame(R"(/tst_KExceptionHandler\(\+0x[0-9a-f]+\)\[0x[0-9a-f]+\]\n)");

} // namespace

class tst_KExceptionHandler : public QObject
{
    Q_OBJECT

private slots:
    // A symbolizer that never answers (it notes its process id and sleeps) is cut off and
    // killed; the report keeps the raw frames and the process still dies of its signal.
    void stalledSymbolizerIsCutOff()
    {
        const QString stalling = QCoreApplication::applicationDirPath() + "/stalling-addr2line";
        QVERIFY(TestEnv::writeFile(stalling, "#!/bin/sh\necho $$ > \"$0.pid\"\nexec sleep 60\n"));
        QVERIFY(QFile::setPermissions(stalling, QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(runChildren({{"--crash", "segv", "Stalled", stalling}}), QString::number(SIGSEGV));
        const QString text = report("Stalled");
        QVERIFY2(text.startsWith("Crash report\nsignal: SIGSEGV") && text.contains(kRawFrame)
                     && text.contains("symbolizing stopped"),
                 qPrintable(text));
        QFile pid(stalling + ".pid");
        QVERIFY(pid.open(QIODevice::ReadOnly));
        QTRY_VERIFY(!QFile::exists("/proc/" + pid.readAll().trimmed() + "/exe"));
    }

    void crashInsideTheAllocatorStillEnds()
    {
        // A crash inside malloc is the usual face of heap corruption. Forty children, each
        // stopped while its threads allocate: a handler that waits for an allocator lock (as
        // fork() does) hangs in many of them. A symbolizer that answers at once keeps the
        // spinning threads from starving it.
        for (int batch = 0; batch < 5; ++batch) {
            QList<QStringList> runs;
            for (int i = 0; i < 8; ++i)
                runs << QStringList {"--crash", "allocator", QString("Alloc%1").arg(batch * 8 + i),
                                     "/bin/true"};
            QCOMPARE(runChildren(runs), QString("11 ").repeated(8).trimmed());
        }
        for (int i = 0; i < 40; ++i) {
            const QString text = report(QString("Alloc%1").arg(i));
            QVERIFY2(text.contains("SIGSEGV") && text.contains(kRawFrame), qPrintable(text));
        }
    }
};

int main(int argc, char *argv[])
{
    if (argc >= 4 && std::strcmp(argv[1], "--crash") == 0)
        return crashChild(argc, argv);
    // In sanitizer builds the address checker would take the children's SIGSEGV before the
    // monitor, which must get it as in the shipped program.
    qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":handle_segv=0:allow_user_segv_handler=1");
    QCoreApplication app(argc, argv);
    tst_KExceptionHandler test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_KExceptionHandler.moc"
