#pragma once

#include "StreamCore/StreamCoreTypes.h"

#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace StreamCore {

class PlatformClient;
class TaskQueue;
class WebRelay;

// The devices' web pages: the user's devices (with their web port and login) as handed over by
// the client, and one local relay per opened device page. An opening asks the platform where
// the device's page is (on the library's worker thread), then the relay's own thread checks
// that the device answers before the port is reported. Relays end outside the lock, since
// their threads report under it.
class WebPortService
{
public:
    // Reports the outcome of an opening: the device and its local port (0: failed).
    using Report = std::function<void(const std::string &deviceId, int port)>;

    WebPortService(PlatformClient *platform, TaskQueue *requests, Report report);
    ~WebPortService();

    // Keeps the devices of a JSON array [{"Sn", "Type", "Port", "User", "Pwd"}]; false when
    // the text is not such an array.
    bool addDevices(const std::string &json);
    // Starts opening the device's page; the outcome goes to the report function.
    void open(const std::string &token, const std::string &deviceId);
    PortState state(const std::string &deviceId) const;
    void clear(const std::string &deviceId);
    void clearAll();

private:
    struct Device
    {
        int port = 0;
        std::string user;
        std::string password;
    };
    struct Opened
    {
        PortState state {0, WEB_PORT_NONE};
        std::shared_ptr<WebRelay> relay;
        int attempt = 0;
    };
    // Keeps the relay of an opening that is still wanted.
    void adopt(const std::string &deviceId, int attempt, std::shared_ptr<WebRelay> relay);
    // Records and reports the outcome of an opening that is still wanted.
    void finish(const std::string &deviceId, int attempt, int port);

    PlatformClient *m_platform;
    TaskQueue *m_requests;
    Report m_report;
    mutable std::mutex m_mutex;
    std::map<std::string, Device> m_devices;
    std::map<std::string, Opened> m_opened;
    int m_attempts = 0;
};

} // namespace StreamCore
