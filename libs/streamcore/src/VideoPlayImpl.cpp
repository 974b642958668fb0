#include "VideoPlayImpl.h"

#include "FrameSlot.h"
#include "GuiPost.h"
#include "Log.h"
#include "MediaError.h"
#include "PlayPipeline.h"
#include "RecordBranch.h"
#include "RtspSourceSetup.h"
#include "SnapshotWriter.h"
#include "TaskQueue.h"
#include "Timeouts.h"
#include "VideoSurface.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QWidget>

#include <algorithm>
#include <map>

namespace StreamCore {

namespace {

constexpr float kSlowest = 0.125f;
constexpr float kFastest = 8.0f;

// Play objects by handle, touched on the GUI thread only.
std::map<int, VideoPlayImpl *> &registry()
{
    static std::map<int, VideoPlayImpl *> plays;
    return plays;
}

} // namespace

VideoPlayImpl::VideoPlayImpl(int handle, Services services)
    : m_handle(handle)
    , m_services(services)
    , m_observers(m_mutex)
    , m_slot(std::make_shared<FrameSlot>())
{
    registry()[handle] = this;
    m_openTimer.setSingleShot(true);
    connect(&m_openTimer, &QTimer::timeout, this, [this] { onOpenTimeout(); });
    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, [this] { onStepMissed(); });
}

VideoPlayImpl::~VideoPlayImpl()
{
    registry().erase(m_handle);
    stopPipeline();
    delete m_surface.data();
}

VideoPlayImpl *VideoPlayImpl::find(int handle)
{
    auto it = registry().find(handle);
    return it == registry().end() ? nullptr : it->second;
}

int VideoPlayImpl::InitVideoPlay(uintptr_t window)
{
    QWidget *host = QWidget::find(static_cast<WId>(window));
    if (!host) {
        SCLOG(4, "no window %llu to show the picture in", static_cast<unsigned long long>(window));
        return -1;
    }
    delete m_surface.data();
    m_surface = new VideoSurface(host, m_slot, m_handle);
    m_surface->setDrawFun(m_drawFun, m_drawUser);
    m_surface->setDisplayRegion(m_region);
    m_surface->setVisible(playing());
    return 0;
}

int VideoPlayImpl::SetDisplayRegion(double left, double top, double width, double height)
{
    // Rounding may take a part that ends at the picture's edge a hair beyond it.
    constexpr double kSlack = 1e-9;
    const QRectF region(left, top, width, height);
    if (!(width > 0 && height > 0) || left < 0 || top < 0 || region.right() > 1 + kSlack
        || region.bottom() > 1 + kSlack)
        return -1;
    m_region = region;
    if (m_surface)
        m_surface->setDisplayRegion(region);
    return 0;
}

int VideoPlayImpl::RegisterDrawFun(DrawFun fun, void *user)
{
    m_drawFun = fun;
    m_drawUser = user;
    if (m_surface)
        m_surface->setDrawFun(fun, user);
    return 0;
}

bool VideoPlayImpl::ready(const char *token, const char *deviceId) const
{
    return token && deviceId && *deviceId && m_services.platform->configured();
}

int VideoPlayImpl::StartRealPlay(const char *token, const char *deviceId, int channel,
                                 int definition)
{
    if (!ready(token, deviceId) || channel < 0)
        return -1;
    m_plan.setLive(token, deviceId, channel, definition);
    return beginOpen();
}

int VideoPlayImpl::StartPlaybackByTime(int source, const char *token, const char *deviceId,
                                       int channel, long long begin, long long end)
{
    if (!ready(token, deviceId) || channel < 0
        || !m_plan.setByTime(source, token, deviceId, channel, begin, end))
        return -1;
    return beginOpen();
}

int VideoPlayImpl::StartPlaybackByFile(int source, const char *token, const char *deviceId,
                                       long long begin, long long end, const RecordInfo *records,
                                       int count)
{
    if (!ready(token, deviceId)
        || !m_plan.setByFile(source, token, deviceId, begin, end, records, count))
        return -1;
    return beginOpen();
}

int VideoPlayImpl::beginOpen()
{
    stopPipeline();
    ++m_generation;
    m_state = VIDEO_STATE_OPENING;
    m_opening = true;
    m_openedAt = OpenTimeline::Clock::now();
    m_rate = 1.0;
    m_paused = false;
    m_pictureWidth = m_pictureHeight = 0;
    openPiece();
    return 0;
}

