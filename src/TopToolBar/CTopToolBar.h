#pragma once

#include "ConfigInfo/UserInfo.h"
#include "Web/IWebListener.h"

#include <QString>

class ITopToolBarListener;

namespace Web {
class IWebViewManager;
}

// The tool bar's controller: receives the page's login, menu and window requests and passes
// them to its view, and tells the page when the full-screen state changed.
class CTopToolBar : public Web::IWebListener
{
public:
    explicit CTopToolBar(ITopToolBarListener *view);
    // Leaves the web view's listeners.
    virtual ~CTopToolBar();

    // Keeps manager (null is ignored) and listens to the page's login, menu and window requests.
    void SetWebViewManager(Web::IWebViewManager *manager);
    // Tells the page the new full-screen state.
    void ReportFullScreen(bool on);

    void onRPCCall(Web::CWebBaseMsg *msg) override;

    // The user record as the page last reported it ("UserInfoModify").
    ConfigInfo::UserInfo userInfo() const { return m_userInfo; }

private:
    ITopToolBarListener *m_view;
    Web::IWebViewManager *m_webViewManager = nullptr;
    ConfigInfo::UserInfo m_userInfo;
    QString m_menuPath;
};
