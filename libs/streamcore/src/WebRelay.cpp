#include "WebRelay.h"

#include "Log.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace StreamCore {

namespace {

constexpr size_t kChunk = 16384;

int connectTo(const std::string &host, int port)
{
    addrinfo hints {};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
        return -1;
    int fd = -1;
    for (addrinfo *a = found; a && fd < 0; a = a->ai_next) {
        fd = socket(a->ai_family, a->ai_socktype | SOCK_CLOEXEC, a->ai_protocol);
        if (fd >= 0 && connect(fd, a->ai_addr, a->ai_addrlen) != 0) {
            close(fd);
            fd = -1;
        }
    }
    freeaddrinfo(found);
    return fd;
}

// One browser connection and its connection to the device.
struct Pair
{
    int client;
    int device;
};

// Moves what is readable from one side to the other; false when either side closed.
bool pump(int from, int to)
{
    char buffer[kChunk];
    const ssize_t n = recv(from, buffer, sizeof buffer, 0);
    if (n <= 0)
        return false;
    for (ssize_t sent = 0; sent < n;) {
        const ssize_t m = send(to, buffer + sent, n - sent, MSG_NOSIGNAL);
        if (m <= 0)
            return false;
        sent += m;
    }
    return true;
}

} // namespace

WebRelay::WebRelay(const std::string &targetHost, int targetPort)
    : m_targetHost(targetHost)
    , m_targetPort(targetPort)
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0
        || listen(m_listener, 16) != 0
        || getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0
        || pipe2(m_wake, O_CLOEXEC) != 0) {
        SCLOG(6, "web relay: cannot open a local port");
        return;
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { run(); });
}

WebRelay::~WebRelay()
{
    if (m_thread.joinable()) {
        const char stop = 1;
        (void)!write(m_wake[1], &stop, 1);
        m_thread.join();
    }
    for (int fd : {m_listener, m_wake[0], m_wake[1]}) {
        if (fd >= 0)
            close(fd);
    }
}

void WebRelay::run()
{
    std::vector<Pair> pairs;
    for (;;) {
        std::vector<pollfd> fds {{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}};
        for (const Pair &p : pairs) {
            fds.push_back({p.client, POLLIN, 0});
            fds.push_back({p.device, POLLIN, 0});
        }
        if (poll(fds.data(), fds.size(), -1) < 0)
            continue;
        if (fds[0].revents)
            break;
        if (fds[1].revents & POLLIN) {
            const int client = accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
            const int device = client >= 0 ? connectTo(m_targetHost, m_targetPort) : -1;
            if (device >= 0) {
                pairs.push_back({client, device});
            } else if (client >= 0) {
                SCLOG(6, "web relay: device %s:%d unreachable", m_targetHost.c_str(), m_targetPort);
                close(client);
            }
        }
        // Pairs of this round sit at fds[2 + 2i] and fds[3 + 2i].
        std::vector<Pair> open;
        for (size_t i = 0; i + 2 < fds.size() && i / 2 < pairs.size(); i += 2) {
            const Pair &p = pairs[i / 2];
            const bool alive
                = (!(fds[2 + i].revents & (POLLIN | POLLHUP | POLLERR)) || pump(p.client, p.device))
                && (!(fds[3 + i].revents & (POLLIN | POLLHUP | POLLERR))
                    || pump(p.device, p.client));
            if (alive) {
                open.push_back(p);
            } else {
                close(p.client);
                close(p.device);
            }
        }
        // A pair accepted in this round was not polled yet.
        for (size_t i = (fds.size() - 2) / 2; i < pairs.size(); ++i)
            open.push_back(pairs[i]);
        pairs.swap(open);
    }
    for (const Pair &p : pairs) {
        close(p.client);
        close(p.device);
    }
}

} // namespace StreamCore
