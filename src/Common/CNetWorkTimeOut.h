#pragma once

#include <QObject>

class QNetworkReply;

namespace Common {

// Watches one reply for its first sign of life. A child of the reply, so it dies with it.
class CNetWorkTimeOut : public QObject
{
    Q_OBJECT

public:
    // Starts a single-shot timer of `milliseconds` when the reply is still running.
    CNetWorkTimeOut(QNetworkReply *reply, int milliseconds);

signals:
    void timeout();

public slots:
    // Schedules the running reply for deletion and emits timeout(); nothing when it finished.
    void onTimeout();

private:
    QNetworkReply *m_reply;
};

} // namespace Common
