#include "DeviceFile.h"
#include "SimProcess.h"
#include "SimServer.h"
#include "SimTestClient.h"

#include <QtTest>

#include <signal.h>

// orvane-sim as a program: its ports, its answers, its options and how it ends.
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
        SimProcess sim;
        QString error;
        QVERIFY2(sim.start(SimProcess::binary(), {"--http-port", "0", "--https-port", "0"}, &error),
                 qPrintable(error));
        QVERIFY(sim.port("http") > 0 && sim.port("https") > 0 && sim.port("rtsp") > 0);
        const QJsonObject version
            = SimTestClient::json(SimTestClient(sim.port("http")).get(GatewayRoutes::versionPath));
        QCOMPARE(version["data"]["version"].toString(), QString("V1.001.0000000.0.R"));
        const httplib::Result secure
            = SimTestClient(sim.port("https"), true).get(GatewayRoutes::versionPath);
        QVERIFY(secure);
        QCOMPARE(secure->status, 200);

        ::kill(static_cast<pid_t>(sim.process().processId()), signal);
        QVERIFY(sim.process().waitForFinished(20000));
        QCOMPARE(sim.process().exitStatus(), QProcess::NormalExit);
        QCOMPARE(sim.process().exitCode(), 0);
    }

    void optionsChooseTheDeviceFileAndListeners()
    {
        QByteArray printed;
        QCOMPARE(SimProcess::run(SimProcess::binary(), {"--print-default-devices"}, &printed), 0);
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

        SimProcess sim;
        QVERIFY2(sim.start(SimProcess::binary(),
                           {"--http-port", "0", "--no-https", "--devices", "devices.json"}, &error),
                 qPrintable(error));
        QCOMPARE(sim.port("https"), 0);
        const QJsonObject version
            = SimTestClient::json(SimTestClient(sim.port("http")).get(GatewayRoutes::versionPath));
        QCOMPARE(version["data"]["version"].toString(), QString("V1.000.0000001.1.R"));
        QCOMPARE(sim.stop(), 0);
    }

    void wrongInputEndsWithAClearMessageAndExitCode()
    {
        QFile broken("broken.json");
        QVERIFY(broken.open(QIODevice::WriteOnly));
        broken.write("{\n  \"shops\": [\n    {\"shopCode\": \"A\" \"shopName\": \"B\"}\n  ]\n}\n");
        broken.close();
        // A port another server holds.
        SimServer holder;
        QString error;
        QVERIFY2(holder.start({0, 0, false, {}}, &error), qPrintable(error));
        const QString busy = QString::number(holder.httpPort());
        const struct
        {
            QStringList arguments;
            int exitCode;
            QString message;
        } cases[] = {
            {{"--devices", "broken.json", "--no-https"},
             2,
             "device file broken.json: line 3, column"},
            {{"--devices", "absent.json"}, 2, "cannot read device file absent.json"},
            {{"--http-port", "http"},
             1,
             "--http-port must be a port number from 0 to 65535, not \"http\""},
            {{"--colour"}, 1, "Unknown option 'colour'"},
            {{"--http-port", busy, "--no-https"}, 3, "cannot listen on 127.0.0.1:" + busy},
        };
        for (const auto &c : cases) {
            QByteArray errors;
            QCOMPARE(SimProcess::run(SimProcess::binary(), c.arguments, nullptr, &errors),
                     c.exitCode);
            QVERIFY2(errors.contains(c.message.toUtf8()), errors.constData());
        }
    }
};

QTEST_GUILESS_MAIN(tst_SimExecutable)
#include "tst_SimExecutable.moc"
