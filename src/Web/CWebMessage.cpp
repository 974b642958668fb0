#include "Web/CWebMessage.h"

namespace Web {

CWebMessage::CWebMessage(const QJsonObject &request)
    : KMessage(0)
    , request(request)
{ }

} // namespace Web
