#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

// Plain HTTP requests that wait for their answer while the event loop runs, for test code that
// talks to orvane-sim and to the DevTools port on 127.0.0.1 (never through a proxy).
namespace SyncHttp {

struct Reply
{
    int status = 0; // HTTP status; 0 when no answer came
    QByteArray body;
    QString error; // why no answer came; empty when one did

    // The body as a JSON object; empty when it is not one.
    QJsonObject json() const;
};

using Headers = QList<QPair<QByteArray, QByteArray>>;

// Sends one request and waits up to timeoutMs for the whole answer.
Reply send(const QByteArray &verb, const QUrl &url, const QByteArray &body = {},
           const Headers &headers = {}, int timeoutMs = 15000);

} // namespace SyncHttp
