// Start-up as a real process: a copy of the client in a program folder of its own, observed
// through the folder, its exit and its log (on standard error too when "Flag/logFlag" is on).
#include "ProgramFolder.h"
#include "Startup.h"
#include "TestEnv.h"

#include <winport/SharedMemoryGuard.h>
#include <winport/WinRegistry.h>

#include <QSharedMemory>
#include <QtTest>

#include <signal.h>

namespace {

const QString kStarted = "Start-up done for program type ";

bool touch(const QString &path)
{
    return TestEnv::writeFile(path, "x");
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                  | QDir::NoDotAndDotDot);
}

// A client ended by a signal leaves its single-instance segment behind: remove it.
void releaseGuard(const QString &programType)
{
    QSharedMemory guard(programType);
    winport::releaseOrphanedSegment(guard);
}

// Starts the client in folder and returns once start-up is over: its log says that the main
// window opens, or, without a log, the web view has remembered its cache folder; or it ended.
ChildProcess *startClient(ProgramFolder &folder, const QString &program, bool logged = true)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("KWGUI_MESSAGEBOX_ANSWER", "ok");
    environment.remove("QTWEBENGINE_REMOTE_DEBUGGING");
    winport::WinRegistry registry(program);
    const QVariant cache = registry.value("cachePath");
    ChildProcess *client = folder.start({}, environment);
    if (logged)
        client->waitForLine(kStarted + program);
    else
        (void)QTest::qWaitFor(
            [&] {
                return registry.value("cachePath") != cache
                    || client->state() == QProcess::NotRunning;
            },
            30000);
    return client;
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void housekeepingFollowsTheFlags_data()
    {
        QTest::addColumn<bool>("log");
        QTest::addColumn<bool>("clearCache");
        QTest::addColumn<bool>("debug");
        QTest::newRow("all on") << true << true << true;
        QTest::newRow("log only") << true << false << false;
        QTest::newRow("all off") << false << false << false;
    }

    void housekeepingFollowsTheFlags()
    {
        QFETCH(bool, log);
        QFETCH(bool, clearCache);
        QFETCH(bool, debug);
        const QString program = QString("House%1").arg(QTest::currentDataTag()).remove(' ');
        ProgramFolder folder(QDir::currentPath() + "/" + program);
        QVERIFY(folder.install());
        QVERIFY(folder.writeIni(
            "Localcfg.ini",
            {{"Type/program", program}, {"Flag/logFlag", log}, {"Flag/WebCacheFlag", clearCache}}));
        QVERIFY(folder.writeIni("Config.ini", {{"WebInfo/IsDebug", debug}}));
        for (const char *scratch : {"tmp/top.txt", "tmp/.hidden", "tmp/nested/deeper/p.jpg"})
            QVERIFY(touch(folder.filePath(scratch)));
        // The web cache of the last run, two folders below one that holds something else.
        const QString cacheBase = folder.filePath("cache");
        const QString cache = cacheBase + "/a/b/QtWebEngine";
        QVERIFY(touch(cacheBase + "/keep.txt") && touch(cache + "/Default/Cookies"));
        winport::WinRegistry(program).setValue("cachePath", QDir::toNativeSeparators(cache));
        const QByteArray deployed = TestEnv::readFile(folder.filePath("Localcfg.ini"));

        ChildProcess *client = startClient(folder, program, log);
        QCOMPARE(client->state(), QProcess::Running);
        QCOMPARE(entriesOf(folder.filePath("tmp")), QStringList());
        QCOMPARE(QFileInfo::exists(cacheBase + "/a"), !clearCache);
        QVERIFY(QFileInfo::exists(cacheBase + "/keep.txt"));
        // The log is named after the time of day; the debugging port opens before start-up ends.
        const QStringList logs = entriesOf(folder.filePath("log"));
        QCOMPARE(logs.size(), log ? 1 : 0);
        if (log) {
            QVERIFY2(QTime::fromString(logs.first(), "hh-mm-ss").isValid(), qPrintable(logs[0]));
            QCOMPARE(client->output().contains("Web remote debugging on port 9234"), debug);
        }

        // The deployment file is read only, even though the cache flag was reset for this run.
        QCOMPARE(TestEnv::readFile(folder.filePath("Localcfg.ini")), deployed);
        QSettings config(folder.filePath("Config.ini"), QSettings::IniFormat);
        QCOMPARE(config.value("RecordConfig/RecPath").toString(),
                 QFileInfo(folder.path()).canonicalFilePath() + "/Record");
    }

    // Qt's own warnings reach the log: here its complaint about a broken style sheet of the skin.
    void qtWarningsReachTheLog()
    {
        ProgramFolder folder(QDir::currentPath() + "/skin");
        QVERIFY(folder.install(ProgramFolder::clientProgram(), {}));
        QVERIFY(folder.writeFile("Skin/DustyBlue/KWGUI/CSS/B.CSS", "QToolTip { color: "));
        QVERIFY(folder.writeIni(
            "Localcfg.ini",
            {{"Skin/path", "storeSuite"}, {"Type/program", "Skins"}, {"Flag/logFlag", true}}));
        ChildProcess *client = startClient(folder, "Skins");
        QVERIFY2(client->waitForLine(R"(WARN \[tid \d+\] .*Could not parse application stylesheet)")
                     .hasMatch(),
                 qPrintable(client->output()));
        client->stop();
        releaseGuard("Skins");
    }

    void onlyOneCopyRunsPerProgramType()
    {
        ProgramFolder first(QDir::currentPath() + "/first");
        QVERIFY(first.install());
        QVERIFY(first.writeIni(
            "Localcfg.ini",
            {{"Type/program", "Tesmar"}, {"Type/language", "xx"}, {"Flag/logFlag", true}}));
        // Translations come from every .qm file below the language folder, never from others.
        const QString language = "Language/Language_xx/";
        QVERIFY(QDir().mkpath(first.filePath(language + "sub")));
        QVERIFY(QFile::copy(PROBE_QM_DIR "/probe_sub_xx.qm",
                            first.filePath(language + "sub/probe.qm")));
        QVERIFY(
            QFile::copy(PROBE_QM_DIR "/probe_txt_xx.qm", first.filePath(language + "probe.txt")));
        ChildProcess *running = startClient(first, "Tesmar");
        QCOMPARE(running->state(), QProcess::Running);

        // A second copy of the same installation says so, through the translations, and leaves.
        ChildProcess *second = startClient(first, "Tesmar");
        QTRY_COMPARE_WITH_TIMEOUT(second->state(), QProcess::NotRunning, 30000);
        const QString errors = second->output();
        QVERIFY2(second->exitCode() == 0, qPrintable(errors));
        QVERIFY2(
            errors.contains("KWMessageBox \"Notice\": \"Already running (probe)\" answered ok"),
            qPrintable(errors));
        QCOMPARE(running->state(), QProcess::Running);

        // Another program type is another installation: it runs beside the first.
        ProgramFolder other(QDir::currentPath() + "/other");
        QVERIFY(other.install());
        QVERIFY(other.writeIni("Localcfg.ini", {{"Type/program", "Other"}}));
        ChildProcess *beside = startClient(other, "Other", false);
        QCOMPARE(beside->state(), QProcess::Running);

        // Past the guard the crash monitor runs: a crash leaves its report in the program folder.
        ::kill(static_cast<pid_t>(beside->processId()), SIGSEGV);
        QVERIFY(beside->waitForFinished(30000));
        QCOMPARE(QDir(other.path()).entryList({"ClientDump_*.txt"}, QDir::Files).size(), 1);
        releaseGuard("Other");

        // A copy killed outright cannot release its guard; the next start still succeeds.
        running->kill();
        QVERIFY(running->waitForFinished(30000));
        QCOMPARE(startClient(first, "Tesmar")->state(), QProcess::Running);
    }

    void folderRemovalNeverFollowsLinks()
    {
        const QString base = QDir::currentPath() + "/links";
        QVERIFY(touch(base + "/outside/precious.txt"));
        QVERIFY(touch(base + "/scratch/sub/file"));
        QVERIFY(touch(base + "/cache/x/file"));
        QVERIFY(QFile::link(base + "/outside", base + "/scratch/sub/link"));
        QVERIFY(QFile::link(base + "/outside", base + "/cache/link"));

        ClearDirectory(base + "/scratch");
        QVERIFY(QFileInfo(base + "/scratch").isDir());
        QCOMPARE(entriesOf(base + "/scratch"), QStringList());

        RemoveDirTree(base + "/cache");
        QVERIFY(!QFileInfo::exists(base + "/cache"));
        QVERIFY(QFileInfo::exists(base + "/outside/precious.txt"));

        QVERIFY(!RemoveDirTree(QString()));
        QVERIFY(RemoveDirTree(base + "/never-there"));
    }

    void cleanupTestCase()
    {
        for (const char *type : {"Houseallon", "Houselogonly", "Housealloff", "Tesmar"})
            releaseGuard(type);
    }
};

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_Startup.moc"
