#include "TalkPipeline.h"

#include "GstLinks.h"
#include "Log.h"
#include "MediaError.h"
#include "RtspSourceSetup.h"

#include <gst/app/gstappsink.h>

#include <cstdlib>

namespace StreamCore {

namespace {

std::string microphone()
{
    const char *mic = std::getenv("STREAMCORE_MICROPHONE");
    return mic && *mic ? mic : "autoaudiosrc";
}

gboolean dropAttributes(GQuark field, GValue *, gpointer)
{
    // SDP attributes ("a-...") do not belong in the caps of the packets sent.
    return !g_str_has_prefix(g_quark_to_string(field), "a-");
}

void watchBus(GstElement *pipeline, GstBusSyncHandler handler, gpointer data)
{
    const GstPtr<GstBus> bus(gst_element_get_bus(pipeline));
    gst_bus_set_sync_handler(bus.get(), handler, data, nullptr);
}

void stop(const GstPtr<GstElement> &pipeline)
{
    if (pipeline)
        gst_element_set_state(pipeline.get(), GST_STATE_NULL);
}

} // namespace

TalkPipeline::TalkPipeline(const std::string &url, Notify notify)
    : m_url(url)
    , m_notify(std::move(notify))
{ }

TalkPipeline::~TalkPipeline()
{
    detach();
    stop(m_microphone);
    stop(m_session);
}

void TalkPipeline::detach()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_notify = nullptr;
}

void TalkPipeline::report(bool ok, const std::string &error)
{
    if (m_reported.exchange(true))
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_notify)
        m_notify(ok, error);
}

bool TalkPipeline::start(std::string *error)
{
    m_source.reset(gst_element_factory_make("rtspsrc", nullptr));
    if (!m_source) {
        *error = "no RTSP source element";
        return false;
    }
    m_session.reset(gst_pipeline_new(nullptr));
    GstElement *source = m_source.get();
    g_object_set(source, "location", m_url.c_str(), "latency", 0u, nullptr);
    gst_util_set_object_arg(G_OBJECT(source), "protocols", "tcp");
    gst_util_set_object_arg(G_OBJECT(source), "backchannel", "onvif");
    g_signal_connect(source, "select-stream", G_CALLBACK(&TalkPipeline::onSelectStream), this);
    g_signal_connect(source, "pad-added", G_CALLBACK(&TalkPipeline::onPadAdded), this);
    if (!GstLinks::add(m_session.get(), source)) {
        *error = "cannot add the RTSP source";
        return false;
    }
    watchBus(m_session.get(), &TalkPipeline::onBusMessage, this);
    if (gst_element_set_state(m_session.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        *error = "cannot start the talk session";
        return false;
    }
    return true;
}

gboolean TalkPipeline::onSelectStream(GstElement *, guint index, GstCaps *caps, gpointer self)
{
    const GstStructure *s = gst_caps_get_structure(caps, 0);
    if (gst_structure_has_field(s, "a-sendonly"))
        static_cast<TalkPipeline *>(self)->startMicrophone(index, caps);
    return TRUE;
}

void TalkPipeline::onPadAdded(GstElement *, GstPad *pad, gpointer self)
{
    // What the device sends back while we talk is not played.
    auto *talk = static_cast<TalkPipeline *>(self);
    const GstPtr<GstElement> sink(gst_element_factory_make("fakesink", nullptr));
    g_object_set(sink.get(), "async", FALSE, "sync", FALSE, nullptr);
    const bool linked = GstLinks::add(talk->m_session.get(), sink.get())
        && gst_element_sync_state_with_parent(sink.get())
        && GstLinks::padToElement(pad, sink.get());
    if (!linked)
        talk->report(false, MediaError::kOther);
}

void TalkPipeline::startMicrophone(guint stream, GstCaps *caps)
{
    GstStructure *s = gst_structure_copy(gst_caps_get_structure(caps, 0));
    gst_structure_set_name(s, "application/x-rtp");
    gst_structure_filter_and_map_in_place(s, &dropAttributes, nullptr);
    const char *encodingField = gst_structure_get_string(s, "encoding-name");
    const std::string encoding = encodingField ? encodingField : "";
    const GstPtr<GstCaps> packetCaps(gst_caps_new_full(s, nullptr));
    std::string coder;
    if (encoding == "PCMU")
        coder = "mulawenc ! rtppcmupay";
    else if (encoding == "PCMA")
        coder = "alawenc ! rtppcmapay";
    if (coder.empty()) {
        report(false, MediaError::kOther);
        return;
    }
    const std::string d = microphone()
        + " ! audioconvert ! audioresample ! audio/x-raw,rate=8000,channels=1 ! " + coder
        + " ! appsink name=out sync=false async=false";
    GstPtr<GError> gerror;
    m_microphone.reset(gst_parse_launch(d.c_str(), gerror.out()));
    if (!m_microphone) {
        SCLOG(6, "talk: no microphone (%s)", gerror ? gerror->message : "?");
        report(false, MediaError::kOther);
        return;
    }
    m_stream = stream;
    const GstPtr<GstElement> out(gst_bin_get_by_name(GST_BIN(m_microphone.get()), "out"));
    g_object_set(out.get(), "caps", packetCaps.get(), nullptr);
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample = &TalkPipeline::onMicrophone;
    gst_app_sink_set_callbacks(GST_APP_SINK(out.get()), &callbacks, this, nullptr);
    watchBus(m_microphone.get(), &TalkPipeline::onBusMessage, this);
    if (gst_element_set_state(m_microphone.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        report(false, MediaError::kOther);
}

GstFlowReturn TalkPipeline::onMicrophone(GstAppSink *sink, gpointer self)
{
    auto *talk = static_cast<TalkPipeline *>(self);
    const GstPtr<GstSample> pulled(gst_app_sink_pull_sample(sink));
    if (!pulled)
        return GST_FLOW_OK;
    // Some GStreamer versions release the pushed sample, others leave it to the caller: push
    // a sample of our own with an extra reference and drop whatever is left afterwards (so no
    // holder can keep it).
    GstSample *sample = gst_sample_new(gst_sample_get_buffer(pulled.get()),
                                       gst_sample_get_caps(pulled.get()), nullptr, nullptr);
    gst_sample_ref(sample);
    GstFlowReturn result = GST_FLOW_ERROR;
    g_signal_emit_by_name(talk->m_source.get(), "push-backchannel-sample", talk->m_stream.load(),
                          sample, &result);
    for (int left = GST_MINI_OBJECT_REFCOUNT_VALUE(sample); left > 0; --left)
        gst_sample_unref(sample);
    // Packets are refused until the session plays; the first one taken means talk runs.
    if (result == GST_FLOW_OK)
        talk->report(true, MediaError::kNone);
    return GST_FLOW_OK;
}

GstBusSyncReply TalkPipeline::onBusMessage(GstBus *, GstMessage *message, gpointer self)
{
    auto *talk = static_cast<TalkPipeline *>(self);
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR) {
        GstPtr<GError> error;
        gst_message_parse_error(message, error.out(), nullptr);
        SCLOG(6, "talk %s: %s", RtspSourceSetup::masked(talk->m_url).c_str(),
              error ? error->message : "?");
        const std::string text = MediaError::fromGstError(error.get());
        // After talk started, a failure is reported as the end of talk.
        talk->m_reported = false;
        talk->report(false, text);
    }
    return GST_BUS_DROP;
}

} // namespace StreamCore
