#include "PlayPipeline.h"

#include "AudioBranch.h"
#include "BranchBin.h"
#include "FrameSlot.h"
#include "Log.h"
#include "MediaError.h"
#include "RecordBranch.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <cstdio>

namespace StreamCore {

namespace {

// Video comes over TCP: nothing arrives out of order or gets lost, so the jitter buffer need
// not hold pictures back (it would delay the first one by as much).
constexpr guint kJitterMs = 0;
// Longer than the 10 s a picture may take to come, so that a silent server gives "open
// timeout" rather than a connection error.
constexpr guint64 kTcpTimeoutUs = 15 * G_USEC_PER_SEC;
constexpr GstClockTime kSnapshotTimeout = 5 * GST_SECOND;

struct Codec
{
    const char *encoding;
    const char *name;
    const char *ingest;
};

// What arrives over RTP and how it is unpacked. Parsers re-insert the parameter sets before
// every key frame, wherever the camera sent them (session description or stream).
const Codec kVideoCodecs[] = {
    {"H264", "h264", "rtph264depay name=depay ! h264parse name=parse config-interval=-1"},
    {"H265", "h265", "rtph265depay name=depay ! h265parse name=parse config-interval=-1"},
};
const Codec kAudioCodecs[] = {
    {"PCMA", "alaw", "rtppcmadepay name=depay ! identity name=parse"},
    {"PCMU", "mulaw", "rtppcmudepay name=depay ! identity name=parse"},
    {"MPEG4-GENERIC", "aac", "rtpmp4gdepay name=depay ! aacparse name=parse"},
};

const Codec *findCodec(const Codec *begin, const Codec *end, const std::string &encoding)
{
    for (const Codec *c = begin; c != end; ++c) {
        if (encoding == c->encoding)
            return c;
    }
    return nullptr;
}

void addProbe(GstElement *bin, const char *element, const char *pad, GstPadProbeType type,
              GstPadProbeCallback callback, gpointer data)
{
    GstElement *e = BranchBin::child(bin, element);
    GstPad *p = gst_element_get_static_pad(e, pad);
    gst_pad_add_probe(p, type, callback, data, nullptr);
    gst_object_unref(p);
    gst_object_unref(e);
}

} // namespace

PlayPipeline::PlayPipeline(const std::string &url, bool playback, std::shared_ptr<FrameSlot> slot,
                           Notify notify)
    : m_url(url)
    , m_playback(playback)
    , m_slot(std::move(slot))
    , m_notify(std::move(notify))
{ }

PlayPipeline::~PlayPipeline()
{
    shutdown();
}

bool PlayPipeline::start(std::string *error)
{
    GstElement *src = gst_element_factory_make("rtspsrc", "src");
    if (!src) {
        *error = "no RTSP source element";
        return false;
    }
    m_pipeline = gst_pipeline_new(nullptr);
    gst_object_ref_sink(m_pipeline);
    g_object_set(src, "location", m_url.c_str(), "latency", kJitterMs, "tcp-timeout", kTcpTimeoutUs,
                 "onvif-mode", m_playback ? TRUE : FALSE, nullptr);
    gst_util_set_object_arg(G_OBJECT(src), "protocols", "tcp");
    // Plain RTP times: with clock slaving, a seek after a pause stalls.
    gst_util_set_object_arg(G_OBJECT(src), "buffer-mode", "none");
    g_signal_connect(src, "pad-added", G_CALLBACK(&PlayPipeline::onPadAdded), this);
    gst_bin_add(GST_BIN(m_pipeline), src);
    GstBus *bus = gst_element_get_bus(m_pipeline);
    gst_bus_set_sync_handler(bus, &PlayPipeline::onBusMessage, this, nullptr);
    gst_object_unref(bus);
    if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        *error = "cannot start the stream";
        return false;
    }
    return true;
}

void PlayPipeline::detach()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_notify = nullptr;
}

