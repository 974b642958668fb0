#include "RemoteDoor/QRemoteDoor.h"

#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoPlay/QVideoPlay.h"
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "RemoteDoor/CRemoteDoor.h"

#include <QResizeEvent>

namespace {

constexpr int kDoorWnd = 0;

} // namespace

QRemoteDoor::QRemoteDoor(QWidget *parent)
    : QCustomWidget(parent)
    , m_controller(std::make_unique<CRemoteDoor>(this))
    , m_play(new QVideoPlay(kOwnerType, 1, 1, this))
{
    setObjectName("QRemoteDoor");
    m_play->frame()->setFlag(CVideoFrame::FlagOutline, true);
    m_play->frame()->setFlag(CVideoFrame::FlagWindowOption, true);
    m_play->bar()->setButtonVisible("VB_OpenDoor", true);
    connect(m_play, &QVideoPlay::sgnWndVideoStatusNotify, this,
            &QRemoteDoor::onWndVideoStatusNotify);
    connect(m_play, &QVideoPlay::sgnWndSelectedNotify, this, &QRemoteDoor::onWndSelectedNotify);
    connect(m_play, &QVideoPlay::sgnRemoteOpenDoorNotify, this, [this](VideoWndInfo_t info) {
        onRemoteOpenDoorNotify(m_play->frame()->selectedWnd(), info);
    });
    connect(m_play->frame()->frame()->wnd(kDoorWnd)->controller(), &CVideoWnd::sgnSnapShotWritten,
            this, [this](const QString &path, bool written) {
                m_controller->onSnapShotWritten(path, written);
            });
}

QRemoteDoor::~QRemoteDoor()
{
    // The controller leaves the web view before the panel and its windows go.
    m_controller.reset();
}

void QRemoteDoor::setWebViewManager(Web::IWebViewManager *manager)
{
    m_controller->setWebViewManager(manager);
}

void QRemoteDoor::onSetWndRect(QRect rect)
{
    setGeometry(rect);
    show();
    raise();
}

void QRemoteDoor::onOpenVideo(ChannelInfo_t channel)
{
    if (isVisible())
        m_play->frame()->openVideo(kDoorWnd, channel);
}

void QRemoteDoor::onCloseVideo()
{
    m_play->frame()->closeAll();
    hide();
}

void QRemoteDoor::onDeviceStatus(QString status, ChannelInfo_t channel)
{
    if (status == "offline")
        m_play->frame()->closeAll();
    else if (status == "delete")
        m_play->frame()->closeChannels({channel});
}

channelSnapShotInfo_t QRemoteDoor::onGetSnapShotInfo()
{
    QVideoWnd *wnd = m_play->frame()->frame()->wnd(kDoorWnd);
    const ChannelInfo_t channel = wnd->getVideoWndInfo().channel;
    channelSnapShotInfo_t info;
    info.picPath = wnd->getSnapShotPath();
    info.deviceID = channel.deviceID;
    info.channelID = channel.channelID;
    return info;
}

void QRemoteDoor::onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info)
{
    m_controller->onWndVideoStatusNotify(wndIndex, status, info);
}

void QRemoteDoor::onWndSelectedNotify(int wndIndex, int status, VideoWndInfo_t info)
{
    m_controller->onWndSelectedNotify(wndIndex, status, info);
}

void QRemoteDoor::onRemoteOpenDoorNotify(int iWndIndex, VideoWndInfo_t struVideoWndInfo)
{
    m_controller->onRemoteOpenDoorNotify(iWndIndex, struVideoWndInfo);
}

void QRemoteDoor::resizeEvent(QResizeEvent *event)
{
    QCustomWidget::resizeEvent(event);
    m_play->setGeometry(rect());
}
