#pragma once

#include "BitRateMeter.h"
#include "GstPtr.h"
#include "OpenTimeline.h"
#include "RtspSourceSetup.h"

#include <gst/gst.h>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

typedef struct _GstAppSink GstAppSink;

namespace StreamCore {

class AudioBranch;
class FrameSlot;
class RecordBranch;

// What a pipeline reports to its play object (from GStreamer threads).
struct PipelineEvent
{
    enum Kind {
        FirstPicture,
        PictureSize,
        Error,
        EndOfStream,
        TransportRefused, // the server answered, but not on this transport: try the next
        PictureStepped, // the picture asked by showPictureAt shows
        PictureStepMissed, // the stream ran past that picture without it
        SoundArrived, // the described sound stream came out: onSoundArrived() on the owner's thread
    };
    Kind kind;
    std::string error;
    int width = 0;
    int height = 0;
};

// The GStreamer pipeline of one stream: RTSP (the transport of its source set-up) → depayloader →
// parser → tee. The display branch decodes (one thread), scales to the surface's size in I420
// (other decoded formats are converted to it) and keeps only the newest picture, which the
// surface converts while drawing it; record and sound branches are added while it runs.
class PlayPipeline
{
public:
    using Notify = std::function<void(const PipelineEvent &)>;

    // playback: a seekable recording, whose pictures carry their position in the recording.
    PlayPipeline(const RtspSourceSetup &source, bool playback, std::shared_ptr<FrameSlot> slot,
                 Notify notify);
    ~PlayPipeline();
    PlayPipeline(const PlayPipeline &) = delete;
    PlayPipeline &operator=(const PlayPipeline &) = delete;

    // Loads the plugins of every element the pipelines build, by building each chain once: the
    // first streams then do not load them on their streaming threads, all at the same time.
    static void preload();

    // Starts streaming; false with a reason when the pipeline cannot be built.
    bool start(std::string *error);
    // No event is reported once this returns.
    void detach();
    // Finishes a running recording and stops the pipeline; may block on the network.
    void shutdown();

    bool pause();
    // Resumes at the position shown, at the given rate.
    bool resume(double rate);
    // Jumps to a position (seconds into the stream) at a rate.
    bool seek(double position, double rate);
    // Shows the one picture at a position and no other: the stream plays from there until
    // that picture arrives (PictureStepped, or PictureStepMissed when the stream came from
    // later on), then shows nothing more until paused or moved.
    bool showPictureAt(double position);
    // Seconds from one picture to the next: the stream's frame rate, 25 a second when unknown.
    double frameInterval() const;
    // Length of a recording's stream in seconds: its last picture ends it (EndOfStream) even
    // when the server's own end does not come (a server end consumed during a step is not sent
    // again). 0: unknown.
    void setLength(double seconds) { m_length = seconds; }
    // Position of the newest picture, seconds into the stream (playback) or since 1970 (live).
    double position() const { return m_position; }
    float kbps() { return m_meter.kbps(); }
    const RtspSourceSetup &source() const { return m_source; }
    const OpenTimeline &timeline() const { return m_timeline; }
    // "h264" or "h265" once the picture stream is known, else "".
    std::string videoCodec() const;

    // Plays the sound; a stream whose sound is described but has not come out yet plays it
    // from onSoundArrived(). False with a reason when the stream has no sound.
    bool openAudio(std::string *error);
    void onSoundArrived();
    void closeAudio();
    bool startRecord(const std::string &path, std::string *error);
    // Hands the running recording over (null when none), for it to be finished elsewhere:
    // finishing waits for the file's end. The pipeline must outlive it.
    std::unique_ptr<RecordBranch> takeRecord();
    bool recording() const { return m_record != nullptr; }
    // The newest decoded picture, at the stream's size (null before the first).
    GstPtr<GstSample> lastPicture() const;

private:
    static void onPadAdded(GstElement *src, GstPad *pad, gpointer self);
    static void onDescribed(GstElement *src, gpointer sdp, gpointer self);
    static gboolean onStreamDescribed(GstElement *src, guint index, GstCaps *caps, gpointer self);
    static GstBusSyncReply onBusMessage(GstBus *bus, GstMessage *message, gpointer self);
    static GstFlowReturn onSample(GstAppSink *sink, gpointer self);
    static GstPadProbeReturn onParsed(GstPad *pad, GstPadProbeInfo *info, gpointer self);
    void addStream(GstPad *pad);
    bool addVideo(GstPad *pad, const std::string &encoding);
    bool addAudio(GstPad *pad, const std::string &encoding);
    void discard(GstPad *pad);
    // Adds the unpacking chain "depay ! ... ! parse" of a received stream to the pipeline.
    GstPtr<GstElement> plugChain(const std::string &description);
    // Adds a tee after the chain (feeding the branch, when given), then feeds the received
    // stream into the chain; null when a link fails.
    GstPtr<GstElement> plugTee(GstPad *pad, GstElement *ingest, const char *name,
                               GstElement *branch = nullptr);
    void report(const PipelineEvent &event);
    // Reports a pipeline that could not be put together.
    void failBuild();
    // Whether a message comes from the record or sound branch.
    static bool insideBranch(GstObject *object);
    bool seekTo(double position, double rate, GstSeekFlags flags);
    // Whether a decoded picture at this position is shown; sets stepped for a step's picture.
    bool takesPicture(double position, bool *stepped);
    // Reports the end of the stream once per position it plays from.
    void reportEnd();

    RtspSourceSetup m_source;
    const char *m_url; // the address as logs show it
    bool m_playback;
    // Set from the source's thread: the server described the stream; a stream came out.
    std::atomic<bool> m_described {false};
    std::atomic<bool> m_streamAdded {false};
    std::atomic<bool> m_soundDescribed {false}; // with a codec the speaker can play
    OpenTimeline m_timeline;
    std::shared_ptr<FrameSlot> m_slot;
    GstPtr<GstElement> m_pipeline;

    mutable std::mutex m_mutex; // guards what the streaming threads set up
    Notify m_notify;
    GstPtr<GstElement> m_videoTee;
    std::string m_videoCodec;
    GstPtr<GstElement> m_audioTee;
    std::string m_audioCodec;
    GstPtr<GstSample> m_lastDecoded;
    int m_pictureWidth = 0;
    int m_pictureHeight = 0;
    bool m_pictureSeen = false;

    std::atomic<double> m_position {0};
    std::atomic<double> m_frameInterval {0};
    // While paused or stepping, the picture shown is held: -1 none, else the position a step
    // waits for (or the one paused on), with whether it was shown.
    std::atomic<double> m_stepTo {-1};
    std::atomic<bool> m_stepShown {false};
    std::atomic<double> m_length {0};
    std::atomic<bool> m_endReported {false};
    BitRateMeter m_meter;
    std::unique_ptr<RecordBranch> m_record;
    std::unique_ptr<AudioBranch> m_audio;
    bool m_soundWanted = false;
};

} // namespace StreamCore
