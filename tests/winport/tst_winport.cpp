#include "WM_GETOBJECT_Filter.h"

#include <winport/SharedMemoryGuard.h>
#include <winport/SystemInfo.h>
#include <winport/WinMsg.h>
#include <winport/WinRegistry.h>

#include <QtTest>

#include <cstring>
#include <signal.h>

namespace {

// Child mode: create the segment, say so, then wait to be killed.
int holdSegment(const char *key)
{
    QSharedMemory memory(QString::fromLocal8Bit(key));
    if (!memory.create(32))
        return 2;
    std::puts("held");
    std::fflush(stdout);
    for (;;)
        ::pause();
}

bool startHolder(QProcess &holder, const QString &key)
{
    holder.start(QCoreApplication::applicationFilePath(), {"--hold", key});
    return holder.waitForReadyRead(10000) && holder.readAll().trimmed() == "held";
}

} // namespace

class tst_winport : public QObject
{
    Q_OBJECT

private slots:
    void registryValueLivesInTheConfigHome()
    {
        winport::WinRegistry tesmar("Tesmar");
        QVERIFY(!tesmar.value("cachePath").isValid());
        tesmar.setValue("cachePath", "/some/cache/folder");
        QCOMPARE(winport::WinRegistry("Tesmar").value("cachePath").toString(), QString("/some/cache/folder"));
        QCOMPARE(winport::WinRegistry("Other").value("cachePath", "none").toString(), QString("none"));
        const QString expected = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Software/Tesmar.conf";
        QCOMPARE(tesmar.location(), expected);
        QVERIFY(QFile::exists(expected));
    }

    void orphanedSegmentIsReleasedButALiveOneIsNot()
    {
        const QString key = "OrvaneGuardTest";
        QProcess holder;
        QVERIFY(startHolder(holder, key));

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
        third.detach();
    }

    void getObjectFilterSwallowsOnlyWindowsAccessibilityRequests()
    {
        WM_GETOBJECT_Filter filter;
        MSG msg{};
        long result = 1234;
        msg.message = WM_GETOBJECT;
        QVERIFY(filter.nativeEventFilter("windows_generic_MSG", &msg, &result));
        QCOMPARE(result, 1234L);
        msg.message = 0x000F; // WM_PAINT
        QVERIFY(!filter.nativeEventFilter("windows_generic_MSG", &msg, &result));
        // Native events of other platforms are not MSG records and pass untouched.
        msg.message = WM_GETOBJECT;
        QVERIFY(!filter.nativeEventFilter("xcb_generic_event_t", &msg, &result));
    }

    void systemInformation()
    {
        const QString arch = QSysInfo::currentCpuArchitecture();
        if (arch == "x86_64" || arch == "arm64")
            QCOMPARE(winport::nativeProcessorBits(), 64);
        else if (arch == "i386" || arch == "arm")
            QCOMPARE(winport::nativeProcessorBits(), 32);
#ifndef Q_OS_WIN
        QCOMPARE(winport::systemVersionName(), QString("unKnow"));
#endif
    }
};

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "--hold") == 0)
        return holdSegment(argv[2]);
    QCoreApplication app(argc, argv);
    tst_winport test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_winport.moc"
