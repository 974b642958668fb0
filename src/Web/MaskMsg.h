#pragma once

#include "Web/CWebBaseMsg.h"

namespace Web {

// "SetMask": a page element (pop-up, menu) that the video windows must leave visible.
class MaskMsg : public CWebBaseMsg
{
public:
    using CWebBaseMsg::CWebBaseMsg;

    int module = -1;
    double left = 0.0;
    double top = 0.0;
    double width = 0.0;
    double height = 0.0;
    bool show = false;
    QString name;
    bool shade = true;
};

} // namespace Web
