#include "winport/SystemInfo.h"

#include <QHash>
#include <QSysInfo>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace winport {

namespace {

// PROCESSOR_ARCHITECTURE_* values of the Windows headers.
enum Architecture {
    Intel = 0,
    Mips = 1,
    PowerPc = 3,
    Arm = 5,
    Ia64 = 6,
    Alpha64 = 7,
    Amd64 = 9,
    Arm64 = 12,
    Unknown = 0xffff,
};

} // namespace

int processorBits(int nativeArchitecture)
{
    return nativeArchitecture == Amd64 || nativeArchitecture == Ia64
            || nativeArchitecture == Alpha64
        ? 64
        : 32;
}

int nativeProcessorArchitecture()
{
#ifdef Q_OS_WIN
    // Looked up at run time: systems older than XP do not have it.
    using GetNativeSystemInfoFn = void(WINAPI *)(LPSYSTEM_INFO);
    const auto getNativeSystemInfo = reinterpret_cast<GetNativeSystemInfoFn>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetNativeSystemInfo"));
    if (!getNativeSystemInfo)
        return -1;
    SYSTEM_INFO info {};
    getNativeSystemInfo(&info);
    return info.wProcessorArchitecture;
#else
    static const QHash<QString, int> families {{"i386", Intel}, {"mips", Mips}, {"power", PowerPc},
                                               {"arm", Arm},    {"ia64", Ia64}, {"x86_64", Amd64},
                                               {"arm64", Arm64}};
    return families.value(QSysInfo::currentCpuArchitecture(), Unknown);
#endif
}

int nativeProcessorBits()
{
    return processorBits(nativeProcessorArchitecture());
}

QString windowsVersionName(int winVersion)
{
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    static const QHash<int, QString> names {
        {QSysInfo::WV_None, "WV_None"},
        {QSysInfo::WV_32s, "WV_32s"},
        {QSysInfo::WV_95, "WV_95"},
        {QSysInfo::WV_98, "WV_98"},
        {QSysInfo::WV_Me, "WV_Me"},
        {QSysInfo::WV_DOS_based, "WV_DOS_based"},
        {QSysInfo::WV_NT, "WV_NT"},
        {QSysInfo::WV_2000, "WV_2000"},
        {QSysInfo::WV_XP, "WV_XP"},
        {QSysInfo::WV_2003, "WV_2003"},
        {QSysInfo::WV_VISTA, "WV_VISTA"},
        {QSysInfo::WV_WINDOWS7, "WV_WINDOWS7"},
        {QSysInfo::WV_WINDOWS8, "WV_WINDOWS8"},
        {QSysInfo::WV_WINDOWS8_1, "WV_WINDOWS8_1"},
        {QSysInfo::WV_WINDOWS10, "WV_WINDOWS10"},
        {QSysInfo::WV_NT_based, "WV_NT_based"},
        {QSysInfo::WV_CE, "WV_CE"},
        {QSysInfo::WV_CENET, "WV_CENET"},
        {QSysInfo::WV_CE_5, "WV_CE_5"},
        {QSysInfo::WV_CE_6, "WV_CE_6"},
        {QSysInfo::WV_CE_based, "WV_CE_based"},
    };
    QT_WARNING_POP
    return names.value(winVersion, QStringLiteral("unKnow"));
}

QString systemVersionName()
{
#ifdef Q_OS_WIN
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return windowsVersionName(QSysInfo::windowsVersion());
    QT_WARNING_POP
#else
    return QStringLiteral("unKnow");
#endif
}

} // namespace winport
