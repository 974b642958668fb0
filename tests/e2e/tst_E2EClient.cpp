// The whole client as its own process (orvane from a program folder pointed at orvane-sim):
// start-up to the login page (its DevTools port opened from "WebInfo/IsDebug"), the version check
// starting the updater (a stand-in "Update.exe" that records its arguments) while the client
// keeps running, the page's console in the client's log, a login through the page that asks the
// platform for the device-platform token, and the page's quit ending the process while that
// request is still unanswered.
#include "E2ESession.h"

#include <QtTest>

namespace {

const QString localVersion = "V1.000.0000100.1.R";
const QJsonObject published {{"version", "V1.000.0000100.12.R"},
                             {"leastVersion", "V1.000.0000100.3.R"},
                             {"url", "http://127.0.0.1/packages/orvane-setup.exe"},
                             {"filesize", "52428800"},
                             {"desc", "Alarm notices stay until read"}};

} // namespace

#define STEP(done) QVERIFY2(done, qPrintable(m_error))

class tst_E2EClient : public QObject
{
    Q_OBJECT

private:
    E2ESession m_session;
    QString m_error;

    QStringList updaterArguments()
    {
        QFile file(m_session.folder().filePath("updater-args"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    }

private slots:
    // One client for the whole run, with a newer version published and a stand-in updater.
    void initTestCase()
    {
        STEP(m_session.startSim(&m_error));
        QCOMPARE(m_session.sim("POST", "/sim/version", published).status, 200);
        ProgramFolder &folder = m_session.folder();
        QVERIFY(folder.writeIni("clientInfo.ini", {{"CLIENTINFO/version", localVersion}}));
        QVERIFY(folder.writeFile(
            "Update.exe",
            "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"$(dirname \"$0\")/args.tmp\"\n"
            "mv \"$(dirname \"$0\")/args.tmp\" \"$(dirname \"$0\")/updater-args\"\n"));
        QFile::setPermissions(folder.filePath("Update.exe"),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        STEP(m_session.startClient(&m_error));
    }

    void cleanupTestCase() { m_session.stop(); }

    void newerVersionStartsTheUpdater()
    {
        // A newer version with a higher least version is a forced update.
        QTRY_VERIFY_WITH_TIMEOUT(!updaterArguments().isEmpty(), 15000);
        QCOMPARE(updaterArguments(),
                 QStringList({published["url"].toString(), "52428800", "true", localVersion,
                              published["desc"].toString(),
                              QString::number(m_session.client()->processId())}));
        QCOMPARE(m_session.client()->state(), QProcess::Running);
    }

    void pageConsoleReachesTheLog()
    {
        m_session.page().evaluate("console.warn('console probe 7')");
        QVERIFY(m_session.client()->waitForLine(R"(\(js\) .*console probe 7)").hasMatch());
        QVERIFY(m_session.client()->output().contains(
            "Web::CWebPage::javaScriptConsoleMessage: [WebName] Main, Console message[console "
            "probe 7]"));
    }

    void logsInAndQuitsThroughThePage()
    {
        // Logging in through the page asks for the device-platform token with the user's token;
        // the platform holds its answer back, so the client quits with the request in flight.
        const QString tokenPath = "/gateway/device/veltra/getTokenAndExpire";
        QCOMPARE(
            m_session.sim("POST", "/sim/faults", {{"path", tokenPath}, {"delayMs", 60000}}).status,
            200);
        STEP(m_session.logIn("demo", "demo123", &m_error));
        QTRY_VERIFY(!m_session.simRequests(tokenPath).isEmpty());
        QCOMPARE(m_session.simRequests(tokenPath).first()["headers"]["Authorization"].toString(),
                 QString("Bearer ut-demo-7f3a9c21"));

        // The page's close button ends the client cleanly (the click's own answer may be lost
        // with the page).
        m_session.page().click("#win-close", &m_error);
        QVERIFY(m_session.client()->waitForFinished(20000));
        QCOMPARE(m_session.client()->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_session.client()->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_E2EClient)
#include "tst_E2EClient.moc"
