#pragma once

#include "Records/VideoRecords.h"
#include "Web/IWebListener.h"

class IRemoteDoorListener;

namespace Web {
class IWebViewManager;
}

// The remote door module's logic: plays the door camera the page asks for in the door view,
// sends the page a picture of it once it plays ("SendFileData"), tells the page of the door
// window's state and selection, and passes the door button on as "RemoteOpenDoor" for a channel
// this module opened. Requests of other modules are ignored. GUI thread.
class CRemoteDoor : public Web::IWebListener
{
public:
    // The page's module number of the remote door.
    static constexpr int kModule = 2;

    explicit CRemoteDoor(IRemoteDoorListener *view);
    ~CRemoteDoor();

    // Registers the module's methods with manager (null: unregisters).
    void setWebViewManager(Web::IWebViewManager *manager);

    void onRPCCall(Web::CWebBaseMsg *msg) override;

    // News of the door window, from the view.
    void onWndVideoStatusNotify(int wndIndex, int status, const VideoWndInfo_t &info);
    void onWndSelectedNotify(int wndIndex, int status, const VideoWndInfo_t &info);
    void onRemoteOpenDoorNotify(int wndIndex, const VideoWndInfo_t &info);
    // A picture of the door window is complete (or failed) at path.
    void onSnapShotWritten(const QString &path, bool written);

private:
    void openVideo(const ChannelInfo_t &channel);
    void takePicture();
    void sendPicture(channelSnapShotInfo_t picture);
    void sendWndStatus(bool selected, int wndIndex, int status, const VideoWndInfo_t &info);

    IRemoteDoorListener *m_view;
    Web::IWebViewManager *m_webViewManager = nullptr;
    bool m_pictureOwed = false; // the page waits for a picture of the channel opened last
    channelSnapShotInfo_t m_picture; // the picture being written, empty path when none
};
