#include "CommonUI/VideoWnd/CVideoWnd.h"

#include "CommonUI/VideoWnd/ChannelProbe.h"
#include "CommonUI/VideoWnd/IVideoWndListener.h"
#include "ConfigInfo/CBaseInfo.h"
#include "ConfigInfo/CConfig.h"

#include <StreamCore/AudioTalk.h>
#include <StreamCore/IStreamCore.h>
#include <StreamCore/VideoPlay.h>
#include <kwl/KPrintLog.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QThread>
#include <QTimer>

#include <cstring>

namespace {

constexpr int kPlaying = 3;
const char *const kTimeFormat = "yyyy-MM-dd HH:mm:ss";
const char *const kFileTimeFormat = "yyyy-MM-dd_hh-mm-ss";

StreamCore::IStreamCore *core()
{
    return StreamCore::IStreamCore::GetInstance();
}

qint64 localSeconds(const QString &text)
{
    return QDateTime::fromString(text, kTimeFormat).toSecsSinceEpoch();
}

template<size_t N> void copyText(char (&target)[N], const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const size_t length = qMin(size_t(utf8.size()), N - 1);
    std::memcpy(target, utf8.constData(), length);
    target[length] = '\0';
}

StreamCore::RecordInfo toRecordInfo(const RecordSegment_t &segment)
{
    StreamCore::RecordInfo info {};
    copyText(info.recordId, segment.recordId);
    copyText(info.beginTime, segment.beginTime);
    copyText(info.endTime, segment.endTime);
    copyText(info.deviceId, segment.deviceId);
    copyText(info.kind, segment.kind);
    info.size = segment.size;
    info.channel = segment.channel;
    info.type = segment.type;
    return info;
}

RecordSegment_t toSegment(const StreamCore::RecordInfo &info)
{
    RecordSegment_t segment;
    segment.recordId = QString::fromUtf8(info.recordId);
    segment.beginTime = QString::fromUtf8(info.beginTime);
    segment.endTime = QString::fromUtf8(info.endTime);
    segment.deviceId = QString::fromUtf8(info.deviceId);
    segment.kind = QString::fromUtf8(info.kind);
    segment.size = info.size;
    segment.channel = info.channel;
    segment.type = info.type;
    return segment;
}

// The segments of the cached days that overlap [begin, end], in day and library order; a
// segment starting where the one taken before it starts is a duplicate of the day boundary.
QVector<StreamCore::RecordInfo> collectSegments(const QList<RecordQueryResult_t> &days,
                                                qint64 begin, qint64 end)
{
    QVector<StreamCore::RecordInfo> taken;
    QString lastBegin;
    for (const RecordQueryResult_t &day : days) {
        for (const RecordSegment_t &segment : day.records) {
            const qint64 t1 = localSeconds(segment.beginTime);
            const qint64 t2 = localSeconds(segment.endTime);
            const bool inside = t1 >= begin && t2 <= end;
            const bool overlaps = (begin >= t1 && begin < t2) || (end > t1 && end <= t2);
            if (!(inside || overlaps))
                continue;
            if (!taken.isEmpty() && segment.beginTime == lastBegin)
                continue;
            lastBegin = segment.beginTime;
            taken.append(toRecordInfo(segment));
        }
    }
    return taken;
}

QString now(const char *format)
{
    return QDateTime::currentDateTime().toString(format);
}

} // namespace

CVideoWnd::CVideoWnd(IVideoWndListener *listener, int wndIndex, QObject *parent)
    : QObject(parent)
    , m_listener(listener)
    , m_wndIndex(wndIndex)
    , m_wndInfo(newWndInfo())
    , m_alarms(m_wndInfo, wndIndex)
    , m_reconnectTimer(new QTimer(this))
    , m_probe(new ChannelProbe(this))
    , m_probeTimer(new QTimer(this))
{
    m_reconnectTimer->setSingleShot(true);
    connect(m_reconnectTimer, &QTimer::timeout, this, &CVideoWnd::onReconnectTimeout);
    connect(m_probeTimer, &QTimer::timeout, this, &CVideoWnd::onProbeTimeout);
    connect(m_probe, &ChannelProbe::sgnAnswered, this, &CVideoWnd::onProbeAnswered);
}

CVideoWnd::~CVideoWnd()
{
    stopReconnecting();
    if (m_audioTalk) {
        m_audioTalk->RemoveObserver(this);
        core()->UnitAudioTalk(m_audioTalk);
    }
    destroyVideoPlay();
}

