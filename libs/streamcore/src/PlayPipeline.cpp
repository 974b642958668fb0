#include "PlayPipeline.h"

#include "AudioBranch.h"
#include "BranchBin.h"
#include "FrameSlot.h"
#include "GstLinks.h"
#include "Log.h"
#include "MediaError.h"
#include "RecordBranch.h"

#include <gst/app/gstappsink.h>
#include <kwl/KExceptionHandler.h>

#include <cmath>

namespace StreamCore {

namespace {

// Longer than the 10 s a picture may take to come, so that a silent server gives "open
// timeout" rather than a connection error.
constexpr guint64 kTcpTimeoutUs = 15 * G_USEC_PER_SEC;

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

std::string decoderOf(const Codec &codec)
{
    return std::string("avdec_") + codec.name;
}

// The display branch after the decoder named. Pictures are handed over as decoded: the surface
// scales and converts only those it draws.
std::string displayBranch(const std::string &decoder)
{
    return decoder
        + " name=dec max-threads=1 output-corrupt=false ! appsink name=video max-buffers=1 "
          "drop=true sync=false async=false qos=false enable-last-sample=false";
}

const Codec *findCodec(const Codec *begin, const Codec *end, const std::string &encoding)
{
    for (const Codec *c = begin; c != end; ++c) {
        if (encoding == c->encoding)
            return c;
    }
    return nullptr;
}

// The "media" of a received or described stream's caps, with its encoding name.
std::string mediaOf(const GstCaps *caps, std::string *encoding)
{
    const GstStructure *s = gst_caps_get_structure(caps, 0);
    const char *media = gst_structure_get_string(s, "media");
    const char *name = gst_structure_get_string(s, "encoding-name");
    *encoding = name ? name : "";
    return media ? media : "";
}

} // namespace

PlayPipeline::PlayPipeline(const RtspSourceSetup &source, bool playback,
                           std::shared_ptr<FrameSlot> slot, Notify notify)
    : m_source(source)
    , m_url(m_source.shownUrl().c_str())
    , m_playback(playback)
    , m_slot(std::move(slot))
    , m_notify(std::move(notify))
{ }

PlayPipeline::~PlayPipeline()
{
    shutdown();
}

void PlayPipeline::preload()
{
    std::string error;
    for (const char *element : {"rtspsrc", "rtpbin", "tee", "fakesink"})
        GstPtr<GstElement>(gst_element_factory_make(element, nullptr));
    for (const Codec &codec : kVideoCodecs) {
        BranchBin::make(codec.ingest, {{"sink", "depay"}}, &error, "parse");
        BranchBin::make(displayBranch(decoderOf(codec)), {{"sink", "dec"}}, &error);
    }
    for (const Codec &codec : kAudioCodecs)
        BranchBin::make(codec.ingest, {{"sink", "depay"}}, &error, "parse");
}

bool PlayPipeline::start(std::string *error)
{
    GstPtr<GstElement> src(gst_element_factory_make("rtspsrc", "src"));
    if (!src) {
        *error = "no RTSP source element";
        return false;
    }
    m_pipeline.reset(gst_pipeline_new(nullptr));
    m_source.apply(src.get());
    g_object_set(src.get(), "tcp-timeout", kTcpTimeoutUs, "onvif-mode", m_playback ? TRUE : FALSE,
                 nullptr);
    // Plain RTP times: with clock slaving, a seek after a pause stalls.
    gst_util_set_object_arg(G_OBJECT(src.get()), "buffer-mode", "none");
    g_signal_connect(src.get(), "pad-added", G_CALLBACK(&PlayPipeline::onPadAdded), this);
    g_signal_connect(src.get(), "on-sdp", G_CALLBACK(&PlayPipeline::onDescribed), this);
    g_signal_connect(src.get(), "select-stream", G_CALLBACK(&PlayPipeline::onStreamDescribed),
                     this);
    if (!GstLinks::add(m_pipeline.get(), src.get())) {
        *error = "cannot add the RTSP source";
        return false;
    }
    const GstPtr<GstBus> bus(gst_element_get_bus(m_pipeline.get()));
    gst_bus_set_sync_handler(bus.get(), &PlayPipeline::onBusMessage, this, nullptr);
    if (gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
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
    if (m_record)
        m_record->finish();
    m_record.reset();
    closeAudio();
    // Sends the RTSP teardown: may wait for the server.
    gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_videoTee.reset();
    m_audioTee.reset();
    m_lastDecoded.reset();
    m_pipeline.reset();
}

void PlayPipeline::report(const PipelineEvent &event)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_notify)
        m_notify(event);
}