void PlayPipeline::shutdown()
{
    if (!m_pipeline)
        return;
    stopRecord();
    closeAudio();
    // Sends the RTSP teardown: may wait for the server.
    gst_element_set_state(m_pipeline, GST_STATE_NULL);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_videoTee)
        gst_object_unref(m_videoTee);
    if (m_audioTee)
        gst_object_unref(m_audioTee);
    if (m_viewFilter)
        gst_object_unref(m_viewFilter);
    if (m_lastDecoded)
        gst_sample_unref(m_lastDecoded);
    m_videoTee = m_audioTee = m_viewFilter = nullptr;
    m_lastDecoded = nullptr;
    gst_object_unref(m_pipeline);
    m_pipeline = nullptr;
}

void PlayPipeline::report(const PipelineEvent &event)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_notify)
        m_notify(event);
}

void PlayPipeline::onPadAdded(GstElement *, GstPad *pad, gpointer self)
{
    static_cast<PlayPipeline *>(self)->addStream(pad);
}

void PlayPipeline::addStream(GstPad *pad)
{
    GstCaps *caps = gst_pad_get_current_caps(pad);
    if (!caps)
        caps = gst_pad_query_caps(pad, nullptr);
    const GstStructure *s = gst_caps_get_structure(caps, 0);
    const char *mediaField = gst_structure_get_string(s, "media");
    const char *encodingField = gst_structure_get_string(s, "encoding-name");
    const std::string media = mediaField ? mediaField : "";
    const std::string encoding = encodingField ? encodingField : "";
    gst_caps_unref(caps);
    const bool used = (media == "video" && addVideo(pad, encoding))
        || (media == "audio" && addAudio(pad, encoding));
    if (!used) {
        SCLOG(4, "stream %s: %s %s not played", m_url.c_str(), media.c_str(), encoding.c_str());
        discard(pad);
    }
}

GstElement *PlayPipeline::plugChain(const std::string &description)
{
    std::string error;
    GstElement *bin = BranchBin::make(description, {{"sink", "depay"}}, &error, "parse");
    if (!bin) {
        SCLOG(6, "stream %s: %s", m_url.c_str(), error.c_str());
        return nullptr;
    }
    gst_bin_add(GST_BIN(m_pipeline), bin);
    return bin;
}

bool PlayPipeline::addVideo(GstPad *pad, const std::string &encoding)
{
    const Codec *codec = findCodec(std::begin(kVideoCodecs), std::end(kVideoCodecs), encoding);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!codec || m_videoTee)
            return false; // unknown, or a second picture stream
    }
    std::string error;
    const std::string decoder = std::string(codec->name) == "h265" ? "avdec_h265" : "avdec_h264";
    // Only a few compressed pictures wait for the decoder; decoded ones that the surface has
    // not taken yet are replaced by newer ones.
    GstElement *display = BranchBin::make(
        "queue name=q max-size-buffers=8 max-size-bytes=0 max-size-time=0 ! " + decoder
            + " name=dec max-threads=1 output-corrupt=false ! videoscale add-borders=false ! "
              "videoconvert ! capsfilter name=view ! appsink name=video max-buffers=1 drop=true "
              "sync=false async=false qos=false enable-last-sample=false",
        {{"sink", "q"}}, &error);
    GstElement *ingest = display ? plugChain(codec->ingest) : nullptr;
    if (!ingest) {
        if (display)
            gst_object_unref(display);
        SCLOG(6, "stream %s: %s", m_url.c_str(), error.c_str());
        return false;
    }
    GstElement *tee = gst_element_factory_make("tee", "vtee");
    g_object_set(tee, "allow-not-linked", TRUE, nullptr);
    gst_bin_add_many(GST_BIN(m_pipeline), tee, display, nullptr);
    GstElement *sink = BranchBin::child(display, "video");
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample = &PlayPipeline::onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, this, nullptr);
    gst_object_unref(sink);
    addProbe(ingest, "parse", "src",
             GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
             &PlayPipeline::onParsed, this);
    addProbe(display, "dec", "src", GST_PAD_PROBE_TYPE_BUFFER, &PlayPipeline::onDecoded, this);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_viewFilter = BranchBin::child(display, "view");
        GstCaps *caps = viewCaps();
        g_object_set(m_viewFilter, "caps", caps, nullptr);
        gst_caps_unref(caps);
        m_videoTee = GST_ELEMENT(gst_object_ref(tee));
        m_videoCodec = codec->name;
    }
    gst_element_link_many(ingest, tee, display, nullptr);
    gst_element_sync_state_with_parent(display);
    gst_element_sync_state_with_parent(tee);
    gst_element_sync_state_with_parent(ingest);
    GstPad *input = gst_element_get_static_pad(ingest, "sink");
    gst_pad_link(pad, input);
    gst_object_unref(input);
    return true;
}

