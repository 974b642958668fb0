#pragma once

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <sys/socket.h>

namespace StreamCore {

// A local TCP port on 127.0.0.1 relaying every connection to a device's web server, so that
// the system browser can open the device's own page at http://127.0.0.1:<port>.
//
// Its thread first makes sure the device answers: it connects and asks "HEAD /"; refused, closed
// without an answer or silent for the probe time reports 0. Then it relays, without blocking
// on any one connection: a slow or vanished browser costs only its own connection; a device
// that ends its half is passed on as such once its data is through, a browser's end is not
// (web servers drop an answer whose request is followed by a half-close), the device ends the
// connection when idle.
// Bytes go from socket to socket through a pipe per direction (splice), never through the
// relay's own memory.
class WebRelay
{
public:
    // Called once from the relay's thread with the local port (0: the device did not answer).
    using Ready = std::function<void(int port)>;

    WebRelay(const std::string &targetHost, int targetPort, int probeTimeoutMs, Ready ready);
    // Ends every connection and the thread.
    ~WebRelay();
    WebRelay(const WebRelay &) = delete;
    WebRelay &operator=(const WebRelay &) = delete;

    // The local port; 0 when it could not be opened.
    int port() const { return m_port; }

private:
    struct Pair;

    void run(int probeTimeoutMs, const Ready &ready);
    bool probe(int timeoutMs);
    // Waits for the events on fd (and the stop pipe) until the deadline; false when stopping
    // or out of time.
    bool waitFor(int fd, short events, long long deadlineMs);
    void serve();
    void accept(std::vector<Pair> &pairs);

    std::string m_targetHost;
    int m_targetPort;
    sockaddr_storage m_target {};
    socklen_t m_targetLength = 0;
    int m_listener = -1;
    int m_wake[2] = {-1, -1};
    int m_port = 0;
    std::thread m_thread;
};

} // namespace StreamCore
