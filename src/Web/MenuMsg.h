#pragma once

#include "Web/CWebBaseMsg.h"

namespace Web {

// "NotifySwitchMenu" and "CloseMenu": the menu concerned.
class MenuMsg : public CWebBaseMsg
{
public:
    using CWebBaseMsg::CWebBaseMsg;

    QString menuPath;
};

} // namespace Web
