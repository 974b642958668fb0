#include "LiveSource.h"

#include "ParameterSets.h"
#include "PtzState.h"
#include "SimMedia/MediaDevice.h"
#include "StreamRecipe.h"

#include <GstBufferMap.h>

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/rtsp-server/rtsp-media.h>
#include <gst/video/video.h>

#include <QDateTime>

#include <algorithm>
#include <utility>

namespace SimMedia {

namespace {

constexpr auto kFrameInterval = std::chrono::milliseconds(40);

// One viewer's session: the source feeding it and the app source it reads.
struct Attached
{
    std::shared_ptr<LiveSource> source;
    GstPtr<GstElement> appsrc;
};

GstPtr<GstElement> mediaChild(GstRTSPMedia *media, const char *name)
{
    const GstPtr<GstElement> top(gst_rtsp_media_get_element(media));
    return GstPtr<GstElement>(gst_bin_get_by_name(GST_BIN(top.get()), name));
}

} // namespace

LiveSource::LiveSource(const std::string &deviceId, const ChannelSpec &channel, int definition,
                       const PtzState *ptz)
    : m_width(channel.width[definition])
    , m_height(channel.height[definition])
    , m_ptz(ptz)
    , m_painter(deviceId, channel.id, m_width, m_height)
    , m_parameterSetsInBand(channel.parameterSetsInBand || channel.codec != "h264")
{
    const std::string launch = "appsrc name=src is-live=true format=time caps="
        + StreamRecipe::rawCaps(m_width, m_height) + " ! "
        + StreamRecipe::overlayAndEncoder(channel, m_height)
        + " ! appsink name=out sync=false max-buffers=4 drop=true";
    GstPtr<GError> error;
    m_pipeline.reset(gst_parse_launch(launch.c_str(), error.out()));
    if (!m_pipeline) {
        g_printerr("orvane-sim: live pipeline: %s\n", error ? error->message : "?");
        return;
    }
    m_source.reset(gst_bin_get_by_name(GST_BIN(m_pipeline.get()), "src"));
    m_text.reset(gst_bin_get_by_name(GST_BIN(m_pipeline.get()), "text"));
    m_sink.reset(gst_bin_get_by_name(GST_BIN(m_pipeline.get()), "out"));
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample = &LiveSource::onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(m_sink.get()), &callbacks, this, nullptr);
    gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING);
    m_thread = std::thread([this] { run(); });
}

LiveSource::~LiveSource()
{
    end();
}

void LiveSource::end()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
        m_viewers.clear();
    }
    m_wake.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    if (m_pipeline)
        gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
}

void LiveSource::attach(GstRTSPMedia *media, int delayMs)
{
    GstPtr<GstElement> appsrc = mediaChild(media, "src");
    if (!appsrc)
        return;
    subscribe(appsrc.get(), mediaChild(media, "pay0").get(), delayMs);
    auto *viewer = new Attached {shared_from_this(), std::move(appsrc)};
    g_signal_connect_data(media, "new-state", G_CALLBACK(&LiveSource::onViewerState), viewer,
                          nullptr, GConnectFlags(0));
    g_signal_connect_data(
        media, "unprepared", G_CALLBACK(&LiveSource::onViewerGone), viewer,
        [](gpointer data, GClosure *) { delete static_cast<Attached *>(data); }, GConnectFlags(0));
}

void LiveSource::onViewerState(GstRTSPMedia *, gint state, gpointer data)
{
    auto *viewer = static_cast<Attached *>(data);
    // Whatever was queued before the viewer pressed play may be gone: start on a key frame.
    if (state == GST_STATE_PLAYING)
        viewer->source->restartAtKeyFrame(viewer->appsrc.get());
}

void LiveSource::onViewerGone(GstRTSPMedia *, gpointer data)
{
    auto *viewer = static_cast<Attached *>(data);
    viewer->source->unsubscribe(viewer->appsrc.get());
}

void LiveSource::subscribe(GstElement *appsrc, GstElement *payloader, int delayMs)
{
    Viewer v;
    v.appsrc = GstPtr<GstElement>::share(appsrc);
    v.payloader = GstPtr<GstElement>::share(payloader);
    v.notBefore = std::chrono::steady_clock::now() + std::chrono::milliseconds(delayMs);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_viewers.push_back(std::move(v));
        keyFrameNow();
    }
}

void LiveSource::unsubscribe(GstElement *appsrc)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto it = std::find_if(m_viewers.begin(), m_viewers.end(),
                           [appsrc](const Viewer &v) { return v.appsrc.get() == appsrc; });
    if (it != m_viewers.end())
        m_viewers.erase(it);
}

