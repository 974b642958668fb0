#pragma once

#include "DeviceFile.h"
#include "SimRouter.h"
#include "TokenStore.h"

#include <QHash>
#include <QMutex>

// The gateway's device abilities the video windows switch: a camera's white light and siren.
// A request the device cannot follow is answered with status 200 and a "code" other than "0",
// which is how the client tells a refused switch. The control API changes the answers at run
// time: POST /sim/abilities {"deviceId", "channelId"?, "sirenSeconds"?, "code"?} sets the
// siren's seconds of the device or of one channel (0 allowed) and a refusal code for every
// ability request of the device; POST /sim/abilities/clear drops every such setting.
class AbilityRoutes
{
public:
    static constexpr const char *cameraStatusPath
        = "/gateway/devicemanage/ability/setDeviceCameraStatus";
    static constexpr const char *sirenStartPath
        = "/gateway/devicemanage/ability/setDeviceSirenStart";
    static constexpr const char *sirenStopPath = "/gateway/devicemanage/ability/setDeviceSirenStop";

    AbilityRoutes(const DeviceFile &devices, const TokenStore &tokens);

    // Adds the ability routes and their control routes to the router.
    void install(SimRouter &router);

private:
    // What the control API set for a device ("<device>") or one channel ("<device>/<channel>").
    struct Setting
    {
        int sirenSeconds = -1; // -1: the device file's
        QString code; // non-empty: every request of the device is refused with it
    };

    SimReply configure(const QJsonObject &body);
    Setting setting(const QString &key) const;
    int sirenSeconds(const QJsonObject &device, const QString &channelId) const;
    SimReply cameraStatus(const QJsonObject &body, const QJsonObject &device) const;
    SimReply sirenStart(const QJsonObject &body, const QJsonObject &device) const;
    // Checks the user and the device the body names before the handler runs.
    SimRouter::Handler forDevice(
        std::function<SimReply(const QJsonObject &body, const QJsonObject &device)> handler) const;

    const DeviceFile &m_devices;
    const TokenStore &m_tokens;
    mutable QMutex m_mutex; // the settings are read by the listeners' threads
    QHash<QString, Setting> m_settings;
};
