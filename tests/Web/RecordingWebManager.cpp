#include "RecordingWebManager.h"

void RecordingWebManager::PostRPCCall(Web::CWebMsgRef msg)
{
    ConfigInfo::CBaseInfo &info = ConfigInfo::CBaseInfo::Instance();
    Post post;
    post.msg = std::move(msg);
    post.thread = QThread::currentThread();
    post.login = info.isLogin();
    post.user = info.getUserInfo();
    post.menuCount = info.getMenuInfoMap().size();
    QMutexLocker lock(&m_mutex);
    m_posts.push_back(std::move(post));
}

void RecordingWebManager::ReplyClientInfo()
{
    QMutexLocker lock(&m_mutex);
    ++m_clientInfoReplies;
}

QStringList RecordingWebManager::methods() const
{
    QMutexLocker lock(&m_mutex);
    QStringList names;
    for (const Post &post : m_posts)
        names << (post.msg ? post.msg->method : QString("<null>"));
    return names;
}

int RecordingWebManager::clientInfoReplies() const
{
    QMutexLocker lock(&m_mutex);
    return m_clientInfoReplies;
}

const RecordingWebManager::Post &RecordingWebManager::post(int index) const
{
    QMutexLocker lock(&m_mutex);
    return m_posts.at(size_t(index));
}

void RecordingWebManager::clear()
{
    QMutexLocker lock(&m_mutex);
    m_posts.clear();
    m_clientInfoReplies = 0;
}
