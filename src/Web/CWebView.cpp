#include "Web/CWebView.h"

#include "ConfigInfo/CConfig.h"
#include "ConfigInfo/CLocalCfg.h"
#include "Web/CWebBaseMsg.h"
#include "Web/CWebChannelServer.h"
#include "Web/CWebMessageQueue.h"
#include "Web/CWebNotification.h"
#include "Web/CWebPage.h"
#include "Web/CWebRequestCheck.h"
#include "Web/IWebListener.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>
#include <winport/WinRegistry.h>

#include <QDir>
#include <QThread>
#include <QTimer>
#include <QWebChannel>
#include <QWebEngineProfile>
#include <QWebEngineSettings>

#include <utility>

namespace Web {

namespace {

constexpr int kReloadDelayMs = 1000;

} // namespace

CWebView::CWebView(QString name, QWidget *parent)
    : QWebEngineView(parent)
    , m_page(new CWebPage(name, this))
    , m_server(nullptr)
    , m_channel(nullptr)
    , m_queue(nullptr)
{
    m_page->setZoomFactor(ConfigInfo::CConfig::Instance().GetWebInfo().zoomFactor);
    m_server = new CWebChannelServer(this);
    m_channel = new QWebChannel();
    setAcceptLanguage();
    m_page->setWebChannel(m_channel);
    setContextMenuPolicy(Qt::NoContextMenu);
    setPage(m_page);
    m_page->settings()->setFontFamily(QWebEngineSettings::StandardFont, "Microsoft YaHei");
    connect(m_page, &CWebPage::sgnCertificateErrorHandler, this,
            &CWebView::sgnCertificateErrorHandler);
    connect(this, &QWebEngineView::renderProcessTerminated, this,
            &CWebView::onRenderProcessTerminated);
    rememberCachePath();
    m_channel->registerObject("server", m_server);
    m_queue = new CWebMessageQueue();
    m_queue->AddRef();
    m_queue->SetWebViewManager(this);
    connect(this, &CWebView::sgnRPCNotify, this, &CWebView::onRPCNotify);
    connect(this, &CWebView::sgnRPCCall, this, &CWebView::onPRCCall);
}

CWebView::~CWebView()
{
    m_channel->deregisterObject(m_server);
    delete m_server;
    m_page->setWebChannel(nullptr);
    delete m_channel;
    delete m_page;
    // Detached first, so the worker posts nothing more; the last reference stops the worker.
    m_queue->ClearWebViewManager();
    m_queue->Release();
    m_listeners.clear();
}

void CWebView::RPCNotify(QString json)
{
    emit m_server->RPCNotify(json);
}

void CWebView::RPCCall(QString json)
{
    QJsonObject request;
    QString popup;
    if (!CWebRequestCheck::parse(json, &request, &popup)) {
        KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->AddTextNotification(popup);
        KLOG(KPrintLog::Error, "Json error[%s]", json.toUtf8().constData());
        return;
    }
    m_queue->PushRequest(request);
}

void CWebView::RegisterListener(QString method, IWebListener *listener)
{
    m_listeners.insert(method, listener);
}

void CWebView::UnregisterListener(IWebListener *listener)
{
    for (auto it = m_listeners.begin(); it != m_listeners.end();) {
        if (it.value() == listener)
            it = m_listeners.erase(it);
        else
            ++it;
    }
}

void CWebView::UnregisterMethod(const QString &method)
{
    m_listeners.remove(method);
}

void CWebView::PostRPCCall(CWebMsgRef msg)
{
    // A hand-over still queued when the view goes is dropped with its message.
    emit sgnRPCCall(std::move(msg));
}

void CWebView::ReplyClientInfo()
{
    notify("ReplyClientInfo", CWebNotification::clientInfo());
}

void CWebView::MenuClicked(const QString &menuCode, const QString &menuPath)
{
    notify("MenuClicked", CWebNotification::menuClicked(menuCode, menuPath));
}

void CWebView::FullScreen(bool bFullScreen)
{
    notify("FullScreen", CWebNotification::fullScreen(bFullScreen));
}

void CWebView::VideoStatusChanged(const WebWndStatus_t &status)
{
    notify("VideoStatusChanged", CWebNotification::videoStatusChanged(status));
}

void CWebView::PlayWndSelected(const WebWndStatus_t &status)
{
    notify("PlayWndSelected", CWebNotification::playWndSelected(status));
}

void CWebView::RemoteOpenDoor()
{
    notify("RemoteOpenDoor");
}

void CWebView::SendFileData(const channelSnapShotInfo_t &file)
{
    notify("SendFileData", CWebNotification::sendFileData(file));
}

void CWebView::ReplyMessageNotify(const QString &messageID)
{
    notify("ReplyMessageNotify", CWebNotification::replyMessageNotify(messageID));
}

void CWebView::RightClickCloseAPP()
{
    notify("RightClickCloseAPP");
}

void CWebView::WebP2pState(int state)
{
    notify("WebP2pState", CWebNotification::webP2pState(state));
}

void CWebView::onRenderProcessTerminated(QWebEnginePage::RenderProcessTerminationStatus status,
                                         int exitCode)
{
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    KLOG(KPrintLog::Info,
         "[CWebView] QtWebEngineProcess.exe is crash : terminationStatus[%d], exitCode[%d]",
         static_cast<int>(status), exitCode);
    QTimer::singleShot(kReloadDelayMs, this, [this] { reload(); });
}

void CWebView::onRPCNotify(QString json)
{
    RPCNotify(json);
}

void CWebView::onPRCCall(CWebMsgRef msg)
{
    if (!msg)
        return;
    const QList<IWebListener *> listeners = m_listeners.values(msg->method);
    for (IWebListener *listener : listeners)
        listener->onRPCCall(msg.get());
}

void CWebView::notify(const QString &method, const QJsonObject &params)
{
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(
            this, [this, method, params] { notify(method, params); }, Qt::QueuedConnection);
        return;
    }
    emit sgnRPCNotify(CWebNotification::text(method, params));
}

void CWebView::setAcceptLanguage()
{
    const bool english = ConfigInfo::CLocalCfg::Instance().GetLanguage() == QLatin1String("en");
    m_page->profile()->setHttpAcceptLanguage(english ? "en-US,en;q=0.9" : "zh-CN,zh;q=0.9");
}

void CWebView::rememberCachePath()
{
    // Read by the next start, which clears the folder when "Flag/WebCacheFlag" is set. The cut
    // before the program type's folder name takes the folders around the engine's cache along.
    const QString program = ConfigInfo::CLocalCfg::Instance().GetProgram();
    QString path = m_page->profile()->cachePath();
    const int cut = path.lastIndexOf(program, -1, Qt::CaseSensitive);
    if (cut >= 0)
        path = path.left(cut);
    winport::WinRegistry(program).setValue("cachePath", QDir::toNativeSeparators(path));
}

} // namespace Web
