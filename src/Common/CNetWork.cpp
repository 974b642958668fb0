#include "Common/CNetWork.h"

#include "Common/CNetWorkListener.h"
#include "Common/CNetWorkTimeOut.h"

#include <kwl/KPrintLog.h>

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkRequest>
#include <QSslConfiguration>
#include <QUrl>

#include <utility>

namespace Common {

QString CNetWork::s_contentType = QStringLiteral("application/json;charset=utf-8");
QString CNetWork::s_acceptLanguage = QStringLiteral("zh-CN");
int CNetWork::s_firstDataTimeOutMs = CNetWork::kFirstDataTimeOutMs;

CNetWork::CNetWork(const QString &name)
    : m_manager(new QNetworkAccessManager(this))
    , m_request(new QNetworkRequest(QUrl()))
    , m_name(name)
{ }

CNetWork::~CNetWork()
{
    discardGuard();
    delete m_request;
    delete m_manager; // and with it every reply
}

void CNetWork::setListener(CNetWorkListener *listener)
{
    m_listener = listener;
}

void CNetWork::clearListener()
{
    m_listener = nullptr;
}

void CNetWork::setUrl(const QString &url)
{
    m_request->setUrl(QUrl(url, QUrl::TolerantMode));
    if (!url.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        return;
    QSslConfiguration ssl = m_request->sslConfiguration();
    ssl.setPeerVerifyMode(kPlatformPeerVerify);
    ssl.setProtocol(kPlatformProtocol);
    m_request->setSslConfiguration(ssl);
    static bool logged = false; // once per run
    if (!std::exchange(logged, true))
        KLOG(KPrintLog::Info, "HTTPS to the platform: peer verification %s (kPlatformPeerVerify)",
             kPlatformPeerVerify == QSslSocket::VerifyNone ? "off" : "on");
}

void CNetWork::setContentType(const QString &value)
{
    m_request->setRawHeader("Content-Type", value.toUtf8());
}

void CNetWork::setAcceptLanguage(const QString &value)
{
    m_request->setRawHeader("Accept-Language", value.toUtf8());
}

void CNetWork::setTimeOffset(const QString &value)
{
    m_request->setRawHeader("timeOffset", value.toUtf8());
}

void CNetWork::setToken(const QString &token)
{
    m_request->setRawHeader("Authorization", ("Bearer " + token).toUtf8());
}

void CNetWork::setPostContentType(const QString &value)
{
    s_contentType = value;
}

void CNetWork::setPostAcceptLanguage(const QString &value)
{
    s_acceptLanguage = value;
}

void CNetWork::setFirstDataTimeOut(int milliseconds)
{
    s_firstDataTimeOutMs = milliseconds;
}

QString CNetWork::localTimeOffset()
{
    const qint64 offsetMs = qint64(QDateTime::currentDateTime().offsetFromUtc()) * 1000;
    return QString::number(-offsetMs);
}

void CNetWork::get()
{
    if (!m_manager)
        return;
    track(m_manager->get(*m_request));
}

void CNetWork::post(const QString &body)
{
    if (!m_manager)
        return;
    setContentType(s_contentType);
    setAcceptLanguage(s_acceptLanguage);
    setTimeOffset(localTimeOffset());
    track(m_manager->post(*m_request, body.toUtf8()));
}

void CNetWork::track(QNetworkReply *reply)
{
    // An older reply still in flight is no longer reported: it only has to be freed.
    if (m_reply) {
        m_reply->disconnect(this);
        if (m_reply->isFinished())
            m_reply->deleteLater();
        else
            connect(m_reply, &QNetworkReply::finished, m_reply, &QObject::deleteLater);
    }
    m_reply = reply;
    reply->setReadBufferSize(m_readBufferSize);
    connect(reply, &QNetworkReply::sslErrors, this, &CNetWork::onSSLErrors);
    connect(reply, &QNetworkReply::errorOccurred, this, &CNetWork::onError);
    connect(reply, &QNetworkReply::readyRead, this, &CNetWork::onReadyRead);
    connect(reply, &QNetworkReply::finished, this, &CNetWork::onFinished);

    discardGuard();
    m_timeOut = new CNetWorkTimeOut(reply, s_firstDataTimeOutMs);
    connect(m_timeOut, &CNetWorkTimeOut::timeout, this, &CNetWork::onNetWorkTimeOut);
}

void CNetWork::discardGuard()
{
    if (!m_timeOut)
        return;
    m_timeOut->disconnect(this);
    delete m_timeOut;
}

void CNetWork::abortRequest()
{
    if (!m_reply || !m_reply->isRunning())
        return;
    QNetworkReply *reply = m_reply;
    // Closing reports the cancellation through onError while the reply is still current.
    reply->close();
    reply->deleteLater();
    m_reply = nullptr;
}

void CNetWork::setReadBufferSize(qint64 bytes)
{
    m_readBufferSize = bytes;
}

void CNetWork::onNetWorkTimeOut()
{
    abortRequest();
    if (m_listener)
        m_listener->onNetWorkError(kTimeOutCode, QStringLiteral("onNetWorkTimeOut"), m_name);
}

void CNetWork::onSSLErrors(const QList<QSslError> &errors)
{
    discardGuard();
    const QSslError first = errors.value(0);
    KLOG(KPrintLog::Error, "onSSLErrors [%d] [%s]", int(first.error()),
         first.errorString().toUtf8().constData());
    if (m_listener)
        m_listener->onNetWorkError(kSslErrorCode, QStringLiteral("onSSLError"), m_name);
}

void CNetWork::onError(QNetworkReply::NetworkError code)
{
    discardGuard();
    if (m_reply && m_listener)
        m_listener->onNetWorkError(int(code), m_reply->errorString(), m_name);
}

void CNetWork::onReadyRead()
{
    // The time-out covers only the wait for the first data: long downloads are not cut off.
    discardGuard();
    if (!m_reply || !m_listener)
        return;
    m_listener->onNetWorkRawHeaderCallBack(m_reply->rawHeaderPairs(), QString());
    if (!m_reply || !m_listener)
        return; // the listener aborted the request on seeing the headers
    m_listener->onNetWorkReadyRead(m_reply->readAll(), m_name);
}

void CNetWork::onFinished()
{
    if (!m_listener || !m_reply)
        return;
    if (m_reply->error() != QNetworkReply::NoError)
        return; // already reported by onError
    m_reply->deleteLater();
    m_reply = nullptr;
    m_listener->onNetWorkFinished(m_name);
}

} // namespace Common
