#include "SilentListener.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace SimMedia {

namespace {

// A socket bound to a free port of 127.0.0.1; its port through *port.
int bindLoopback(int *port)
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        close(fd);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return fd;
}

} // namespace

SilentListener::SilentListener()
{
    m_socket = bindLoopback(&m_port);
    // Connections complete in the kernel's backlog; nobody ever accepts or reads them.
    if (m_socket >= 0 && listen(m_socket, 64) != 0) {
        close(m_socket);
        m_socket = -1;
        m_port = 0;
    }
}

SilentListener::~SilentListener()
{
    if (m_socket >= 0)
        close(m_socket);
}

int SilentListener::closedPort()
{
    int port = 0;
    const int fd = bindLoopback(&port);
    if (fd >= 0)
        close(fd);
    return port;
}

} // namespace SimMedia
