#pragma once

#include "Web/CWebBaseMsg.h"

namespace Web {

// "OpenDeviceWeb": the device whose own configuration page is wanted.
class OpenDeviceWebMsg : public CWebBaseMsg
{
public:
    using CWebBaseMsg::CWebBaseMsg;

    QString deviceId;
};

} // namespace Web
