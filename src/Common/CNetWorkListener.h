#pragma once

#include <QByteArray>
#include <QList>
#include <QNetworkReply>
#include <QPair>
#include <QString>

namespace Common {

// Receives the results of a CNetWork. `name` is the name the client was constructed with, so
// that one listener can tell several clients apart.
class CNetWorkListener
{
public:
    virtual ~CNetWorkListener() = default;

    // Body bytes that have arrived (everything readable at that moment).
    virtual void onNetWorkReadyRead(const QByteArray &data, const QString &name) = 0;
    // Every raw header of the reply; called immediately before each onNetWorkReadyRead.
    virtual void onNetWorkRawHeaderCallBack(const QList<QNetworkReply::RawHeaderPair> &headers,
                                            const QString &name) = 0;
    // The reply finished without error.
    virtual void onNetWorkFinished(const QString &name) = 0;
    // The request failed: Qt's error code, -1000 for SSL errors or -1001 for a time-out.
    virtual void onNetWorkError(int code, const QString &message, const QString &name) = 0;
};

} // namespace Common
