#pragma once

#include "DeviceFile.h"
#include "SimRouter.h"
#include "TokenStore.h"

// Remote opening of the door stations' doors, asked by the web application when the user
// presses the door button of the desktop client: POST openDoorPath {"deviceId", "channelId"?}
// with the user's bearer token. Like the abilities, a door that cannot be opened answers status
// 200 with a "code" other than "0": "404" no such device or channel, "400" not a door station,
// "503" offline. Every opening is written to the log.
class DoorRoutes
{
public:
    static constexpr const char *openDoorPath = "/gateway/device/door/openDoor";

    DoorRoutes(const DeviceFile &devices, const TokenStore &tokens);

    // Adds the door route to the router.
    void install(SimRouter &router);

private:
    SimReply openDoor(const SimRequest &request) const;

    const DeviceFile &m_devices;
    const TokenStore &m_tokens;
};
