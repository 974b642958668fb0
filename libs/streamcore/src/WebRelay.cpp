#include "WebRelay.h"

#include "Log.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>

namespace StreamCore {

namespace {

// What one direction holds at most: large enough that a download is not held up by the relay.
constexpr size_t kPipeSize = 1024 * 1024;
constexpr char kProbe[] = "HEAD / HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";

long long nowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// A non-blocking connection under way to address; -1 when it failed at once.
int startConnect(const sockaddr_storage &address, socklen_t length)
{
    const int fd = socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    if (connect(fd, reinterpret_cast<const sockaddr *>(&address), length) != 0
        && errno != EINPROGRESS) {
        close(fd);
        return -1;
    }
    return fd;
}

int socketError(int fd)
{
    int error = 0;
    socklen_t length = sizeof error;
    return getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) == 0 ? error : errno;
}

// What one side sent and the other has not taken yet, held in a pipe: the kernel moves the
// bytes from socket to socket (splice) without copying them through the relay.
struct Flow
{
    int pipe[2] = {-1, -1};
    size_t length = 0; // bytes in the pipe
    bool ended = false; // the sender closed its half
    bool passedOn = false; // the receiver was told (its half closed too)

    bool open()
    {
        if (pipe2(pipe, O_NONBLOCK | O_CLOEXEC) != 0)
            return false;
        // A larger pipe moves more per call; the system's smaller limit is fine too.
        fcntl(pipe[1], F_SETPIPE_SZ, int(kPipeSize));
        return true;
    }
    void close() const
    {
        for (int fd : pipe) {
            if (fd >= 0)
                ::close(fd);
        }
    }
    bool pending() const { return length > 0; }
    bool wantsInput() const { return !ended && !pending(); }
    bool done() const { return passedOn; }

    // Takes what from offers; false when the connection failed.
    bool fill(int from)
    {
        const ssize_t n
            = splice(from, nullptr, pipe[1], nullptr, kPipeSize, SPLICE_F_MOVE | SPLICE_F_NONBLOCK);
        if (n > 0)
            length += static_cast<size_t>(n);
        else if (n == 0)
            ended = true;
        else if (errno != EAGAIN && errno != EINTR)
            return false;
        return true;
    }

    // Gives to what it takes; false when the connection failed (a browser that went away).
    // The end is passed on as a half-close when closeHalf is set.
    bool drain(int to, bool closeHalf)
    {
        while (pending()) {
            const ssize_t n
                = splice(pipe[0], nullptr, to, nullptr, length, SPLICE_F_MOVE | SPLICE_F_NONBLOCK);
            if (n <= 0)
                return n < 0 && (errno == EAGAIN || errno == EINTR);
            length -= static_cast<size_t>(n);
        }
        if (ended && !passedOn) {
            if (closeHalf)
                shutdown(to, SHUT_WR);
            passedOn = true;
        }
        return true;
    }
};

} // namespace

// One browser connection and its connection to the device.
struct WebRelay::Pair
{
    int client = -1;
    int device = -1;
    bool connecting = true;
    Flow up; // browser to device
    Flow down; // device to browser

    short clientEvents() const
    {
        return short((!connecting && up.wantsInput() ? POLLIN : 0)
                     | (down.pending() ? POLLOUT : 0));
    }
    short deviceEvents() const
    {
        if (connecting)
            return POLLOUT;
        return short((down.wantsInput() ? POLLIN : 0) | (up.pending() ? POLLOUT : 0));
    }

    // Moves what the poll allows; false when the pair is finished or failed.
    bool step(short clientReady, short deviceReady)
    {
        if (connecting && deviceReady) {
            if (socketError(device) != 0)
                return false;
            connecting = false;
            return true;
        }
        const short input = POLLIN | POLLHUP | POLLERR;
        if ((clientReady & input) && up.wantsInput() && !up.fill(client))
            return false;
        if ((deviceReady & input) && down.wantsInput() && !down.fill(device))
            return false;
        // A browser's end is not passed on: web servers drop an answer whose request was
        // followed by a half-close. The device ends the connection when it is idle.
        if (!up.drain(device, false) || !down.drain(client, true))
            return false;
        return !(up.done() && down.done());
    }

    void close() const
    {
        ::close(client);
        ::close(device);
        up.close();
        down.close();
    }
};

