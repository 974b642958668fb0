#pragma once

#include <QHash>
#include <QString>

#include <chrono>
#include <mutex>
#include <optional>

// Who is logged in (by the user's gateway token) and the device-platform tokens issued to them.
// A device-platform token lasts its lifetime, then the next request for it gets a new one.
// Safe to use from any thread.
class TokenStore
{
public:
    struct DeviceToken
    {
        QString token;
        qint64 expire = 0; // seconds it still lasts
    };

    explicit TokenStore(int lifetimeSeconds = 3600);

    // Opens (or keeps open) the session of a user, known by the user's gateway token.
    void openSession(const QString &userToken, const QString &userName);
    // Closes the session of that token; false when none was open.
    bool closeSession(const QString &userToken);
    // Closes every session: every user has to log in again.
    void closeSessions();
    // The name of the user whose session the token opens, empty when there is none.
    QString sessionUser(const QString &userToken) const;

    // The device-platform token for a session: the current one while it lasts, else a new one;
    // nothing when the user token opens no session.
    std::optional<DeviceToken> deviceToken(const QString &userToken);
    // Whether a device-platform token was issued and still lasts (the open platform's check).
    bool isDeviceTokenValid(const QString &token) const;
    // Ends every device-platform token at once.
    void expireDeviceTokens();

private:
    using Clock = std::chrono::steady_clock;
    struct Issued
    {
        QString token;
        Clock::time_point end;
    };

    mutable std::mutex m_mutex;
    const int m_lifetime; // seconds
    QHash<QString, QString> m_sessions; // user token -> user name
    QHash<QString, Issued> m_issued; // user token -> device-platform token
};
