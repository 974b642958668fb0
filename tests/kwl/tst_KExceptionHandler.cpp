// Child processes that really crash leave a report beside the program and die of their signal
// within a bounded time, also when the crash interrupts the allocator or the symbolizer stalls.
#include <kwl/KExceptionHandler.h>

#include <QtTest>

#include <atomic>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <vector>

extern char **environ;

extern "C" {
// Distinct, non-inlined frames so that the symbolized trace can be checked by name.
// The crashing functions are not instrumented: the undefined-behaviour checker would report the
// null store or the division instead of letting the processor trap.
__attribute__((noinline, no_sanitize("undefined"))) void orvaneTestWriteThroughNull()
{
    volatile int *volatile nowhere = nullptr;
    *nowhere = 1;
}

__attribute__((noinline, no_sanitize("undefined"))) void orvaneTestDivideByZero()
{
    // A variable dividend: 1 / x compiles to a comparison, not a division.
    volatile int dividend = 7;
    volatile int zero = 0;
    volatile int result = dividend / zero;
    (void)result;
}

__attribute__((noinline)) void orvaneTestAbort()
{
    std::abort();
}

__attribute__((noinline)) void orvaneTestTrap()
{
    __builtin_trap();
}

// Blocks too large for the allocator's per-thread cache: its arena lock is held most of the time.
__attribute__((noinline)) void orvaneTestHammerAllocator(std::atomic<int> *running)
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
}

namespace {

// Child mode: --crash <how> <report name> [symbolizer]
int crashChild(int argc, char *argv[])
{
    KExceptionHandler::StartMonitor(argv[3]);
    if (argc > 4)
        KExceptionHandler::SetSymbolizer(argv[4]);
    const char *how = argv[2];
    if (std::strcmp(how, "segv") == 0) {
        orvaneTestWriteThroughNull();
    } else if (std::strcmp(how, "fpe") == 0) {
        orvaneTestDivideByZero();
    } else if (std::strcmp(how, "abort") == 0) {
        orvaneTestAbort();
    } else if (std::strcmp(how, "ill") == 0) {
        orvaneTestTrap();
    } else if (std::strcmp(how, "allocator") == 0) {
        // Four threads in the allocator; one of them is stopped wherever it is.
        std::atomic<int> running {0};
        std::vector<std::thread> threads;
        for (int i = 0; i < 4; ++i)
            threads.emplace_back(orvaneTestHammerAllocator, &running);
        while (running < 4)
            std::this_thread::yield();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        pthread_kill(threads.front().native_handle(), SIGSEGV);
        for (std::thread &t : threads)
            t.join();
    }
    return 3; // not reached when the crash happened
}

// Runs children of this binary at once; returns how each ended, separated by blanks: the signal
// that killed it, 0 after an exit, -1 when it still ran after limitMs (it is killed then).
QString runChildren(const QList<QStringList> &runs, int limitMs)
{
    posix_spawn_file_actions_t quiet; // sanitizer builds talk on stderr
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    const QByteArray self = QCoreApplication::applicationFilePath().toLocal8Bit();
    QVector<pid_t> pids;
    for (const QStringList &args : runs) {
        QByteArrayList bytes {self};
        for (const QString &arg : args)
            bytes << arg.toLocal8Bit();
        std::vector<char *> argv;
        for (QByteArray &b : bytes)
            argv.push_back(b.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        posix_spawn(&pid, self.constData(), &quiet, nullptr, argv.data(), environ);
        pids << pid;
    }
    posix_spawn_file_actions_destroy(&quiet);

    QVector<int> endings(pids.size(), -1);
    QElapsedTimer timer;
    timer.start();
    for (bool waiting = true; waiting && timer.elapsed() < limitMs; QThread::msleep(10)) {
        waiting = false;
        for (int i = 0; i < pids.size(); ++i) {
            int status = 0;
            if (pids[i] > 0 && waitpid(pids[i], &status, WNOHANG) == pids[i]) {
                endings[i] = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
                pids[i] = 0;
            }
            waiting = waiting || pids[i] > 0;
        }
    }
    for (pid_t pid : pids) {
        if (pid > 0) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    QStringList text;
    for (int ending : endings)
        text << QString::number(ending);
    return text.join(' ');
}

QString folder()
{
    return QCoreApplication::applicationDirPath() + "/";
}

QStringList reports(const QString &name)
{
    return QDir(folder()).entryList({name + "_*.txt"}, QDir::Files, QDir::Name);
}

} // namespace

class tst_KExceptionHandler : public QObject
{
    Q_OBJECT

private slots:
    void crashWritesReportAndDies_data()
    {
        // A symbolizer that never answers: it notes its process id and sleeps.
        const QString stalling = folder() + "stalling-addr2line";
        QFile script(stalling);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho $$ > \"$0.pid\"\nexec sleep 60\n");
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);

        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<QString>("signalText");
        QTest::addColumn<QString>("frame"); // by name in the symbolized trace; empty: cut off
        QTest::addColumn<QString>("symbolizer");
        QTest::newRow("segv") << "segv" << SIGSEGV << "SIGSEGV"
                              << "orvaneTestWriteThroughNull"
                              << "";
        QTest::newRow("fpe") << "fpe" << SIGFPE << "SIGFPE"
                             << "orvaneTestDivideByZero"
                             << "";
        QTest::newRow("abort") << "abort" << SIGABRT << "SIGABRT"
                               << "orvaneTestAbort"
                               << "";
        QTest::newRow("ill") << "ill" << SIGILL << "SIGILL"
                             << "orvaneTestTrap"
                             << "";
        QTest::newRow("stalled symbolizer") << "segv" << SIGSEGV << "SIGSEGV"
                                            << "" << stalling;
    }