bool PlayPipeline::addAudio(GstPad *pad, const std::string &encoding)
{
    const Codec *codec = findCodec(std::begin(kAudioCodecs), std::end(kAudioCodecs), encoding);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!codec || m_audioTee)
            return false;
    }
    GstElement *ingest = plugChain(codec->ingest);
    if (!ingest)
        return false;
    GstElement *tee = gst_element_factory_make("tee", "atee");
    g_object_set(tee, "allow-not-linked", TRUE, nullptr);
    gst_bin_add(GST_BIN(m_pipeline), tee);
    gst_element_link(ingest, tee);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_audioTee = GST_ELEMENT(gst_object_ref(tee));
        m_audioCodec = codec->name;
    }
    gst_element_sync_state_with_parent(tee);
    gst_element_sync_state_with_parent(ingest);
    GstPad *input = gst_element_get_static_pad(ingest, "sink");
    gst_pad_link(pad, input);
    gst_object_unref(input);
    return true;
}

void PlayPipeline::discard(GstPad *pad)
{
    GstElement *sink = gst_element_factory_make("fakesink", nullptr);
    g_object_set(sink, "async", FALSE, "sync", FALSE, nullptr);
    gst_bin_add(GST_BIN(m_pipeline), sink);
    gst_element_sync_state_with_parent(sink);
    GstPad *input = gst_element_get_static_pad(sink, "sink");
    gst_pad_link(pad, input);
    gst_object_unref(input);
}

bool PlayPipeline::insideBranch(GstObject *object)
{
    bool inside = false;
    GstObject *o = object ? GST_OBJECT(gst_object_ref(object)) : nullptr;
    while (o && !inside) {
        const gchar *name = GST_OBJECT_NAME(o);
        inside = name
            && (g_str_equal(name, RecordBranch::kName) || g_str_equal(name, AudioBranch::kName));
        GstObject *parent = gst_object_get_parent(o);
        gst_object_unref(o);
        o = parent;
    }
    if (o)
        gst_object_unref(o);
    return inside;
}

GstBusSyncReply PlayPipeline::onBusMessage(GstBus *, GstMessage *message, gpointer self)
{
    auto *p = static_cast<PlayPipeline *>(self);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
        GError *error = nullptr;
        gchar *debug = nullptr;
        gst_message_parse_error(message, &error, &debug);
        SCLOG(6, "stream %s: %s (%s)", p->m_url.c_str(), error ? error->message : "?",
              debug ? debug : "");
        // A failing recording or speaker leaves the picture playing.
        if (!insideBranch(GST_MESSAGE_SRC(message)))
            p->report({PipelineEvent::Error, MediaError::fromGstError(error)});
        g_clear_error(&error);
        g_free(debug);
        break;
    }
    case GST_MESSAGE_EOS:
        p->report({PipelineEvent::EndOfStream, {}});
        break;
    default:
        break;
    }
    // Nobody pops this bus: everything is handled here.
    return GST_BUS_DROP;
}

