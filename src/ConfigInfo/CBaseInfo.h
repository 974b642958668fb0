#pragma once

#include "Common/CNetWorkListener.h"
#include "ConfigInfo/MenuInfo.h"
#include "ConfigInfo/UserInfo.h"

#include <kwl/KSingleton.h>

#include <QMap>
#include <QMutex>
#include <QObject>

class QTimer;

namespace Common {
class CNetWork;
}

namespace ConfigInfo {

// What the client knows of the logged-in user (record, menus, login flag), and the service that
// fetches and refreshes the device-platform token ("VeltToken") from the gateway.
//
// Threads: the web queue's worker thread writes the user, the menus and the login flag while
// the GUI thread reads them, so those three are kept under a lock. The HTTP client and the
// refresh timer live on the GUI thread; a token request asked for from another thread is
// queued to it.
class CBaseInfo : public QObject, public Common::CNetWorkListener
{
    Q_OBJECT

public:
    static CBaseInfo &Instance();
    ~CBaseInfo() override;

    bool isLogin() const;
    void setLogin(bool login);

    UserInfo getUserInfo() const;
    void setUserInfo(const UserInfo &user);
    // Puts the empty record back.
    void resetUserInfo();

    // Inserts or replaces the entry under its menuPath.
    void addMenuInfo(const MenuInfo &menu);
    // The entry of path, or an empty MenuInfo.
    MenuInfo getMenuInfo(const QString &path) const;
    QMap<QString, MenuInfo> getMenuInfoMap() const;
    void clearMenuInfo();

    // The current token; when none is held yet, asks for one, tells the user, and returns "".
    QString getVeltToken();
    // Stores a new non-empty token and emits sgnVeltTokenChanged; same or empty: nothing.
    void setVeltToken(const QString &token);
    // Asks the gateway for a token; from any thread (carried out on this object's thread).
    void requestVeltToken();

    // Back-off counter of failed refreshes (1 after a success).
    int retryCounter() const { return m_retryCounter; }
    // Milliseconds until the next refresh, -1 when none is scheduled.
    int refreshIntervalMs() const;

    void onNetWorkReadyRead(const QByteArray &data, const QString &name) override;
    void onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &headers,
                                    const QString &name) override;
    void onNetWorkFinished(const QString &name) override;
    void onNetWorkError(int code, const QString &message, const QString &name) override;

signals:
    void sgnVeltTokenChanged(QString token);

public slots:
    // The refresh timer fired: one request per scheduling.
    void OnVeltTokenTimeOut();

private:
    friend struct KSingletonMaker<CBaseInfo>;
    CBaseInfo();

    void sendTokenRequest();
    // Handles one complete reply body; returns the seconds until the next request.
    int handleTokenReply(const QByteArray &body);
    void backOff();
    void scheduleRefresh(qint64 milliseconds);

    mutable QMutex m_userMutex; // guards the login flag, the user and the menus
    bool m_login = false;
    UserInfo m_user;
    QMap<QString, MenuInfo> m_menus;
    QString m_veltToken;
    Common::CNetWork *m_netWork = nullptr;
    QTimer *m_refreshTimer = nullptr;
    QByteArray m_replyBuffer;
    int m_retryCounter = 1;
};

} // namespace ConfigInfo