    void crashWritesReportAndDies()
    {
        QFETCH(QString, how);
        QFETCH(int, signalNumber);
        QFETCH(QString, signalText);
        QFETCH(QString, frame);
        QFETCH(QString, symbolizer);
        const QString name = "ClientDump" + QString(QTest::currentDataTag()).remove(' ');
        const QDateTime before = QDateTime::currentDateTime();
        QStringList args {"--crash", how, name};
        if (!symbolizer.isEmpty())
            args << symbolizer;
        // Symbolizing is cut off after a few seconds, and the process ends soon after.
        QCOMPARE(runChildren({args}, 10000), QString::number(signalNumber));

        const QStringList found = reports(name);
        QCOMPARE(found.size(), 1);
        const QRegularExpressionMatch m
            = QRegularExpression(R"(_(\d{8}-\d{6})\.txt$)").match(found.first());
        QVERIFY2(m.hasMatch(), qPrintable(found.first()));
        const QDateTime stamp = QDateTime::fromString(m.captured(1), "yyyyMMdd-hhmmss");
        QVERIFY2(qAbs(stamp.secsTo(before)) <= 30, qPrintable(found.first()));

        QFile file(folder() + found.first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains("signal: " + signalText), qPrintable(text));
        // Raw frames come first and name the loaded object with the offset in it.
        const int symbolizedAt = text.indexOf("back trace (symbolized)");
        QVERIFY2(symbolizedAt > 0, qPrintable(text));
        QVERIFY2(text.left(symbolizedAt)
                     .contains(QRegularExpression(
                         R"(/tst_KExceptionHandler\(\+0x[0-9a-f]+\)\[0x[0-9a-f]+\]\n)")),
                 qPrintable(text));
        const QString symbolized = text.mid(symbolizedAt);
        if (frame.isEmpty()) {
            QVERIFY2(symbolized.contains("symbolizing stopped"), qPrintable(text));
            // The stalled symbolizer was killed, not left behind.
            QFile pidFile(symbolizer + ".pid");
            QVERIFY(pidFile.open(QIODevice::ReadOnly));
            const QString proc = "/proc/" + pidFile.readAll().trimmed();
            QTRY_VERIFY(!QFile::exists(proc) || readState(proc) == 'Z');
        } else {
            // The crashing function appears by name with its source file.
            QVERIFY2(symbolized.contains(frame + " at "), qPrintable(text));
            QVERIFY2(symbolized.contains("tst_KExceptionHandler.cpp:"), qPrintable(text));
        }
    }

    void crashInsideTheAllocatorStillEnds()
    {
        // A crash inside malloc is the usual face of heap corruption. Forty children, each
        // stopped while its threads allocate: a handler that waits for an allocator lock (as
        // fork() does) hangs in many of them. A symbolizer that answers at once keeps the
        // other threads' spinning from starving it.
        for (int batch = 0; batch < 5; ++batch) {
            QList<QStringList> runs;
            for (int i = 0; i < 8; ++i)
                runs << QStringList {"--crash", "allocator", QString("Alloc%1").arg(batch * 8 + i),
                                     "/bin/true"};
            QCOMPARE(runChildren(runs, 10000), QString("11 ").repeated(8).trimmed());
        }
        for (int i = 0; i < 40; ++i) {
            const QStringList found = reports(QString("Alloc%1").arg(i));
            QCOMPARE(found.size(), 1);
            QFile file(folder() + found.first());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray text = file.readAll();
            QVERIFY2(text.contains("SIGSEGV") && text.contains("/tst_KExceptionHandler(+0x"),
                     text.constData());
        }
    }

private:
    static char readState(const QString &proc)
    {
        QFile stat(proc + "/stat");
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray line = stat.readAll();
        const int close = line.lastIndexOf(')');
        return close > 0 && close + 2 < line.size() ? line.at(close + 2) : 0;
    }
};

int main(int argc, char *argv[])
{
    if (argc >= 4 && std::strcmp(argv[1], "--crash") == 0)
        return crashChild(argc, argv);
    // In sanitizer builds the address checker would take the fatal signals of the children
    // before the monitor; they must reach it as they do in the shipped program.
    qputenv("ASAN_OPTIONS",
            qgetenv("ASAN_OPTIONS")
                + ":handle_segv=0:handle_sigbus=0:handle_sigfpe=0"
                  ":handle_sigill=0:handle_abort=0:allow_user_segv_handler=1");
    QCoreApplication app(argc, argv);
    tst_KExceptionHandler test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_KExceptionHandler.moc"
