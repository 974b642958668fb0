#pragma once

#include "GstPtr.h"

#include <gst/gst.h>

#include <atomic>
#include <functional>
#include <mutex>
#include <string>

typedef struct _GstAppSink GstAppSink;

namespace StreamCore {

// Talk to a device over the RTSP back channel (ONVIF): an RTSP session that asks for the
// back channel, and a microphone pipeline encoding G.711 into RTP packets that are pushed
// into it. The microphone is autoaudiosrc unless STREAMCORE_MICROPHONE names another source
// description.
class TalkPipeline
{
public:
    // ok: the first sound reached the device; otherwise the error text.
    using Notify = std::function<void(bool ok, const std::string &error)>;

    TalkPipeline(const std::string &url, Notify notify);
    ~TalkPipeline();
    TalkPipeline(const TalkPipeline &) = delete;
    TalkPipeline &operator=(const TalkPipeline &) = delete;

    bool start(std::string *error);
    // No notification once this returns.
    void detach();

private:
    static gboolean onSelectStream(GstElement *src, guint index, GstCaps *caps, gpointer self);
    static void onPadAdded(GstElement *src, GstPad *pad, gpointer self);
    static GstFlowReturn onMicrophone(GstAppSink *sink, gpointer self);
    static GstBusSyncReply onBusMessage(GstBus *bus, GstMessage *message, gpointer self);
    void startMicrophone(guint stream, GstCaps *caps);
    void report(bool ok, const std::string &error);

    std::string m_url;
    GstPtr<GstElement> m_session;
    GstPtr<GstElement> m_source;
    GstPtr<GstElement> m_microphone;
    std::atomic<guint> m_stream {0};
    std::atomic<bool> m_reported {false};
    std::mutex m_mutex;
    Notify m_notify;
};

} // namespace StreamCore