void LiveSource::restartAtKeyFrame(GstElement *appsrc)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Viewer &v : m_viewers) {
        if (v.appsrc.get() == appsrc) {
            v.ready = false;
            v.keyAsked = false;
        }
    }
    keyFrameNow();
}

void LiveSource::keyFrameNow()
{
    m_keyFrameNow = true;
    m_wake.notify_all();
}

void LiveSource::requestKeyFrame()
{
    gst_element_send_event(
        m_sink.get(), gst_video_event_new_upstream_force_key_unit(GST_CLOCK_TIME_NONE, TRUE, 0));
}

void LiveSource::run()
{
    auto next = std::chrono::steady_clock::now();
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        // Pictures are painted and encoded only while somebody watches.
        if (m_viewers.empty()) {
            m_wake.wait(lock, [this] { return m_stopping || !m_viewers.empty(); });
            next = std::chrono::steady_clock::now();
            continue;
        }
        const bool keyFrame = std::exchange(m_keyFrameNow, false);
        lock.unlock();
        if (m_source) {
            if (keyFrame)
                requestKeyFrame();
            pushPicture();
        }
        next += kFrameInterval;
        lock.lock();
        if (m_wake.wait_until(lock, next, [this] { return m_stopping || m_keyFrameNow; }))
            next = std::chrono::steady_clock::now();
    }
}

void LiveSource::pushPicture()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    GstBuffer *buffer = m_painter.render(static_cast<uint32_t>(now), m_ptz->view(), m_frames++);
    g_object_set(m_text.get(), "text", m_painter.clockText(now).c_str(), nullptr);
    GST_BUFFER_PTS(buffer) = gst_element_get_current_running_time(m_source.get());
    GST_BUFFER_DURATION(buffer) = 40 * GST_MSECOND;
    gst_app_src_push_buffer(GST_APP_SRC(m_source.get()), buffer);
}

GstFlowReturn LiveSource::onSample(GstAppSink *sink, gpointer self)
{
    const GstPtr<GstSample> sample(gst_app_sink_pull_sample(sink));
    if (sample)
        static_cast<LiveSource *>(self)->fanOut(sample.get());
    return GST_FLOW_OK;
}

GstPtr<GstBuffer> LiveSource::outgoing(GstBuffer *encoded)
{
    if (m_parameterSetsInBand)
        return GstPtr<GstBuffer>(gst_buffer_copy(encoded));
    std::string kept;
    {
        const GstBufferMap map(encoded, GST_MAP_READ);
        if (!map)
            return GstPtr<GstBuffer>(gst_buffer_copy(encoded));
        kept = ParameterSets::strip(map.data(), map.size(), &m_sprop);
    }
    GstPtr<GstBuffer> copy(gst_buffer_new_memdup(kept.data(), kept.size()));
    gst_buffer_copy_into(copy.get(), encoded, GST_BUFFER_COPY_FLAGS, 0, -1);
    return copy;
}

void LiveSource::fanOut(GstSample *sample)
{
    const bool keyFrame
        = !GST_BUFFER_FLAG_IS_SET(gst_sample_get_buffer(sample), GST_BUFFER_FLAG_DELTA_UNIT);
    const auto now = std::chrono::steady_clock::now();
    bool askKeyFrame = false;
    std::lock_guard<std::mutex> lock(m_mutex);
    const GstPtr<GstBuffer> buffer = outgoing(gst_sample_get_buffer(sample));
    for (Viewer &v : m_viewers) {
        // A session's pipeline has no time of its own until it first plays: a picture stamped
        // before that (with the clock's time since boot) would hold its sender for hours.
        if (!v.ready) {
            if (now < v.notBefore || gst_element_get_base_time(v.appsrc.get()) == 0)
                continue;
            if (!keyFrame) {
                askKeyFrame = askKeyFrame || !v.keyAsked;
                v.keyAsked = true;
                continue;
            }
            gst_app_src_set_caps(GST_APP_SRC(v.appsrc.get()), gst_sample_get_caps(sample));
            if (!m_sprop.empty() && v.payloader)
                g_object_set(v.payloader.get(), "sprop-parameter-sets", m_sprop.c_str(), nullptr);
            v.ready = true;
        }
        GstBuffer *copy = gst_buffer_copy(buffer.get());
        const GstClockTime runningTime = gst_element_get_current_running_time(v.appsrc.get());
        GST_BUFFER_PTS(copy) = runningTime;
        GST_BUFFER_DTS(copy) = runningTime;
        gst_app_src_push_buffer(GST_APP_SRC(v.appsrc.get()), copy); // takes the copy
    }
    if (askKeyFrame)
        requestKeyFrame();
}

} // namespace SimMedia