GstFlowReturn PlayPipeline::onSample(GstAppSink *sink, gpointer self)
{
    auto *p = static_cast<PlayPipeline *>(self);
    GstSample *pulled = gst_app_sink_pull_sample(sink);
    if (!pulled)
        return GST_FLOW_OK;
    // The surface keeps pictures a while: give it a sample of its own, so that the sink may
    // reuse the one it handed out.
    GstSample *sample = gst_sample_new(gst_sample_get_buffer(pulled), gst_sample_get_caps(pulled),
                                       gst_sample_get_segment(pulled), nullptr);
    gst_sample_unref(pulled);
    double position = p->m_position;
    if (p->m_playback) {
        const GstBuffer *buffer = gst_sample_get_buffer(sample);
        const GstSegment *segment = gst_sample_get_segment(sample);
        const guint64 streamTime = segment
            ? gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer))
            : GST_CLOCK_TIME_NONE;
        if (GST_CLOCK_TIME_IS_VALID(streamTime))
            position = static_cast<double>(streamTime) / GST_SECOND;
    } else {
        position = static_cast<double>(g_get_real_time()) / G_USEC_PER_SEC;
    }
    p->m_position = position;
    p->m_slot->put(sample);
    gst_sample_unref(sample);
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(p->m_mutex);
        first = !p->m_pictureSeen;
        p->m_pictureSeen = true;
    }
    if (first)
        p->report({PipelineEvent::FirstPicture, {}});
    return GST_FLOW_OK;
}

GstPadProbeReturn PlayPipeline::onParsed(GstPad *, GstPadProbeInfo *info, gpointer self)
{
    auto *p = static_cast<PlayPipeline *>(self);
    if (GST_PAD_PROBE_INFO_TYPE(info) & GST_PAD_PROBE_TYPE_BUFFER) {
        p->m_meter.add(gst_buffer_get_size(GST_PAD_PROBE_INFO_BUFFER(info)));
        return GST_PAD_PROBE_OK;
    }
    GstEvent *event = GST_PAD_PROBE_INFO_EVENT(info);
    if (GST_EVENT_TYPE(event) != GST_EVENT_CAPS)
        return GST_PAD_PROBE_OK;
    GstCaps *caps = nullptr;
    gst_event_parse_caps(event, &caps);
    int width = 0, height = 0;
    const GstStructure *s = gst_caps_get_structure(caps, 0);
    if (!gst_structure_get_int(s, "width", &width) || !gst_structure_get_int(s, "height", &height))
        return GST_PAD_PROBE_OK;
    bool changed = false;
    {
        std::lock_guard<std::mutex> lock(p->m_mutex);
        changed = width != p->m_pictureWidth || height != p->m_pictureHeight;
        p->m_pictureWidth = width;
        p->m_pictureHeight = height;
    }
    if (changed)
        p->report({PipelineEvent::PictureSize, {}, width, height});
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn PlayPipeline::onDecoded(GstPad *pad, GstPadProbeInfo *info, gpointer self)
{
    auto *p = static_cast<PlayPipeline *>(self);
    GstCaps *caps = gst_pad_get_current_caps(pad);
    GstSample *sample = gst_sample_new(GST_PAD_PROBE_INFO_BUFFER(info), caps, nullptr, nullptr);
    if (caps)
        gst_caps_unref(caps);
    std::lock_guard<std::mutex> lock(p->m_mutex);
    if (p->m_lastDecoded)
        gst_sample_unref(p->m_lastDecoded);
    p->m_lastDecoded = sample;
    return GST_PAD_PROBE_OK;
}

GstCaps *PlayPipeline::viewCaps() const
{
    GstCaps *caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", nullptr);
    if (m_viewWidth > 0 && m_viewHeight > 0) {
        gst_caps_set_simple(caps, "width", G_TYPE_INT, m_viewWidth, "height", G_TYPE_INT,
                            m_viewHeight, nullptr);
    }
    return caps;
}

void PlayPipeline::setViewSize(int width, int height)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (width == m_viewWidth && height == m_viewHeight)
        return;
    m_viewWidth = width;
    m_viewHeight = height;
    if (m_viewFilter) {
        GstCaps *caps = viewCaps();
        g_object_set(m_viewFilter, "caps", caps, nullptr);
        gst_caps_unref(caps);
    }
}

