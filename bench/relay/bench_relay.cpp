// bench_relay: a 50 MB recording downloaded from a simulated device's web site through the
// media library's web relay (the path the system browser takes), beside the same download
// fetched from the device's port directly, alternating, five times each; medians in MB/s.
#include <Bench.h>
#include <ChildProcess.h>
#include <StreamCore/IMediaObserver.h>
#include <StreamCore/IStreamCore.h>
#include <httplib.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <vector>

namespace {

constexpr size_t kBytes = 50 * 1000 * 1000;
constexpr int kRuns = 5;

class PortWaiter : public StreamCore::IMediaObserver
{
public:
    int port = -1;
    void OnMediaEvent(const StreamCore::MediaEvent *event) override
    {
        if (event->type == StreamCore::MEDIA_EVENT_WEB_PORT)
            port = event->port;
    }
};

// The device's own web port, as the open platform tells the library.
int directPort(int simPort, const std::string &token)
{
    httplib::Client client("127.0.0.1", simPort);
    const auto reply
        = client.Post("/openapi/v1/device/web", {{"Authorization", "Bearer " + token}},
                      std::string(R"({"deviceId":")") + Bench::kDevice + "\"}", "application/json");
    const QJsonObject answer = reply
        ? QJsonDocument::fromJson(QByteArray::fromStdString(reply->body)).object()
        : QJsonObject();
    return answer.value("data").toObject().value("port").toInt();
}

// The relay's port for the device, once the library reports it.
int relayPort(int simPort, const std::string &token)
{
    StreamCore::IStreamCore *core = StreamCore::IStreamCore::GetInstance();
    core->InitApi("127.0.0.1", simPort, "", false);
    const std::string devices = std::string(R"([{"Sn":")") + Bench::kDevice
        + R"(","Type":1,"Port":8086,"User":"admin","Pwd":""}])";
    core->AddDevices(token.c_str(), devices.c_str());
    PortWaiter waiter;
    core->AddObserver(&waiter);
    core->GetWebP2pPort(token.c_str(), Bench::kDevice);
    Bench::spinUntil([&waiter] { return waiter.port >= 0; }, 15000);
    core->RemoveObserver(&waiter);
    return waiter.port;
}

// MB/s of one download of the recording from 127.0.0.1:port; 0 when it came short.
double download(int port)
{
    httplib::Client client("127.0.0.1", port);
    client.set_read_timeout(60, 0);
    size_t received = 0;
    QElapsedTimer timer;
    timer.start();
    const auto reply = client.Get(("/recording.bin?bytes=" + std::to_string(kBytes)).c_str(),
                                  [&](const char *, size_t length) {
                                      received += length;
                                      return true;
                                  });
    const double seconds = timer.nsecsElapsed() / 1e9;
    return reply && received == kBytes ? kBytes / 1e6 / seconds : 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    ChildProcess sim;
    const int simPort = Bench::startSim(sim, "bench_relay");
    const std::string token = simPort ? Bench::deviceToken(simPort) : std::string();
    const int direct = token.empty() ? 0 : directPort(simPort, token);
    const int relay = direct ? relayPort(simPort, token) : 0;
    if (direct <= 0 || relay <= 0) {
        std::fprintf(stderr, "bench_relay: no device web port (direct %d, relay %d)\n", direct,
                     relay);
        return 1;
    }
    std::vector<double> directRuns, relayRuns;
    for (int i = 0; i < kRuns; ++i) {
        directRuns.push_back(download(direct));
        relayRuns.push_back(download(relay));
    }
    const double d = Bench::percentile(directRuns, 0.5), r = Bench::percentile(relayRuns, 0.5);
    std::printf("50 MB download, median of %d, MB/s\n", kRuns);
    std::printf("direct from the device  %8.1f\n", d);
    std::printf("through the web relay   %8.1f  (%.2f of direct)\n", r, d > 0 ? r / d : 0.0);
    StreamCore::IStreamCore::GetInstance()->UnitApi();
    return d > 0 && r > 0 ? 0 : 1;
}
