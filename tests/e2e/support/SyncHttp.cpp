#include "SyncHttp.h"

#include <QBuffer>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QTest>

#include <memory>

namespace SyncHttp {

QJsonObject Reply::json() const
{
    return QJsonDocument::fromJson(body).object();
}

Reply send(const QByteArray &verb, const QUrl &url, const QByteArray &body, int timeoutMs,
           const QByteArray &contentType)
{
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, contentType);
    QBuffer upload;
    upload.setData(body);
    std::unique_ptr<QNetworkReply> reply(manager.sendCustomRequest(request, verb, &upload));
    Reply result;
    if (!QTest::qWaitFor([&reply] { return reply->isFinished(); }, timeoutMs))
        result.error = QString("no answer from %1 within %2 ms").arg(url.toString()).arg(timeoutMs);
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    result.body = reply->readAll();
    if (result.status == 0 && result.error.isEmpty())
        result.error = url.toString() + ": " + reply->errorString();
    return result;
}

} // namespace SyncHttp
