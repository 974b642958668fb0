#pragma once

#include "ClientVersion.h"
#include "DeviceFile.h"
#include "SimRouter.h"
#include "TokenStore.h"

// The gateway the client and the web application call: the client version, the device-platform
// token, the device list, and the web application's login and logout.
class GatewayRoutes
{
public:
    static constexpr const char *versionPath = "/gateway//membership/appVersion/getVersion/9";
    static constexpr const char *tokenPath = "/gateway/device/veltra/getTokenAndExpire";
    static constexpr const char *deviceListPath = "/gateway/device/veltra/deviceList";
    static constexpr const char *loginPath = "/gateway/auth/login";
    static constexpr const char *logoutPath = "/gateway/auth/logout";

    GatewayRoutes(const DeviceFile &devices, TokenStore &tokens, const ClientVersion &version);

    // Adds the gateway's routes to the router.
    void install(SimRouter &router);
    // Opens the session of a user whose password matches; the user's record, empty when refused.
    QJsonObject login(const QString &userName, const QString &password);
    // The refusal for a request whose bearer token opens no session, nothing when it opens one.
    static std::optional<SimReply> refuseUnlessLoggedIn(const SimRequest &request,
                                                        const TokenStore &tokens);

private:
    SimReply version() const;
    SimReply token(const SimRequest &request);
    SimReply deviceList(const SimRequest &request) const;
    SimReply loginReply(const SimRequest &request);
    SimReply logout(const SimRequest &request);
    QJsonObject deviceEntry(const QJsonObject &device) const;

    const DeviceFile &m_devices;
    TokenStore &m_tokens;
    const ClientVersion &m_version;
};
