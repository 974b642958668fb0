#pragma once

#include "ConfigInfo/CBaseInfo.h"
#include "Web/CWebBaseMsg.h"
#include "Web/IWebViewManager.h"

#include <QMutex>
#include <QStringList>

#include <vector>

// Stands in for the web view where no browser runs. It keeps every message posted to it (from any
// thread), with what CBaseInfo held at that moment; it hands a message to the listeners of its
// method as the view does (the last registered first); and it records every notification meant
// for the page as "<method>" or "<method>:<value>".
class RecordingWebManager : public Web::IWebViewManager
{
public:
    struct Post
    {
        Web::CWebMsgRef msg; // null for an unknown method
        bool login = false;
        ConfigInfo::UserInfo user;
        int menuCount = 0;
    };

    // Dispatches msg to its listeners; the recorder keeps no pointer to it.
    void dispatch(Web::CWebBaseMsg *msg);
    // The methods a listener is registered for, in registration order.
    QStringList methodsOf(Web::IWebListener *listener) const;
    // Methods of the posted messages so far ("<null>" for an unknown method).
    QStringList methods() const;
    const Post &post(int index) const;
    void clear();

    // Written under the lock (the queue's worker asks for "ReplyClientInfo"): read it while
    // the queue is idle.
    QStringList notifications;

    void RegisterListener(QString method, Web::IWebListener *listener) override
    {
        m_registrations.append({method, listener});
    }
    void UnregisterListener(Web::IWebListener *listener) override;
    void UnregisterMethod(const QString &method) override;
    void PostRPCCall(Web::CWebMsgRef msg) override;
    void ReplyClientInfo() override { notify("ReplyClientInfo"); }
    void MenuClicked(const QString &, const QString &) override { notify("MenuClicked"); }
    void FullScreen(bool on) override { notify(on ? "FullScreen:true" : "FullScreen:false"); }
    void VideoStatusChanged(const Web::WebWndStatus_t &) override { notify("VideoStatusChanged"); }
    void PlayWndSelected(const Web::WebWndStatus_t &) override { notify("PlayWndSelected"); }
    void RemoteOpenDoor() override { notify("RemoteOpenDoor"); }
    void SendFileData(const channelSnapShotInfo_t &) override { notify("SendFileData"); }
    void ReplyMessageNotify(const QString &id) override { notify("ReplyMessageNotify:" + id); }
    void RightClickCloseAPP() override { notify("RightClickCloseAPP"); }
    void WebP2pState(int state) override { notify("WebP2pState:" + QString::number(state)); }

private:
    void notify(const QString &text);

    mutable QMutex m_mutex; // guards the posts and the notifications
    std::vector<Post> m_posts;
    QList<QPair<QString, Web::IWebListener *>> m_registrations; // in registration order
};
