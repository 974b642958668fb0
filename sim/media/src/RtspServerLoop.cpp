#include "RtspServerLoop.h"

#include <gst/rtsp-server/rtsp-server.h>

namespace SimMedia {

bool RtspServerLoop::start(GstRTSPServer *server)
{
    m_context.reset(g_main_context_new());
    m_sourceId = gst_rtsp_server_attach(server, m_context.get());
    if (m_sourceId == 0) {
        m_context.reset();
        return false;
    }
    m_server = GstPtr<GstRTSPServer>::share(server);
    m_loop.reset(g_main_loop_new(m_context.get(), FALSE));
    m_thread = std::thread([this] {
        g_main_context_push_thread_default(m_context.get());
        g_main_loop_run(m_loop.get());
        g_main_context_pop_thread_default(m_context.get());
    });
    return true;
}

void RtspServerLoop::stop()
{
    if (!m_server)
        return;
    const GstPtr<GstRTSPSessionPool> pool(gst_rtsp_server_get_session_pool(m_server.get()));
    gst_rtsp_session_pool_filter(
        pool.get(),
        [](GstRTSPSessionPool *, GstRTSPSession *, gpointer) { return GST_RTSP_FILTER_REMOVE; },
        nullptr);
    gst_rtsp_server_client_filter(
        m_server.get(),
        [](GstRTSPServer *, GstRTSPClient *, gpointer) { return GST_RTSP_FILTER_REMOVE; }, nullptr);
    g_main_loop_quit(m_loop.get());
    m_thread.join();
    if (GSource *source = g_main_context_find_source_by_id(m_context.get(), m_sourceId))
        g_source_destroy(source);
    m_server.reset();
    m_loop.reset();
    m_context.reset();
}

} // namespace SimMedia
