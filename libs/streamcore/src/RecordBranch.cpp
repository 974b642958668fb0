#include "RecordBranch.h"

#include "BranchBin.h"

#include <atomic>

namespace StreamCore {

namespace {

constexpr gint64 kFinishWaitUs = 5 * G_TIME_SPAN_SECOND;
// Queues never dropping what must go into the file, bounded by memory rather than by time: the
// muxer writes the picture and the sound in time order, so it holds the stream that runs ahead
// until the other catches up, and a device (or a loaded machine) may deliver one of them many
// seconds ahead. A full queue would hold up the tee, and with it the live picture.
constexpr guint kQueueBytes = 64 * 1024 * 1024;
const std::string kQueue
    = "queue max-size-buffers=0 max-size-time=0 max-size-bytes=" + std::to_string(kQueueBytes);

std::string audioEncoder(const std::string &codec)
{
    if (codec == "aac")
        return "aacparse";
    // The MP4 container takes no G.711: decode and encode as AAC.
    const std::string decoder = codec == "mulaw" ? "mulawdec" : "alawdec";
    return decoder + " ! audioconvert ! audioresample ! avenc_aac ! aacparse";
}

std::string uniqueName()
{
    static std::atomic<int> count {0};
    return RecordBranch::kName + std::to_string(++count);
}

} // namespace

RecordBranch::RecordBranch(GstElement *pipeline)
    : m_pipeline(pipeline)
{
    g_mutex_init(&m_lock);
    g_cond_init(&m_ended);
}

RecordBranch::~RecordBranch()
{
    if (m_bin)
        finish();
    g_cond_clear(&m_ended);
    g_mutex_clear(&m_lock);
}

std::string RecordBranch::description(const Inputs &inputs)
{
    const std::string parser = inputs.videoCodec == "h265" ? "h265parse" : "h264parse";
    std::string d = kQueue + " name=vq ! " + parser
        + " ! mp4mux name=mux fragment-duration=1000 "
          "fragment-mode=first-moov-then-finalise ! filesink name=file async=false "
          "buffer-mode=unbuffered";
    if (inputs.audioTee)
        d += " " + kQueue + " name=aq ! " + audioEncoder(inputs.audioCodec) + " ! mux.";
    return d;
}

bool RecordBranch::addProbe(const char *element, const char *pad, GstPadProbeType type,
                            GstPadProbeCallback callback)
{
    return BranchBin::probe(m_bin.get(), element, pad, type, callback, this);
}

bool RecordBranch::start(const Inputs &inputs, const std::string &path, std::string *error)
{
    std::vector<std::pair<std::string, std::string>> ins {{"video", "vq"}};
    if (inputs.audioTee)
        ins.emplace_back("audio", "aq");
    m_bin = BranchBin::make(description(inputs), ins, error);
    if (!m_bin)
        return false;
    gst_object_set_name(GST_OBJECT(m_bin.get()), uniqueName().c_str());
    g_object_set(BranchBin::child(m_bin.get(), "file").get(), "location", path.c_str(), nullptr);
    const bool probed = addProbe("vq", "src", GST_PAD_PROBE_TYPE_BUFFER, &RecordBranch::onVideo)
        && (!inputs.audioTee
            || addProbe("aq", "src", GST_PAD_PROBE_TYPE_BUFFER, &RecordBranch::onAudio))
        && addProbe("file", "sink", GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM,
                    &RecordBranch::onFileEvent);
    if (!probed || !BranchBin::plug(m_pipeline, m_bin.get())) {
        *error = "cannot open " + path;
        m_bin.reset();
        return false;
    }
    const GstPtr<GstPad> videoIn(gst_element_get_static_pad(m_bin.get(), "video"));
    m_video = std::make_unique<TeeLink>(inputs.videoTee, videoIn.get());
    if (inputs.audioTee) {
        const GstPtr<GstPad> audioIn(gst_element_get_static_pad(m_bin.get(), "audio"));
        m_audio = std::make_unique<TeeLink>(inputs.audioTee, audioIn.get());
    }
    if (!m_video->linked() || (m_audio && !m_audio->linked())) {
        *error = "cannot link the recording";
        finish();
        return false;
    }
    return true;
}

GstPadProbeReturn RecordBranch::onVideo(GstPad *, GstPadProbeInfo *info, gpointer self)
{
    auto *branch = static_cast<RecordBranch *>(self);
    if (branch->m_keyFrameSeen)
        return GST_PAD_PROBE_OK;
    // A file must start with a picture that decodes on its own.
    if (GST_BUFFER_FLAG_IS_SET(GST_PAD_PROBE_INFO_BUFFER(info), GST_BUFFER_FLAG_DELTA_UNIT))
        return GST_PAD_PROBE_DROP;
    branch->m_keyFrameSeen = true;
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn RecordBranch::onAudio(GstPad *, GstPadProbeInfo *, gpointer self)
{
    return static_cast<RecordBranch *>(self)->m_keyFrameSeen ? GST_PAD_PROBE_OK
                                                             : GST_PAD_PROBE_DROP;
}

GstPadProbeReturn RecordBranch::onFileEvent(GstPad *, GstPadProbeInfo *info, gpointer self)
{
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) == GST_EVENT_EOS) {
        auto *branch = static_cast<RecordBranch *>(self);
        g_mutex_lock(&branch->m_lock);
        branch->m_fileEnded = true;
        g_cond_broadcast(&branch->m_ended);
        g_mutex_unlock(&branch->m_lock);
    }
    return GST_PAD_PROBE_OK;
}

void RecordBranch::unboundQueues()
{
    // The end of stream is sent into each input in turn. Into a full queue it waits for room,
    // which the muxer only makes once the other stream catches up or ends: the other input's end,
    // sent next, would never come. Nothing more arrives after the end, so no limit is needed.
    for (const char *name : {"vq", "aq"}) {
        if (const GstPtr<GstElement> queue = BranchBin::child(m_bin.get(), name))
            g_object_set(queue.get(), "max-size-bytes", 0u, nullptr);
    }
}

bool RecordBranch::finish()
{
    if (!m_bin)
        return false;
    unboundQueues();
    if (m_video)
        m_video->cut(true);
    if (m_audio)
        m_audio->cut(true);
    g_mutex_lock(&m_lock);
    const gint64 deadline = g_get_monotonic_time() + kFinishWaitUs;
    while (!m_fileEnded) {
        if (!g_cond_wait_until(&m_ended, &m_lock, deadline))
            break;
    }
    const bool ended = m_fileEnded;
    g_mutex_unlock(&m_lock);
    m_video.reset();
    m_audio.reset();
    BranchBin::unplug(m_pipeline, m_bin.get());
    m_bin.reset();
    return ended;
}

} // namespace StreamCore