void VideoPlayImpl::openPiece()
{
    m_awaitingPicture = true;
    m_openTimer.start(Timeouts::openMs());
    if (m_plan.needsRecordings())
        ask(PlaybackPlan::kSearchPath, m_plan.searchParams(), &VideoPlayImpl::onRecordings);
    else
        ask(m_plan.requestPath(), m_plan.requestParams(), &VideoPlayImpl::onAddress);
}

void VideoPlayImpl::ask(const std::string &path, const PlatformClient::Params &params,
                        Answer answer)
{
    const int handle = m_handle;
    const int generation = m_generation;
    PlatformClient *platform = m_services.platform;
    const std::string token = m_plan.token();
    m_services.requests->post([=] {
        const PlatformClient::Reply reply = platform->get(path, params, token);
        GuiPost::to(QCoreApplication::instance(), [=] {
            VideoPlayImpl *play = find(handle);
            if (play && generation == play->m_generation)
                (play->*answer)(reply);
        });
    });
}

void VideoPlayImpl::onRecordings(const PlatformClient::Reply &reply)
{
    std::vector<std::pair<long long, long long>> recordings;
    for (const QJsonValue &v : reply.data.value("records").toArray()) {
        const QJsonObject r = v.toObject();
        recordings.emplace_back(static_cast<long long>(r.value("begin").toDouble()),
                                static_cast<long long>(r.value("end").toDouble()));
    }
    if (!reply.error.empty()) {
        // The address request tells what is wrong, or the span plays as the device sends it.
        SCLOG(4, "play %d: no record search [%s], playing the whole span", m_handle,
              reply.error.c_str());
        m_plan.playWholeSpan();
    } else if (!m_plan.setRecordings(std::move(recordings))) {
        m_opening ? failOpen(MediaError::kNotFound) : lose(MediaError::kNotFound);
        return;
    }
    ask(m_plan.requestPath(), m_plan.requestParams(), &VideoPlayImpl::onAddress);
}

void VideoPlayImpl::onAddress(const PlatformClient::Reply &reply)
{
    m_addressAt = OpenTimeline::Clock::now();
    const std::string url = reply.data.value("url").toString().toStdString();
    if (!reply.error.empty() || url.empty()) {
        const std::string error = reply.error.empty() ? MediaError::kOther : reply.error;
        m_opening ? failOpen(error) : lose(error);
        return;
    }
    startPipeline(RtspSourceSetup(url));
}

void VideoPlayImpl::startPipeline(const RtspSourceSetup &source)
{
    const int handle = m_handle;
    const int generation = m_generation;
    auto notify = [handle, generation](const PipelineEvent &event) {
        GuiPost::to(QCoreApplication::instance(), [=] {
            if (VideoPlayImpl *play = find(handle))
                play->onPipelineEvent(generation, event);
        });
    };
    m_pipeline = std::make_unique<PlayPipeline>(source, !live(), m_slot, notify);
    m_pipeline->setLength(m_plan.pieceLength());
    std::string error;
    if (!m_pipeline->start(&error)) {
        SCLOG(6, "cannot play %s: %s", source.shownUrl().c_str(), error.c_str());
        m_opening ? failOpen(MediaError::kOther) : lose(MediaError::kOther);
        return;
    }
    SCLOG(4, "play %d: %s over %s", m_handle, source.shownUrl().c_str(), source.transportName());
}

void VideoPlayImpl::onTransportRefused(const std::string &error)
{
    RtspSourceSetup source = m_pipeline->source();
    if (!source.next()) {
        m_opening ? failOpen(error) : lose(error);
        return;
    }
    // Same open, same time-out: only the source starts again.
    SCLOG(4, "play %d: transport refused, trying %s", m_handle, source.transportName());
    retirePipeline();
    startPipeline(source);
}

