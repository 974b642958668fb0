#pragma once

#include <QString>

namespace ConfigInfo {

// One menu of the web application, keyed by its path.
struct MenuInfo
{
    QString menuName;
    QString menuPath;
    bool menuNavigation = false;
    // Set when the web bridge stores the entry: the menu came from the platform.
    bool stored = false;
};

} // namespace ConfigInfo
