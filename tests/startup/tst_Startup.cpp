// Start-up as a real process: a copy of the client in a program folder of its own, on the test
// display, observed through the files it leaves, its exit and error output, and the report that
// ORVANE_STARTUP_REPORT asks for (the style sheet and environment it ends up with).
#include "ProgramFolder.h"
#include "Startup.h"

#include <winport/SharedMemoryGuard.h>
#include <winport/WinRegistry.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QSharedMemory>
#include <QtTest>

#include <signal.h>

namespace {

const QString kReport = "report.json";

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write("x") == 1;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System
                                  | QDir::NoDotAndDotDot);
}

// Starts the client in folder and returns once start-up is over: the report is written (the
// main window is about to open) or the process has ended.
QProcess *startClient(ProgramFolder &folder)
{
    const QString report = folder.filePath(kReport);
    QFile::remove(report);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ORVANE_STARTUP_REPORT", report);
    environment.insert("KWGUI_MESSAGEBOX_ANSWER", "ok");
    environment.remove("QTWEBENGINE_REMOTE_DEBUGGING");
    QProcess *client = folder.start({}, environment);
    ProgramFolder::waitFor(
        [&] { return QFile::exists(report) || client->state() == QProcess::NotRunning; });
    return client;
}

QJsonObject reportOf(const ProgramFolder &folder)
{
    return QJsonDocument::fromJson(readAll(folder.filePath(kReport))).object();
}

// A client ended by a signal leaves its single-instance segment behind; remove it so that the
// test leaves nothing in the system.
void releaseGuard(const QString &programType)
{
    QSharedMemory guard(programType);
    winport::releaseOrphanedSegment(guard);
}

void stopClient(ProgramFolder &folder, QProcess *client, const QString &programType)
{
    folder.stop(client);
    releaseGuard(programType);
}

} // namespace

class tst_Startup : public QObject
{
    Q_OBJECT

private slots:
    void housekeepingFollowsTheFlags_data()
    {
        QTest::addColumn<bool>("on");
        QTest::newRow("flags on") << true;
        QTest::newRow("flags off") << false;
    }

    void housekeepingFollowsTheFlags()
    {
        QFETCH(bool, on);
        const QString tag = on ? "On" : "Off";
        const QString program = "House" + tag;
        ProgramFolder folder(QDir::currentPath() + "/house" + tag);
        QVERIFY(folder.install());
        QVERIFY(folder.writeIni(
            "Localcfg.ini",
            {{"Type/program", program}, {"Flag/logFlag", on}, {"Flag/WebCacheFlag", on}}));
        QVERIFY(folder.writeIni("Config.ini", {{"WebInfo/IsDebug", on}}));
        for (const char *scratch : {"tmp/top.txt", "tmp/.hidden", "tmp/nested/deeper/p.jpg"})
            QVERIFY(touch(folder.filePath(scratch)));
        // The web cache of the last run, two folders below one that holds something else.
        const QString cacheBase = QDir::currentPath() + "/cache" + tag;
        const QString cache = cacheBase + "/a/b/QtWebEngine";
        QVERIFY(touch(cacheBase + "/keep.txt"));
        QVERIFY(touch(cache + "/Default/Cache/data_0"));
        QVERIFY(touch(cache + "/Default/Cookies"));
        winport::WinRegistry(program).setValue("cachePath", QDir::toNativeSeparators(cache));
        const QByteArray localCfg = readAll(folder.filePath("Localcfg.ini"));

        const QTime started = QTime::currentTime();
        QProcess *client = startClient(folder);
        const QTime ready = QTime::currentTime();
        QVERIFY2(QFile::exists(folder.filePath(kReport)), client->readAllStandardError());

        QVERIFY(QFileInfo(folder.filePath("tmp")).isDir());
        QCOMPARE(entriesOf(folder.filePath("tmp")), QStringList());

        const QStringList logs = entriesOf(folder.filePath("log"));
        if (on) {
            QCOMPARE(logs.size(), 1);
            const QTime named = QTime::fromString(logs.first(), "hh-mm-ss");
            QVERIFY2(named.isValid(), qPrintable(logs.first()));
            if (ready >= started) // not across midnight
                QVERIFY(named >= started.addMSecs(-started.msec()) && named <= ready);
        } else {
            QVERIFY(!QFileInfo::exists(folder.filePath("log")));
        }

        QCOMPARE(QFileInfo::exists(cacheBase + "/a"), !on);
        QVERIFY(QFileInfo::exists(cacheBase + "/keep.txt"));

        const QJsonObject report = reportOf(folder);
        QCOMPARE(report.contains("remoteDebugging"), on);
        if (on)
            QCOMPARE(report.value("remoteDebugging").toString(), QString("9234"));

        // The deployment file is read only, even though the cache flag was reset for this run.
        QCOMPARE(readAll(folder.filePath("Localcfg.ini")), localCfg);
        const QString home = QFileInfo(folder.path()).canonicalFilePath();
        QSettings config(folder.filePath("Config.ini"), QSettings::IniFormat);
        QCOMPARE(config.value("PicAccessInfo/Path").toString(), home + "/Picture");
        QCOMPARE(config.value("RecordConfig/RecPath").toString(), home + "/Record");
        QCOMPARE(config.value("WebInfo/IsDebug").toBool(), on);
        QCOMPARE(config.allKeys().size(), 14);

        stopClient(folder, client, program);
    }

