#pragma once

#include <QString>

namespace winport {

// "sysBit" of the client information: 64 for the native processor architectures 9 (x64),
// 6 (Itanium) and 7 (Alpha 64) that GetNativeSystemInfo reports, 32 for any other value.
int processorBits(int nativeArchitecture);
// The native processor architecture as a PROCESSOR_ARCHITECTURE_* value: GetNativeSystemInfo on
// Windows (-1 when kernel32.dll lacks it); elsewhere the value of the same processor family.
int nativeProcessorArchitecture();
// processorBits of this machine's native processor architecture.
int nativeProcessorBits();

// "sysVersion" of the client information: the enumerator name of a QSysInfo::WinVersion value
// ("WV_XP", "WV_WINDOWS10", ...), "unKnow" for any other value.
QString windowsVersionName(int winVersion);
// windowsVersionName of the running Windows; "unKnow" on other systems.
QString systemVersionName();

} // namespace winport
