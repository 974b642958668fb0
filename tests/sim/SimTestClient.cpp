#include "SimTestClient.h"

#include <QJsonDocument>

namespace {

httplib::Headers bearer(const QString &token)
{
    if (token.isEmpty())
        return {};
    return {{"Authorization", "Bearer " + token.toStdString()}};
}

} // namespace

SimTestClient::SimTestClient(int port, bool https)
    : m_client((https ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(port))
{
    m_client.enable_server_certificate_verification(false);
}

httplib::Result SimTestClient::get(const QString &path, const QString &token)
{
    return m_client.Get(path.toStdString(), bearer(token));
}

httplib::Result SimTestClient::post(const QString &path, const QByteArray &body,
                                    const QString &token)
{
    return m_client.Post(path.toStdString(), bearer(token), body.toStdString(),
                         "application/json;charset=utf-8");
}

httplib::Result SimTestClient::post(const QString &path, const QJsonObject &body)
{
    return post(path, QJsonDocument(body).toJson(QJsonDocument::Compact));
}

const QJsonObject SimTestClient::json(const httplib::Result &result)
{
    if (!result)
        return {};
    return QJsonDocument::fromJson(QByteArray::fromStdString(result->body)).object();
}
