#include "SimListener.h"

#include <httplib.h>

#include <chrono>

namespace {

// Enough workers for many slow answers at once: a late or trickled answer holds one for its
// whole length.
constexpr size_t kWorkers = 48;
// Short, so that stopping does not wait long for idle kept-alive connections.
constexpr time_t kKeepAliveSeconds = 2;

} // namespace

SimListener::SimListener(std::unique_ptr<httplib::Server> server)
    : m_server(std::move(server))
{
    m_server->new_task_queue = [] {
        return new httplib::ThreadPool(kWorkers);
    };
    m_server->set_keep_alive_timeout(kKeepAliveSeconds);
    // An answer goes out as head and body: with Nagle's algorithm the body waited for the
    // client's delayed acknowledgement of the head, 40 ms per request on a kept connection.
    m_server->set_tcp_nodelay(true);
    // httplib's default also sets SO_REUSEPORT, which would let a second platform share the
    // port and take half of the requests: only allow a quick restart on the same port.
    m_server->set_socket_options([](socket_t socket) {
        const int yes = 1;
        ::setsockopt(socket, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
}

SimListener::~SimListener()
{
    stop();
}

bool SimListener::listen(int port, QString *error)
{
    const std::string host = "127.0.0.1";
    if (!m_server->is_valid()) {
        *error = "the server could not be set up";
        return false;
    }
    m_port = port == 0 ? m_server->bind_to_any_port(host)
                       : (m_server->bind_to_port(host, port) ? port : -1);
    if (m_port <= 0) {
        *error = QString("cannot listen on 127.0.0.1:%1 (in use or not allowed)").arg(port);
        m_port = 0;
        return false;
    }
    m_finished = false;
    m_thread = std::thread([this] {
        m_server->listen_after_bind();
        m_finished = true;
    });
    // stop() only acts on a running server: wait until it runs (or has already given up).
    while (!m_server->is_running() && !m_finished)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return true;
}

void SimListener::stop()
{
    if (!m_thread.joinable())
        return;
    m_server->stop();
    m_thread.join();
}
