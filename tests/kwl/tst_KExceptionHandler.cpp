// A child process that really crashes leaves a report beside the program and still dies of
// its signal.
#include <kwl/KExceptionHandler.h>

#include <QtTest>

#include <csignal>
#include <cstdlib>
#include <cstring>

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
}

namespace {

int crashChild(const char *how)
{
    KExceptionHandler::StartMonitor("ClientDump");
    if (std::strcmp(how, "segv") == 0)
        orvaneTestWriteThroughNull();
    else if (std::strcmp(how, "fpe") == 0)
        orvaneTestDivideByZero();
    else if (std::strcmp(how, "abort") == 0)
        orvaneTestAbort();
    else if (std::strcmp(how, "ill") == 0)
        orvaneTestTrap();
    return 3; // not reached when the crash happened
}

QStringList reports()
{
    return QDir(QCoreApplication::applicationDirPath())
        .entryList({"ClientDump_*.txt"}, QDir::Files, QDir::Name);
}

} // namespace

class tst_KExceptionHandler : public QObject
{
    Q_OBJECT

private slots:
    void crashWritesReportAndDies_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("signalText");
        QTest::addColumn<QString>("frame");
        QTest::addColumn<int>("signalNumber");
        QTest::newRow("segv") << "segv" << "SIGSEGV" << "orvaneTestWriteThroughNull" << SIGSEGV;
        QTest::newRow("fpe") << "fpe" << "SIGFPE" << "orvaneTestDivideByZero" << SIGFPE;
        QTest::newRow("abort") << "abort" << "SIGABRT" << "orvaneTestAbort" << SIGABRT;
        QTest::newRow("ill") << "ill" << "SIGILL" << "orvaneTestTrap" << SIGILL;
    }

    void crashWritesReportAndDies()
    {
        QFETCH(QString, how);
        QFETCH(QString, signalText);
        QFETCH(QString, frame);
        QFETCH(int, signalNumber);
        for (const QString &old : reports())
            QFile::remove(old);

        const QDateTime before = QDateTime::currentDateTime();
        // The shell reports how the child ended: 128 + signal means killed by that signal.
        QProcess shell;
        shell.start("/bin/sh", {"-c", "\"$0\" --crash \"$1\" 2>/dev/null; echo $?",
                                QCoreApplication::applicationFilePath(), how});
        QVERIFY(shell.waitForFinished(30000));
        QCOMPARE(shell.readAllStandardOutput().trimmed().toInt(), 128 + signalNumber);

        const QStringList found = reports();
        QCOMPARE(found.size(), 1);
        const QRegularExpression name(R"(^ClientDump_(\d{8}-\d{6})\.txt$)");
        const QRegularExpressionMatch m = name.match(found.first());
        QVERIFY2(m.hasMatch(), qPrintable(found.first()));
        const QDateTime stamp = QDateTime::fromString(m.captured(1), "yyyyMMdd-hhmmss");
        QVERIFY(qAbs(stamp.secsTo(before)) <= 30);

        QFile file(QCoreApplication::applicationDirPath() + "/" + found.first());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.contains(signalText), qPrintable(text));
        QVERIFY2(text.contains("back trace (symbolized)"), qPrintable(text));
        // The crashing function appears by name with its source file.
        const QString symbolized = text.mid(text.indexOf("back trace (symbolized)"));
        QVERIFY2(symbolized.contains(frame), qPrintable(text));
        QVERIFY2(symbolized.contains("tst_KExceptionHandler.cpp:"), qPrintable(text));
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--crash") == 0)
        return crashChild(argv[2]);
    // In sanitizer builds the address checker would take the fatal signals of the children
    // before the monitor; they must reach it as they do in the shipped program.
    qputenv("ASAN_OPTIONS", qgetenv("ASAN_OPTIONS") + ":handle_segv=0:handle_sigbus=0:handle_sigfpe=0"
                            ":handle_sigill=0:handle_abort=0:allow_user_segv_handler=1");
    QCoreApplication app(argc, argv);
    tst_KExceptionHandler test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_KExceptionHandler.moc"