void CVideoWnd::drawCallback(int, HDC hdc, void *info, void *user)
{
    auto *self = static_cast<CVideoWnd *>(user);
    if (self->m_listener)
        self->m_listener->onVideoDraw(hdc, info);
}

bool CVideoWnd::createVideoPlay(int mode)
{
    m_videoPlay = core()->CreateVideoPlay(mode);
    if (!m_videoPlay)
        return false;
    m_videoPlay->InitVideoPlay(m_hwnd);
    m_videoPlay->AddObserver(this);
    m_videoPlay->RegisterDrawFun(&CVideoWnd::drawCallback, this);
    applyZoom();
    return true;
}

void CVideoWnd::destroyVideoPlay()
{
    if (!m_videoPlay)
        return;
    m_videoPlay->StopPlay();
    m_videoPlay->RemoveObserver(this);
    m_picturesAsked.clear(); // a stopped play object reports nothing more
    m_zoom.reset();
    core()->DestroyVideoPlay(m_videoPlay);
    m_videoPlay = nullptr;
}

void CVideoWnd::applyZoom()
{
    if (!m_videoPlay)
        return;
    const QRectF part = m_zoom.region();
    m_videoPlay->SetDisplayRegion(part.x(), part.y(), part.width(), part.height());
}

RecordSegment_t CVideoWnd::segmentOf(const StreamCore::RecordInfo &info)
{
    return toSegment(info);
}

int CVideoWnd::openRealVideo(const ChannelInfo_t &channel)
{
    stopReconnecting();
    m_wndInfo.channel = channel;
    if (!m_videoPlay && !createVideoPlay(StreamCore::PLAY_MODE_LIVE))
        return -1;
    m_retryHighDefinition = true;
    m_wndInfo.playType = 0;
    return startRealPlay();
}

int CVideoWnd::startRealPlay()
{
    const QByteArray token = ConfigInfo::CBaseInfo::Instance().getVeltToken().toUtf8();
    const ChannelInfo_t &channel = m_wndInfo.channel;
    return m_videoPlay->StartRealPlay(token.constData(), channel.deviceID.toUtf8().constData(),
                                      channel.channelID, channel.definitionMode);
}

int CVideoWnd::openPlayback(qint64 begin, qint64 end)
{
    stopReconnecting();
    if (!m_videoPlay && !createVideoPlay(StreamCore::PLAY_MODE_PLAYBACK))
        return -1;
    const ChannelInfo_t channel = m_wndInfo.channel;
    const QVector<StreamCore::RecordInfo> segments
        = collectSegments(m_recordCache.results(), begin, end);
    if (!segments.isEmpty()) {
        const qint64 first = localSeconds(QString::fromUtf8(segments.first().beginTime));
        if (first > begin)
            begin = first;
    }
    const QByteArray token = ConfigInfo::CBaseInfo::Instance().getVeltToken().toUtf8();
    const QByteArray device = channel.deviceID.toUtf8();
    m_wndInfo.playType = 1;
    m_wndInfo.bPauseOn = false; // every open plays
    if (m_wndInfo.recordSource == StreamCore::RECORD_SRC_CLOUD)
        return m_videoPlay->StartPlaybackByFile(StreamCore::RECORD_SRC_CLOUD, token.constData(),
                                                device.constData(), begin, end,
                                                segments.constData(), segments.size());
    const bool byFile = channel.accessSource != 2
        && channel.chnAbility.contains("PlaybackByFilename")
        && !channel.deviceModel.contains("QZ-REC0104A")
        && !channel.deviceModel.contains("QZ-REC0108A");
    if (byFile)
        return m_videoPlay->StartPlaybackByFile(StreamCore::RECORD_SRC_DEVICE, token.constData(),
                                                device.constData(), begin, end,
                                                segments.constData(), segments.size());
    return m_videoPlay->StartPlaybackByTime(StreamCore::RECORD_SRC_DEVICE, token.constData(),
                                            device.constData(), channel.channelID, begin, end);
}

void CVideoWnd::closeVideo()
{
    stopReconnecting();
    m_wndInfo.playSpeed = 1;
    destroyVideoPlay();
}

VideoWndInfo_t CVideoWnd::newWndInfo()
{
    return VideoWndInfo_t(ConfigInfo::CConfig::Instance().GetRecordConfig().RecType);
}

void CVideoWnd::resetWndInfo()
{
    m_wndInfo = newWndInfo();
    m_recordCache.reset();
    m_tempSnapPath.clear();
}

