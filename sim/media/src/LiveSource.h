#pragma once

#include "FramePainter.h"

#include <GstPtr.h>

#include <gst/gst.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

typedef struct _GstAppSink GstAppSink;
typedef struct _GstRTSPMedia GstRTSPMedia;

namespace SimMedia {

struct ChannelSpec;
class PtzState;

// The live picture of one channel in one definition, encoded once and handed to every viewer.
// Each viewer's session has its own app source; a new viewer (or one that starts playing) gets
// a key frame painted at once, as cameras do for a new session, rather than at the next
// picture's time.
class LiveSource : public std::enable_shared_from_this<LiveSource>
{
public:
    LiveSource(const std::string &deviceId, const ChannelSpec &channel, int definition,
               const PtzState *ptz);
    ~LiveSource();
    LiveSource(const LiveSource &) = delete;
    LiveSource &operator=(const LiveSource &) = delete;

    // Feeds the viewer of a prepared RTSP media (app source "src", payloader "pay0") from its
    // PLAY until the media is unprepared, the first picture not before delayMs. The media keeps
    // the source alive until then (it may be unprepared after its server has stopped).
    void attach(GstRTSPMedia *media, int delayMs);
    // Starts feeding a viewer's app source, not before delayMs have passed; the payloader of
    // the viewer's session learns the parameter sets when the stream leaves them out.
    void subscribe(GstElement *appsrc, GstElement *payloader, int delayMs);
    void unsubscribe(GstElement *appsrc);
    // Stops painting and feeding for good (the owner's camera state goes away); media still
    // attached get nothing more.
    void end();
    // The viewer's next buffer will be a key frame (when its session starts playing).
    void restartAtKeyFrame(GstElement *appsrc);

private:
    struct Viewer
    {
        GstPtr<GstElement> appsrc;
        GstPtr<GstElement> payloader;
        bool ready = false;
        bool keyAsked = false;
        std::chrono::steady_clock::time_point notBefore;
    };

    static void onViewerState(GstRTSPMedia *media, gint state, gpointer data);
    static void onViewerGone(GstRTSPMedia *media, gpointer data);
    void run();
    // The encoder's next picture is a key frame.
    void requestKeyFrame();
    // Paints and encodes a key frame now for a viewer waiting for one; m_mutex held.
    void keyFrameNow();
    void pushPicture();
    static GstFlowReturn onSample(GstAppSink *sink, gpointer self);
    void fanOut(GstSample *sample);
    // The buffer as viewers get it: without parameter sets when the channel keeps them out.
    GstPtr<GstBuffer> outgoing(GstBuffer *encoded);

    int m_width;
    int m_height;
    const PtzState *m_ptz;
    FramePainter m_painter;
    uint64_t m_frames = 0;
    bool m_parameterSetsInBand;
    std::string m_sprop; // the parameter sets, when they are kept out of the stream

    GstPtr<GstElement> m_pipeline;
    GstPtr<GstElement> m_source;
    GstPtr<GstElement> m_text;
    GstPtr<GstElement> m_sink;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::vector<Viewer> m_viewers;
    bool m_stopping = false;
    bool m_keyFrameNow = false; // a viewer waits for a key frame: paint one at once
    std::thread m_thread;
};

} // namespace SimMedia
