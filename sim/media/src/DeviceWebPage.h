#pragma once

#include <memory>
#include <string>
#include <thread>

namespace httplib {
class Server;
}

namespace SimMedia {

// A device's own configuration web page, served on its own port of 127.0.0.1.
class DeviceWebPage
{
public:
    DeviceWebPage(const std::string &deviceId, const std::string &deviceName);
    ~DeviceWebPage();
    DeviceWebPage(const DeviceWebPage &) = delete;
    DeviceWebPage &operator=(const DeviceWebPage &) = delete;

    // 0 when the page could not be started.
    int port() const { return m_port; }

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
};

} // namespace SimMedia
