// Any bytes as the body of a token reply, delivered in two chunks: never a crash, and the
// refresh is always scheduled within the back-off's bounds.
#include "ConfigInfo/CBaseInfo.h"

#include <QCoreApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static int argc = 1;
    static char name[] = "fuzz_TokenReply";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);

    ConfigInfo::CBaseInfo &info = ConfigInfo::CBaseInfo::Instance();
    const QByteArray body(reinterpret_cast<const char *>(data), static_cast<int>(size));
    const int half = body.size() / 2;
    info.onNetWorkReadyRead(body.left(half), QString());
    info.onNetWorkReadyRead(body.mid(half), QString());
    info.onNetWorkFinished(QString());

    const int interval = info.refreshIntervalMs();
    if (interval < 0 || info.retryCounter() < 1 || info.retryCounter() > 1024)
        std::abort();
    return 0;
}
