#include "Web/CWebBaseMsg.h"

namespace Web {

CWebBaseMsg::CWebBaseMsg(const QString &method)
    : method(method)
{
    // Messages cross from the queue's thread to the GUI thread in a queued signal.
    static const int registered = qRegisterMetaType<CWebBaseMsg *>("CWebBaseMsg")
        + qRegisterMetaType<CWebMsgRef>("Web::CWebMsgRef");
    Q_UNUSED(registered)
}

CWebBaseMsg::~CWebBaseMsg() = default;

} // namespace Web
