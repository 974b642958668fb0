#include "RecordingWebManager.h"

#include "Web/IWebListener.h"

void RecordingWebManager::dispatch(Web::CWebBaseMsg *msg)
{
    QList<Web::IWebListener *> listeners;
    for (const auto &registration : qAsConst(m_registrations)) {
        if (registration.first == msg->method)
            listeners.prepend(registration.second);
    }
    for (Web::IWebListener *listener : listeners)
        listener->onRPCCall(msg);
}

QStringList RecordingWebManager::methodsOf(Web::IWebListener *listener) const
{
    QStringList methods;
    for (const auto &registration : m_registrations) {
        if (registration.second == listener)
            methods << registration.first;
    }
    return methods;
}

void RecordingWebManager::UnregisterListener(Web::IWebListener *listener)
{
    m_registrations.erase(std::remove_if(m_registrations.begin(), m_registrations.end(),
                                         [&](const auto &r) { return r.second == listener; }),
                          m_registrations.end());
}

void RecordingWebManager::UnregisterMethod(const QString &method)
{
    m_registrations.erase(std::remove_if(m_registrations.begin(), m_registrations.end(),
                                         [&](const auto &r) { return r.first == method; }),
                          m_registrations.end());
}

void RecordingWebManager::PostRPCCall(Web::CWebMsgRef msg)
{
    ConfigInfo::CBaseInfo &info = ConfigInfo::CBaseInfo::Instance();
    Post post {std::move(msg), info.isLogin(), info.getUserInfo(), info.getMenuInfoMap().size()};
    QMutexLocker lock(&m_mutex);
    m_posts.push_back(std::move(post));
}

void RecordingWebManager::notify(const QString &text)
{
    QMutexLocker lock(&m_mutex);
    notifications << text;
}

QStringList RecordingWebManager::methods() const
{
    QMutexLocker lock(&m_mutex);
    QStringList names;
    for (const Post &post : m_posts)
        names << (post.msg ? post.msg->method : QString("<null>"));
    return names;
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
    notifications.clear();
}
