#pragma once

#include "Web/CWebBaseMsg.h"

namespace Web {

// "TextNotify": a text to show as a pop-up.
class TextMsg : public CWebBaseMsg
{
public:
    using CWebBaseMsg::CWebBaseMsg;

    QString content;
};

} // namespace Web
