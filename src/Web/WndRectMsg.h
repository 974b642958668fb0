#pragma once

#include "Web/CWebBaseMsg.h"

namespace Web {

// "SetWndRect": where the video area of a module lies, in the view's own pixels.
class WndRectMsg : public CWebBaseMsg
{
public:
    using CWebBaseMsg::CWebBaseMsg;

    int module = -1;
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
};

} // namespace Web
