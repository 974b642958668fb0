// Web bridge: requests per second from RPCCall to a native listener for a live view's mix of
// requests, and one request's latency (p50, p99) on an idle bridge, each beside the floor of
// parsing the same texts with QJsonDocument; the log goes to a file, as with "Flag/logFlag".
#include "Web/CWebBaseMsg.h"
#include "Web/CWebView.h"
#include "Web/IWebListener.h"

#include <Bench.h>
#include <kwl/KPrintLog.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <cstdio>

namespace {

constexpr int kRequests = 40000;
constexpr int kInFlight = 256; // requests the page may have sent before the first is answered
constexpr int kLatencySamples = 4000;
constexpr int kRounds = 5;

QStringList requestMix()
{
    const QString channels = QString::fromUtf8(
        QJsonDocument(Bench::channels("tk-3f9a0c", 1)).toJson(QJsonDocument::Compact));
    return {R"({"method":"SetWndRect","params":{"module":1,"left":220,"top":96,"right":1900,)"
            R"("bottom":1040}})",
            QString(R"({"method":"OpenVideo","params":{"module":1,"channels":%1}})").arg(channels),
            R"({"method":"SetMask","params":{"module":1,"left":300,"top":120,"width":480,)"
            R"("height":320,"show":true,"name":"menu"}})",
            R"({"method":"TextNotify","params":{"content":"Recording saved"}})"};
}

class CountingListener : public Web::IWebListener
{
public:
    void onRPCCall(Web::CWebBaseMsg *) override
    {
        ++received;
        lastAt = clock.nsecsElapsed();
    }
    long received = 0;
    qint64 lastAt = 0;
    QElapsedTimer clock;
};

void waitUntil(const CountingListener &listener, long count)
{
    // Sleeps in the event loop until the next message arrives, as the client's GUI thread does.
    while (listener.received < count)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

double bridgeThroughput(Web::CWebView &view, CountingListener &listener, const QStringList &mix)
{
    const long start = listener.received;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kRequests; ++i) {
        view.RPCCall(mix.at(i % mix.size()));
        // The queue holds 1024 requests; the page never has that many outstanding.
        if (i - (listener.received - start) >= kInFlight)
            waitUntil(listener, start + i - kInFlight / 2);
    }
    waitUntil(listener, start + kRequests);
    return kRequests / (double(timer.nsecsElapsed()) / 1e9);
}

std::vector<double> bridgeLatencyUs(Web::CWebView &view, CountingListener &listener,
                                    const QStringList &mix)
{
    std::vector<double> samples;
    for (int i = 0; i < kLatencySamples; ++i) {
        const long before = listener.received;
        const qint64 sent = listener.clock.nsecsElapsed();
        view.RPCCall(mix.at(i % mix.size()));
        waitUntil(listener, before + 1);
        samples.push_back(double(listener.lastAt - sent) / 1000.0);
    }
    return samples;
}

// The floor: the same texts parsed and nothing else.
std::vector<double> parseUs(const QStringList &mix, int count, double *perSecond)
{
    std::vector<double> samples;
    samples.reserve(size_t(count));
    QElapsedTimer total;
    total.start();
    long keys = 0;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer one;
        one.start();
        const QJsonDocument document = QJsonDocument::fromJson(mix.at(i % mix.size()).toUtf8());
        keys += document.object().size();
        samples.push_back(double(one.nsecsElapsed()) / 1000.0);
    }
    *perSecond = count / (double(total.nsecsElapsed()) / 1e9);
    return keys > 0 ? samples : std::vector<double> {0.0};
}

} // namespace

int main(int argc, char **argv)
{
    Bench::ensureDisplay(argv, true);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QTemporaryDir folder;
    KPrintLog::instance()->SetFile(qPrintable(folder.filePath("bench.log")));

    const QStringList mix = requestMix();
    Web::CWebView view("Main", nullptr);
    CountingListener listener;
    listener.clock.start();
    for (const char *method : {"SetWndRect", "OpenVideo", "SetMask", "TextNotify"})
        view.RegisterListener(method, &listener);

    bridgeThroughput(view, listener, mix); // warm-up: worker thread, allocator, caches
    // The median of a few rounds, so that one round disturbed by other work does not decide.
    std::vector<double> rounds;
    for (int i = 0; i < kRounds; ++i)
        rounds.push_back(bridgeThroughput(view, listener, mix));
    const double perSecond = Bench::percentile(rounds, 0.5);
    const std::vector<double> latency = bridgeLatencyUs(view, listener, mix);
    std::vector<double> floorRounds(kRounds);
    std::vector<double> floor;
    for (double &round : floorRounds)
        floor = parseUs(mix, kRequests, &round);
    const double floorPerSecond = Bench::percentile(floorRounds, 0.5);

    std::printf("request mix: SetWndRect, OpenVideo (16 channels, %d bytes), SetMask, TextNotify\n",
                int(mix.at(1).toUtf8().size()));
    std::printf("bridge throughput  %9.0f requests/s   (floor, JSON parse only: %9.0f /s)"
                "   median of %d rounds\n",
                perSecond, floorPerSecond, kRounds);
    std::printf(
        "bridge latency     p50 %7.1f us  p99 %7.1f us   (floor: p50 %5.1f us  p99 %5.1f us)\n",
        Bench::percentile(latency, 0.5), Bench::percentile(latency, 0.99),
        Bench::percentile(floor, 0.5), Bench::percentile(floor, 0.99));
    std::printf("target             >= 20000 requests/s, p99 < 2000 us\n");
    return 0;
}
