#pragma once

#include "CommonUI/QCustomWidget.h"
#include "RemoteDoor/IRemoteDoorListener.h"

#include <memory>

class CRemoteDoor;
class QVideoPlay;

namespace Web {
class IWebViewManager;
}

// The remote door's view: a play panel of one window laid over the page's door video area,
// whose bar carries the open-door button. It owns its controller, which the page drives.
class QRemoteDoor : public QCustomWidget, public IRemoteDoorListener
{
    Q_OBJECT

public:
    // The door panel's owner type, carried by its media events.
    static constexpr int kOwnerType = 200;

    explicit QRemoteDoor(QWidget *parent = nullptr);
    ~QRemoteDoor() override;

    // Gives the controller the web view it answers through.
    void setWebViewManager(Web::IWebViewManager *manager);
    CRemoteDoor *controller() const { return m_controller.get(); }
    QVideoPlay *play() const { return m_play; }

public Q_SLOTS:
    void onSetWndRect(QRect rect) override;
    void onOpenVideo(ChannelInfo_t channel) override;
    void onCloseVideo() override;
    void onDeviceStatus(QString status, ChannelInfo_t channel) override;
    channelSnapShotInfo_t onGetSnapShotInfo() override;

    void onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info);
    void onWndSelectedNotify(int wndIndex, int status, VideoWndInfo_t info);
    void onRemoteOpenDoorNotify(int iWndIndex, VideoWndInfo_t struVideoWndInfo);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    std::unique_ptr<CRemoteDoor> m_controller;
    QVideoPlay *m_play;
};
