#include "SimReply.h"

#include <QJsonDocument>

SimReply SimReply::json(const QJsonObject &object, int status)
{
    SimReply reply;
    reply.status = status;
    reply.body = QJsonDocument(object).toJson(QJsonDocument::Compact);
    return reply;
}

SimReply SimReply::success(const QJsonValue &data)
{
    return json({{"code", "0"}, {"success", true}, {"errMsg", ""}, {"data", data}});
}

SimReply SimReply::refusal(int status, const QString &message)
{
    return json({{"code", QString::number(status)}, {"success", false}, {"errMsg", message}},
                status);
}
