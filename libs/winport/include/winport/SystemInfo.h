#pragma once

#include <QString>

namespace winport {

// Width of the processor the system runs on (not of this build): 64 or 32.
int nativeProcessorBits();
// The Windows version's name ("Windows 10", ...); "unKnow" on other systems.
QString systemVersionName();

} // namespace winport