void PlayPipeline::failBuild()
{
    report({PipelineEvent::Error, MediaError::kOther});
}

void PlayPipeline::onPadAdded(GstElement *, GstPad *pad, gpointer self)
{
    auto *p = static_cast<PlayPipeline *>(self);
    p->m_streamAdded = true;
    p->m_timeline.mark(OpenTimeline::StreamAdded);
    p->addStream(pad);
}

void PlayPipeline::onDescribed(GstElement *, gpointer, gpointer self)
{
    auto *p = static_cast<PlayPipeline *>(self);
    p->m_described = true;
    p->m_timeline.mark(OpenTimeline::Described);
}

gboolean PlayPipeline::onStreamDescribed(GstElement *, guint, GstCaps *caps, gpointer self)
{
    auto *p = static_cast<PlayPipeline *>(self);
    std::string encoding;
    if (mediaOf(caps, &encoding) == "audio"
        && findCodec(std::begin(kAudioCodecs), std::end(kAudioCodecs), encoding))
        p->m_soundDescribed = true;
    return TRUE;
}

void PlayPipeline::addStream(GstPad *pad)
{
    GstPtr<GstCaps> caps(gst_pad_get_current_caps(pad));
    if (!caps)
        caps.reset(gst_pad_query_caps(pad, nullptr));
    std::string encoding;
    const std::string media = mediaOf(caps.get(), &encoding);
    const bool used = (media == "video" && addVideo(pad, encoding))
        || (media == "audio" && addAudio(pad, encoding));
    if (!used) {
        SCLOG(4, "stream %s: %s %s not played", m_url, media.c_str(), encoding.c_str());
        discard(pad);
    }
}

GstPtr<GstElement> PlayPipeline::plugChain(const std::string &description)
{
    std::string error;
    GstPtr<GstElement> bin = BranchBin::make(description, {{"sink", "depay"}}, &error, "parse");
    if (!bin) {
        SCLOG(6, "stream %s: %s", m_url, error.c_str());
        return {};
    }
    if (!GstLinks::add(m_pipeline.get(), bin.get()))
        return {};
    return bin;
}

