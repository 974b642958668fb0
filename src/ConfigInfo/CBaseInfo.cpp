#include "ConfigInfo/CBaseInfo.h"

#include "Common/CNetWork.h"
#include "ConfigInfo/CLocalCfg.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMutexLocker>
#include <QThread>
#include <QTimer>

#include <climits>
#include <utility>

namespace ConfigInfo {

namespace {

constexpr int kDefaultRefreshSeconds = 600;
constexpr int kRetryCap = 600;

} // namespace

CBaseInfo &CBaseInfo::Instance()
{
    return KSingleton<CBaseInfo>::Instance();
}

CBaseInfo::CBaseInfo()
{
    // Whichever thread asks first, the HTTP client and the refresh timer belong to the GUI
    // thread: the web queue's worker may be the first to store a user.
    if (QCoreApplication::instance())
        moveToThread(QCoreApplication::instance()->thread());
}

CBaseInfo::~CBaseInfo()
{
    if (m_netWork) {
        m_netWork->clearListener();
        delete m_netWork;
    }
}

bool CBaseInfo::isLogin() const
{
    QMutexLocker lock(&m_userMutex);
    return m_login;
}

void CBaseInfo::setLogin(bool login)
{
    QMutexLocker lock(&m_userMutex);
    m_login = login;
}

UserInfo CBaseInfo::getUserInfo() const
{
    QMutexLocker lock(&m_userMutex);
    return m_user;
}

void CBaseInfo::setUserInfo(const UserInfo &user)
{
    QMutexLocker lock(&m_userMutex);
    m_user = user;
}

void CBaseInfo::resetUserInfo()
{
    setUserInfo(UserInfo());
}

void CBaseInfo::addMenuInfo(const MenuInfo &menu)
{
    QMutexLocker lock(&m_userMutex);
    m_menus.insert(menu.menuPath, menu);
}

MenuInfo CBaseInfo::getMenuInfo(const QString &path) const
{
    QMutexLocker lock(&m_userMutex);
    return m_menus.value(path);
}

QMap<QString, MenuInfo> CBaseInfo::getMenuInfoMap() const
{
    QMutexLocker lock(&m_userMutex);
    return m_menus;
}

void CBaseInfo::clearMenuInfo()
{
    QMutexLocker lock(&m_userMutex);
    m_menus.clear();
}

QString CBaseInfo::getVeltToken()
{
    if (m_veltToken.isEmpty()) {
        requestVeltToken();
        KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->AddTextNotification(
            tr("Failed to Get VeltToken,Please try again later!"));
    }
    return m_veltToken;
}

void CBaseInfo::setVeltToken(const QString &token)
{
    if (token.isEmpty() || token == m_veltToken)
        return;
    m_veltToken = token;
    emit sgnVeltTokenChanged(token);
}

void CBaseInfo::requestVeltToken()
{
    // The HTTP client and the timer belong to the GUI thread; the web queue's worker asks too.
    if (QThread::currentThread() != thread()) {
        QMetaObject::invokeMethod(this, &CBaseInfo::sendTokenRequest, Qt::QueuedConnection);
        return;
    }
    sendTokenRequest();
}

void CBaseInfo::sendTokenRequest()
{
    if (!m_netWork) {
        m_netWork = new Common::CNetWork(QString());
        m_netWork->setListener(this);
    }
    m_netWork->setToken(getUserInfo().token);
    m_netWork->setUrl(CLocalCfg::Instance().GetPlatformUrl()
                      + "/gateway/device/veltra/getTokenAndExpire");
    m_netWork->get();
    m_replyBuffer.clear();
}

void CBaseInfo::OnVeltTokenTimeOut()
{
    if (m_refreshTimer && m_refreshTimer->isActive())
        m_refreshTimer->stop();
    requestVeltToken();
}

int CBaseInfo::refreshIntervalMs() const
{
    return m_refreshTimer && m_refreshTimer->isActive() ? m_refreshTimer->interval() : -1;
}

void CBaseInfo::onNetWorkReadyRead(const QByteArray &data, const QString &)
{
    m_replyBuffer.append(data);
}

void CBaseInfo::onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &,
                                           const QString &)
{ }

void CBaseInfo::onNetWorkFinished(const QString &)
{
    const QByteArray body = std::exchange(m_replyBuffer, QByteArray());
    scheduleRefresh(qint64(handleTokenReply(body)) * 1000);
}

void CBaseInfo::onNetWorkError(int, const QString &, const QString &)
{
    // Failures retry on the same counter and in the same unit (seconds) as bad replies.
    backOff();
    scheduleRefresh(qint64(m_retryCounter) * 1000);
}

int CBaseInfo::handleTokenReply(const QByteArray &body)
{
    const QString text = QString::fromUtf8(body);
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError) {
        KLOG(KPrintLog::Error, "Json error[%s]", error.errorString().toUtf8().constData());
        return kDefaultRefreshSeconds;
    }
    if (!doc.isObject()) {
        KLOG(KPrintLog::Error, "Json format error[%s]", text.toUtf8().constData());
        backOff();
        return m_retryCounter;
    }
    const QJsonObject data = doc.object().value("data").toObject();
    if (data.isEmpty()) {
        backOff();
        return m_retryCounter;
    }
    const int expire = data.value("expire").toInt(0);
    int seconds;
    if (expire < 0) {
        backOff();
        seconds = m_retryCounter;
    } else {
        m_retryCounter = 1;
        seconds = expire; // renewed when it runs out
    }
    setVeltToken(data.value("token").toString());
    return seconds;
}

void CBaseInfo::backOff()
{
    // 2, 4, ... 512, 1024, then 600 for every further failure.
    m_retryCounter = m_retryCounter >= kRetryCap ? kRetryCap : m_retryCounter * 2;
}

void CBaseInfo::scheduleRefresh(qint64 milliseconds)
{
    // A timer counts in int milliseconds: a far expiry is renewed after about 24 days instead.
    if (!m_refreshTimer) {
        m_refreshTimer = new QTimer(this);
        connect(m_refreshTimer, &QTimer::timeout, this, &CBaseInfo::OnVeltTokenTimeOut);
    }
    if (m_refreshTimer->isActive())
        m_refreshTimer->stop();
    m_refreshTimer->start(int(qBound<qint64>(0, milliseconds, INT_MAX)));
}

} // namespace ConfigInfo
