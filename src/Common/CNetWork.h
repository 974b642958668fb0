#pragma once

#include <QList>
#include <QNetworkReply>
#include <QObject>
#include <QPointer>
#include <QSslError>
#include <QSslSocket>
#include <QString>

class QNetworkAccessManager;
class QNetworkRequest;

namespace Common {

class CNetWorkListener;
class CNetWorkTimeOut;

// The client's one HTTP(S) client. One request object is reused for every send, so headers
// stay set until set again; only the newest reply is tracked. Results reach the listener; a
// request that shows no data within the first-data time-out (10 s) is cancelled and reported
// as -1001. GUI thread only.
class CNetWork : public QObject
{
    Q_OBJECT

public:
    explicit CNetWork(const QString &name);
    ~CNetWork() override;

    void setListener(CNetWorkListener *listener);
    void clearListener();

    // Sets the URL; an "https://" URL (any case) gets kPlatformPeerVerify and kPlatformProtocol.
    void setUrl(const QString &url);
    void setContentType(const QString &value);
    void setAcceptLanguage(const QString &value);
    void setTimeOffset(const QString &value);
    // Writes "Authorization: Bearer <token>".
    void setToken(const QString &token);

    // Sends a GET with the request's current URL and headers.
    void get();
    // Sends a POST of body (UTF-8) with the class-wide content type and accept language and
    // the local time offset.
    void post(const QString &body);
    // Cancels the reply in flight, if any.
    void abortRequest();
    // Most bytes a reply keeps unread before the network waits for the listener (0: no limit,
    // the default); large downloads set it so that memory stays flat however fast data comes.
    void setReadBufferSize(qint64 bytes);

    // Class-wide headers of every POST.
    static void setPostContentType(const QString &value);
    static void setPostAcceptLanguage(const QString &value);
    // The "timeOffset" header value: the negated offset of local time from UTC in ms.
    static QString localTimeOffset();
    // How long every later send waits for its first data; tests shorten it, the client keeps
    // the default kFirstDataTimeOutMs.
    static void setFirstDataTimeOut(int milliseconds);

    static constexpr int kSslErrorCode = -1000;
    static constexpr int kTimeOutCode = -1001;
    static constexpr int kFirstDataTimeOutMs = 10000;
    // The platform's HTTPS hosts are reached by address as well as by name, with certificates
    // that do not name them: their peers are not verified. The one switch for it.
    static constexpr QSslSocket::PeerVerifyMode kPlatformPeerVerify = QSslSocket::VerifyNone;
    static constexpr QSsl::SslProtocol kPlatformProtocol = QSsl::TlsV1_2OrLater;

public slots:
    void onNetWorkTimeOut();
    void onSSLErrors(const QList<QSslError> &errors);
    void onError(QNetworkReply::NetworkError code);
    void onReadyRead();
    void onFinished();

private:
    void track(QNetworkReply *reply);
    void discardGuard();

    QNetworkAccessManager *m_manager;
    QNetworkRequest *m_request;
    QNetworkReply *m_reply = nullptr;
    QPointer<CNetWorkTimeOut> m_timeOut;
    CNetWorkListener *m_listener = nullptr;
    QString m_name;
    qint64 m_readBufferSize = 0;

    static QString s_contentType;
    static QString s_acceptLanguage;
    static int s_firstDataTimeOutMs;
};

} // namespace Common