bool PlayPipeline::pause()
{
    return m_pipeline
        && gst_element_set_state(m_pipeline, GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
}

bool PlayPipeline::resume(double rate)
{
    if (!m_pipeline
        || gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return false;
    // The stream's times restart after a pause: a seek to where it stood sets them right.
    return !m_playback || seek(m_position, rate);
}

bool PlayPipeline::seek(double position, double rate)
{
    if (!m_pipeline || position < 0)
        return false;
    // Paused, the picture stays; resuming starts from here.
    m_position = position;
    return gst_element_seek(m_pipeline, rate, GST_FORMAT_TIME, GST_SEEK_FLAG_FLUSH,
                            GST_SEEK_TYPE_SET, static_cast<gint64>(position * GST_SECOND),
                            GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
}

bool PlayPipeline::hasAudio() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_audioTee != nullptr;
}

bool PlayPipeline::openAudio(std::string *error)
{
    GstElement *tee = nullptr;
    std::string codec;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_audioTee)
            tee = GST_ELEMENT(gst_object_ref(m_audioTee));
        codec = m_audioCodec;
    }
    if (!tee) {
        *error = "the stream has no sound";
        return false;
    }
    if (m_audio) {
        gst_object_unref(tee);
        return true;
    }
    auto audio = std::make_unique<AudioBranch>(m_pipeline);
    const bool ok = audio->start(tee, codec, error);
    gst_object_unref(tee);
    if (ok)
        m_audio = std::move(audio);
    return ok;
}

void PlayPipeline::closeAudio()
{
    m_audio.reset();
}

bool PlayPipeline::startRecord(const std::string &path, std::string *error)
{
    if (m_record) {
        *error = "already recording";
        return false;
    }
    RecordBranch::Inputs inputs;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_videoTee) {
            *error = "no picture stream";
            return false;
        }
        inputs.videoTee = GST_ELEMENT(gst_object_ref(m_videoTee));
        inputs.videoCodec = m_videoCodec;
        if (m_audioTee)
            inputs.audioTee = GST_ELEMENT(gst_object_ref(m_audioTee));
        inputs.audioCodec = m_audioCodec;
    }
    auto record = std::make_unique<RecordBranch>(m_pipeline);
    const bool ok = record->start(inputs, path, error);
    gst_object_unref(inputs.videoTee);
    if (inputs.audioTee)
        gst_object_unref(inputs.audioTee);
    if (ok)
        m_record = std::move(record);
    return ok;
}

bool PlayPipeline::stopRecord()
{
    if (!m_record)
        return false;
    const bool finished = m_record->finish();
    m_record.reset();
    return finished;
}

bool PlayPipeline::snapshot(const std::string &path, std::string *error)
{
    GstSample *sample = nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_lastDecoded)
            sample = gst_sample_ref(m_lastDecoded);
    }
    if (!sample) {
        *error = "no picture yet";
        return false;
    }
    GstCaps *jpeg = gst_caps_new_empty_simple("image/jpeg");
    GError *gerror = nullptr;
    GstSample *converted = gst_video_convert_sample(sample, jpeg, kSnapshotTimeout, &gerror);
    gst_caps_unref(jpeg);
    gst_sample_unref(sample);
    if (!converted) {
        *error = gerror ? gerror->message : "cannot encode the picture";
        g_clear_error(&gerror);
        return false;
    }
    GstMapInfo map;
    GstBuffer *buffer = gst_sample_get_buffer(converted);
    bool written = false;
    if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        if (FILE *file = std::fopen(path.c_str(), "wb")) {
            written = std::fwrite(map.data, 1, map.size, file) == map.size;
            written = std::fclose(file) == 0 && written;
        }
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(converted);
    if (!written)
        *error = "cannot write " + path;
    return written;
}

std::string PlayPipeline::videoCodec() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_videoCodec;
}

} // namespace StreamCore
