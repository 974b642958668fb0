#include "NotifyRecorder.h"

#include "Web/CWebBaseMsg.h"
#include "Web/IWebListener.h"

void NotifyRecorder::dispatch(Web::CWebBaseMsg *msg)
{
    QList<Web::IWebListener *> listeners;
    for (const auto &registration : qAsConst(m_registrations)) {
        if (registration.first == msg->method)
            listeners.prepend(registration.second);
    }
    for (Web::IWebListener *listener : listeners)
        listener->onRPCCall(msg);
}

QStringList NotifyRecorder::methodsOf(Web::IWebListener *listener) const
{
    QStringList methods;
    for (const auto &registration : m_registrations) {
        if (registration.second == listener)
            methods << registration.first;
    }
    return methods;
}

void NotifyRecorder::RegisterListener(QString method, Web::IWebListener *listener)
{
    m_registrations.append({method, listener});
}

void NotifyRecorder::UnregisterListener(Web::IWebListener *listener)
{
    for (int i = m_registrations.size() - 1; i >= 0; --i) {
        if (m_registrations.at(i).second == listener)
            m_registrations.removeAt(i);
    }
}

void NotifyRecorder::UnregisterMethod(const QString &method)
{
    for (int i = m_registrations.size() - 1; i >= 0; --i) {
        if (m_registrations.at(i).first == method)
            m_registrations.removeAt(i);
    }
}

void NotifyRecorder::PostRPCCall(Web::CWebMsgRef msg)
{
    dispatch(msg.get());
}
