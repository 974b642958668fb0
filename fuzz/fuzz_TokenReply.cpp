// Any bytes as the body of a token reply, delivered in two chunks: never a crash, and the
// refresh is always scheduled within the back-off's bounds.
#include "ConfigInfo/CBaseInfo.h"
#include "FuzzInput.h"

#include <QCoreApplication>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzInput::application<QCoreApplication>();
    ConfigInfo::CBaseInfo &info = ConfigInfo::CBaseInfo::Instance();
    FuzzInput::answer(info, FuzzInput::bytes(data, size), QString());

    FuzzInput::require(info.refreshIntervalMs() >= 0 && info.retryCounter() >= 1
                       && info.retryCounter() <= 1024);
    return 0;
}
