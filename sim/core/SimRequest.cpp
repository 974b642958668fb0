#include "SimRequest.h"

QByteArray SimRequest::header(const QByteArray &name) const
{
    for (const auto &header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return {};
}

QString SimRequest::bearerToken() const
{
    static const QByteArray prefix = "Bearer ";
    const QByteArray value = header("Authorization");
    if (!value.startsWith(prefix))
        return {};
    return QString::fromUtf8(value.mid(prefix.size()));
}

QJsonObject SimRequest::toJson() const
{
    QJsonObject headerObject;
    for (const auto &header : headers) {
        const QString name = QString::fromUtf8(header.first);
        const QString value = QString::fromUtf8(header.second);
        const QString earlier = headerObject.value(name).toString();
        headerObject.insert(name, earlier.isEmpty() ? value : earlier + ", " + value);
    }
    return {{"sequence", sequence},
            {"scheme", scheme},
            {"method", method},
            {"path", path},
            {"query", query},
            {"headers", headerObject},
            {"body", QString::fromUtf8(body)},
            {"fault", fault}};
}
