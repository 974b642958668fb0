#pragma once

#include "Web/CWebBaseMsg.h"

#include <kwl/KMessageQueue.h>

#include <QJsonObject>
#include <QMutex>
#include <QString>

namespace Web {

class IWebViewManager;

// Turns the page's checked requests into messages on a thread of its own, in the order they
// came. It answers the requests that need no module (client information, opening a URL, the
// device-platform token), keeps the user and menus of CBaseInfo up to date, and posts every
// other message to the web view for dispatch on the GUI thread.
class CWebMessageQueue : public KMessageQueue
{
public:
    CWebMessageQueue();

    // The view that receives the messages (GUI thread).
    void SetWebViewManager(IWebViewManager *manager);
    // Detaches the view: once this returns, the worker neither posts nor asks anything of it.
    void ClearWebViewManager();
    // Queues a request, starting the worker on the first one (GUI thread). A request that finds
    // the queue full is lost and logged.
    void PushRequest(QJsonObject request);

    // Handles one request (worker thread): its side effects first, then the post.
    void processMsg(KMessage *msg) override;

private:
    // Does what the request needs on this thread and builds its message (null for an unknown
    // method); *post tells whether the result goes to the view at all.
    CWebMsgRef handleRequest(const QString &method, QJsonObject &params, bool *post);
    void saveUserInfo(QJsonObject &params);
    void saveMenuInfo(QJsonObject &params);
    // Asks the view for "ReplyClientInfo" when one is attached.
    CWebMsgRef replyClientInfo();

    QMutex m_managerMutex; // held while the worker uses the view, so detaching waits for it
    IWebViewManager *m_manager = nullptr;
};

} // namespace Web