void CVideoWnd::updateWndInfo(const QString &key, const QVariant &value)
{
    if (key == QLatin1String("bPTZWidgetShow"))
        m_wndInfo.bPTZWidgetShow = value.toBool();
}

int CVideoWnd::getVideoState() const
{
    return m_videoPlay ? m_videoPlay->GetVideoState() : 0;
}

int CVideoWnd::pauseVideo(bool pause)
{
    if (!isPlaying()) {
        m_wndInfo.bPauseOn = false;
        return -1;
    }
    const int result = pause ? m_videoPlay->Pause() : m_videoPlay->Resume();
    if (result == 0)
        m_wndInfo.bPauseOn = pause;
    return result;
}

int CVideoWnd::setPlaySpeed(int speed)
{
    if (!isPlaying())
        return -1;
    const int result = m_videoPlay->SetPlaySpeed(float(speed));
    if (result == 0)
        m_wndInfo.playSpeed = speed;
    return result;
}

int CVideoWnd::seek(qint64 time)
{
    return isPlaying() ? m_videoPlay->Seek(time) : -1;
}

int CVideoWnd::stepFrame(int direction)
{
    return pausedFrameTimeMs() < 0 ? -1 : m_videoPlay->StepFrame(direction);
}

qint64 CVideoWnd::pausedFrameTimeMs() const
{
    return isPlayingPlayback() && m_wndInfo.bPauseOn ? m_videoPlay->GetFrameTimeMs() : -1;
}

qint64 CVideoWnd::getFrameTime() const
{
    return isPlayingPlayback() ? m_videoPlay->GetFrameTime() : 0;
}

qint64 CVideoWnd::getRecordBeginTime() const
{
    return isPlayingPlayback() ? m_videoPlay->GetRecordBeginTime() : -1;
}

int CVideoWnd::isPlayByTime() const
{
    return isPlayingPlayback() ? m_videoPlay->IsPlayByTime() : -1;
}

RecordSegment_t CVideoWnd::getCurrentRecordInfo() const
{
    StreamCore::RecordInfo info {};
    if (!isPlayingPlayback() || m_videoPlay->GetCurrentRecordInfo(&info) != 0)
        return RecordSegment_t();
    return toSegment(info);
}

float CVideoWnd::getFrameRate() const
{
    return m_videoPlay ? m_videoPlay->GetFrameRate() : 0.0f;
}

int CVideoWnd::getStatistics(StreamCore::VideoStatistics *statistics) const
{
    return m_videoPlay ? m_videoPlay->GetStatistics(statistics) : -1;
}

void CVideoWnd::setRecordSource(int source)
{
    if (source != m_wndInfo.recordSource)
        m_recordCache.clearResults();
    m_wndInfo.recordSource = source;
}

void CVideoWnd::addRecordResult(const QString &day, const RecordQueryResult_t &result)
{
    m_recordCache.add(day, result);
}

RecordQueryResult_t CVideoWnd::getRecordResult(const QString &day) const
{
    return m_recordCache.result(day);
}

int CVideoWnd::openAudio(bool on)
{
    if (!isPlaying()) {
        m_wndInfo.bAudioOn = false;
        return -1;
    }
    if (m_audioTalk && m_audioTalk->IsTalking())
        return -2;
    const int result = on ? m_videoPlay->OpenAudio() : m_videoPlay->CloseAudio();
    if (result == 0)
        m_wndInfo.bAudioOn = on;
    return result;
}

int CVideoWnd::openTalk(bool on)
{
    if (!isPlaying()) {
        m_wndInfo.bTalkOn = false;
        return -1;
    }
    if (!m_audioTalk) {
        m_audioTalk = core()->InitAudioTalk();
        if (!m_audioTalk)
            return -1;
        m_audioTalk->AddObserver(this);
    }
    if (!on) {
        const int result = m_audioTalk->StopTalk();
        if (result == 0)
            m_wndInfo.bTalkOn = false;
        return result;
    }
    if (m_audioTalk->IsTalking())
        return -2;
    const ChannelInfo_t &channel = m_wndInfo.channel;
    // Talk goes to a recorder's channel; a camera talks as a whole.
    const int talkChannel = channel.deviceModel.contains("NVR") ? channel.channelID : -1;
    const QByteArray token = ConfigInfo::CBaseInfo::Instance().getVeltToken().toUtf8();
    const int result
        = m_audioTalk->StartTalk(token.constData(), channel.deviceID.toUtf8().constData(),
                                 talkChannel, m_videoPlay->GetObjectHandle());
    if (result == 0)
        m_wndInfo.bTalkOn = true;
    return result;
}

