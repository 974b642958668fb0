#include "AudioTalkImpl.h"

#include "GuiPost.h"
#include "Log.h"
#include "MediaError.h"
#include "TalkPipeline.h"
#include "TaskQueue.h"
#include "Timeouts.h"

#include <QCoreApplication>
#include <QPointer>

namespace StreamCore {

AudioTalkImpl::AudioTalkImpl(PlatformClient *platform, TaskQueue *requests, TaskQueue *reaper)
    : m_platform(platform)
    , m_requests(requests)
    , m_reaper(reaper)
    , m_observers(m_mutex)
{
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] { fail(MediaError::kOpenTimeout); });
}

AudioTalkImpl::~AudioTalkImpl()
{
    stopPipeline();
}

int AudioTalkImpl::StartTalk(const char *token, const char *deviceId, int channel, int playHandle)
{
    if (m_talking)
        return -2;
    if (!token || !deviceId || !*deviceId || !m_platform->configured())
        return -1;
    m_talking = true;
    m_playHandle = playHandle;
    const int generation = ++m_generation;
    // A talk without a channel (-1) goes to the device's first one.
    const PlatformClient::Params params {{"deviceId", deviceId},
                                         {"channel", std::to_string(channel < 0 ? 1 : channel)}};
    const std::string tokenText = token;
    PlatformClient *platform = m_platform;
    QPointer<AudioTalkImpl> self(this);
    m_timeout.start(Timeouts::openMs());
    m_requests->post([=] {
        const PlatformClient::Reply reply
            = platform->get("/openapi/v1/stream/talk", params, tokenText);
        GuiPost::to(QCoreApplication::instance(), [=] {
            if (self)
                self->onAddress(generation, reply);
        });
    });
    return 0;
}

void AudioTalkImpl::onAddress(int generation, const PlatformClient::Reply &reply)
{
    if (generation != m_generation)
        return;
    const std::string url = reply.data.value("url").toString().toStdString();
    if (!reply.error.empty() || url.empty()) {
        fail(reply.error.empty() ? MediaError::kOther : reply.error);
        return;
    }
    QPointer<AudioTalkImpl> self(this);
    m_pipeline = std::make_unique<TalkPipeline>(url, [=](bool ok, const std::string &error) {
        GuiPost::to(QCoreApplication::instance(), [=] {
            if (self)
                self->onResult(generation, ok, error);
        });
    });
    std::string error;
    if (!m_pipeline->start(&error)) {
        SCLOG(6, "talk: %s", error.c_str());
        fail(MediaError::kOther);
    }
}

void AudioTalkImpl::onResult(int generation, bool ok, const std::string &error)
{
    if (generation != m_generation || !m_talking)
        return;
    if (!ok) {
        fail(error);
        return;
    }
    m_timeout.stop();
    emitEvent(0, TALK_STATE_TALKING);
}

void AudioTalkImpl::fail(const std::string &error)
{
    if (!m_talking)
        return;
    SCLOG(4, "talk failed [%s]", error.c_str());
    ++m_generation;
    m_talking = false;
    stopPipeline();
    emitEvent(-1, TALK_STATE_FAILED);
}

int AudioTalkImpl::StopTalk()
{
    if (!m_talking)
        return -1;
    ++m_generation;
    m_talking = false;
    stopPipeline();
    emitEvent(0, TALK_STATE_STOPPED);
    return 0;
}

bool AudioTalkImpl::IsTalking()
{
    return m_talking;
}

void AudioTalkImpl::stopPipeline()
{
    m_timeout.stop();
    if (!m_pipeline)
        return;
    m_pipeline->detach();
    TalkPipeline *pipeline = m_pipeline.release();
    m_reaper->post([pipeline] { delete pipeline; });
}

int AudioTalkImpl::AddObserver(ITalkObserver *observer)
{
    return m_observers.add(observer);
}

int AudioTalkImpl::RemoveObserver(ITalkObserver *observer)
{
    return m_observers.remove(observer);
}

void AudioTalkImpl::emitEvent(int result, int state)
{
    const TalkEvent event {result, state, m_playHandle};
    m_observers.forEach([&event](ITalkObserver *o) { o->OnTalkEvent(&event); });
}

} // namespace StreamCore
