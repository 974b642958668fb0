#include "DoorRoutes.h"

#include "GatewayRoutes.h"

#include <kwl/KPrintLog.h>

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

namespace {

SimReply refused(const QString &code, const QString &message)
{
    KLOG(4, "door not opened: %s", qPrintable(message));
    return SimReply::json({{"code", code}, {"success", false}, {"errMsg", message}});
}

bool hasChannel(const QJsonObject &device, int channelId)
{
    for (const QJsonValue &channel : device.value("channels").toArray()) {
        if (channel.toObject().value("channelId").toInt() == channelId)
            return true;
    }
    return false;
}

} // namespace

DoorRoutes::DoorRoutes(const DeviceFile &devices, const TokenStore &tokens)
    : m_devices(devices)
    , m_tokens(tokens)
{ }

void DoorRoutes::install(SimRouter &router)
{
    router.add("POST", openDoorPath,
               [this](const SimRequest &request) { return openDoor(request); });
}

SimReply DoorRoutes::openDoor(const SimRequest &request) const
{
    if (const std::optional<SimReply> refusal
        = GatewayRoutes::refuseUnlessLoggedIn(request, m_tokens))
        return *refusal;
    const QJsonObject body = QJsonDocument::fromJson(request.body).object();
    const QString deviceId = body.value("deviceId").toString();
    const int channelId = body.value("channelId").toInt(1);
    const QJsonObject device = m_devices.device(deviceId);
    if (device.isEmpty())
        return refused("404", QString("no device \"%1\"").arg(deviceId));
    if (device.value("deviceType").toString() != "door")
        return refused("400", QString("\"%1\" is not a door station").arg(deviceId));
    if (!hasChannel(device, channelId))
        return refused("404", QString("\"%1\" has no channel %2").arg(deviceId).arg(channelId));
    if (!device.value("online").toBool())
        return refused("503", QString("door station \"%1\" is offline").arg(deviceId));
    const QString openedAt = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss");
    KLOG(4, "door %s channel %d opened at %s", qPrintable(deviceId), channelId,
         qPrintable(openedAt));
    return SimReply::success(
        QJsonObject {{"deviceId", deviceId}, {"channelId", channelId}, {"openedAt", openedAt}});
}
