#pragma once

#include "Records/VideoRecords.h"

#include <QRect>
#include <QString>

// What the remote door's controller asks of its view.
class IRemoteDoorListener
{
public:
    // Takes this geometry (the page's door video area) and shows itself.
    virtual void onSetWndRect(QRect rect) = 0;
    // Opens the channel in the door window, when the view is shown.
    virtual void onOpenVideo(ChannelInfo_t channel) = 0;
    // Closes the door window and hides the view.
    virtual void onCloseVideo() = 0;
    // "offline" closes the door window; "delete" closes the window showing that channel.
    virtual void onDeviceStatus(QString status, ChannelInfo_t channel) = 0;
    // Takes a picture of the door window now: its path (empty when it plays nothing), device
    // and channel. The file is complete once the controller hears onSnapShotWritten.
    virtual channelSnapShotInfo_t onGetSnapShotInfo() = 0;

protected:
    ~IRemoteDoorListener() = default;
};