void VideoPlayImpl::onPipelineEvent(int generation, const PipelineEvent &event)
{
    if (generation != m_generation)
        return;
    switch (event.kind) {
    case PipelineEvent::FirstPicture:
        m_awaitingPicture = false;
        m_openTimer.stop();
        if (m_surface)
            m_surface->show();
        if (m_opening) {
            logOpen("first picture");
            m_opening = false;
            m_state = VIDEO_STATE_PLAYING;
            emitEvent(live() ? VIDEO_EVENT_LIVE_OPEN : VIDEO_EVENT_PLAYBACK_OPEN,
                      VIDEO_OUTCOME_PLAYING, MediaError::kNone);
        }
        break;
    case PipelineEvent::PictureSize:
        if (event.width != m_pictureWidth || event.height != m_pictureHeight) {
            m_pictureWidth = event.width;
            m_pictureHeight = event.height;
            emitEvent(VIDEO_EVENT_PICTURE_SIZE, VIDEO_OUTCOME_NONE, MediaError::kNone, event.width,
                      event.height);
        }
        break;
    case PipelineEvent::Error:
        m_opening ? failOpen(event.error) : lose(event.error);
        break;
    case PipelineEvent::EndOfStream:
        onEndOfStream();
        break;
    case PipelineEvent::TransportRefused:
        onTransportRefused(event.error);
        break;
    case PipelineEvent::PictureStepped:
        onStepped(true);
        break;
    case PipelineEvent::PictureStepMissed:
        onStepMissed();
        break;
    case PipelineEvent::SoundArrived:
        m_pipeline->onSoundArrived();
        break;
    }
}

void VideoPlayImpl::logOpen(const std::string &outcome) const
{
    // The steps an open reached tell a slow camera from a slow platform or a stuck decoder.
    const auto after = [this](OpenTimeline::Step step) {
        return m_pipeline ? m_pipeline->timeline().msAfter(m_openedAt, step) : -1LL;
    };
    const bool addressed = m_addressAt >= m_openedAt;
    SCLOG(4,
          "play %d: %s %lld ms after the open (address %lld, described %lld, stream %lld, "
          "decoded %lld)",
          m_handle, outcome.c_str(),
          OpenTimeline::msBetween(m_openedAt, OpenTimeline::Clock::now()),
          addressed ? OpenTimeline::msBetween(m_openedAt, m_addressAt) : -1LL,
          after(OpenTimeline::Described), after(OpenTimeline::StreamAdded),
          after(OpenTimeline::Decoded));
}

void VideoPlayImpl::onStepped(bool shown)
{
    if (!m_stepping)
        return;
    cancelStep();
    m_pipeline->pause();
    emitOutcome(VIDEO_EVENT_FRAME_STEP, shown);
}

void VideoPlayImpl::cancelStep()
{
    m_stepping = false;
    m_stepTimer.stop();
}

void VideoPlayImpl::onStepMissed()
{
    // The source has settled by now: asked again, the server starts at the picture.
    constexpr int kTries = 3;
    if (!m_stepping)
        return;
    if (++m_stepTries >= kTries || !m_pipeline->showPictureAt(m_stepTarget)) {
        SCLOG(4, "play %d: no picture at %.3f s to step to", m_handle, m_stepTarget);
        onStepped(false);
        return;
    }
    m_stepTimer.start();
}

void VideoPlayImpl::onEndOfStream()
{
    if (m_opening || live()) {
        // A live stream has no end: the camera went away.
        m_opening ? failOpen(MediaError::kConnection) : lose(MediaError::kConnection);
        return;
    }
    if (m_paused) {
        // A step ran into the end: the picture holds; resuming goes on after the recording. An
        // end elsewhere (seen on loopback under load, from a server asked to seek mid-stream)
        // is dropped: the step's retry and resuming seek anew.
        const double shown = m_stepping ? m_stepTarget : m_pipeline->position();
        m_endWhilePaused = shown + m_pipeline->frameInterval() * 1.5 > m_plan.pieceLength();
        return;
    }
    // The last picture stays until the next recording shows its first.
    stopPipeline(KeepPicture);
    if (m_plan.next()) {
        openPiece();
        return;
    }
    stopPipeline();
    m_state = VIDEO_STATE_ENDED;
    emitEvent(VIDEO_EVENT_PLAYBACK_END, VIDEO_OUTCOME_NONE, MediaError::kNone);
}

void VideoPlayImpl::onOpenTimeout()
{
    if (!m_awaitingPicture)
        return;
    m_opening ? failOpen(MediaError::kOpenTimeout) : lose(MediaError::kOpenTimeout);
}

