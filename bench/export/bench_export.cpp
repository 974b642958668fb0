// A 500 MB export download from orvane-sim's sample route: curl writing the file beside the
// client's export manager writing it (folder question answered by ORVANE_EXPORT_FOLDER), both
// into the same temporary folder, and the client's resident memory sampled every 50 ms.
#include "CommonExportManager/CCommonExportNetworkRequest.h"
#include "CommonExportManager/CCommonExportTaskManager.h"
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CLocalCfg.h"
#include "Web/CommonExportFileMsg.h"

#include <Bench.h>
#include <ChildProcess.h>
#include <ProcessStatus.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr qint64 kBytes = 500LL * 1024 * 1024;
const char *const kDemoToken = "ut-demo-7f3a9c21"; // the built-in demo user's gateway token

qint64 residentKiB()
{
    return qint64(ProcessStatus::of(getpid()).residentMb * 1024);
}

void report(const char *who, qint64 ms)
{
    std::printf("  %-8s %7.1f MB/s (%lld ms)\n", who, kBytes / 1048576.0 / (ms / 1000.0), ms);
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ChildProcess sim;
    const int port = Bench::startSim(sim, "bench_export");
    if (!port || Bench::deviceToken(port).empty()) // the login opens the demo user's session
        return 1;
    const QString base = QString("http://127.0.0.1:%1").arg(port);
    const QString path = QString("/gateway/export/sample?bytes=%1&name=big.bin").arg(kBytes);
    QTemporaryDir folder;
    qputenv("ORVANE_EXPORT_FOLDER", folder.path().toUtf8());

    QElapsedTimer clock;
    clock.start();
    QProcess::execute("curl",
                      {"-sf", "-o", folder.filePath("curl.bin"), "-H",
                       QString("Authorization: Bearer ") + kDemoToken, base + path});
    const qint64 curl = clock.elapsed();
    const bool curlDone = QFile(folder.filePath("curl.bin")).size() == kBytes;
    QFile::remove(folder.filePath("curl.bin"));

    ConfigInfo::CLocalCfg::Instance().SetPlatformUrl(base);
    ConfigInfo::UserInfo user;
    user.token = kDemoToken;
    ConfigInfo::CBaseInfo::Instance().setUserInfo(user);
    CCommonExportTaskManager manager;
    auto *request = manager.findChild<CCommonExportNetworkRequest *>();
    const qint64 before = residentKiB();
    qint64 peak = before;
    QList<qint64> quarters; // resident memory at 25, 50 and 75 % received
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&peak] { peak = qMax(peak, residentKiB()); });
    QObject::connect(request, &CCommonExportNetworkRequest::sgnExportProgress, [&](qint64 p) {
        if (p >= 25 * (quarters.size() + 1))
            quarters << residentKiB();
    });
    for (auto end : {&CCommonExportNetworkRequest::sgnNetworkError,
                     &CCommonExportNetworkRequest::sgnExportError})
        QObject::connect(request, end, &app, &QApplication::quit);
    QObject::connect(request, &CCommonExportNetworkRequest::sgnExportFinished, &app,
                     &QApplication::quit);
    sampler.start(50);
    Web::CommonExportFileMsg msg("CommonExportFile");
    msg.requestUrl = path;
    clock.restart();
    manager.onRPCCall(&msg);
    app.exec();
    const qint64 client = clock.elapsed();
    if (!curlDone || QFile(folder.filePath("big.bin")).size() != kBytes) {
        std::fprintf(stderr, "bench_export: a download failed (curl %d)\n", curlDone);
        return 1;
    }
    std::printf("500 MB export download on loopback\n");
    report("curl", curl);
    report("client", client);
    std::printf(
        "  client's time %.2f x curl's; resident memory %lld KiB before, %lld / %lld / %lld "
        "KiB at 25 / 50 / 75 %%, %lld KiB at most (+%lld KiB)\n",
        double(client) / curl, before, quarters.value(0), quarters.value(1), quarters.value(2),
        peak, peak - before);
    return 0;
}
