#pragma once

#include <QString>

#include <atomic>
#include <memory>
#include <thread>

namespace httplib {
class Server;
} // namespace httplib

// One HTTP or HTTPS server listening on 127.0.0.1 in a thread of its own.
class SimListener
{
public:
    explicit SimListener(std::unique_ptr<httplib::Server> server);
    ~SimListener();

    // The server, to add routes to before it listens.
    httplib::Server &server() { return *m_server; }
    // Listens on the port (0: a free one) and returns once requests are taken.
    bool listen(int port, QString *error);
    // The port listened on, 0 before listen().
    int port() const { return m_port; }
    // Stops taking requests and waits for the answers in progress.
    void stop();

private:
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    std::atomic<bool> m_finished {false};
};
