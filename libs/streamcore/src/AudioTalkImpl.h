#pragma once

#include "ObserverList.h"
#include "PlatformClient.h"
#include "StreamCore/AudioTalk.h"
#include "StreamCore/ITalkObserver.h"

#include <kwl/KMutex.h>

#include <QObject>
#include <QTimer>

#include <memory>

namespace StreamCore {

class TalkPipeline;
class TaskQueue;

// The process's one talk object, on the GUI thread: asks the platform for the channel's talk
// address on the worker, then runs a TalkPipeline; a talk that reaches the device in time
// (the open time-out) is reported as talking, anything else as failed.
class AudioTalkImpl : public QObject, public AudioTalk
{
    Q_OBJECT

public:
    AudioTalkImpl(PlatformClient *platform, TaskQueue *requests, TaskQueue *reaper);
    ~AudioTalkImpl() override;

    int StartTalk(const char *token, const char *deviceId, int channel, int playHandle) override;
    int StopTalk() override;
    bool IsTalking() override;
    int AddObserver(ITalkObserver *observer) override;
    int RemoveObserver(ITalkObserver *observer) override;

private:
    void onAddress(int generation, const PlatformClient::Reply &reply);
    void onResult(int generation, bool ok, const std::string &error);
    void fail(const std::string &error);
    void stopPipeline();
    void emitEvent(int result, int state);

    PlatformClient *m_platform;
    TaskQueue *m_requests;
    TaskQueue *m_reaper;
    KMutex m_mutex;
    ObserverList<ITalkObserver> m_observers;
    std::unique_ptr<TalkPipeline> m_pipeline;
    bool m_talking = false;
    int m_generation = 0;
    int m_playHandle = 0;
    QTimer m_timeout;
};

} // namespace StreamCore
