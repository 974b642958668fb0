#pragma once

#include "MessageDetail/IMessageDetailListener.h"
#include "Web/IWebListener.h"

namespace Web {
class IWebViewManager;
}

// The alarm message detail's side of the web channel: takes the page's requests for its module
// ("SetWndRect", "DialogRectNotify", "OpenVideo", "CloseVideo", "OpenRecord") to the view, keeps
// the message last asked to play, and tells the page how its video window plays. GUI thread.
class CMessageDetail final : public Web::IWebListener
{
public:
    // The module number of the page's message centre.
    static constexpr int kModule = 3;

    CMessageDetail(int moduleType, IMessageDetailListener *listener);
    // Leaves the web view's listeners.
    ~CMessageDetail();

    // Keeps manager and listens to the module's five methods there.
    void setWebViewManager(Web::IWebViewManager *manager);
    // The message of the last "OpenRecord".
    const MessageRecord_t &message() const { return m_message; }
    // "VideoStatusChanged" for the page.
    void videoStatusChanged(int wndIndex, int status, const VideoWndInfo_t &info);

    void onRPCCall(Web::CWebBaseMsg *msg) override;

private:
    int m_moduleType;
    IMessageDetailListener *m_listener;
    Web::IWebViewManager *m_webViewManager = nullptr;
    MessageRecord_t m_message;
};
