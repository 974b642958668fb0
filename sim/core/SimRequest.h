#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>

using SimHeaders = QList<QPair<QByteArray, QByteArray>>;

// One request as it reached the platform: what a route reads and what the request log keeps.
struct SimRequest
{
    qint64 sequence = 0; // 1 for the first request of the log, 0 for requests not logged
    QString scheme; // "http" or "https"
    QString method;
    QString path; // decoded, without the query
    QString query; // raw text after "?", empty when none
    SimHeaders headers;
    QByteArray body;
    QString fault; // name of the fault that answered it, empty when it was answered normally

    // Value of the first header of that name (case-insensitive), empty when it was not sent.
    QByteArray header(const QByteArray &name) const;
    // The user token of an "Authorization: Bearer <token>" header, empty when there is none.
    QString bearerToken() const;
    // The request as the control API shows it.
    QJsonObject toJson() const;
};
