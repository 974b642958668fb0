#include "TopToolBar/CTopToolBar.h"

#include "ConfigInfo/CBaseInfo.h"
#include "TopToolBar/ITopToolBarListener.h"
#include "Web/FullScreenMsg.h"
#include "Web/IWebViewManager.h"
#include "Web/MenuMsg.h"

using ConfigInfo::CBaseInfo;

namespace {

const char *const kMethods[]
    = {"NotifyLoginSucc", "UserInfoModify", "NotifySwitchMenu", "CloseMenu",
       "NotifyLoginOut",  "CloseApp",       "MinSize",          "FullScreen"};

} // namespace

CTopToolBar::CTopToolBar(ITopToolBarListener *view)
    : m_view(view)
{ }

CTopToolBar::~CTopToolBar()
{
    if (m_webViewManager)
        m_webViewManager->UnregisterListener(this);
}

void CTopToolBar::SetWebViewManager(Web::IWebViewManager *manager)
{
    if (!manager)
        return;
    m_webViewManager = manager;
    for (const char *method : kMethods)
        m_webViewManager->RegisterListener(method, this);
}

void CTopToolBar::ReportFullScreen(bool on)
{
    if (m_webViewManager)
        m_webViewManager->FullScreen(on);
}

void CTopToolBar::onRPCCall(Web::CWebBaseMsg *msg)
{
    const QString &method = msg->method;
    if (method == "NotifyLoginSucc") {
        CBaseInfo::Instance().requestVeltToken();
        if (m_view)
            m_view->OnLoginStateChanged(CBaseInfo::Instance().isLogin());
    } else if (method == "UserInfoModify") {
        m_userInfo = CBaseInfo::Instance().getUserInfo();
    } else if (!m_view) {
        return;
    } else if (auto *menu = dynamic_cast<Web::MenuMsg *>(msg)) {
        if (method == "NotifySwitchMenu") {
            m_view->OnSwitchMenu(m_menuPath, menu->menuPath);
            m_menuPath = menu->menuPath;
        } else if (method == "CloseMenu") {
            m_view->OnCloseMenu(menu->menuPath);
        }
    } else if (method == "NotifyLoginOut") {
        m_view->OnLoginStateChanged(CBaseInfo::Instance().isLogin());
    } else if (method == "CloseApp") {
        m_view->OnCloseApp();
    } else if (method == "MinSize") {
        m_view->OnMinSize();
    } else if (auto *fullScreen = dynamic_cast<Web::FullScreenMsg *>(msg)) {
        m_view->OnFullScreen(fullScreen->bFullScreen);
    }
}
