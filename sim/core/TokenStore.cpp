#include "TokenStore.h"

#include <QRandomGenerator>

namespace {

QString newDeviceToken()
{
    QString token = "vt";
    for (int i = 0; i < 4; ++i)
        token += QString::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, '0');
    return token;
}

} // namespace

TokenStore::TokenStore(int lifetimeSeconds)
    : m_lifetime(lifetimeSeconds)
{ }

void TokenStore::openSession(const QString &userToken, const QString &userName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sessions.insert(userToken, userName);
}

bool TokenStore::closeSession(const QString &userToken)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sessions.remove(userToken) > 0;
}

void TokenStore::closeSessions()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_sessions.clear();
}

QString TokenStore::sessionUser(const QString &userToken) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sessions.value(userToken);
}

std::optional<TokenStore::DeviceToken> TokenStore::deviceToken(const QString &userToken)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (userToken.isEmpty() || !m_sessions.contains(userToken))
        return std::nullopt;
    const Clock::time_point now = Clock::now();
    auto it = m_issued.find(userToken);
    if (it == m_issued.end() || it->end <= now)
        it = m_issued.insert(userToken, {newDeviceToken(), now + std::chrono::seconds(m_lifetime)});
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(it->end - now).count();
    // Rounded up, so that a token issued for 3600 s says 3600.
    return DeviceToken {it->token, (qMax<qint64>(left, 0) + 999) / 1000};
}

bool TokenStore::isDeviceTokenValid(const QString &token) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const Clock::time_point now = Clock::now();
    for (const Issued &issued : m_issued) {
        if (issued.token == token && issued.end > now)
            return true;
    }
    return false;
}

void TokenStore::expireDeviceTokens()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_issued.clear();
}