    void styleSheetComesFromTheColourScheme_data()
    {
        QTest::addColumn<QString>("skinPath");
        QTest::addColumn<QString>("scheme");
        QTest::newRow("scheme named") << "storeSuite/Ocean"
                                      << "Ocean";
        QTest::newRow("no scheme") << "storeSuite"
                                   << "DustyBlue";
        QTest::newRow("empty scheme") << "storeSuite/"
                                      << "DustyBlue";
    }

    void styleSheetComesFromTheColourScheme()
    {
        QFETCH(QString, skinPath);
        QFETCH(QString, scheme);
        ProgramFolder folder(QDir::currentPath() + "/skin-" + QTest::currentDataTag());
        QVERIFY(folder.install(ProgramFolder::clientProgram(), {}));
        // Style sheets: every *.css whatever its case, in name order ignoring case; no .txt.
        const QByteArray a = "QMainWindow { color: #0a0b0c; }\n";
        const QByteArray b = "QToolTip { color: #0d0e0f; }\n";
        const QByteArray ocean = "QMainWindow { color: #102030; }\n";
        QVERIFY(folder.writeFile("Skin/DustyBlue/KWGUI/CSS/a.css", a));
        QVERIFY(folder.writeFile("Skin/DustyBlue/KWGUI/CSS/B.CSS", b));
        QVERIFY(folder.writeFile("Skin/DustyBlue/KWGUI/CSS/notes.txt", "QWidget { color: red; }"));
        QVERIFY(folder.writeFile("Skin/Ocean/KWGUI/CSS/ocean.css", ocean));
        QVERIFY(
            folder.writeIni("Localcfg.ini", {{"Skin/path", skinPath}, {"Type/program", "Skins"}}));

        QProcess *client = startClient(folder);
        QVERIFY2(QFile::exists(folder.filePath(kReport)), client->readAllStandardError());
        const QString expected = QString::fromUtf8(scheme == "DustyBlue" ? a + b : ocean);
        QCOMPARE(reportOf(folder).value("styleSheet").toString(), expected);
        stopClient(folder, client, "Skins");
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

        QProcess *running = startClient(first);
        QVERIFY2(QFile::exists(first.filePath(kReport)), running->readAllStandardError());

        // A second copy of the same installation says so, through the translations, and leaves.
        QProcess *second = startClient(first);
        QCOMPARE(second->state(), QProcess::NotRunning);
        const QString errors = QString::fromUtf8(second->readAllStandardError());
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QVERIFY2(second->exitCode() == 0, qPrintable(errors));
        QVERIFY(!QFile::exists(first.filePath(kReport)));
        QVERIFY2(errors.contains("QSharedMemoryError:4"), qPrintable(errors));
        QVERIFY2(
            errors.contains("KWMessageBox \"Notice\": \"Already running (probe)\" answered ok"),
            qPrintable(errors));
        QCOMPARE(running->state(), QProcess::Running);

        // Another program type is another installation: it runs beside the first.
        ProgramFolder other(QDir::currentPath() + "/other");
        QVERIFY(other.install());
        QVERIFY(other.writeIni("Localcfg.ini", {{"Type/program", "Other"}}));
        QProcess *beside = startClient(other);
        QVERIFY2(QFile::exists(other.filePath(kReport)), beside->readAllStandardError());
        QCOMPARE(running->state(), QProcess::Running);

        // Past the guard the crash monitor runs: a crash leaves its report in the program folder.
        ::kill(static_cast<pid_t>(beside->processId()), SIGSEGV);
        QVERIFY(beside->waitForFinished(30000));
        QCOMPARE(beside->exitStatus(), QProcess::CrashExit);
        QCOMPARE(QDir(other.path()).entryList({"ClientDump_*.txt"}, QDir::Files).size(), 1);
        releaseGuard("Other");

        // A copy killed outright cannot release its guard; the next start still succeeds.
        running->kill();
        QVERIFY(running->waitForFinished(30000));
        QProcess *restarted = startClient(first);
        QVERIFY2(QFile::exists(first.filePath(kReport)), restarted->readAllStandardError());
        stopClient(first, restarted, "Tesmar");
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
        for (const char *type : {"HouseOn", "HouseOff", "Skins", "Tesmar", "Other"})
            releaseGuard(type);
    }
};

QTEST_GUILESS_MAIN(tst_Startup)
#include "tst_Startup.moc"