GstPtr<GstElement> PlayPipeline::plugTee(GstPad *pad, GstElement *ingest, const char *name,
                                         GstElement *branch)
{
    GstPtr<GstElement> tee(gst_element_factory_make("tee", name));
    g_object_set(tee.get(), "allow-not-linked", TRUE, nullptr);
    if (!GstLinks::add(m_pipeline.get(), tee.get()) || !GstLinks::elements(ingest, tee.get())
        || (branch && !GstLinks::elements(tee.get(), branch)))
        return {};
    gst_element_sync_state_with_parent(tee.get());
    gst_element_sync_state_with_parent(ingest);
    if (!GstLinks::padToElement(pad, ingest))
        return {};
    return tee;
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
    // The picture is decoded on the thread that receives it, as a bare player does: a queue
    // here cost a thread hand-over per picture. Decoded pictures that the surface has not
    // taken yet are replaced by newer ones, so the sink never holds the decoder up.
    const GstPtr<GstElement> display
        = BranchBin::make(displayBranch(decoderOf(*codec)), {{"sink", "dec"}}, &error);
    if (!display) {
        SCLOG(6, "stream %s: %s", m_url, error.c_str());
        failBuild();
        return true;
    }
    const GstPtr<GstElement> sink = BranchBin::child(display.get(), "video");
    GstAppSinkCallbacks callbacks {};
    callbacks.new_sample = &PlayPipeline::onSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, this, nullptr);
    const GstPtr<GstElement> ingest = plugChain(codec->ingest);
    const bool built = ingest
        && BranchBin::probe(ingest.get(), "parse", "src",
                            GstPadProbeType(GST_PAD_PROBE_TYPE_BUFFER
                                            | GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM),
                            &PlayPipeline::onParsed, this)
        && GstLinks::add(m_pipeline.get(), display.get());
    GstPtr<GstElement> tee;
    if (built) {
        // The display branch is ready before the first buffer can reach the tee.
        gst_element_sync_state_with_parent(display.get());
        tee = plugTee(pad, ingest.get(), "vtee", display.get());
    }
    if (!tee) {
        failBuild();
        return true;
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_videoTee = std::move(tee);
    m_videoCodec = codec->name;
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
    const GstPtr<GstElement> ingest = plugChain(codec->ingest);
    GstPtr<GstElement> tee = ingest ? plugTee(pad, ingest.get(), "atee") : GstPtr<GstElement>();
    if (!tee) {
        failBuild();
        return true;
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_audioTee = std::move(tee);
        m_audioCodec = codec->name;
    }
    report({PipelineEvent::SoundArrived, {}});
    return true;
}

void PlayPipeline::discard(GstPad *pad)
{
    const GstPtr<GstElement> sink(gst_element_factory_make("fakesink", nullptr));
    g_object_set(sink.get(), "async", FALSE, "sync", FALSE, nullptr);
    if (!GstLinks::add(m_pipeline.get(), sink.get()))
        return;
    gst_element_sync_state_with_parent(sink.get());
    GstLinks::padToElement(pad, sink.get());
}

bool PlayPipeline::insideBranch(GstObject *object)
{
    bool inside = false;
    for (GstPtr<GstObject> o = GstPtr<GstObject>::share(object); o && !inside;
         o.reset(gst_object_get_parent(o.get()))) {
        const gchar *name = GST_OBJECT_NAME(o.get());
        inside = name
            && (g_str_has_prefix(name, RecordBranch::kName)
                || g_str_equal(name, AudioBranch::kName));
    }
    return inside;
}

GstBusSyncReply PlayPipeline::onBusMessage(GstBus *, GstMessage *message, gpointer self)
{
    auto *p = static_cast<PlayPipeline *>(self);
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_ERROR: {
        GstPtr<GError> error;
        GstPtr<gchar> debug;
        gst_message_parse_error(message, error.out(), debug.out());
        SCLOG(6, "stream %s: %s (%s)", p->m_url, error ? error->message : "?",
              debug ? debug.get() : "");
        // A failing recording or speaker leaves the picture playing. A server that described
        // the stream and then set none of it up refused the transport.
        if (p->m_described && !p->m_streamAdded)
            p->report({PipelineEvent::TransportRefused, MediaError::fromGstError(error.get())});
        else if (!insideBranch(GST_MESSAGE_SRC(message)))
            p->report({PipelineEvent::Error, MediaError::fromGstError(error.get())});
        break;
    }
    case GST_MESSAGE_WARNING: {
        GstPtr<GError> warning;
        gst_message_parse_warning(message, warning.out(), nullptr);
        SCLOG(4, "stream %s: %s", p->m_url, warning ? warning->message : "?");
        // Over UDP the pictures do not end with the RTSP connection, and the source only
        // warns: a server that closes it has ended a live session.
        if (!p->m_playback && p->m_streamAdded
            && g_error_matches(warning.get(), GST_RESOURCE_ERROR, GST_RESOURCE_ERROR_READ))
            p->report({PipelineEvent::Error, MediaError::kConnection});
        break;
    }
    case GST_MESSAGE_EOS:
        p->reportEnd();
        break;
    case GST_MESSAGE_STREAM_STATUS: { // posted from the new streaming thread itself
        GstStreamStatusType type;
        gst_message_parse_stream_status(message, &type, nullptr);
        if (type == GST_STREAM_STATUS_TYPE_ENTER)
            KExceptionHandler::PrepareThread();
        break;
    }
    default:
        break;
    }
    // Nobody pops this bus: everything is handled here.
    return GST_BUS_DROP;
}

