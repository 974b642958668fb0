#include "ChildProcess.h"
#include "DeviceFile.h"
#include "GatewayRoutes.h"
#include "TestEnv.h"

#include <QtTest>

#include <httplib.h>

#include <signal.h>

namespace {

// Runs orvane-sim to its end; its exit code, or -1 when it did not end normally in time.
int runSim(const QStringList &arguments, QByteArray *output)
{
    QProcess process;
    process.start(TestEnv::buildBinDir() + "/orvane-sim", arguments);
    if (!process.waitForFinished(20000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    *output = process.readAllStandardOutput();
    return process.exitCode();
}

} // namespace

// orvane-sim as a program: its ports, its answers and how it ends. Wrong options are left out:
// every test starts it right, and the gateway test names the device file's errors.
class tst_SimExecutable : public QObject
{
    Q_OBJECT

private slots:
    // The device file it prints and is given, its listeners, and its end on SIGINT (Ctrl-C in
    // the demo; the tests' own runs end it with SIGTERM).
    void runsWithTheDeviceFileItIsGiven()
    {
        QByteArray printed;
        QCOMPARE(runSim({"--print-default-devices"}, &printed), 0);
        QString error;
        const std::optional<DeviceFile> printedFile = DeviceFile::parse(printed, &error);
        QVERIFY2(printedFile, qPrintable(error));
        QCOMPARE(printedFile->document(), DeviceFile::builtIn().document());
        QJsonObject changed = printedFile->document();
        changed.insert("version", QJsonObject {{"version", "V1.000.0000001.1.R"}});
        QVERIFY(TestEnv::writeFile("devices.json", QJsonDocument(changed).toJson()));

        ChildProcess sim;
        QVERIFY2(sim.startSim(QDir::currentPath(), &error, {"--devices", "devices.json"}),
                 qPrintable(error));
        QVERIFY(sim.simPort("rtsp") > 0);
        httplib::Client https("https://127.0.0.1:" + std::to_string(sim.simPort("https")));
        https.enable_server_certificate_verification(false);
        const httplib::Result version = https.Get(GatewayRoutes::versionPath);
        QVERIFY(version && version->body.find("\"V1.000.0000001.1.R\"") != std::string::npos);
        ::kill(static_cast<pid_t>(sim.processId()), SIGINT);
        QVERIFY(sim.waitForFinished(20000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
        ChildProcess plain;
        QVERIFY2(plain.startSim(QDir::currentPath(), &error, {"--no-https"}), qPrintable(error));
        QCOMPARE(plain.simPort("https"), 0);
    }
};

QTEST_GUILESS_MAIN(tst_SimExecutable)
#include "tst_SimExecutable.moc"