WebRelay::WebRelay(const std::string &targetHost, int targetPort, int probeTimeoutMs, Ready ready)
    : m_targetHost(targetHost)
    , m_targetPort(targetPort)
{
    m_listener = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || bind(m_listener, reinterpret_cast<sockaddr *>(&address), length) != 0
        || listen(m_listener, 64) != 0
        || getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0
        || pipe2(m_wake, O_CLOEXEC) != 0) {
        SCLOG(6, "web relay: cannot open a local port");
        ready(0);
        return;
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this, probeTimeoutMs, ready] { run(probeTimeoutMs, ready); });
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

void WebRelay::run(int probeTimeoutMs, const Ready &ready)
{
    if (!probe(probeTimeoutMs)) {
        ready(0);
        return;
    }
    SCLOG(4, "web relay: 127.0.0.1:%d to %s:%d", m_port, m_targetHost.c_str(), m_targetPort);
    ready(m_port);
    serve();
}

bool WebRelay::waitFor(int fd, short events, long long deadlineMs)
{
    for (;;) {
        const long long left = deadlineMs - nowMs();
        if (left <= 0)
            return false;
        pollfd fds[2] = {{m_wake[0], POLLIN, 0}, {fd, events, 0}};
        const int n = poll(fds, 2, static_cast<int>(left));
        if (n < 0 && errno == EINTR)
            continue;
        return n > 0 && !fds[0].revents && fds[1].revents;
    }
}

bool WebRelay::probe(int timeoutMs)
{
    const std::string port = std::to_string(m_targetPort);
    addrinfo hints {};
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    if (getaddrinfo(m_targetHost.c_str(), port.c_str(), &hints, &found) != 0 || !found) {
        SCLOG(6, "web relay: cannot resolve the device at %s", m_targetHost.c_str());
        return false;
    }
    std::memcpy(&m_target, found->ai_addr, found->ai_addrlen);
    m_targetLength = found->ai_addrlen;
    freeaddrinfo(found);

    const long long deadline = nowMs() + timeoutMs;
    const int fd = startConnect(m_target, m_targetLength);
    const char *failure = nullptr;
    char first = 0;
    if (fd < 0 || !waitFor(fd, POLLOUT, deadline) || socketError(fd) != 0)
        failure = "refused or unreachable";
    else if (send(fd, kProbe, sizeof kProbe - 1, MSG_NOSIGNAL) != sizeof kProbe - 1)
        failure = "closed the connection";
    else if (!waitFor(fd, POLLIN, deadline))
        failure = "no answer in time";
    else if (recv(fd, &first, 1, 0) != 1)
        failure = "closed without an answer";
    if (fd >= 0)
        close(fd);
    if (failure)
        SCLOG(6, "web relay: device web page %s:%d %s", m_targetHost.c_str(), m_targetPort,
              failure);
    return !failure;
}

void WebRelay::accept(std::vector<Pair> &pairs)
{
    for (;;) {
        const int client = accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0)
            return;
        Pair pair;
        pair.client = client;
        pair.device = startConnect(m_target, m_targetLength);
        if (pair.device < 0 || !pair.up.open() || !pair.down.open()) {
            SCLOG(6, "web relay: device %s:%d unreachable", m_targetHost.c_str(), m_targetPort);
            pair.close();
            continue;
        }
        pairs.push_back(pair);
    }
}

void WebRelay::serve()
{
    std::vector<Pair> pairs;
    std::vector<pollfd> fds;
    for (;;) {
        fds.assign({{m_wake[0], POLLIN, 0}, {m_listener, POLLIN, 0}});
        // A side with nothing to wait for is left out (negative fd), so that its hang-up
        // cannot wake the loop again and again.
        for (const Pair &p : pairs) {
            const short c = p.clientEvents();
            const short d = p.deviceEvents();
            fds.push_back({c ? p.client : -1, c, 0});
            fds.push_back({d ? p.device : -1, d, 0});
        }
        if (poll(fds.data(), fds.size(), -1) < 0 && errno != EINTR) {
            SCLOG(6, "web relay: poll failed: %s", std::strerror(errno));
            break;
        }
        if (fds[0].revents)
            break;
        std::vector<Pair> open;
        open.reserve(pairs.size());
        for (size_t i = 0; i < pairs.size(); ++i) {
            if (pairs[i].step(fds[2 + 2 * i].revents, fds[3 + 2 * i].revents))
                open.push_back(std::move(pairs[i]));
            else
                pairs[i].close();
        }
        pairs.swap(open);
        if (fds[1].revents & POLLIN)
            accept(pairs);
    }
    for (const Pair &p : pairs)
        p.close();
}

} // namespace StreamCore
