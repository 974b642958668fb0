#pragma once

#include "Records/VideoRecords.h"
#include "Web/IWebListener.h"

class IVideoMonitorListener;

namespace Web {
class IWebViewManager;
}

// The live view's controller: takes the page's requests for the video area ("SetWndRect",
// "SetMask", "OpenVideo", "CloseVideo", "NotifyDeviceStatus"), drops those meant for another
// module, hands the rest to its view, and tells the page the windows' status and selection.
// GUI thread.
class CVideoMonitor : public Web::IWebListener
{
public:
    // The module number of the live view in the page's requests.
    static constexpr int kModuleType = 1;

    explicit CVideoMonitor(IVideoMonitorListener *listener);
    ~CVideoMonitor();
    CVideoMonitor(const CVideoMonitor &) = delete;
    CVideoMonitor &operator=(const CVideoMonitor &) = delete;

    // Registers for the page's requests with manager (not owned), which also takes the replies.
    void setWebViewManager(Web::IWebViewManager *manager);

    void onRPCCall(Web::CWebBaseMsg *msg) override;

    // "VideoStatusChanged" for window index.
    void onWndVideoStatusNotify(int index, int status, const VideoWndInfo_t &info);
    // "PlayWndSelected" for window index, unless it holds no channel.
    void onWndSelectedNotify(int index, int status, const VideoWndInfo_t &info);

private:
    void handleRect(Web::CWebBaseMsg *msg);
    void handleMask(Web::CWebBaseMsg *msg);
    void handleChannels(Web::CWebBaseMsg *msg);
    void handleDeviceStatus(Web::CWebBaseMsg *msg);

    int m_moduleType = kModuleType;
    IVideoMonitorListener *m_listener;
    Web::IWebViewManager *m_webViewManager = nullptr;
};