void VideoPlayImpl::failOpen(const std::string &error)
{
    logOpen("open failed [" + error + "]");
    stopPipeline();
    ++m_generation;
    m_opening = false;
    m_state = VIDEO_STATE_FAILED;
    emitEvent(live() ? VIDEO_EVENT_LIVE_OPEN : VIDEO_EVENT_PLAYBACK_OPEN, VIDEO_OUTCOME_FAILED,
              error);
}

void VideoPlayImpl::lose(const std::string &error)
{
    SCLOG(4, "play %d: stream lost [%s]", m_handle, error.c_str());
    stopPipeline();
    ++m_generation;
    m_state = VIDEO_STATE_FAILED;
    emitEvent(live() ? VIDEO_EVENT_LIVE_LOST : VIDEO_EVENT_PLAYBACK_LOST, VIDEO_OUTCOME_FAILED,
              error.empty() ? MediaError::kConnection : error);
}

void VideoPlayImpl::stopPipeline(Picture picture)
{
    m_openTimer.stop();
    m_awaitingPicture = false;
    cancelStep();
    m_endWhilePaused = false;
    if (m_surface && picture == DropPicture) {
        m_surface->hide();
        m_surface->clearPicture();
    }
    if (picture == DropPicture)
        m_slot->clear();
    retirePipeline();
}

void VideoPlayImpl::retirePipeline()
{
    if (!m_pipeline)
        return;
    m_pipeline->detach();
    PlayPipeline *pipeline = m_pipeline.release();
    m_services.reaper->post([pipeline] { delete pipeline; });
}

int VideoPlayImpl::StopPlay()
{
    ++m_generation;
    stopPipeline();
    m_plan.clear();
    m_opening = false;
    m_state = VIDEO_STATE_IDLE;
    return 0;
}

int VideoPlayImpl::Pause()
{
    if (!playing() || !m_pipeline->pause())
        return -1;
    m_paused = true;
    return 0;
}

int VideoPlayImpl::Resume()
{
    if (m_endWhilePaused && playing()) {
        m_paused = false;
        ++m_generation; // nothing more of this stream counts, a second end included
        onEndOfStream();
        return 0;
    }
    if (!playing() || !m_pipeline->resume(m_rate))
        return -1;
    m_paused = false;
    cancelStep();
    return 0;
}

int VideoPlayImpl::Seek(long long time)
{
    PlaybackPlan::Target target;
    if (!playing() || !m_plan.target(time, &target))
        return -1;
    if (target.reopen) {
        stopPipeline();
        ++m_generation;
        m_paused = false;
        openPiece();
        return 0;
    }
    cancelStep();
    m_endWhilePaused = false;
    return m_pipeline->seek(target.position, m_rate) ? 0 : -1;
}

int VideoPlayImpl::StepFrame(int direction)
{
    if (!playing() || live() || !m_paused || m_stepping || (direction != 1 && direction != -1))
        return -1;
    // Positions are sums of frame intervals: a hair below 0 is the first picture.
    constexpr double kSlack = 1e-6;
    const double position = m_pipeline->position() + direction * m_pipeline->frameInterval();
    m_stepTarget = std::max(0.0, position);
    if (position < -kSlack || m_stepTarget + m_pipeline->frameInterval() / 2 > m_plan.pieceLength()
        || !m_pipeline->showPictureAt(m_stepTarget))
        return -1;
    m_stepping = true;
    m_stepTries = 0;
    m_stepTimer.start(Timeouts::stepMs());
    return 0;
}

int VideoPlayImpl::SetPlaySpeed(float speed)
{
    if (!playing() || live() || speed < kSlowest || speed > kFastest)
        return -1;
    m_rate = speed;
    if (!m_paused && !m_pipeline->seek(m_pipeline->position(), m_rate))
        return -1;
    return 0;
}

int VideoPlayImpl::OpenAudio()
{
    std::string error;
    if (!playing())
        return -1;
    if (!m_pipeline->openAudio(&error)) {
        SCLOG(4, "play %d: no sound [%s]", m_handle, error.c_str());
        return -1;
    }
    return 0;
}

int VideoPlayImpl::CloseAudio()
{
    if (!m_pipeline)
        return -1;
    m_pipeline->closeAudio();
    return 0;
}

