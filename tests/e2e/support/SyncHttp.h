#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QUrl>

// Plain HTTP requests that wait for their answer while the event loop runs, for test code that
// talks to orvane-sim and to the DevTools port on 127.0.0.1 (never through a proxy).
namespace SyncHttp {

struct Reply
{
    int status = 0; // HTTP status; 0 when no answer came
    QByteArray body;
    QString error; // empty when an answer came

    QJsonObject json() const; // the body as a JSON object; empty when it is not one
};

// Sends one request and waits up to timeoutMs for the whole answer (redirects not followed).
Reply send(const QByteArray &verb, const QUrl &url, const QByteArray &body = {},
           int timeoutMs = 15000, const QByteArray &contentType = "application/json");

} // namespace SyncHttp
