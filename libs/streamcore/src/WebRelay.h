#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace StreamCore {

// A local TCP port on 127.0.0.1 relaying every connection to a device's web server, so that
// the system browser can open the device's own page at http://127.0.0.1:<port>.
class WebRelay
{
public:
    WebRelay(const std::string &targetHost, int targetPort);
    ~WebRelay();
    WebRelay(const WebRelay &) = delete;
    WebRelay &operator=(const WebRelay &) = delete;

    // The local port; 0 when it could not be opened.
    int port() const { return m_port; }

private:
    void run();

    std::string m_targetHost;
    int m_targetPort;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    std::thread m_thread;
};

} // namespace StreamCore