GstFlowReturn PlayPipeline::onSample(GstAppSink *sink, gpointer self)
{
    auto *p = static_cast<PlayPipeline *>(self);
    const GstPtr<GstSample> pulled(gst_app_sink_pull_sample(sink));
    if (!pulled)
        return GST_FLOW_OK;
    // The surface keeps pictures a while: give it a sample of its own, so that the sink may
    // reuse the one it handed out.
    const GstPtr<GstSample> sample(gst_sample_new(gst_sample_get_buffer(pulled.get()),
                                                  gst_sample_get_caps(pulled.get()),
                                                  gst_sample_get_segment(pulled.get()), nullptr));
    double position = p->m_position;
    if (p->m_playback) {
        const GstBuffer *buffer = gst_sample_get_buffer(sample.get());
        const GstSegment *segment = gst_sample_get_segment(sample.get());
        const guint64 streamTime = segment
            ? gst_segment_to_stream_time(segment, GST_FORMAT_TIME, GST_BUFFER_PTS(buffer))
            : GST_CLOCK_TIME_NONE;
        if (GST_CLOCK_TIME_IS_VALID(streamTime))
            position = static_cast<double>(streamTime) / GST_SECOND;
    } else {
        position = static_cast<double>(g_get_real_time()) / G_USEC_PER_SEC;
    }
    {
        std::lock_guard<std::mutex> lock(p->m_mutex);
        p->m_lastDecoded = GstPtr<GstSample>::share(sample.get());
    }
    bool stepped = false;
    if (!p->takesPicture(position, &stepped))
        return GST_FLOW_OK;
    p->m_position = position;
    p->m_slot->put(sample.get());
    if (stepped)
        p->report({PipelineEvent::PictureStepped, {}});
    else if (p->m_playback && p->m_length > 0 && position + p->frameInterval() * 1.5 > p->m_length)
        p->reportEnd();
    bool first = false;
    {
        std::lock_guard<std::mutex> lock(p->m_mutex);
        first = !p->m_pictureSeen;
        p->m_pictureSeen = true;
    }
    if (first) {
        p->m_timeline.mark(OpenTimeline::Decoded);
        p->report({PipelineEvent::FirstPicture, {}});
    }
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
    int rateN = 0, rateD = 0;
    if (gst_structure_get_fraction(s, "framerate", &rateN, &rateD) && rateN > 0 && rateD > 0)
        p->m_frameInterval = static_cast<double>(rateD) / rateN;
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

bool PlayPipeline::pause()
{
    // The picture shown now is the one that stays: one still on its way is not shown.
    m_stepTo = m_position.load();
    m_stepShown = true;
    return m_pipeline
        && gst_element_set_state(m_pipeline.get(), GST_STATE_PAUSED) != GST_STATE_CHANGE_FAILURE;
}

bool PlayPipeline::resume(double rate)
{
    if (!m_pipeline
        || gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return false;
    // The stream's times restart after a pause: a seek to where it stood sets them right.
    return !m_playback || seek(m_position, rate);
}

bool PlayPipeline::seek(double position, double rate)
{
    m_stepTo = -1;
    return seekTo(position, rate, GST_SEEK_FLAG_FLUSH);
}

bool PlayPipeline::seekTo(double position, double rate, GstSeekFlags flags)
{
    if (!m_pipeline || position < 0)
        return false;
    // Paused, the picture stays; resuming starts from here.
    m_position = position;
    m_endReported = false;
    return gst_element_seek(m_pipeline.get(), rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                            static_cast<gint64>(std::llround(position * GST_SECOND)),
                            GST_SEEK_TYPE_NONE, GST_CLOCK_TIME_NONE);
}

bool PlayPipeline::showPictureAt(double position)
{
    // A paused RTSP source holds no pictures ahead (the server stopped sending at the pause),
    // so the server is asked for the picture: one PLAY from its time (the seek, made while
    // paused, gives the PLAY its range), then the picture is held.
    m_stepTo = position;
    m_stepShown = false;
    return seekTo(position, 1.0, GstSeekFlags(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE))
        && gst_element_set_state(m_pipeline.get(), GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE;
}

bool PlayPipeline::takesPicture(double position, bool *stepped)
{
    const double wanted = m_stepTo;
    if (wanted < 0)
        return true;
    if (m_stepShown)
        return false;
    const double off = position - wanted;
    if (off >= frameInterval() / 2) {
        // The stream came from later on: a pause still under way in the source when the step
        // was asked for let the server run past the picture. The play object asks again.
        m_stepShown = true;
        report({PipelineEvent::PictureStepMissed, {}});
        return false;
    }
    // Earlier pictures are the ones a server sends from the key frame before the moment.
    if (off <= -frameInterval() / 2)
        return false;
    m_stepShown = true;
    *stepped = true;
    return true;
}

void PlayPipeline::reportEnd()
{
    if (!m_endReported.exchange(true))
        report({PipelineEvent::EndOfStream, {}});
}

double PlayPipeline::frameInterval() const
{
    const double interval = m_frameInterval;
    return interval > 0 ? interval : 1.0 / 25;
}

bool PlayPipeline::openAudio(std::string *error)
{
    GstPtr<GstElement> tee;
    std::string codec;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        tee = GstPtr<GstElement>::share(m_audioTee.get());
        codec = m_audioCodec;
    }
    if (!tee && !m_soundDescribed) {
        *error = "the stream has no sound";
        return false;
    }
    m_soundWanted = true;
    if (!tee || m_audio)
        return true; // the speaker starts when the sound arrives
    auto audio = std::make_unique<AudioBranch>(m_pipeline.get());
    m_soundWanted = audio->start(tee.get(), codec, error);
    if (m_soundWanted)
        m_audio = std::move(audio);
    return m_soundWanted;
}

void PlayPipeline::onSoundArrived()
{
    std::string error;
    if (m_soundWanted && !openAudio(&error))
        SCLOG(4, "stream %s: no sound [%s]", m_url, error.c_str());
}

void PlayPipeline::closeAudio()
{
    m_soundWanted = false;
    m_audio.reset();
}

bool PlayPipeline::startRecord(const std::string &path, std::string *error)
{
    if (m_record) {
        *error = "already recording";
        return false;
    }
    RecordBranch::Inputs inputs;
    GstPtr<GstElement> videoTee;
    GstPtr<GstElement> audioTee;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!m_videoTee) {
            *error = "no picture stream";
            return false;
        }
        videoTee = GstPtr<GstElement>::share(m_videoTee.get());
        audioTee = GstPtr<GstElement>::share(m_audioTee.get());
        inputs.videoCodec = m_videoCodec;
        inputs.audioCodec = m_audioCodec;
    }
    inputs.videoTee = videoTee.get();
    inputs.audioTee = audioTee.get();
    auto record = std::make_unique<RecordBranch>(m_pipeline.get());
    const bool ok = record->start(inputs, path, error);
    if (ok)
        m_record = std::move(record);
    return ok;
}

std::unique_ptr<RecordBranch> PlayPipeline::takeRecord()
{
    return std::move(m_record);
}

GstPtr<GstSample> PlayPipeline::lastPicture() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return GstPtr<GstSample>::share(m_lastDecoded.get());
}

std::string PlayPipeline::videoCodec() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_videoCodec;
}

} // namespace StreamCore
