#include "Common/CNetWorkTimeOut.h"

#include <QNetworkReply>
#include <QTimer>

namespace Common {

CNetWorkTimeOut::CNetWorkTimeOut(QNetworkReply *reply, int milliseconds)
    : QObject(reply), m_reply(reply)
{
    if (reply && reply->isRunning())
        QTimer::singleShot(milliseconds, this, &CNetWorkTimeOut::onTimeout);
}

void CNetWorkTimeOut::onTimeout()
{
    if (!m_reply || !m_reply->isRunning())
        return;
    m_reply->deleteLater();
    // A receiver may delete this guard while the signal is delivered: nothing after the emit.
    emit timeout();
}

} // namespace Common
