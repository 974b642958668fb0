#pragma once

#include <QJsonObject>
#include <QString>

#include <httplib.h>

// Plain HTTP(S) calls to a platform on 127.0.0.1, as the tests make them.
class SimTestClient
{
public:
    explicit SimTestClient(int port, bool https = false);

    // A GET, with "Authorization: Bearer <token>" when a token is given.
    httplib::Result get(const QString &path, const QString &token = {});
    // A POST of a body, with the bearer token when one is given.
    httplib::Result post(const QString &path, const QByteArray &body, const QString &token = {});
    // A POST of a JSON object (the control API).
    httplib::Result post(const QString &path, const QJsonObject &body);
    // The answer's body as a JSON object; empty when there was no answer or it is no object.
    static const QJsonObject json(const httplib::Result &result);
    // The client itself, for time-outs and the other calls.
    httplib::Client &client() { return m_client; }

private:
    httplib::Client m_client;
};
