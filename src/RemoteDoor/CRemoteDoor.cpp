#include "RemoteDoor/CRemoteDoor.h"

#include "RemoteDoor/IRemoteDoorListener.h"
#include "Web/ChannelInfoMsg.h"
#include "Web/IWebViewManager.h"
#include "Web/WndRectMsg.h"

#include <kwl/KPrintLog.h>

#include <QFile>

namespace {

constexpr int kPlaying = 3;
const char *const kMethods[] = {"SetWndRect", "OpenVideo", "CloseVideo", "NotifyDeviceStatus"};

} // namespace

CRemoteDoor::CRemoteDoor(IRemoteDoorListener *view)
    : m_view(view)
{ }

CRemoteDoor::~CRemoteDoor()
{
    setWebViewManager(nullptr);
}

void CRemoteDoor::setWebViewManager(Web::IWebViewManager *manager)
{
    if (m_webViewManager)
        m_webViewManager->UnregisterListener(this);
    m_webViewManager = manager;
    if (!manager)
        return;
    for (const char *method : kMethods)
        manager->RegisterListener(method, this);
}

void CRemoteDoor::onRPCCall(Web::CWebBaseMsg *msg)
{
    if (!m_view)
        return;
    if (auto *rect = dynamic_cast<Web::WndRectMsg *>(msg)) {
        if (rect->module == kModule)
            m_view->onSetWndRect(
                QRectF(QPointF(rect->left, rect->top), QPointF(rect->right, rect->bottom))
                    .toRect());
        return;
    }
    auto *channels = dynamic_cast<Web::ChannelInfoMsg *>(msg);
    if (!channels)
        return;
    // Device news carry no module: they concern every module showing the device.
    const bool deviceNews = msg->method == "NotifyDeviceStatus";
    if (!deviceNews && channels->module != kModule)
        return;
    if (channels->channels.isEmpty()) {
        KLOG(KPrintLog::Info, "%s for the door refused: no channel",
             msg->method.toUtf8().constData());
        return;
    }
    const ChannelInfo_t &first = channels->channels.first();
    if (msg->method == "OpenVideo")
        openVideo(first);
    else if (msg->method == "CloseVideo")
        m_view->onCloseVideo();
    else if (deviceNews)
        m_view->onDeviceStatus(channels->status, first);
}

void CRemoteDoor::openVideo(const ChannelInfo_t &channel)
{
    ChannelInfo_t opened = channel;
    opened.bHasChannel = true;
    m_view->onOpenVideo(opened);
    // The picture is taken once the camera plays: before that there is nothing to show.
    m_pictureOwed = true;
    m_picture = channelSnapShotInfo_t();
}

void CRemoteDoor::onWndVideoStatusNotify(int wndIndex, int status, const VideoWndInfo_t &info)
{
    sendWndStatus(false, wndIndex, status, info);
    if (status == kPlaying && m_pictureOwed)
        takePicture();
}

void CRemoteDoor::takePicture()
{
    m_pictureOwed = false;
    m_picture = m_view->onGetSnapShotInfo();
    if (m_picture.picPath.isEmpty())
        KLOG(KPrintLog::Info, "no picture of the door camera %s channel %d: it plays nothing",
             m_picture.deviceID.toUtf8().constData(), m_picture.channelID);
}

void CRemoteDoor::onSnapShotWritten(const QString &path, bool written)
{
    if (path.isEmpty() || path != m_picture.picPath)
        return;
    const channelSnapShotInfo_t picture = m_picture;
    m_picture = channelSnapShotInfo_t();
    if (!written) {
        KLOG(KPrintLog::Info, "the picture of the door camera was not written: %s",
             path.toLocal8Bit().constData());
        return;
    }
    sendPicture(picture);
}

void CRemoteDoor::sendPicture(channelSnapShotInfo_t picture)
{
    QFile file(picture.picPath);
    if (!file.open(QIODevice::ReadOnly)) {
        KLOG(KPrintLog::Error, "cannot open the door picture %s",
             picture.picPath.toLocal8Bit().constData());
        return;
    }
    picture.fileData = QString::fromLatin1(file.readAll().toBase64());
    if (m_webViewManager)
        m_webViewManager->SendFileData(picture);
}

void CRemoteDoor::onWndSelectedNotify(int wndIndex, int status, const VideoWndInfo_t &info)
{
    // The page hears of selections of windows that show its channel.
    if (info.channel.bHasChannel)
        sendWndStatus(true, wndIndex, status, info);
}

void CRemoteDoor::sendWndStatus(bool selected, int wndIndex, int status, const VideoWndInfo_t &info)
{
    if (!m_webViewManager)
        return;
    const auto wndStatus = Web::WebWndStatus_t::of(wndIndex, kModule, status, info);
    if (selected)
        m_webViewManager->PlayWndSelected(wndStatus);
    else
        m_webViewManager->VideoStatusChanged(wndStatus);
}

void CRemoteDoor::onRemoteOpenDoorNotify(int wndIndex, const VideoWndInfo_t &info)
{
    KLOG(KPrintLog::Info, "OpenDoorTest##########CRemoteDoor::onRemoteOpenDoorNotify");
    if (!m_webViewManager || !info.channel.bHasChannel) {
        KLOG(KPrintLog::Info, "door not opened: window %d shows no channel of the door module",
             wndIndex);
        return;
    }
    m_webViewManager->RemoteOpenDoor();
}
