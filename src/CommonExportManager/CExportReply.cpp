#include "CommonExportManager/CExportReply.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>

void CExportReply::ApplyHeaders(const QList<QNetworkReply::RawHeaderPair> &headers,
                                networkParams_t &params)
{
    QMap<QString, QString> values;
    for (const auto &header : headers)
        values.insert(QString::fromUtf8(header.first), QString::fromUtf8(header.second));
    params.size = qMax(values.value("size").toLongLong(), qint64(0));
    if (values.contains("name"))
        params.name = values.value("name");
    if (values.contains("isBase64"))
        params.isBase64 = values.value("isBase64").toInt() != 0;
}

bool CExportReply::DecodeBase64Envelope(const QByteArray &text, QByteArray *content, QString *error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(text, &parseError);
    if (parseError.error != QJsonParseError::NoError) {
        *error = "data from server error";
        return false;
    }
    const QJsonObject envelope = document.object();
    if (!document.isObject() || !envelope.value("success").toBool(false)) {
        *error = "data jsonobject from server error";
        return false;
    }
    *content = QByteArray::fromBase64(envelope.value("data").toString().toLocal8Bit());
    return true;
}
