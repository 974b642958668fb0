#include "Web/CWebChannelServer.h"

#include "Web/CWebView.h"

namespace Web {

CWebChannelServer::CWebChannelServer(CWebView *view)
    : QObject(view)
    , m_view(view)
{ }

void CWebChannelServer::RPCCall(QString param)
{
    m_view->RPCCall(param);
}

} // namespace Web