QString CVideoWnd::makeMediaFolder(const QString &base) const
{
    const struct
    {
        QString name;
        const char *failure;
    } levels[] = {{QString(), "Create one level catalog failed!"},
                  {m_wndInfo.channel.shopName, "Create two level catalog failed!"},
                  {m_wndInfo.channel.channelName, "Create three level catalog failed!"}};
    QString folder = base;
    for (const auto &level : levels) {
        if (&level != &levels[0]) {
            if (level.name.isEmpty())
                continue;
            folder += "/" + level.name;
        }
        if (!QDir(folder).exists() && !QDir().mkpath(folder)) {
            KLOG(4, "%s", level.failure);
            return QString();
        }
    }
    return folder;
}

int CVideoWnd::recordVideo(bool on)
{
    if (!isPlaying()) {
        m_wndInfo.bRecordOn = false;
        return -1;
    }
    if (!on) {
        const int result = m_videoPlay->StopRecord();
        if (result == 0)
            m_wndInfo.bRecordOn = false;
        return result;
    }
    const QString folder
        = makeMediaFolder(ConfigInfo::CConfig::Instance().GetRecordConfig().RecPath);
    if (folder.isEmpty())
        return -1;
    const QString file = folder + "/" + now(kFileTimeFormat) + ".mp4";
    const int result = m_videoPlay->StartRecord(QFile::encodeName(file).constData());
    if (result == 0) {
        m_wndInfo.bRecordOn = true;
        m_wndInfo.recordStartTime = QDateTime::currentDateTime();
        m_wndInfo.thumbnailPath = takeTemporaryPicture(m_wndInfo.thumbnailPath);
        m_wndInfo.recordFilePath = file;
    }
    return result;
}

int CVideoWnd::snapshotVideo()
{
    if (!m_videoPlay)
        return -1;
    const QString folder = makeMediaFolder(ConfigInfo::CConfig::Instance().GetPicAccessInfo());
    if (folder.isEmpty())
        return -1;
    const QString file = folder + "/" + now(kFileTimeFormat) + ".jpg";
    const int result = snapShot(file);
    if (result == 0) {
        m_wndInfo.thumbnailPath = takeTemporaryPicture(m_wndInfo.thumbnailPath);
        m_wndInfo.snapshotFilePath = file;
    }
    return result;
}

QString CVideoWnd::getSnapShotPath()
{
    if (!m_videoPlay)
        return QString();
    m_tempSnapPath = takeTemporaryPicture(m_tempSnapPath);
    return m_tempSnapPath;
}

QString CVideoWnd::takeTemporaryPicture(const QString &previous)
{
    if (!isPlaying())
        return previous;
    if (!previous.isEmpty())
        QFile::remove(previous);
    // The scratch folder that start-up empties, in the working folder (the user's own when the
    // program folder is shared).
    const QString folder = QDir::currentPath() + "/tmp";
    QDir().mkpath(folder);
    const QString path = QString("%1/%2.jpg").arg(folder, now(kFileTimeFormat));
    return snapShot(path) == 0 ? path : QString();
}

int CVideoWnd::snapShot(const QString &path)
{
    const int result
        = m_videoPlay->SnapShot(QFile::encodeName(path).constData(), StreamCore::PIC_FORMAT_JPG);
    if (result == 0)
        m_picturesAsked.append(path);
    return result;
}

// The library writes pictures one after the other, so its reports come in the order asked.
void CVideoWnd::pictureWritten(bool written)
{
    if (m_picturesAsked.isEmpty())
        return;
    emit sgnSnapShotWritten(m_picturesAsked.takeFirst(), written);
}

QString CVideoWnd::errorText(const QString &code, int kind) const
{
    const QString prefix = "[" + code + "," + QString::number(kind) + "]";
    if (code == "100" && kind == 0)
        return prefix + tr("User information exception!");
    if (code == "11" && kind == 1)
        return prefix + tr("playback timeout!");
    return prefix + tr("Playback failure!");
}

