#include "CommonUI/VideoWnd/ChannelProbe.h"

#include "Common/CNetWork.h"
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CLocalCfg.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>
#include <QUrl>
#include <QUrlQuery>

namespace {

constexpr int kRtspPort = 554;

// The open platform's address as the media library reaches it: port 443 means HTTPS.
QString openPlatformUrl()
{
    const ConfigInfo::CLocalCfg::VTOpen platform = ConfigInfo::CLocalCfg::Instance().GetVTOpen();
    return QString("%1://%2:%3")
        .arg(platform.port == 443 ? "https" : "http", platform.host)
        .arg(platform.port);
}

} // namespace

ChannelProbe::ChannelProbe(QObject *parent)
    : QObject(parent)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { conclude(false); });
}

ChannelProbe::~ChannelProbe()
{
    // What still runs goes with the probe and reports nothing.
    if (m_request)
        m_request->clearListener();
    if (m_socket)
        m_socket->disconnect(this);
}

void ChannelProbe::probe(const ChannelInfo_t &channel, int timeoutMs)
{
    cancel();
    if (!m_request) { // made on first use: most windows never lose their stream
        m_request = std::make_unique<Common::CNetWork>("channelProbe");
        m_request->setListener(this);
    }
    m_deadline.start(timeoutMs);
    QUrl url(openPlatformUrl() + "/openapi/v1/stream/live");
    url.setQuery(QUrlQuery {{"deviceId", channel.deviceID},
                            {"channel", QString::number(channel.channelID)},
                            {"definition", QString::number(channel.definitionMode)}});
    m_request->setToken(ConfigInfo::CBaseInfo::Instance().getVeltToken());
    m_request->setUrl(url.toString(QUrl::FullyEncoded));
    m_request->get();
}

// Outcomes of what was cancelled find the deadline stopped and are dropped.
void ChannelProbe::cancel()
{
    m_deadline.stop();
    m_reply.clear();
    if (m_request)
        m_request->abortRequest();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
}

void ChannelProbe::onNetWorkReadyRead(const QByteArray &data, const QString &)
{
    m_reply.append(data);
}

void ChannelProbe::onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &,
                                              const QString &)
{ }

void ChannelProbe::onNetWorkFinished(const QString &)
{
    const QJsonObject answer = QJsonDocument::fromJson(m_reply).object();
    const QString url = answer.value("data").toObject().value("url").toString();
    m_reply.clear();
    if (answer.value("code").toInt(-1) != 0 || !url.startsWith("rtsp://", Qt::CaseInsensitive))
        conclude(false);
    else
        askStreamServer(url);
}

void ChannelProbe::onNetWorkError(int, const QString &, const QString &)
{
    conclude(false);
}

void ChannelProbe::askStreamServer(const QString &url)
{
    const QUrl address(url);
    m_socket = new QTcpSocket(this);
    connect(m_socket, &QTcpSocket::connected, this, [this, url] {
        m_socket->write("OPTIONS " + url.toUtf8() + " RTSP/1.0\r\nCSeq: 1\r\n\r\n");
    });
    // Any status line counts: a server that refuses the request still answers.
    connect(m_socket, &QTcpSocket::readyRead, this, [this] {
        m_reply.append(m_socket->readAll());
        if (m_reply.contains("\r\n"))
            conclude(m_reply.startsWith("RTSP/"));
    });
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] { conclude(false); });
    m_socket->connectToHost(address.host(), quint16(address.port(kRtspPort)));
}

void ChannelProbe::conclude(bool answering)
{
    if (!m_deadline.isActive())
        return;
    cancel();
    emit sgnAnswered(answering);
}