int VideoPlayImpl::StartRecord(const char *path)
{
    std::string error;
    if (!playing() || !path || !*path)
        return -1;
    if (!m_pipeline->startRecord(path, &error)) {
        SCLOG(6, "play %d: cannot record to %s [%s]", m_handle, path, error.c_str());
        return -1;
    }
    return 0;
}

int VideoPlayImpl::StopRecord()
{
    if (!m_pipeline || !m_pipeline->recording())
        return -1;
    // Finishing waits for the end of the file; the pipeline is deleted on the same thread,
    // after this job.
    std::shared_ptr<RecordBranch> record = m_pipeline->takeRecord();
    const int handle = m_handle;
    m_services.reaper->post([record, handle] {
        const bool finished = record->finish();
        GuiPost::to(QCoreApplication::instance(), [handle, finished] {
            if (VideoPlayImpl *play = find(handle))
                play->emitOutcome(VIDEO_EVENT_RECORD_END, finished);
        });
    });
    return 0;
}

int VideoPlayImpl::SnapShot(const char *path, int format)
{
    if (!m_pipeline || !path || !*path || format != PIC_FORMAT_JPG)
        return -1;
    auto picture = std::make_shared<GstPtr<GstSample>>(m_pipeline->lastPicture());
    if (!*picture)
        return -1;
    const int handle = m_handle;
    const std::string file = path;
    const int timeoutMs = Timeouts::snapshotMs();
    m_services.reaper->post([picture, handle, file, timeoutMs] {
        std::string error;
        const bool saved = SnapshotWriter::write(picture->get(), file, timeoutMs, &error);
        if (!saved)
            SCLOG(6, "play %d: no snapshot [%s]", handle, error.c_str());
        GuiPost::to(QCoreApplication::instance(), [handle, saved] {
            if (VideoPlayImpl *play = find(handle))
                play->emitOutcome(VIDEO_EVENT_SNAPSHOT, saved);
        });
    });
    return 0;
}

int VideoPlayImpl::GetVideoState()
{
    return m_state;
}

long long VideoPlayImpl::GetFrameTime()
{
    return playing() ? m_plan.timeAt(m_pipeline->position()) : 0;
}

long long VideoPlayImpl::GetFrameTimeMs()
{
    return playing() ? m_plan.timeMsAt(m_pipeline->position()) : 0;
}

float VideoPlayImpl::GetFrameRate()
{
    return m_pipeline ? m_pipeline->kbps() : 0.0f;
}

long long VideoPlayImpl::GetRecordBeginTime()
{
    return m_plan.recordBeginTime();
}

int VideoPlayImpl::IsPlayByTime()
{
    switch (m_plan.kind()) {
    case PlaybackPlan::ByTime:
        return 1;
    case PlaybackPlan::ByFile:
        return 0;
    default:
        return -1;
    }
}

int VideoPlayImpl::GetCurrentRecordInfo(RecordInfo *info)
{
    const RecordInfo *record = m_plan.currentRecord();
    if (!record || !info)
        return -1;
    *info = *record;
    return 0;
}

int VideoPlayImpl::GetObjectHandle()
{
    return m_handle;
}

int VideoPlayImpl::AddObserver(IVideoObserver *observer)
{
    return m_observers.add(observer);
}

int VideoPlayImpl::RemoveObserver(IVideoObserver *observer)
{
    return m_observers.remove(observer);
}

long long VideoPlayImpl::paintedFrames() const
{
    return m_surface ? m_surface->paintedFrames() : 0;
}

void VideoPlayImpl::emitOutcome(int code, bool ok)
{
    emitEvent(code, ok ? VIDEO_OUTCOME_NONE : VIDEO_OUTCOME_FAILED,
              ok ? MediaError::kNone : MediaError::kOther);
}

void VideoPlayImpl::emitEvent(int code, int outcome, const std::string &error, int width,
                              int height)
{
    const VideoEvent event {
        m_handle, code,  outcome, error.c_str(), live() ? VIDEO_KIND_LIVE : VIDEO_KIND_PLAYBACK,
        width,    height};
    m_observers.forEach([&event](IVideoObserver *o) { o->OnVideoEvent(&event); });
}

} // namespace StreamCore
