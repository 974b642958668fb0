#include "AudioBranch.h"

#include "BranchBin.h"

#include <cstdlib>

namespace StreamCore {

namespace {

std::string decoderOf(const std::string &codec)
{
    if (codec == "aac")
        return "avdec_aac";
    return codec == "mulaw" ? "mulawdec" : "alawdec";
}

std::string sinkDescription()
{
    const char *sink = std::getenv("STREAMCORE_AUDIO_SINK");
    return sink && *sink ? sink : "autoaudiosink";
}

} // namespace

AudioBranch::AudioBranch(GstElement *pipeline)
    : m_pipeline(pipeline)
{ }

AudioBranch::~AudioBranch()
{
    if (!m_bin)
        return;
    m_link.reset();
    BranchBin::unplug(m_pipeline, m_bin.get());
}

bool AudioBranch::start(GstElement *audioTee, const std::string &codec, std::string *error)
{
    // A late speaker drops old sound rather than falling behind the picture.
    const std::string d = "queue name=q max-size-time=500000000 leaky=downstream ! "
        + decoderOf(codec) + " ! audioconvert ! audioresample ! " + sinkDescription();
    m_bin = BranchBin::make(d, {{"audio", "q"}}, error);
    if (!m_bin)
        return false;
    gst_object_set_name(GST_OBJECT(m_bin.get()), kName);
    if (!BranchBin::plug(m_pipeline, m_bin.get())) {
        *error = "no sound output";
        m_bin.reset();
        return false;
    }
    const GstPtr<GstPad> input(gst_element_get_static_pad(m_bin.get(), "audio"));
    m_link = std::make_unique<TeeLink>(audioTee, input.get());
    if (!m_link->linked())
        *error = "cannot link the sound";
    return m_link->linked();
}

} // namespace StreamCore
