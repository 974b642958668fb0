#pragma once

#include "GstPtr.h"
#include "TeeLink.h"

#include <gst/gst.h>

#include <atomic>
#include <memory>
#include <string>

namespace StreamCore {

// Records the stream into an MP4 file as it arrives: the picture as received (its own parser
// repackages it), the sound as AAC. The file is written in fragments, so that a crash leaves a
// playable file; finishing it sends end-of-stream into this branch only.
class RecordBranch
{
public:
    struct Inputs
    {
        GstElement *videoTee = nullptr;
        std::string videoCodec; // "h264" or "h265"
        GstElement *audioTee = nullptr; // may be null
        std::string audioCodec; // "alaw", "mulaw" or "aac"
    };

    // Start of the name of the branch's bin inside the pipeline (a recording still finishing
    // may stand beside the next one).
    static constexpr const char *kName = "record";

    explicit RecordBranch(GstElement *pipeline);
    ~RecordBranch();
    RecordBranch(const RecordBranch &) = delete;
    RecordBranch &operator=(const RecordBranch &) = delete;

    // Starts writing the file at the next key frame; false with a reason on failure.
    bool start(const Inputs &inputs, const std::string &path, std::string *error);
    // Ends the file and removes the branch; false when the file could not be finished.
    bool finish();

private:
    static std::string description(const Inputs &inputs);
    static GstPadProbeReturn onVideo(GstPad *pad, GstPadProbeInfo *info, gpointer self);
    static GstPadProbeReturn onAudio(GstPad *pad, GstPadProbeInfo *info, gpointer self);
    static GstPadProbeReturn onFileEvent(GstPad *pad, GstPadProbeInfo *info, gpointer self);
    // Lifts the queues' limit, so that the end of stream never waits for room.
    void unboundQueues();
    bool addProbe(const char *element, const char *pad, GstPadProbeType type,
                  GstPadProbeCallback callback);

    GstElement *m_pipeline;
    GstPtr<GstElement> m_bin;
    std::unique_ptr<TeeLink> m_video;
    std::unique_ptr<TeeLink> m_audio;
    std::atomic<bool> m_keyFrameSeen {false};
    GMutex m_lock;
    GCond m_ended;
    bool m_fileEnded = false;
};

} // namespace StreamCore
