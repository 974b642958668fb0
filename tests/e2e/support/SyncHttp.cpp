#include "SyncHttp.h"

#include <QTest>

#include <QBuffer>
#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>

namespace SyncHttp {

QJsonObject Reply::json() const
{
    return QJsonDocument::fromJson(body).object();
}

Reply send(const QByteArray &verb, const QUrl &url, const QByteArray &body, const Headers &headers,
           int timeoutMs)
{
    QNetworkAccessManager manager;
    manager.setProxy(QNetworkProxy::NoProxy);
    QNetworkRequest request(url);
    for (const auto &header : headers)
        request.setRawHeader(header.first, header.second);
    if (!body.isEmpty() && !request.hasRawHeader("Content-Type"))
        request.setHeader(QNetworkRequest::ContentTypeHeader, "application/json");
    QBuffer upload;
    upload.setData(body);
    QNetworkReply *reply = manager.sendCustomRequest(request, verb, &upload);

    Reply result;
    if (!QTest::qWaitFor([reply] { return reply->isFinished(); }, timeoutMs)) {
        reply->abort();
        result.error = QString("no answer from %1 within %2 ms").arg(url.toString()).arg(timeoutMs);
    } else {
        result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.body = reply->readAll();
        if (result.status == 0)
            result.error = QString("%1: %2").arg(url.toString(), reply->errorString());
    }
    delete reply;
    return result;
}

} // namespace SyncHttp
