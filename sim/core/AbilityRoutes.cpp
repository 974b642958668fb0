#include "AbilityRoutes.h"

#include "GatewayRoutes.h"

#include <QJsonDocument>

namespace {

SimReply refused(const QString &code, const QString &message)
{
    return SimReply::json({{"code", code}, {"success", false}, {"errMsg", message}});
}

bool hasChannel(const QJsonObject &device, const QString &channelId)
{
    for (const QJsonValue &channel : device.value("channels").toArray()) {
        if (QString::number(channel.toObject().value("channelId").toInt()) == channelId)
            return true;
    }
    return false;
}

} // namespace

AbilityRoutes::AbilityRoutes(const DeviceFile &devices, const TokenStore &tokens)
    : m_devices(devices)
    , m_tokens(tokens)
{ }

void AbilityRoutes::install(SimRouter &router)
{
    router.add("POST", cameraStatusPath,
               forDevice([this](const QJsonObject &b, const QJsonObject &d) {
                   return cameraStatus(b, d);
               }));
    router.add(
        "POST", sirenStartPath,
        forDevice([this](const QJsonObject &b, const QJsonObject &d) { return sirenStart(b, d); }));
    router.add("POST", sirenStopPath, forDevice([](const QJsonObject &, const QJsonObject &) {
                   return SimReply::success(QJsonObject());
               }));
}

SimRouter::Handler AbilityRoutes::forDevice(
    std::function<SimReply(const QJsonObject &, const QJsonObject &)> handler) const
{
    return [this, handler](const SimRequest &request) {
        if (const std::optional<SimReply> refusal
            = GatewayRoutes::refuseUnlessLoggedIn(request, m_tokens))
            return *refusal;
        const QJsonObject body = QJsonDocument::fromJson(request.body).object();
        const QString deviceId = body.value("deviceId").toString();
        const QJsonObject device = m_devices.device(deviceId);
        if (device.isEmpty())
            return refused("404", QString("no device \"%1\"").arg(deviceId));
        if (!device.value("online").toBool())
            return refused("503", QString("device \"%1\" is offline").arg(deviceId));
        return handler(body, device);
    };
}

SimReply AbilityRoutes::cameraStatus(const QJsonObject &body, const QJsonObject &device) const
{
    if (body.value("enableType").toString() != "whiteLight" || !body.value("enable").isBool())
        return refused("400", "\"enableType\" must be \"whiteLight\" and \"enable\" true or false");
    if (body.contains("channelId")
        && !hasChannel(device, QString::number(body.value("channelId").toInt())))
        return refused("404", "no such channel");
    return SimReply::success(QJsonObject());
}

SimReply AbilityRoutes::sirenStart(const QJsonObject &body, const QJsonObject &device) const
{
    const int seconds = device.value("sirenSeconds").toInt();
    QJsonArray channels;
    for (const QJsonValue &channel : body.value("channels").toArray()) {
        if (!hasChannel(device, channel.toString()))
            return refused("404", QString("no channel %1").arg(channel.toString()));
        channels.append(QJsonObject {{"channelId", channel.toString()}, {"time", seconds}});
    }
    return SimReply::success(QJsonObject {{"time", seconds}, {"channels", channels}});
}
