#pragma once

#include "ObserverList.h"
#include "OpenTimeline.h"
#include "PlatformClient.h"
#include "PlaybackPlan.h"
#include "StreamCore/IVideoObserver.h"
#include "StreamCore/VideoPlay.h"

#include <kwl/KMutex.h>

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QTimer>

#include <memory>

namespace StreamCore {

class FrameSlot;
class PlayPipeline;
class RtspSourceSetup;
class TaskQueue;
class VideoSurface;
struct PipelineEvent;

// A play object. Lives on the thread that created it (the GUI thread): address requests run
// on the library's worker, pipeline events come back as queued calls, and pipelines are
// stopped on a thread of their own because an RTSP teardown may wait for the network.
class VideoPlayImpl : public QObject, public VideoPlay
{
    Q_OBJECT

public:
    struct Services
    {
        PlatformClient *platform;
        TaskQueue *requests;
        TaskQueue *reaper;
    };

    VideoPlayImpl(int handle, Services services);
    ~VideoPlayImpl() override;

    // The live play object with this handle (on its thread), or null.
    static VideoPlayImpl *find(int handle);

    int InitVideoPlay(uintptr_t window) override;
    int RegisterDrawFun(DrawFun fun, void *user) override;
    int SetDisplayRegion(double left, double top, double width, double height) override;
    int StartRealPlay(const char *token, const char *deviceId, int channel,
                      int definition) override;
    int StartPlaybackByTime(int source, const char *token, const char *deviceId, int channel,
                            long long begin, long long end) override;
    int StartPlaybackByFile(int source, const char *token, const char *deviceId, long long begin,
                            long long end, const RecordInfo *records, int count) override;
    int StopPlay() override;
    int Pause() override;
    int Resume() override;
    int Seek(long long time) override;
    int SetPlaySpeed(float speed) override;
    int StepFrame(int direction) override;
    int OpenAudio() override;
    int CloseAudio() override;
    int StartRecord(const char *path) override;
    int StopRecord() override;
    int SnapShot(const char *path, int format) override;
    int GetVideoState() override;
    long long GetFrameTime() override;
    long long GetFrameTimeMs() override;
    float GetFrameRate() override;
    long long GetRecordBeginTime() override;
    int IsPlayByTime() override;
    int GetCurrentRecordInfo(RecordInfo *info) override;
    int GetObjectHandle() override;
    int AddObserver(IVideoObserver *observer) override;
    int RemoveObserver(IVideoObserver *observer) override;
    int GetStatistics(VideoStatistics *statistics) override; // VideoPlayStatistics.cpp

    // Pictures painted on the surface so far (0 without a surface).
    long long paintedFrames() const;

private:
    bool ready(const char *token, const char *deviceId) const;
    int beginOpen();
    using Answer = void (VideoPlayImpl::*)(const PlatformClient::Reply &);
    enum Picture {
        DropPicture,
        KeepPicture, // shown until the next stream's first picture replaces it
    };

    void openPiece();
    // Sends an open-platform request on the library's worker; the answer comes back on this
    // thread unless another open or a stop came first.
    void ask(const std::string &path, const PlatformClient::Params &params, Answer answer);
    void onRecordings(const PlatformClient::Reply &reply);
    void onAddress(const PlatformClient::Reply &reply);
    void startPipeline(const RtspSourceSetup &source);
    void onPipelineEvent(int generation, const PipelineEvent &event);
    // The server took none of the stream on the pipeline's transport: the next one, or fail.
    void onTransportRefused(const std::string &error);
    void onEndOfStream();
    // The step is over (its picture shown, or none came): the stream holds still again.
    void onStepped(bool shown);
    // The step's picture did not come, or the stream ran past it: asked again, up to three
    // times in all.
    void onStepMissed();
    void cancelStep();
    void onOpenTimeout();
    // Logs how an open ended and the steps it reached, in ms after the open (-1: not reached).
    void logOpen(const std::string &outcome) const;
    void failOpen(const std::string &error);
    void lose(const std::string &error);
    void stopPipeline(Picture picture = DropPicture);
    // Lets the pipeline go (stopped on the library's thread), leaving state and picture alone.
    void retirePipeline();
    // The end of a job of the library's thread: outcome 0, or 4 with "99".
    void emitOutcome(int code, bool ok);
    void emitEvent(int code, int outcome, const std::string &error, int width = 0, int height = 0);
    bool live() const { return m_plan.kind() == PlaybackPlan::Live; }
    bool playing() const { return m_state == VIDEO_STATE_PLAYING && m_pipeline; }

    int m_handle;
    Services m_services;
    KMutex m_mutex;
    ObserverList<IVideoObserver> m_observers;
    PlaybackPlan m_plan;
    int m_state = VIDEO_STATE_IDLE;
    int m_generation = 0;
    bool m_opening = false; // the first picture of the open was not seen yet
    OpenTimeline::Clock::time_point m_openedAt; // the open's start
    OpenTimeline::Clock::time_point m_addressAt; // the platform's answer with the address
    bool m_awaitingPicture = false; // the current pipeline has shown nothing yet
    double m_rate = 1.0;
    bool m_paused = false;
    bool m_stepping = false; // a step waits for its picture
    double m_stepTarget = 0; // its stream position
    int m_stepTries = 0;
    bool m_endWhilePaused = false; // the stream ended during a step
    int m_pictureWidth = 0;
    int m_pictureHeight = 0;
    std::shared_ptr<FrameSlot> m_slot;
    std::unique_ptr<PlayPipeline> m_pipeline;
    QPointer<VideoSurface> m_surface;
    DrawFun m_drawFun = nullptr;
    void *m_drawUser = nullptr;
    QRectF m_region {0, 0, 1, 1}; // the part of the picture shown
    QTimer m_openTimer;
    QTimer m_stepTimer; // a step's picture is overdue
};

} // namespace StreamCore
