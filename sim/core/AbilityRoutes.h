#pragma once

#include "DeviceFile.h"
#include "SimRouter.h"
#include "TokenStore.h"

// The gateway's device abilities the video windows switch: a camera's white light and siren.
// A request the device cannot follow is answered with status 200 and a "code" other than "0",
// which is how the client tells a refused switch.
class AbilityRoutes
{
public:
    static constexpr const char *cameraStatusPath
        = "/gateway/devicemanage/ability/setDeviceCameraStatus";
    static constexpr const char *sirenStartPath
        = "/gateway/devicemanage/ability/setDeviceSirenStart";
    static constexpr const char *sirenStopPath = "/gateway/devicemanage/ability/setDeviceSirenStop";

    AbilityRoutes(const DeviceFile &devices, const TokenStore &tokens);

    // Adds the ability routes to the router.
    void install(SimRouter &router);

private:
    SimReply cameraStatus(const QJsonObject &body, const QJsonObject &device) const;
    SimReply sirenStart(const QJsonObject &body, const QJsonObject &device) const;
    // Checks the user and the device the body names before the handler runs.
    SimRouter::Handler forDevice(
        std::function<SimReply(const QJsonObject &body, const QJsonObject &device)> handler) const;

    const DeviceFile &m_devices;
    const TokenStore &m_tokens;
};
