// orvane-sim: the reference platform the client talks to in the demo and the tests.
#include "DeviceFile.h"
#include "DeviceWebPage.h"
#include "SimCommandLine.h"
#include "SimServer.h"

#include <SimMedia/MediaServer.h>
#include <SimMedia/OpenPlatformRoutes.h>
#include <SimMedia/RecordSchedule.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <kwl/KPrintLog.h>

#include <csignal>
#include <cstdio>
#include <pthread.h>

namespace {

enum ExitCode { Done = 0, BadOptions = 1, BadDeviceFile = 2, CannotListen = 3 };

// The device recordings of a channel (source 0) overlapping [begin, end], for placing alarms.
QList<AlarmMoments::Span> deviceRecordings(const QString &deviceId, int channel, qint64 begin,
                                           qint64 end)
{
    QList<AlarmMoments::Span> spans;
    for (const SimMedia::Record &r : SimMedia::RecordSchedule::between(
             deviceId.toStdString(), channel, 0, begin, end, QDateTime::currentSecsSinceEpoch()))
        spans.append({r.begin, r.end});
    return spans;
}

void printLine(const QString &line)
{
    std::fputs(qPrintable(line + "\n"), stdout);
    std::fflush(stdout);
}

// The devices' own web servers: those the device file marks offline are offline, and
// "POST /sim/devices/web" {"deviceId", "state": "online" | "offline" | "refuse" | "silent"}
// switches one ({} puts every device back as the device file has it).
void addDeviceWebSwitches(SimServer &server, const DeviceFile &devices)
{
    using SimMedia::DeviceWebPage;
    const auto asInFile = [devices] {
        DeviceWebPage::resetStates();
        for (const QJsonValue &device : devices.document().value("devices").toArray()) {
            if (!device["online"].toBool(true))
                DeviceWebPage::setState(device["deviceId"].toString().toStdString(),
                                        DeviceWebPage::State::Offline);
        }
    };
    asInFile();
    server.addControlRoute("POST", "/sim/devices/web", [asInFile](const SimRequest &request) {
        const QJsonObject body = QJsonDocument::fromJson(request.body).object();
        if (body.isEmpty()) {
            asInFile();
            return SimReply::json({{"ok", true}});
        }
        DeviceWebPage::State state;
        const std::string id = body["deviceId"].toString().toStdString();
        if (id.empty()
            || !DeviceWebPage::stateNamed(body["state"].toString().toStdString(), &state))
            return SimReply::json({{"ok", false},
                                   {"error",
                                    "needs \"deviceId\" and \"state\": online, offline, "
                                    "refuse or silent"}},
                                  400);
        DeviceWebPage::setState(id, state);
        return SimReply::json({{"ok", true}});
    });
}

} // namespace

int main(int argc, char *argv[])
{
    // The stop signals are taken by sigwait at the end; every thread started from here on
    // inherits them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    QCoreApplication app(argc, argv);
    KPrintLog::instance()->SetStderr(true);

    SimCommandLine commandLine(QCoreApplication::applicationDirPath() + "/webapp");
    QString error;
    if (!commandLine.parse(QCoreApplication::arguments(), &error)) {
        KLOG(6, "orvane-sim: %s (see --help)", qPrintable(error));
        return BadOptions;
    }
    if (commandLine.help) {
        std::fputs(qPrintable(commandLine.helpText()), stdout);
        return Done;
    }
    if (commandLine.printDefaultDevices) {
        std::fputs(DeviceFile::builtInText().constData(), stdout);
        return Done;
    }
    if (!commandLine.logFile.isEmpty()
        && !KPrintLog::instance()->SetFile(commandLine.logFile.toLocal8Bit().constData()))
        return BadOptions;

    const std::optional<DeviceFile> devices = commandLine.devicesFile.isEmpty()
        ? DeviceFile::builtIn()
        : DeviceFile::load(commandLine.devicesFile, &error);
    if (!devices) {
        KLOG(6, "orvane-sim: %s", qPrintable(error));
        return BadDeviceFile;
    }

    // The simulated devices' media read the same device file.
    std::vector<SimMedia::MediaDevice> mediaDevices;
    std::string mediaError;
    const std::string devicesJson = QJsonDocument(devices->document()).toJson().toStdString();
    if (!SimMedia::parseDevices(devicesJson, &mediaDevices, &mediaError)) {
        KLOG(6, "orvane-sim: %s", mediaError.c_str());
        return BadDeviceFile;
    }
    SimMedia::MediaServer media(mediaDevices);

    SimServer server(*devices);
    addDeviceWebSwitches(server, *devices);
    // The open platform shares the gateway's listeners and accepts the tokens it issues.
    server.setExtraRoutes([&media, &server](httplib::Server &http) {
        SimMedia::registerOpenPlatformRoutes(http, media, [&server](const std::string &token) {
            return server.isDeviceTokenValid(token);
        });
    });
    server.webApp().setRecordings(deviceRecordings);
    if (!server.start(commandLine.options, &error)) {
        KLOG(6, "orvane-sim: %s", qPrintable(error));
        return CannotListen;
    }
    if (!media.start(0, &mediaError)) {
        KLOG(6, "orvane-sim: %s", mediaError.c_str());
        server.stop();
        return CannotListen;
    }
    printLine(QString("orvane-sim http 127.0.0.1:%1").arg(server.httpPort()));
    if (server.httpsPort() != 0)
        printLine(QString("orvane-sim https 127.0.0.1:%1").arg(server.httpsPort()));
    printLine(QString("orvane-sim rtsp 127.0.0.1:%1").arg(media.rtspPort()));
    printLine("orvane-sim ready");

    int signal = 0;
    sigwait(&stopSignals, &signal);
    KLOG(4, "orvane-sim: stopping on signal %d", signal);
    server.stop();
    media.stop();
    return Done;
}
