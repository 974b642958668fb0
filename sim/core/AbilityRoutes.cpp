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
    router.addControl("POST", "/sim/abilities", [this](const SimRequest &request) {
        return configure(QJsonDocument::fromJson(request.body).object());
    });
    router.addControl("POST", "/sim/abilities/clear", [this](const SimRequest &) {
        QMutexLocker lock(&m_mutex);
        m_settings.clear();
        return SimReply::json({{"ok", true}});
    });
}

SimReply AbilityRoutes::configure(const QJsonObject &body)
{
    const QString deviceId = body.value("deviceId").toString();
    const QJsonValue seconds = body.value("sirenSeconds");
    const QJsonValue code = body.value("code");
    QString error;
    if (m_devices.device(deviceId).isEmpty())
        error = QString("no device \"%1\"").arg(deviceId);
    else if (!seconds.isUndefined() && (!seconds.isDouble() || seconds.toInt(-1) < 0))
        error = "\"sirenSeconds\" must be a whole number of 0 or more";
    else if (!code.isUndefined() && !code.isString())
        error = "\"code\" must be text";
    else if (!code.isUndefined() && body.contains("channelId"))
        error = "\"code\" applies to the whole device";
    if (!error.isEmpty())
        return SimReply::json({{"ok", false}, {"error", error}}, 400);
    const QString key = body.contains("channelId")
        ? deviceId + "/" + QString::number(body.value("channelId").toInt())
        : deviceId;
    QMutexLocker lock(&m_mutex);
    Setting &setting = m_settings[key];
    if (!seconds.isUndefined())
        setting.sirenSeconds = seconds.toInt();
    if (!code.isUndefined())
        setting.code = code.toString();
    return SimReply::json({{"ok", true}});
}

AbilityRoutes::Setting AbilityRoutes::setting(const QString &key) const
{
    QMutexLocker lock(&m_mutex);
    return m_settings.value(key);
}

int AbilityRoutes::sirenSeconds(const QJsonObject &device, const QString &channelId) const
{
    const QString deviceId = device.value("deviceId").toString();
    const int ofChannel
        = channelId.isEmpty() ? -1 : setting(deviceId + "/" + channelId).sirenSeconds;
    if (ofChannel >= 0)
        return ofChannel;
    const int ofDevice = setting(deviceId).sirenSeconds;
    return ofDevice >= 0 ? ofDevice : device.value("sirenSeconds").toInt();
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
        const QString code = setting(deviceId).code;
        if (!code.isEmpty())
            return refused(code, "refused through the control API");
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
    QJsonArray channels;
    for (const QJsonValue &channel : body.value("channels").toArray()) {
        if (!hasChannel(device, channel.toString()))
            return refused("404", QString("no channel %1").arg(channel.toString()));
        channels.append(QJsonObject {{"channelId", channel.toString()},
                                     {"time", sirenSeconds(device, channel.toString())}});
    }
    return SimReply::success(
        QJsonObject {{"time", sirenSeconds(device, QString())}, {"channels", channels}});
}
