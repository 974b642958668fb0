// Start-up to ready: how long the client's main window takes, from the start of its process,
// until the login page has loaded and the client version has been answered, beside a bare
// QWebEngineView loading the same page in a process of its own, in the same run, against the
// reference platform (in this process, on a free port). Each measurement is a fresh process of
// this program, so both pay the web engine's start; rounds alternate which goes first. Target:
// the client within 1.2 times the bare view.
// The browser engine needs a display: without one the bench runs itself under xvfb-run.
#include "CommonUI/WaitLoadWidget.h"
#include "TesmarClient.h"

#include <Bench.h>
#include <SimServer.h>
#include <kwl/KPrintLog.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QWebEngineView>

#include <cstdio>

namespace {

constexpr int kRounds = 7;
constexpr int kReadyTimeoutMs = 60000;
constexpr double kTarget = 1.2;

void sayReady()
{
    std::puts("ready"), std::fflush(stdout);
}

// Child: the bare browser view on the page, ready when it has loaded.
int runBareView(const QString &url)
{
    QWebEngineView view;
    view.resize(1280, 800);
    QObject::connect(&view, &QWebEngineView::loadFinished, [] { sayReady(); });
    view.show();
    view.load(QUrl(url));
    return qApp->exec();
}

// Says ready when the watched widget (the waiting animation) hides.
class ReadyWhenHidden : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Hide)
            sayReady();
        return false;
    }
};

// Child: the client's main window in the program folder (the working directory), ready when its
// waiting animation stops.
int runClient()
{
    KPrintLog::instance()->SetFile("log/bench");
    TesmarClient client;
    ReadyWhenHidden ready;
    client.findChild<WaitLoadWidget *>()->installEventFilter(&ready);
    client.show();
    client.QueryClientVersion();
    return qApp->exec();
}

// Starts this program as a child of the given kind; milliseconds until it said ready, -1 when
// it did not.
qint64 measure(const QString &kind, const QString &url, const QString &folder)
{
    QProcess child;
    child.setWorkingDirectory(folder);
    QElapsedTimer clock;
    clock.start();
    child.start(QCoreApplication::applicationFilePath(), {"--child", kind, url});
    qint64 elapsed = -1;
    while (child.waitForReadyRead(kReadyTimeoutMs)) {
        if (child.readAll().contains("ready")) {
            elapsed = clock.elapsed();
            break;
        }
    }
    child.kill();
    child.waitForFinished();
    // The web engine's own chatter is left out unless the child failed.
    if (elapsed < 0)
        std::fputs(child.readAllStandardError().right(4000).constData(), stderr);
    return elapsed;
}

// The client's program folder: its run-time folders and a Localcfg.ini pointing at the sim.
bool prepareProgramFolder(const QString &folder, const SimServer &sim)
{
    const QString copy
        = QString("cp -r '%1/Skin' '%1/Language' '%2/'").arg(STARTUP_BIN_DIR, folder);
    if (QProcess::execute("sh", {"-c", copy}) != 0)
        return false;
    const QString base = sim.httpUrl();
    QSettings local(folder + "/Localcfg.ini", QSettings::IniFormat);
    local.setValue("URL/platformUrl", base);
    local.setValue("URL/loginUrl", base + "/#/login?isFromC=1");
    local.setValue("URL/versionUrl", base + GatewayRoutes::versionPath);
    local.setValue("VTOpen/host", "127.0.0.1");
    local.setValue("VTOpen/port", sim.httpPort());
    local.sync();
    return local.status() == QSettings::NoError;
}

int runBench()
{
    SimServer sim;
    QString error;
    if (!sim.start({0, 0, false, QString(STARTUP_BIN_DIR) + "/webapp"}, &error)) {
        std::fprintf(stderr, "bench_startup: %s\n", qPrintable(error));
        return 1;
    }
    QTemporaryDir folder;
    if (!prepareProgramFolder(folder.path(), sim)) {
        std::fprintf(stderr, "bench_startup: cannot prepare %s\n", qPrintable(folder.path()));
        return 1;
    }
    const QString url = sim.httpUrl() + "/#/login?isFromC=1";
    std::vector<qint64> bare, client;
    for (int round = 0; round < kRounds; ++round) {
        const bool bareFirst = round % 2 == 0;
        for (const QString &kind :
             bareFirst ? QStringList {"bare", "client"} : QStringList {"client", "bare"}) {
            const qint64 ms = measure(kind, url, folder.path());
            if (ms < 0) {
                std::fprintf(stderr, "bench_startup: the %s view was not ready within %d s\n",
                             qPrintable(kind), kReadyTimeoutMs / 1000);
                return 1;
            }
            (kind == "bare" ? bare : client).push_back(ms);
            std::printf("round %d  %-6s %6lld ms\n", round + 1, qPrintable(kind),
                        static_cast<long long>(ms));
        }
    }
    const double bareMs = Bench::percentile(bare, 0.5), clientMs = Bench::percentile(client, 0.5);
    std::printf("start-up to ready, median of %d processes each:\n"
                "  bare QWebEngineView (page loaded)              %6.0f ms\n"
                "  orvane main window (page loaded, version done) %6.0f ms\n"
                "  ratio %.2f (target <= %.1f): %s\n",
                kRounds, bareMs, clientMs, clientMs / bareMs, kTarget,
                Bench::verdict(clientMs / bareMs <= kTarget));
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    Bench::ensureDisplay(argv, true);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == "--child")
        return args.at(2) == "bare" ? runBareView(args.at(3)) : runClient();
    return runBench();
}
