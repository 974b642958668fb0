#pragma once

namespace SimMedia {

// A TCP port on 127.0.0.1 that takes connections and never answers: a stream server that hangs.
class SilentListener
{
public:
    SilentListener();
    ~SilentListener();
    SilentListener(const SilentListener &) = delete;
    SilentListener &operator=(const SilentListener &) = delete;

    int port() const { return m_port; }
    // A port on 127.0.0.1 where nothing listens: connections are refused.
    static int closedPort();

private:
    int m_socket = -1;
    int m_port = 0;
};

} // namespace SimMedia
