#pragma once

#include "GstPtr.h"
#include "TeeLink.h"

#include <gst/gst.h>

#include <memory>
#include <string>

namespace StreamCore {

// Plays the stream's sound on the computer's speakers. The output is autoaudiosink unless
// the environment variable STREAMCORE_AUDIO_SINK names another sink description.
class AudioBranch
{
public:
    // Name of the branch's bin inside the pipeline.
    static constexpr const char *kName = "sound";

    explicit AudioBranch(GstElement *pipeline);
    ~AudioBranch();
    AudioBranch(const AudioBranch &) = delete;
    AudioBranch &operator=(const AudioBranch &) = delete;

    // codec: "alaw", "mulaw" or "aac"; false with a reason on failure.
    bool start(GstElement *audioTee, const std::string &codec, std::string *error);

private:
    GstElement *m_pipeline;
    GstPtr<GstElement> m_bin;
    std::unique_ptr<TeeLink> m_link;
};

} // namespace StreamCore
