#include "DeviceFile.h"
#include "SimServer.h"
#include "SimTestClient.h"
#include "TestEnv.h"

#include <QtTest>

#include <signal.h>

namespace {

QString simBinary()
{
    return TestEnv::buildBinDir() + "/orvane-sim";
}

// Reads the start-up lines up to "orvane-sim ready"; the ports by listener name.
QMap<QString, int> readPorts(QProcess &sim)
{
    QMap<QString, int> ports;
    const QRegularExpression line(R"(^orvane-sim (https?) 127\.0\.0\.1:(\d+)$)");
    while (sim.waitForReadyRead(10000) || sim.canReadLine()) {
        while (sim.canReadLine()) {
            const QString text = QString::fromUtf8(sim.readLine()).trimmed();
            if (text == "orvane-sim ready")
                return ports;
            const QRegularExpressionMatch match = line.match(text);
            if (match.hasMatch())
                ports.insert(match.captured(1), match.captured(2).toInt());
        }
    }
    return {};
}

// Runs orvane-sim to its end; its exit code, and what it wrote to stderr.
int runToEnd(const QStringList &arguments, QByteArray *errors = nullptr,
             QByteArray *output = nullptr)
{
    QProcess sim;
    sim.start(simBinary(), arguments);
    if (!sim.waitForFinished(20000) || sim.exitStatus() != QProcess::NormalExit)
        return -1;
    if (errors)
        *errors = sim.readAllStandardError();
    if (output)
        *output = sim.readAllStandardOutput();
    return sim.exitCode();
}

} // namespace

class tst_SimExecutable : public QObject
{
    Q_OBJECT

private slots:
    void printsItsPortsAnswersAndStopsOnSignals_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("SIGTERM") << SIGTERM;
        QTest::newRow("SIGINT") << SIGINT;
    }

    void printsItsPortsAnswersAndStopsOnSignals()
    {
        QFETCH(int, signal);
        QProcess sim;
        sim.start(simBinary(), {"--http-port", "0", "--https-port", "0"});
        const QMap<QString, int> ports = readPorts(sim);
        QVERIFY2(ports.contains("http") && ports.contains("https"), sim.readAllStandardError());

        const QJsonObject version
            = SimTestClient::json(SimTestClient(ports["http"]).get(GatewayRoutes::versionPath));
        QCOMPARE(version["data"]["version"].toString(), QString("V1.001.0000000.0.R"));
        const httplib::Result secure
            = SimTestClient(ports["https"], true).get(GatewayRoutes::versionPath);
        QVERIFY(secure);
        QCOMPARE(secure->status, 200);

        ::kill(static_cast<pid_t>(sim.processId()), signal);
        QVERIFY(sim.waitForFinished(20000));
        QCOMPARE(sim.exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.exitCode(), 0);
    }

    void optionsChooseTheDeviceFileAndListeners()
    {
        QByteArray printed;
        QCOMPARE(runToEnd({"--print-default-devices"}, nullptr, &printed), 0);
        QString error;
        const std::optional<DeviceFile> printedFile = DeviceFile::parse(printed, &error);
        QVERIFY2(printedFile, qPrintable(error));
        QCOMPARE(printedFile->document(), DeviceFile::builtIn().document());

        QJsonObject changed = printedFile->document();
        changed.insert("version", QJsonObject {{"version", "V1.000.0000001.1.R"}});
        QFile file("devices.json");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QJsonDocument(changed).toJson());
        file.close();

        QProcess sim;
        sim.start(simBinary(), {"--http-port", "0", "--no-https", "--devices", "devices.json"});
        const QMap<QString, int> ports = readPorts(sim);
        QCOMPARE(ports.keys(), QStringList {"http"});
        const QJsonObject version
            = SimTestClient::json(SimTestClient(ports["http"]).get(GatewayRoutes::versionPath));
        QCOMPARE(version["data"]["version"].toString(), QString("V1.000.0000001.1.R"));
        sim.terminate();
        QVERIFY(sim.waitForFinished(20000));
        QCOMPARE(sim.exitCode(), 0);
    }

    void wrongInputEndsWithAClearMessageAndExitCode()
    {
        QFile broken("broken.json");
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("{\n  \"shops\": [\n    {\"shopCode\": \"A\" \"shopName\": \"B\"}\n  ]\n}\n");
        broken.close();
        QByteArray errors;
        QCOMPARE(runToEnd({"--devices", "broken.json", "--no-https"}, &errors), 2);
        QVERIFY2(
            errors.contains("device file broken.json: line 3, column 24: missing name separator")
                || errors.contains("device file broken.json: line 3, column"),
            errors.constData());

        QCOMPARE(runToEnd({"--devices", "absent.json"}, &errors), 2);
        QVERIFY2(errors.contains("cannot read device file absent.json"), errors.constData());

        QCOMPARE(runToEnd({"--http-port", "http"}, &errors), 1);
        QVERIFY2(errors.contains("--http-port must be a port number from 0 to 65535, not \"http\""),
                 errors.constData());
        QCOMPARE(runToEnd({"--colour"}, &errors), 1);
        QVERIFY2(errors.contains("Unknown option 'colour'"), errors.constData());

        // A port another server holds.
        SimServer holder;
        QString error;
        QVERIFY2(holder.start({0, 0, false, {}}, &error), qPrintable(error));
        const QString busy = QString::number(holder.httpPort());
        QCOMPARE(runToEnd({"--http-port", busy, "--no-https"}, &errors), 3);
        QVERIFY2(errors.contains(QString("cannot listen on 127.0.0.1:%1").arg(busy).toUtf8()),
                 errors.constData());
    }
};

QTEST_GUILESS_MAIN(tst_SimExecutable)
#include "tst_SimExecutable.moc"
