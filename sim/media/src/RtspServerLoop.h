#pragma once

#include <GstPtr.h>

#include <thread>

typedef struct _GstRTSPServer GstRTSPServer;

namespace SimMedia {

// Serves an RTSP server from a main loop on a thread of its own, and ends it with every
// session and connection.
class RtspServerLoop
{
public:
    ~RtspServerLoop() { stop(); }

    // Starts listening; false when the server cannot take its port.
    bool start(GstRTSPServer *server);
    // Ends every session (their media let go of their sources first) and connection, then
    // the loop.
    void stop();
    // The loop's context, for sources of the server's owner.
    GMainContext *context() const { return m_context.get(); }

private:
    GstPtr<GstRTSPServer> m_server;
    GstPtr<GMainContext> m_context;
    GstPtr<GMainLoop> m_loop;
    guint m_sourceId = 0;
    std::thread m_thread;
};

} // namespace SimMedia
