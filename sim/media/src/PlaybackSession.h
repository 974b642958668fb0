#pragma once

#include <GstPtr.h>

#include "FramePainter.h"
#include "SimMedia/RecordSchedule.h"

#include <gst/gst.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

typedef struct _GstAppSrc GstAppSrc;

namespace SimMedia {

class PtzState;

// What one playback address plays: a channel's recorded clock from begin to end.
struct PlaybackSpan
{
    std::string deviceId;
    int channel = 0;
    int source = 0; // 0 device, 1 cloud
    int64_t begin = 0;
    int64_t end = 0;
    int width = 0;
    int height = 0;
};

// Produces the pictures of one viewer's playback on demand: the stream position is the offset
// into the span, so a seek moves the recorded clock and a faster rate spaces the pictures
// further apart in recorded time. Times outside every recording show "no recording".
class PlaybackSession
{
public:
    PlaybackSession(const PlaybackSpan &span, const PtzState *ptz, GstElement *appsrc,
                    GstElement *overlay);
    ~PlaybackSession();

    // Hands the session to its app source, which deletes it when it goes away.
    static void attach(const PlaybackSpan &span, const PtzState *ptz, GstElement *appsrc,
                       GstElement *overlay);

private:
    static void onNeedData(GstAppSrc *src, guint length, gpointer self);
    static gboolean onSeekData(GstAppSrc *src, guint64 offset, gpointer self);
    static GstPadProbeReturn onSegment(GstPad *pad, GstPadProbeInfo *info, gpointer self);
    static void destroy(gpointer self);
    void pushPicture();
    bool recorded(int64_t seconds) const;

    PlaybackSpan m_span;
    const PtzState *m_ptz;
    GstElement *m_appsrc; // owns this session: no reference back
    GstPtr<GstElement> m_overlay;
    FramePainter m_painter;
    std::vector<Record> m_records;

    std::mutex m_mutex;
    GstClockTime m_position = 0;
    double m_rate = 1.0;
};

} // namespace SimMedia
