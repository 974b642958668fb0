#include "VideoMonitor/CVideoMonitor.h"

#include "VideoMonitor/IVideoMonitorListener.h"
#include "Web/ChannelInfoMsg.h"
#include "Web/IWebViewManager.h"
#include "Web/MaskMsg.h"
#include "Web/WndRectMsg.h"

#include <kwl/KPrintLog.h>

#include <QHash>

namespace {

const QStringList kMethods
    = {"SetWndRect", "OpenVideo", "CloseVideo", "SetMask", "NotifyDeviceStatus"};

// The page's channels as windows take them: each marked as a real channel.
QList<ChannelInfo_t> windowChannels(QList<ChannelInfo_t> channels)
{
    for (ChannelInfo_t &channel : channels)
        channel.bHasChannel = true;
    return channels;
}

} // namespace

CVideoMonitor::CVideoMonitor(IVideoMonitorListener *listener)
    : m_listener(listener)
{ }

CVideoMonitor::~CVideoMonitor()
{
    if (m_webViewManager)
        m_webViewManager->UnregisterListener(this);
}

void CVideoMonitor::setWebViewManager(Web::IWebViewManager *manager)
{
    if (m_webViewManager)
        m_webViewManager->UnregisterListener(this);
    m_webViewManager = manager;
    if (!manager)
        return;
    for (const QString &method : kMethods)
        manager->RegisterListener(method, this);
}

void CVideoMonitor::onRPCCall(Web::CWebBaseMsg *msg)
{
    using Handler = void (CVideoMonitor::*)(Web::CWebBaseMsg *);
    static const QHash<QString, Handler> kHandlers = {
        {"SetWndRect", &CVideoMonitor::handleRect},
        {"SetMask", &CVideoMonitor::handleMask},
        {"OpenVideo", &CVideoMonitor::handleChannels},
        {"CloseVideo", &CVideoMonitor::handleChannels},
        {"NotifyDeviceStatus", &CVideoMonitor::handleDeviceStatus},
    };
    if (!msg || !m_listener)
        return;
    if (const Handler handler = kHandlers.value(msg->method))
        (this->*handler)(msg);
}

void CVideoMonitor::handleRect(Web::CWebBaseMsg *msg)
{
    const auto *rect = static_cast<Web::WndRectMsg *>(msg);
    if (rect->module != m_moduleType)
        return;
    const int left = int(rect->left);
    const int top = int(rect->top);
    m_listener->setRect(left, top, int(rect->right) - left, int(rect->bottom) - top);
}

void CVideoMonitor::handleMask(Web::CWebBaseMsg *msg)
{
    const auto *mask = static_cast<Web::MaskMsg *>(msg);
    if (mask->module != m_moduleType)
        return;
    m_listener->setMask(QRect(int(mask->left), int(mask->top), int(mask->width), int(mask->height)),
                        mask->name, mask->show, mask->shade);
}

void CVideoMonitor::handleChannels(Web::CWebBaseMsg *msg)
{
    const auto *channels = static_cast<Web::ChannelInfoMsg *>(msg);
    if (channels->module != m_moduleType || channels->channels.isEmpty())
        return;
    const QList<ChannelInfo_t> list = windowChannels(channels->channels);
    if (msg->method == QLatin1String("OpenVideo"))
        m_listener->openVideos(list);
    else
        m_listener->closeVideos(list);
}

void CVideoMonitor::handleDeviceStatus(Web::CWebBaseMsg *msg)
{
    const auto *status = static_cast<Web::ChannelInfoMsg *>(msg);
    if (status->channels.isEmpty())
        return;
    KLOG(4, "device %s channel %d: %s", qPrintable(status->channels.first().deviceID),
         status->channels.first().channelID, qPrintable(status->status));
    m_listener->notifyDeviceStatus(status->status, status->channels.first());
}

void CVideoMonitor::onWndVideoStatusNotify(int index, int status, const VideoWndInfo_t &info)
{
    if (m_webViewManager)
        m_webViewManager->VideoStatusChanged(Web::WebWndStatus_t::of(index, m_moduleType, status, info));
}

void CVideoMonitor::onWndSelectedNotify(int index, int status, const VideoWndInfo_t &info)
{
    // An empty window is nothing the page could show details of.
    if (m_webViewManager && info.channel.bHasChannel)
        m_webViewManager->PlayWndSelected(Web::WebWndStatus_t::of(index, m_moduleType, status, info));
}
