#pragma once

#include "Common/CNetWorkListener.h"
#include "Records/VideoRecords.h"

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <memory>

class QTcpSocket;

namespace Common {
class CNetWork;
}

// Tells, without opening the stream, whether a device channel answers: the open platform gives
// the channel's live RTSP address, and the server there must answer an RTSP OPTIONS. Cheap
// enough to repeat every second while a lost stream waits for its next full open. One probe at
// a time, asynchronous, GUI thread.
class ChannelProbe : public QObject, public Common::CNetWorkListener
{
    Q_OBJECT

public:
    explicit ChannelProbe(QObject *parent = nullptr);
    ~ChannelProbe() override;

    // Starts a probe of the channel, ending one still running; sgnAnswered tells the outcome
    // within timeoutMs.
    void probe(const ChannelInfo_t &channel, int timeoutMs);
    // Ends a running probe without an outcome.
    void cancel();
    bool isRunning() const { return m_deadline.isActive(); }

    void onNetWorkReadyRead(const QByteArray &data, const QString &name) override;
    void onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &headers,
                                    const QString &name) override;
    void onNetWorkFinished(const QString &name) override;
    void onNetWorkError(int code, const QString &message, const QString &name) override;

Q_SIGNALS:
    // True when the channel's stream server answered.
    void sgnAnswered(bool answering);

private:
    void askStreamServer(const QString &url);
    void conclude(bool answering);

    std::unique_ptr<Common::CNetWork> m_request;
    QPointer<QTcpSocket> m_socket;
    QByteArray m_reply;
    QTimer m_deadline;
};
