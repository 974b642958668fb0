#pragma once

#include "ConfigInfo/CBaseInfo.h"
#include "Web/CWebBaseMsg.h"
#include "Web/IWebViewManager.h"

#include <QMutex>
#include <QStringList>
#include <QThread>

#include <memory>
#include <vector>

// Stands in for the web view where no browser can run: keeps every message the queue posts,
// with the thread it came on and what CBaseInfo held at that moment, and counts the client
// information replies asked for. Any thread may call it.
class RecordingWebManager : public Web::IWebViewManager
{
public:
    struct Post
    {
        Web::CWebMsgRef msg; // null for an unknown method
        QThread *thread = nullptr;
        bool login = false;
        ConfigInfo::UserInfo user;
        int menuCount = 0;
    };

    void RegisterListener(QString, Web::IWebListener *) override { }
    void UnregisterListener(Web::IWebListener *) override { }
    void UnregisterMethod(const QString &) override { }
    void PostRPCCall(Web::CWebMsgRef msg) override;
    void ReplyClientInfo() override;
    void MenuClicked(const QString &, const QString &) override { }
    void FullScreen(bool) override { }
    void VideoStatusChanged(const Web::WebWndStatus_t &) override { }
    void PlayWndSelected(const Web::WebWndStatus_t &) override { }
    void RemoteOpenDoor() override { }
    void SendFileData(const channelSnapShotInfo_t &) override { }
    void ReplyMessageNotify(const QString &) override { }
    void RightClickCloseAPP() override { }
    void WebP2pState(int) override { }

    // Methods of the posted messages so far ("<null>" for an unknown method).
    QStringList methods() const;
    int clientInfoReplies() const;
    // The message posted at index, cast to the class its method is carried in.
    template<typename Msg> const Msg *message(int index) const
    {
        QMutexLocker lock(&m_mutex);
        return dynamic_cast<const Msg *>(m_posts.at(size_t(index)).msg.get());
    }
    const Post &post(int index) const;
    void clear();

private:
    mutable QMutex m_mutex;
    std::vector<Post> m_posts;
    int m_clientInfoReplies = 0;
};
