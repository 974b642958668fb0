// The packages as a user gets them: installed with dpkg into a throw-away root, the installed
// orvane-sim and client started through their links in usr/bin from an unrelated folder with a
// fresh home, a log-in through the page (the version check and the device-platform token reach
// the platform), then removal, which must leave nothing outside the user's folders.
#include "E2ESession.h"
#include "E2EStep.h"
#include "TestEnv.h"

#include <winport/SharedMemoryGuard.h>

#include <QDirIterator>
#include <QSharedMemory>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

class tst_InstalledPackage : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    E2ESession m_session;
    QString m_root;
    QString m_home;
    QString m_error;

    QString installed(const QString &path) const { return m_root + path; }

    // dpkg on the throw-away root: its own database there, the system's packages not checked.
    int dpkg(const QStringList &arguments, QByteArray *output)
    {
        QProcess process;
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start("dpkg",
                      QStringList {"--root=" + m_root, "--log=" + m_dir.filePath("dpkg.log"),
                                   "--force-depends", "--force-not-root"}
                          + arguments);
        const bool ended = process.waitForFinished(120000);
        *output = process.readAll();
        return ended && process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    // Every file and link below the root, but the package database and the user's home.
    QStringList filesOutsideTheUser() const
    {
        QStringList files;
        QDirIterator it(m_root, QDir::Files | QDir::System | QDir::Hidden,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next().mid(m_root.size());
            if (!path.startsWith("/var/") && !path.startsWith("/home/"))
                files << path;
        }
        files.sort();
        return files;
    }

    QProcessEnvironment userEnvironment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", m_home);
        for (const char *name : {"XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME"})
            env.remove(name);
        // The client opens the DevTools port itself, from "WebInfo/IsDebug".
        env.remove("QTWEBENGINE_REMOTE_DEBUGGING");
        return env;
    }

private slots:
    void initTestCase()
    {
        if (getuid() != 0)
            QSKIP("Installing packages, even into a throw-away root, needs root: run as root.");
        const QDir packages(TestEnv::buildBinDir() + "/../packages");
        const QStringList debs = packages.entryList({"orvane*.deb"}, QDir::Files);
        QVERIFY2(debs.size() == 2, "build the packages first: make package");
        QVERIFY(m_dir.isValid());
        m_root = m_dir.filePath("root");
        m_home = m_dir.filePath("root/home/user");
        for (const char *folder : {"var/lib/dpkg/info", "var/lib/dpkg/updates", "home/user"})
            QVERIFY(QDir(m_root).mkpath(folder));
        QFile status(m_root + "/var/lib/dpkg/status");
        QVERIFY(status.open(QIODevice::WriteOnly));
        status.close();

        QByteArray output;
        QStringList install {"--install"};
        for (const QString &deb : debs)
            install << packages.filePath(deb);
        QVERIFY2(dpkg(install, &output) == 0, output.constData());
    }

    void installedClientLogsInAgainstInstalledPlatform()
    {
        const QStringList shipped = filesOutsideTheUser();
        STEP(m_session.startSim(&m_error, {}, installed("/usr/bin/orvane-sim")));
        // The user's own settings, written before the first start: the platform is the sim.
        const ProgramFolder user(m_home + "/.local/share/orvane");
        QVariantMap local = m_session.platformAddresses();
        local.insert("Flag/logFlag", true);
        QVERIFY(user.writeIni("Localcfg.ini", local)
                && user.writeIni("Config.ini", {{"WebInfo/IsDebug", true}}));

        ChildProcess client;
        client.launch(installed("/usr/bin/orvane"), {}, QDir::rootPath(), userEnvironment(),
                      m_dir.filePath("client.out"));
        DevToolsClient &page = m_session.page();
        QVERIFY2(page.connectToPage(m_session.simUrl(), &m_error),
                 qPrintable(m_error + "\nclient output:\n" + client.output()));
        STEP(page.waitFor("window.__orvane && window.__orvane.ready", &m_error));
        STEP(m_session.logIn("demo", "demo123", &m_error));
        QTRY_VERIFY(!m_session.simRequests("/gateway/device/veltra/getTokenAndExpire").isEmpty());
        QVERIFY(!m_session.simRequests("/gateway//membership/appVersion/getVersion/9").isEmpty());

        page.click("#win-close", &m_error);
        QVERIFY(client.waitForFinished(20000));
        QCOMPARE(client.exitCode(), 0);

        // It ran in the user's folder; the shared program folder was not written.
        QVERIFY(QFileInfo(user.filePath("Skin")).isSymLink());
        QVERIFY(QFileInfo(user.filePath("log")).isDir());
        QCOMPARE(filesOutsideTheUser(), shipped);
    }

    void removalLeavesOnlyTheUsersFolders()
    {
        QByteArray output;
        QVERIFY2(dpkg({"--purge", "orvane", "orvane-sim"}, &output) == 0, output.constData());
        QCOMPARE(filesOutsideTheUser(), QStringList());
        QVERIFY(QFileInfo::exists(m_home + "/.local/share/orvane/Config.ini"));
    }

    void cleanupTestCase()
    {
        // A client ended by a signal leaves its single-instance segment behind.
        QSharedMemory guard("Tesmar");
        winport::releaseOrphanedSegment(guard);
    }
};

QTEST_GUILESS_MAIN(tst_InstalledPackage)
#include "tst_InstalledPackage.moc"
