#include "Bench.h"

#include <ChildProcess.h>
#include <GstFloor.h>
#include <ProcessCpu.h>
#include <httplib.h>

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace Bench {

namespace {

// The "data" object of the platform's JSON answer; empty when there is none.
QJsonObject data(const httplib::Result &reply)
{
    return reply ? QJsonDocument::fromJson(QByteArray::fromStdString(reply->body))
                       .object()
                       .value("data")
                       .toObject()
                 : QJsonObject();
}

} // namespace

void ensureDisplay(char **argv, bool webEngine)
{
    if (webEngine) {
        if (geteuid() == 0)
            qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    if (!qEnvironmentVariableIsEmpty("DISPLAY"))
        return;
    char xvfb[] = "xvfb-run", automatic[] = "-a", server[] = "-s";
    char screen[] = "-screen 0 1920x1080x24 -nolisten tcp";
    std::vector<char *> args = {xvfb, automatic, server, screen};
    for (char **arg = argv; *arg; ++arg)
        args.push_back(*arg);
    args.push_back(nullptr);
    execvp(xvfb, args.data());
    std::perror((std::string(argv[0]) + ": xvfb-run").c_str());
    std::exit(1);
}

int seconds(int fallback)
{
    const int asked = qEnvironmentVariableIntValue("BENCH_SECONDS");
    return asked > 0 ? std::max(2, asked) : fallback;
}

void spinFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double ownCpuOver(int ms, long long *elapsedMs)
{
    ProcessCpu cpu(getpid());
    QElapsedTimer timer;
    timer.start();
    spinFor(ms);
    const double percent = cpu.percent();
    *elapsedMs = timer.elapsed();
    return percent;
}

bool spinUntil(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs)
        spinFor(2);
    return done();
}

const char *verdict(bool met)
{
    return met ? "met" : "missed";
}

int startSim(ChildProcess &sim, const char *benchmark, const QStringList &arguments)
{
    QString error;
    if (!sim.startSim(QDir::tempPath(), &error, QStringList {"--no-https"} + arguments,
                      ORVANE_SIM_BINARY)) {
        std::fprintf(stderr, "%s: %s\n", benchmark, qPrintable(error));
        return 0;
    }
    return sim.simPort("http");
}

std::string deviceToken(int httpPort)
{
    httplib::Client client("127.0.0.1", httpPort);
    const std::string user
        = data(client.Post("/gateway/auth/login", R"({"userName":"demo","password":"demo123"})",
                           "application/json"))
              .value("token")
              .toString()
              .toStdString();
    return data(client.Get("/gateway/device/veltra/getTokenAndExpire",
                           {{"Authorization", "Bearer " + user}}))
        .value("token")
        .toString()
        .toStdString();
}

QString liveUrl(int httpPort, const std::string &token, int channel, int definition)
{
    httplib::Client client("127.0.0.1", httpPort);
    const std::string path = std::string("/openapi/v1/stream/live?deviceId=") + kDevice
        + "&channel=" + std::to_string(channel) + "&definition=" + std::to_string(definition);
    return data(client.Get(path.c_str(), {{"Authorization", "Bearer " + token}}))
        .value("url")
        .toString();
}

QJsonArray channels(const std::string &token, int definition)
{
    const QJsonObject one = QJsonDocument::fromJson(R"({"shopCode": "S001",
        "shopName": "Harbour Street", "devName": "Harbour Street recorder", "chnAbility": "",
        "devAbility": "RTSV1 PlaybackByFilename", "deviceModel": "NVR-16", "brand": "general",
        "account": "admin", "password": "", "wndID": -1, "platForm": 0, "accessSource": 1,
        "isOnline": 1})")
                                .object();
    QJsonArray list;
    for (int i = 1; i <= 16; ++i) {
        QJsonObject channel = one;
        channel["token"] = QString::fromStdString(token);
        channel["deviceID"] = kDevice;
        channel["channelName"] = QString("Camera %1").arg(i);
        channel["channelID"] = i;
        channel["definitionMode"] = definition;
        list.append(channel);
    }
    return list;
}

double gstFloorCpu(const QStringList &urls, int warmUpMs, int seconds)
{
    const GstFloor floor(urls);
    if (!floor.pid())
        return -1;
    spinFor(warmUpMs);
    const ProcessCpu cpu(floor.pid());
    spinFor(seconds * 1000);
    return cpu.percent();
}

} // namespace Bench
