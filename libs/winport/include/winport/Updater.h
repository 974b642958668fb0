#pragma once

#include <QString>

namespace winport {

// File name of the updater in the program folder; it keeps its Windows name everywhere.
inline QString updaterFileName()
{
    return QStringLiteral("Update.exe");
}

} // namespace winport