void CVideoWnd::OnVideoEvent(const StreamCore::VideoEvent *event)
{
    VideoStatus_t status;
    status.status = VideoStatus_t::statusFromEvent(event->code);
    status.result = VideoStatus_t::resultFromOutcome(event->outcome);
    status.message = QString::fromUtf8(event->error ? event->error : "");
    status.playKind = event->kind;
    status.width = event->width;
    status.height = event->height;
    if (event->code == StreamCore::VIDEO_EVENT_SNAPSHOT) {
        const bool written = event->outcome == StreamCore::VIDEO_OUTCOME_NONE;
        onOwnThread([this, written] { pictureWritten(written); });
    }
    onOwnThread([this, status] { handleVideoStatus(status); });
}

template<typename Fn> void CVideoWnd::onOwnThread(Fn fn)
{
    if (QThread::currentThread() == thread())
        fn();
    else
        QMetaObject::invokeMethod(this, fn, Qt::QueuedConnection);
}

void CVideoWnd::handleVideoStatus(const VideoStatus_t &status)
{
    if (status.status == 4) {
        m_wndInfo.videoEnc.width = status.width;
        m_wndInfo.videoEnc.height = status.height;
    }
    followReconnect(status);
    if (m_listener)
        m_listener->onVideoStatusNotify(status);
}

void CVideoWnd::OnTalkEvent(const StreamCore::TalkEvent *event)
{
    const StreamCore::TalkEvent copy = *event;
    onOwnThread([this, copy] { handleTalkEvent(copy); });
}

void CVideoWnd::handleTalkEvent(const StreamCore::TalkEvent &event)
{
    // The one talk object reports every window's talk: only this window's is taken.
    if (!isPlaying() || event.playHandle != m_videoPlay->GetObjectHandle())
        return;
    VideoTalkStatus_t status;
    status.result = event.result == 0 ? 0 : -1;
    status.talkState = event.talkState;
    m_wndInfo.bTalkOn = status.isTalking();
    if (m_listener)
        m_listener->onVideoTalkStatusNotify(status);
}

void CVideoWnd::followReconnect(const VideoStatus_t &status)
{
    const bool live = m_wndInfo.playType == 0 && status.playKind == 0;
    if (!live || !m_videoPlay)
        return;
    if (status.status == 1 && !m_reconnecting) {
        KLOG(4, "live video of %s channel %d lost [%s]: reconnecting",
             qPrintable(m_wndInfo.channel.deviceID), m_wndInfo.channel.channelID,
             qPrintable(status.message));
        m_reconnecting = true;
        m_probeArmed = true;
        m_reconnectSchedule.restart();
        scheduleReconnect();
    } else if (m_reconnecting && status.status == 0 && status.result == 4) {
        scheduleReconnect();
    } else if (m_reconnecting && status.status == 0 && status.result == kPlaying) {
        KLOG(4, "live video of %s channel %d plays again after %d attempts",
             qPrintable(m_wndInfo.channel.deviceID), m_wndInfo.channel.channelID,
             m_reconnectSchedule.attempts());
        stopReconnecting();
        // The lost stream ended its file; the recording goes on in a new one.
        if (m_wndInfo.bRecordOn)
            recordVideo(true);
    }
}

void CVideoWnd::scheduleReconnect()
{
    const int wait = m_reconnectSchedule.nextDelayMs();
    m_reconnectTimer->start(wait);
    if (m_reconnectSchedule.probesDuring(wait))
        m_probeTimer->start(m_reconnectSchedule.probeIntervalMs());
}

void CVideoWnd::stopReconnecting()
{
    m_reconnecting = false;
    m_reconnectTimer->stop();
    m_probeTimer->stop();
    m_probe->cancel();
}

void CVideoWnd::onProbeTimeout()
{
    if (m_reconnecting && !m_probe->isRunning())
        m_probe->probe(m_wndInfo.channel, m_reconnectSchedule.probeIntervalMs());
}

void CVideoWnd::onProbeAnswered(bool answering)
{
    if (!m_reconnecting || !m_reconnectTimer->isActive())
        return;
    if (!answering) {
        m_probeArmed = true;
        return;
    }
    if (!m_probeArmed)
        return;
    m_probeArmed = false;
    m_reconnectTimer->stop();
    onReconnectTimeout();
}

void CVideoWnd::onReconnectTimeout()
{
    m_probeTimer->stop();
    m_probe->cancel();
    if (!m_reconnecting || !m_videoPlay)
        return;
    KLOG(4, "reconnect attempt %d to %s channel %d", m_reconnectSchedule.attempts(),
         qPrintable(m_wndInfo.channel.deviceID), m_wndInfo.channel.channelID);
    if (startRealPlay() != 0)
        scheduleReconnect();
}
