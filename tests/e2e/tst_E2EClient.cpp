// The whole client as its own process, from a program folder pointed at orvane-sim: start-up,
// the version check starting the updater, the page's console in the log, a login, exports into
// ORVANE_EXPORT_FOLDER, and the page's quit while the token request is still unanswered.
#include "E2ESession.h"
#include "E2EStep.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString localVersion = "V1.000.0000100.1.R";
const QString tokenPath = "/gateway/device/veltra/getTokenAndExpire";
const QJsonObject published {{"version", "V1.000.0000100.12.R"},
                             {"leastVersion", "V1.000.0000100.3.R"},
                             {"url", "http://127.0.0.1/packages/orvane-setup.exe"},
                             {"filesize", "52428800"},
                             {"desc", "Alarm notices stay until read"}};

} // namespace

class tst_E2EClient : public QObject
{
    Q_OBJECT

private:
    E2ESession m_session;
    QTemporaryDir m_exports;
    QString m_error;

    DevToolsClient &page() { return m_session.page(); }

    // The content of the export folder's file matching pattern once it is there.
    QByteArray exported(const QString &pattern)
    {
        QStringList found;
        const auto look = [&] {
            return !(found = QDir(m_exports.path()).entryList({pattern})).isEmpty();
        };
        QFile file(QTest::qWaitFor(look, 15000) ? m_exports.filePath(found.first()) : QString());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private slots:
    // One client for the whole run, with a newer version published, a stand-in updater and a
    // platform that holds its device-platform token back.
    void initTestCase()
    {
        qputenv("ORVANE_EXPORT_FOLDER", m_exports.path().toUtf8());
        STEP(m_session.startSim(&m_error));
        QCOMPARE(m_session.sim("POST", "/sim/version", published).status, 200);
        QCOMPARE(
            m_session.sim("POST", "/sim/faults", {{"path", tokenPath}, {"delayMs", 60000}}).status,
            200);
        ProgramFolder &folder = m_session.folder();
        QVERIFY(folder.writeIni("clientInfo.ini", {{"CLIENTINFO/version", localVersion}}));
        QVERIFY(folder.writeUpdaterStandIn());
        STEP(m_session.startClient(&m_error));
    }

    void cleanupTestCase() { m_session.stop(); }

    void newerVersionStartsTheUpdater()
    {
        // A newer version with a higher least version is a forced update.
        const ProgramFolder &folder = m_session.folder();
        QTRY_VERIFY_WITH_TIMEOUT(!folder.updaterArguments().isEmpty(), 15000);
        QCOMPARE(folder.updaterArguments(),
                 QStringList({published["url"].toString(), "52428800", "true", localVersion,
                              published["desc"].toString(),
                              QString::number(m_session.client()->processId())}));
        QCOMPARE(m_session.client()->state(), QProcess::Running);
    }

    void pageConsoleReachesTheLog()
    {
        page().evaluate("console.warn('console probe 7')");
        QVERIFY(m_session.client()->waitForLine(R"(\(js\) .*console probe 7)").hasMatch());
        QVERIFY(m_session.client()->output().contains(
            "Web::CWebPage::javaScriptConsoleMessage: [WebName] Main, Console message[console "
            "probe 7]"));
    }

    // Reports by GET and by POST are downloaded; a device's QR code is saved from the message.
    void logsInAndExports()
    {
        STEP(m_session.logIn("demo", "demo123", &m_error)
             && page().click("#sidebar [data-menu=exportCenter]", &m_error)
             && page().waitFor("document.querySelectorAll('#export-qr-device option').length > 0",
                               &m_error)
             && page().click("#export-devices button[type=submit]", &m_error));
        QVERIFY(exported("devices-*.csv").startsWith("Device,Name,Type"));
        QVERIFY(m_session.client()->waitForLine("Export folder question .* answered").hasMatch());

        m_session.raiseAlarm({{"deviceId", "NVR0001A"}, {"messageType", 4}});
        STEP(page()
                 .evaluate("document.getElementById('export-alarm-type').value = '4'", &m_error)
                 .isString()
             && page().click("#export-alarms button[type=submit]", &m_error));
        const QByteArray alarms = exported("alarms-*.csv");
        QVERIFY2(alarms.contains(",4,Door opened,"), alarms.constData());
        const QJsonArray sent = m_session.simRequests("/gateway/export/alarmReport");
        QCOMPARE(sent.size(), 1);
        QCOMPARE(sent[0]["method"].toString(), "POST");
        QCOMPARE(sent[0]["body"].toString(), "{\"messageType\":4}");
        QCOMPARE(sent[0]["headers"]["Authorization"].toString(), "Bearer ut-demo-7f3a9c21");

        STEP(page().click("#export-qrcode button[type=submit]", &m_error));
        const QImage picture = QImage::fromData(exported("NVR0001A-qrcode.png"), "PNG");
        QVERIFY(picture.width() > 100 && picture.width() == picture.height());
    }

    void quitsWithTheTokenRequestInFlight()
    {
        // The login asked for the device-platform token with the user's token; the platform
        // holds its answer back.
        QTRY_VERIFY(!m_session.simRequests(tokenPath).isEmpty());
        QCOMPARE(m_session.simRequests(tokenPath).first()["headers"]["Authorization"].toString(),
                 QString("Bearer ut-demo-7f3a9c21"));

        // The page's close button ends the client cleanly (the click's own answer may be lost
        // with the page).
        page().click("#win-close", &m_error);
        QVERIFY(m_session.client()->waitForFinished(20000));
        QCOMPARE(m_session.client()->exitStatus(), QProcess::NormalExit);
        QCOMPARE(m_session.client()->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(tst_E2EClient)
#include "tst_E2EClient.moc"
