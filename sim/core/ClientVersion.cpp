#include "ClientVersion.h"

ClientVersion::ClientVersion(const QJsonObject &initial)
    : m_version(initial)
{ }

QJsonObject ClientVersion::get() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_version;
}

bool ClientVersion::merge(const QJsonObject &members, QString *error)
{
    for (auto it = members.begin(); it != members.end(); ++it) {
        if (!it.value().isString()) {
            *error = QString("\"%1\" must be a string").arg(it.key());
            return false;
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto it = members.begin(); it != members.end(); ++it)
        m_version.insert(it.key(), it.value());
    return true;
}
