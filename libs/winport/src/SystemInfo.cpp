#include "winport/SystemInfo.h"

#include <QOperatingSystemVersion>
#include <QSysInfo>

namespace winport {

int nativeProcessorBits()
{
    const QString arch = QSysInfo::currentCpuArchitecture();
    const bool wide = arch.contains("64") || arch == "s390x";
    return wide ? 64 : 32;
}

QString systemVersionName()
{
    const QOperatingSystemVersion os = QOperatingSystemVersion::current();
    if (os.type() != QOperatingSystemVersion::Windows)
        return "unKnow";
    if (os >= QOperatingSystemVersion::Windows10)
        return "Windows 10";
    if (os >= QOperatingSystemVersion::Windows8_1)
        return "Windows 8.1";
    if (os >= QOperatingSystemVersion::Windows8)
        return "Windows 8";
    return "Windows 7";
}

} // namespace winport
