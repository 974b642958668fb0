#pragma once

#include <atomic>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace SimMedia {

// A device's own configuration web site, served on its own port of 127.0.0.1: a status page,
// a settings form that saves, a snapshot picture and a recording download of any size. The
// platform's web relay reaches it there.
//
// Each device's web server can be switched on demand (tests, the control API): online; offline
// (nothing listens, connections are refused); refusing (connections are taken and closed at
// once); silent (connections are taken and never answered). The switches are kept by device
// id for the whole process, since pages are started on first use: a switch applies at once to
// a page already running and to one started later. The port stays the same throughout.
class DeviceWebPage
{
public:
    enum class State { Online, Offline, Refuse, Silent };

    DeviceWebPage(const std::string &deviceId, const std::string &deviceName);
    ~DeviceWebPage();
    DeviceWebPage(const DeviceWebPage &) = delete;
    DeviceWebPage &operator=(const DeviceWebPage &) = delete;

    // 0 when the page could not be started.
    int port() const { return m_port; }

    // Switches the web server of a device (running or started later).
    static void setState(const std::string &deviceId, State state);
    // "online", "offline", "refuse", "silent"; false for any other name.
    static bool stateNamed(const std::string &name, State *state);
    // Every device back online.
    static void resetStates();

private:
    // Serves the site, refuses or stays silent on the port; under the registry's lock.
    void apply(State state);
    void stopListening();
    bool serveSite();
    bool listenRaw(State state);
    void addRoutes(httplib::Server &server);

    const std::string m_deviceId;
    const std::string m_deviceName;
    int m_port = 0;

    std::mutex m_settingsMutex; // the settings are saved from the server's threads
    std::map<std::string, std::string> m_settings;

    std::unique_ptr<httplib::Server> m_server;
    std::thread m_serverThread;
    int m_rawSocket = -1;
    std::atomic<bool> m_rawStop {false};
    std::thread m_rawThread;
};

} // namespace SimMedia
