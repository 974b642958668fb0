#pragma once

#include "Web/CWebBaseMsg.h"

namespace Web {

// "MessageNotify": an alarm or system message to pop up.
class MessageNotifyMsg : public CWebBaseMsg
{
public:
    using CWebBaseMsg::CWebBaseMsg;

    QString content;
    QString messageID;
    int messageType = -1;
};

} // namespace Web
