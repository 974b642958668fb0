#pragma once

#include "Web/CWebBaseMsg.h"
#include "Web/WebWndStatus.h"

#include <QString>

namespace Web {

class IWebListener;

// What the web view offers to the native modules: the listener registry, the hand-over of
// parsed requests, and the notifications to the page. Modules never delete the view through it.
class IWebViewManager
{
public:
    // Adds the pair; the same pair twice is called twice.
    virtual void RegisterListener(QString method, IWebListener *listener) = 0;
    // Removes every pair of this listener.
    virtual void UnregisterListener(IWebListener *listener) = 0;
    // Removes every pair under this method name.
    virtual void UnregisterMethod(const QString &method) = 0;
    // Hands a parsed message (or null) to the GUI thread for dispatch; any thread.
    virtual void PostRPCCall(CWebMsgRef msg) = 0;
    // "ReplyClientInfo": address, version and system of this client.
    virtual void ReplyClientInfo() = 0;
    // "MenuClicked".
    virtual void MenuClicked(const QString &menuCode, const QString &menuPath) = 0;
    // "FullScreen".
    virtual void FullScreen(bool bFullScreen) = 0;
    // "VideoStatusChanged".
    virtual void VideoStatusChanged(const WebWndStatus_t &status) = 0;
    // "PlayWndSelected".
    virtual void PlayWndSelected(const WebWndStatus_t &status) = 0;
    // "RemoteOpenDoor".
    virtual void RemoteOpenDoor() = 0;
    // "SendFileData" with the picture data, device and channel of the record.
    virtual void SendFileData(const channelSnapShotInfo_t &file) = 0;
    // "ReplyMessageNotify".
    virtual void ReplyMessageNotify(const QString &messageID) = 0;
    // "RightClickCloseAPP".
    virtual void RightClickCloseAPP() = 0;
    // "WebP2pState".
    virtual void WebP2pState(int state) = 0;

protected:
    ~IWebViewManager() = default;
};

} // namespace Web
