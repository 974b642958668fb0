#include "PlaybackSession.h"

#include "PtzState.h"

#include <gst/app/gstappsrc.h>

#include <cmath>

namespace SimMedia {

namespace {

constexpr GstClockTime kFrame = 40 * GST_MSECOND;

} // namespace

PlaybackSession::PlaybackSession(const PlaybackSpan &span, const PtzState *ptz, GstElement *appsrc,
                                 GstElement *overlay)
    : m_span(span)
    , m_ptz(ptz)
    , m_appsrc(appsrc)
    , m_overlay(GstPtr<GstElement>::share(overlay))
    , m_painter(span.deviceId, span.channel, span.width, span.height)
    , m_records(RecordSchedule::between(span.deviceId, span.channel, span.source, span.begin,
                                        span.end, span.end))
{ }

PlaybackSession::~PlaybackSession() = default;

void PlaybackSession::attach(const PlaybackSpan &span, const PtzState *ptz, GstElement *appsrc,
                             GstElement *overlay)
{
    auto *session = new PlaybackSession(span, ptz, appsrc, overlay);
    const GstPtr<GstCaps> caps(gst_caps_new_simple(
        "video/x-raw", "format", G_TYPE_STRING, "I420", "width", G_TYPE_INT, span.width, "height",
        G_TYPE_INT, span.height, "framerate", GST_TYPE_FRACTION, 25, 1, nullptr));
    g_object_set(appsrc, "format", GST_FORMAT_TIME, "stream-type", GST_APP_STREAM_TYPE_SEEKABLE,
                 "max-buffers", static_cast<guint64>(2), "caps", caps.get(), nullptr);
    gst_app_src_set_duration(GST_APP_SRC(appsrc),
                             static_cast<GstClockTime>(span.end - span.begin) * GST_SECOND);
    const GstPtr<GstPad> pad(gst_element_get_static_pad(appsrc, "src"));
    gst_pad_add_probe(pad.get(), GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &PlaybackSession::onSegment,
                      session, nullptr);
    GstAppSrcCallbacks callbacks {};
    callbacks.need_data = &PlaybackSession::onNeedData;
    callbacks.seek_data = &PlaybackSession::onSeekData;
    gst_app_src_set_callbacks(GST_APP_SRC(appsrc), &callbacks, session, &PlaybackSession::destroy);
}

void PlaybackSession::destroy(gpointer self)
{
    delete static_cast<PlaybackSession *>(self);
}

void PlaybackSession::onNeedData(GstAppSrc *, guint, gpointer self)
{
    static_cast<PlaybackSession *>(self)->pushPicture();
}

gboolean PlaybackSession::onSeekData(GstAppSrc *, guint64 offset, gpointer self)
{
    auto *session = static_cast<PlaybackSession *>(self);
    std::lock_guard<std::mutex> lock(session->m_mutex);
    session->m_position = offset;
    return TRUE;
}

GstPadProbeReturn PlaybackSession::onSegment(GstPad *, GstPadProbeInfo *info, gpointer self)
{
    GstEvent *event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) == GST_EVENT_SEGMENT) {
        const GstSegment *segment = nullptr;
        gst_event_parse_segment(event, &segment);
        auto *session = static_cast<PlaybackSession *>(self);
        std::lock_guard<std::mutex> lock(session->m_mutex);
        session->m_rate = std::fabs(segment->rate) > 0 ? std::fabs(segment->rate) : 1.0;
    }
    return GST_PAD_PROBE_OK;
}

bool PlaybackSession::recorded(int64_t seconds) const
{
    for (const Record &r : m_records) {
        if (seconds >= r.begin && seconds < r.end)
            return true;
    }
    return false;
}

void PlaybackSession::pushPicture()
{
    GstClockTime position;
    double rate;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        position = m_position;
        rate = m_rate;
        // Faster playback keeps 25 pictures a second and steps further in recorded time.
        m_position += static_cast<GstClockTime>(kFrame * rate);
    }
    const GstClockTime duration = static_cast<GstClockTime>(m_span.end - m_span.begin) * GST_SECOND;
    if (position >= duration) {
        gst_app_src_end_of_stream(GST_APP_SRC(m_appsrc));
        return;
    }
    const int64_t seconds = m_span.begin + static_cast<int64_t>(position / GST_SECOND);
    GstBuffer *buffer
        = m_painter.render(static_cast<uint32_t>(seconds), m_ptz->view(), position / kFrame);
    const std::string text = m_painter.clockText(seconds) + (m_span.source ? "  cloud" : "")
        + (recorded(seconds) ? "" : "  no recording");
    g_object_set(m_overlay.get(), "text", text.c_str(), nullptr);
    GST_BUFFER_PTS(buffer) = position;
    GST_BUFFER_DURATION(buffer) = static_cast<GstClockTime>(kFrame * rate);
    gst_app_src_push_buffer(GST_APP_SRC(m_appsrc), buffer);
}

} // namespace SimMedia
