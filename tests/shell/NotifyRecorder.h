#pragma once

#include "Web/IWebViewManager.h"

#include <QMultiMap>
#include <QStringList>

// Stands in for the web view in tests without a browser: keeps the listener registrations,
// hands a message to the listeners of its method as the view does (the last registered first),
// and records every notification meant for the page as "<method>" or "<method>:<value>".
class NotifyRecorder : public Web::IWebViewManager
{
public:
    // Dispatches msg to its listeners; the recorder keeps no pointer to it.
    void dispatch(Web::CWebBaseMsg *msg);
    // The methods a listener is registered for, in registration order.
    QStringList methodsOf(Web::IWebListener *listener) const;

    QStringList notifications;

    void RegisterListener(QString method, Web::IWebListener *listener) override;
    void UnregisterListener(Web::IWebListener *listener) override;
    void UnregisterMethod(const QString &method) override;
    void PostRPCCall(Web::CWebMsgRef msg) override;
    void ReplyClientInfo() override { notifications << "ReplyClientInfo"; }
    void MenuClicked(const QString &, const QString &) override { notifications << "MenuClicked"; }
    void FullScreen(bool on) override
    {
        notifications << QString("FullScreen:%1").arg(on ? "true" : "false");
    }
    void VideoStatusChanged(const Web::WebWndStatus_t &) override
    {
        notifications << "VideoStatusChanged";
    }
    void PlayWndSelected(const Web::WebWndStatus_t &) override
    {
        notifications << "PlayWndSelected";
    }
    void RemoteOpenDoor() override { notifications << "RemoteOpenDoor"; }
    void SendFileData(const channelSnapShotInfo_t &) override { notifications << "SendFileData"; }
    void ReplyMessageNotify(const QString &messageID) override
    {
        notifications << "ReplyMessageNotify:" + messageID;
    }
    void RightClickCloseAPP() override { notifications << "RightClickCloseAPP"; }
    void WebP2pState(int state) override { notifications << QString("WebP2pState:%1").arg(state); }

private:
    QList<QPair<QString, Web::IWebListener *>> m_registrations; // in registration order
};
