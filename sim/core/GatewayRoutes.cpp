#include "GatewayRoutes.h"

#include <QJsonDocument>

namespace {

// Only the keys the list shows; the file may hold more.
QJsonObject pick(const QJsonObject &from, const QStringList &keys)
{
    QJsonObject result;
    for (const QString &key : keys)
        result.insert(key, from.value(key));
    return result;
}

} // namespace

GatewayRoutes::GatewayRoutes(const DeviceFile &devices, TokenStore &tokens,
                             const ClientVersion &version)
    : m_devices(devices)
    , m_tokens(tokens)
    , m_version(version)
{ }

void GatewayRoutes::install(SimRouter &router)
{
    router.add("GET", versionPath, [this](const SimRequest &) { return version(); });
    router.add("GET", tokenPath, [this](const SimRequest &r) { return token(r); });
    router.add("POST", deviceListPath, [this](const SimRequest &r) { return deviceList(r); });
    router.add("POST", loginPath, [this](const SimRequest &r) { return loginReply(r); });
    router.add("POST", logoutPath, [this](const SimRequest &r) { return logout(r); });
}

QJsonObject GatewayRoutes::login(const QString &userName, const QString &password)
{
    const QJsonObject user = m_devices.user(userName);
    if (user.isEmpty() || user.value("password").toString() != password)
        return {};
    m_tokens.openSession(user.value("token").toString(), userName);
    return user;
}

SimReply GatewayRoutes::version() const
{
    return SimReply::success(m_version.get());
}

SimReply GatewayRoutes::token(const SimRequest &request)
{
    if (const std::optional<SimReply> refusal = refuseUnlessLoggedIn(request, m_tokens))
        return *refusal;
    const std::optional<TokenStore::DeviceToken> issued
        = m_tokens.deviceToken(request.bearerToken());
    if (!issued) // the session was closed in between
        return SimReply::refusal(401, "the user token opens no session; log in first");
    return SimReply::success(QJsonObject {{"token", issued->token}, {"expire", issued->expire}});
}

SimReply GatewayRoutes::deviceList(const SimRequest &request) const
{
    if (const std::optional<SimReply> refusal = refuseUnlessLoggedIn(request, m_tokens))
        return *refusal;
    QJsonArray list;
    for (const QJsonValue &device : m_devices.devices())
        list.append(deviceEntry(device.toObject()));
    return SimReply::success(list);
}

SimReply GatewayRoutes::loginReply(const SimRequest &request)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &error);
    if (!document.isObject())
        return SimReply::refusal(400,
                                 "the login body must be a JSON object with \"userName\" "
                                 "and \"password\"");
    const QJsonObject given = document.object();
    const QJsonObject user
        = login(given.value("userName").toString(), given.value("password").toString());
    if (user.isEmpty())
        return SimReply::refusal(401, "wrong user name or password");
    QJsonObject data = pick(user, {"token", "userName", "userType", "userPhoto"});
    data.insert("menuList", m_devices.menusOf(user));
    return SimReply::success(data);
}

SimReply GatewayRoutes::logout(const SimRequest &request)
{
    if (!m_tokens.closeSession(request.bearerToken()))
        return SimReply::refusal(401, "the user token opens no session");
    return SimReply::success(QJsonObject());
}

std::optional<SimReply> GatewayRoutes::refuseUnlessLoggedIn(const SimRequest &request,
                                                            const TokenStore &tokens)
{
    if (request.bearerToken().isEmpty())
        return SimReply::refusal(401, "missing \"Authorization: Bearer <user token>\"");
    if (tokens.sessionUser(request.bearerToken()).isEmpty())
        return SimReply::refusal(401, "the user token opens no session; log in first");
    return std::nullopt;
}

QJsonObject GatewayRoutes::deviceEntry(const QJsonObject &device) const
{
    QJsonObject entry
        = pick(device,
               {"deviceId", "deviceName", "deviceType", "deviceModel", "brand", "shopCode",
                "ability", "streamPort", "devLoginName", "devLoginPassword", "online"});
    entry.insert("shopName", m_devices.shopName(device.value("shopCode").toString()));
    QJsonArray channels;
    for (const QJsonValue &channel : device.value("channels").toArray())
        channels.append(
            pick(channel.toObject(), {"channelId", "channelName", "ability", "online"}));
    entry.insert("channels", channels);
    return entry;
}
