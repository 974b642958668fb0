#pragma once

#include "Web/CWebBaseMsg.h"

namespace Web {

// "FullScreen": the full-screen state the page asks for.
class FullScreenMsg : public CWebBaseMsg
{
public:
    using CWebBaseMsg::CWebBaseMsg;

    bool bFullScreen = false;
};

} // namespace Web
