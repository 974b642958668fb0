// A 500 MB export download from orvane-sim's sample route: curl writing the file beside the
// client's export manager writing it (folder question answered by ORVANE_EXPORT_FOLDER), both
// into the same temporary folder, and the client's resident memory sampled every 50 ms.
#include "CommonExportManager/CCommonExportNetworkRequest.h"
#include "CommonExportManager/CCommonExportTaskManager.h"
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CLocalCfg.h"
#include "Web/CommonExportFileMsg.h"

#include <SimLogin.h>
#include <SimProcess.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <unistd.h>

namespace {

constexpr qint64 kBytes = 500LL * 1024 * 1024;
const char *const kDemoToken = "ut-demo-7f3a9c21"; // the built-in demo user's gateway token

double megabytesPerSecond(qint64 bytes, qint64 ms)
{
    return ms > 0 ? bytes / 1048576.0 / (ms / 1000.0) : 0;
}

qint64 residentKiB()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toLongLong() * (sysconf(_SC_PAGESIZE) / 1024);
}

qint64 curlMs(const QString &url, const QString &file)
{
    QElapsedTimer clock;
    clock.start();
    const int rc = QProcess::execute(
        "curl", {"-sf", "-o", file, "-H", QString("Authorization: Bearer ") + kDemoToken, url});
    return rc == 0 && QFile(file).size() == kBytes ? clock.elapsed() : -1;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    SimProcess sim;
    const int port = SimLogin::start(sim, "bench_export");
    if (!port || SimLogin::deviceToken(port).empty())
        return 1;
    const QString base = QString("http://127.0.0.1:%1").arg(port);
    const QString path = QString("/gateway/export/sample?bytes=%1&name=big.bin").arg(kBytes);
    QTemporaryDir folder;
    qputenv("ORVANE_EXPORT_FOLDER", folder.path().toUtf8());

    const qint64 curl = curlMs(base + path, folder.filePath("curl.bin"));
    QFile::remove(folder.filePath("curl.bin"));

    ConfigInfo::CLocalCfg::Instance().SetPlatformUrl(base);
    ConfigInfo::UserInfo user;
    user.token = kDemoToken;
    ConfigInfo::CBaseInfo::Instance().setUserInfo(user);
    CCommonExportTaskManager manager;
    auto *request = manager.findChild<CCommonExportNetworkRequest *>();
    const qint64 before = residentKiB();
    qint64 peak = before;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&peak] { peak = qMax(peak, residentKiB()); });
    sampler.start(50);
    QList<qint64> quarters; // resident memory at 25, 50, 75 and 100 % received
    QObject::connect(request, &CCommonExportNetworkRequest::sgnExportProgress, [&](qint64 percent) {
        if (percent >= 25 * (quarters.size() + 1))
            quarters << residentKiB();
    });
    QElapsedTimer clock;
    bool done = false;
    QObject::connect(request, &CCommonExportNetworkRequest::sgnExportFinished, [&] {
        done = true;
        app.quit();
    });
    QObject::connect(request, &CCommonExportNetworkRequest::sgnNetworkError, &app,
                     &QApplication::quit);
    QObject::connect(request, &CCommonExportNetworkRequest::sgnExportError, &app,
                     &QApplication::quit);
    Web::CommonExportFileMsg msg("CommonExportFile");
    msg.requestUrl = path;
    clock.start();
    manager.onRPCCall(&msg);
    app.exec();
    const qint64 client = clock.elapsed();
    if (!done || QFile(folder.filePath("big.bin")).size() != kBytes) {
        std::fprintf(stderr, "bench_export: the client's download failed\n");
        return 1;
    }
    std::printf("500 MB export download on loopback\n");
    std::printf("  curl            %7.1f MB/s (%lld ms)\n", megabytesPerSecond(kBytes, curl), curl);
    std::printf("  client          %7.1f MB/s (%lld ms), %.2f x curl's time\n",
                megabytesPerSecond(kBytes, client), client, curl > 0 ? double(client) / curl : 0);
    std::printf("  client memory   %lld KiB resident before, %lld KiB at most during (+%lld KiB)\n",
                before, peak, peak - before);
    std::printf("  at 25/50/75 %%   %lld / %lld / %lld KiB\n", quarters.value(0), quarters.value(1),
                quarters.value(2));
    return 0;
}
