// What Windows gives the client, made portable. The registry value is written by the web view
// (tst_CWebView) and read by the next start in another process (tst_Startup).
#include "ChildProcess.h"
#include "WM_GETOBJECT_Filter.h"

#include <winport/SharedMemoryGuard.h>
#include <winport/WinMsg.h>

#include <QtTest>

#include <cstring>
#include <signal.h>

class tst_winport : public QObject
{
    Q_OBJECT

private slots:
    void orphanedSegmentIsReleasedButALiveOneIsNot()
    {
        const QString key = "OrvaneGuardTest";
        ChildProcess holder; // this program with --hold: holds the segment until killed
        holder.launch(QCoreApplication::applicationFilePath(), {"--hold", key},
                      QDir::currentPath());
        QVERIFY(holder.waitForLine("^held$").hasMatch());

        // A live holder keeps its segment: the release leaves it and create still fails.
        QSharedMemory second(key);
        winport::releaseOrphanedSegment(second);
        QVERIFY(!second.create(32));
        QCOMPARE(second.error(), QSharedMemory::AlreadyExists);

        // Killed without clean-up, the holder leaves an orphan that blocks create ...
        ::kill(static_cast<pid_t>(holder.processId()), SIGKILL);
        QVERIFY(holder.waitForFinished(10000));
        QSharedMemory third(key);
        QVERIFY(!third.create(32));
        // ... until it is released.
        winport::releaseOrphanedSegment(third);
        QVERIFY2(third.create(32), qPrintable(third.errorString()));
    }

    void getObjectFilterSwallowsOnlyWindowsAccessibilityRequests()
    {
        WM_GETOBJECT_Filter filter;
        MSG msg {};
        long result = 1234;
        msg.message = WM_GETOBJECT;
        QVERIFY(filter.nativeEventFilter("windows_generic_MSG", &msg, &result));
        msg.message = 0x000F; // WM_PAINT
        QVERIFY(!filter.nativeEventFilter("windows_generic_MSG", &msg, &result));
        msg.message = WM_GETOBJECT;
        // Native events of other platforms are not MSG records and pass untouched.
        QVERIFY(!filter.nativeEventFilter("xcb_generic_event_t", &msg, &result));
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--hold") == 0) {
        QSharedMemory memory(QString::fromLocal8Bit(argv[2]));
        if (!memory.create(32))
            return 2;
        std::puts("held");
        std::fflush(stdout);
        for (;;)
            ::pause();
    }
    QCoreApplication app(argc, argv);
    tst_winport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_winport.moc"
