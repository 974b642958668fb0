#include "CommonUI/VideoFrame/CVideoFrame.h"

#include "CommonUI/VideoFrame/CWndSplitConfig.h"
#include "CommonUI/VideoFrame/IVideoFrameListener.h"
#include "CommonUI/VideoFrame/SplitGeometry.h"
#include "CommonUI/VideoWnd/CVideoWnd.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "CommonUI/VideoWnd/RecordDayCache.h"
#include "ConfigInfo/CBaseInfo.h"

#include <StreamCore/IStreamCore.h>

#include <QDateTime>

namespace {

const char *const kTimeFormat = "yyyy-MM-dd HH:mm:ss";
const char *const kDayFormat = "yyyy-MM-dd";
constexpr int kPlaying = 3;
constexpr int kMaxStepQueries = 3; // days asked for by one step before it gives up

StreamCore::IStreamCore *core()
{
    return StreamCore::IStreamCore::GetInstance();
}

qint64 secondsOf(const QString &text)
{
    return QDateTime::fromString(text, kTimeFormat).toSecsSinceEpoch();
}

QDate dayOf(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).date();
}

bool sameChannel(const ChannelInfo_t &shown, const ChannelInfo_t &listed)
{
    return shown.deviceID == listed.deviceID
        && (listed.channelID == -1 || shown.channelID == listed.channelID);
}

} // namespace

CVideoFrame::CVideoFrame(int ownerType, IVideoFrameListener *listener)
    : m_listener(listener)
    , m_ownerType(ownerType)
{
    // The live view opens its windows small: they start in standard definition.
    m_flags.insert(FlagAutoDefinition, ownerType == kOwnerPlayback);
    core()->AddObserver(this);
}

CVideoFrame::~CVideoFrame()
{
    // Removing waits for an event being delivered: none can reach the windows deleted below.
    core()->RemoveObserver(this);
    qDeleteAll(m_wnds);
    m_wnds.clear();
    m_cellMaps.clear();
}

void CVideoFrame::createWnds(int count, QWidget *parent)
{
    for (int i = 0; i < count; ++i) {
        auto *w = new QVideoWnd(parent, i);
        m_wnds.insert(i, w);
        w->setOption(0, flag(FlagWindowOption));
        if (m_listener)
            m_listener->onWndCreated(w, i);
    }
}

void CVideoFrame::setSplitByCount(int count)
{
    setSplitMode(SplitGeometry::splitModeOf(count));
}

void CVideoFrame::setSplitMode(int mode)
{
    mode = qMin(SplitGeometry::splitModeOf(wndCount()), mode);
    m_splitMode = mode;
    const WndSplitEntry_t *entry = CWndSplitConfig::instance()->normalSplit(mode);
    if (!entry)
        return;
    if (!m_cellMaps.contains(mode))
        m_cellMaps.insert(mode, SplitGeometry::cellMap(*entry));
    m_splitWndCount = m_visibleCount = entry->count;
    if (m_selectedWnd >= m_splitWndCount) {
        m_selectedWnd = 0;
        if (m_listener)
            m_listener->onSelect(0);
    }
    if (m_listener)
        m_listener->onRelayout();
}

void CVideoFrame::setFlag(int key, bool value)
{
    m_flags.insert(key, value);
    if (key != FlagWindowOption)
        return;
    for (QVideoWnd *w : qAsConst(m_wnds))
        w->setOption(0, value);
}

QRectF CVideoFrame::getWndRect(int index, const QRectF &frameRect, int visibleCount) const
{
    if (index == -1)
        return QRectF(0, 0, 0, 0);
    if (visibleCount <= 1)
        return frameRect;
    const WndSplitEntry_t *entry = CWndSplitConfig::instance()->normalSplit(m_splitMode);
    const QVector<int> cells = m_cellMaps.value(m_splitMode);
    if (!entry || index < 0 || index >= cells.size())
        return QRectF();
    return SplitGeometry::wndRect(*entry, cells[index], frameRect);
}

void CVideoFrame::openVideos(const QList<ChannelInfo_t> &channels)
{
    const int n = channels.size();
    const int free = m_splitWndCount - m_selectedWnd;
    const int count = SplitGeometry::autoSplitCount(m_splitWndCount, free, n);
    if (count != m_splitWndCount)
        setSplitByCount(count);
    else if (m_visibleCount == 1 && n >= 2)
        setSplitMode(m_splitMode);
    const int start = m_selectedWnd;
    const int k = qMin(m_splitWndCount - start, n);
    for (int i = 0; i < k; ++i) {
        QVideoWnd *w = wnd(start + i);
        if (!w)
            continue;
        w->closeVideo();
        w->controller()->resetWndInfo();
        const int result = openChannel(start + i, channels.at(i));
        if (m_listener)
            m_listener->onChannelOpened(w, start + i, result);
    }
}

int CVideoFrame::openVideo(int index, const ChannelInfo_t &channel)
{
    return wnd(index) ? openChannel(index, channel) : -1;
}

int CVideoFrame::openChannel(int index, ChannelInfo_t channel)
{
    QVideoWnd *w = wnd(index);
    m_manualDefinition.remove(index);
    m_pendingSteps.remove(index);
    if (flag(FlagAutoDefinition) && channel.accessSource != 2)
        channel.definitionMode = m_autoDefinition.initial(w->width());
    return w->openRealVideo(QString(), channel);
}

int CVideoFrame::reopenWnd(int index)
{
    QVideoWnd *w = wnd(index);
    if (!w)
        return -1;
    const VideoWndInfo_t info = w->getVideoWndInfo();
    if (info.playType == 1)
        return playAt(index, w->getFrameTime());
    // The last picture stays up while the stream opens again.
    const QString still = w->getVideoState() == kPlaying ? w->getSnapShotPath() : QString();
    w->controller()->closeVideo();
    return w->openRealVideo(still, info.channel);
}

void CVideoFrame::closeWnd(int index)
{
    if (QVideoWnd *w = wnd(index)) {
        m_manualDefinition.remove(index);
        m_pendingSteps.remove(index);
        w->closeVideo();
    }
}

void CVideoFrame::closeAll()
{
    for (int index : m_wnds.keys())
        closeWnd(index);
}

void CVideoFrame::closeChannels(const QList<ChannelInfo_t> &channels)
{
    for (auto it = m_wnds.cbegin(); it != m_wnds.cend(); ++it) {
        const ChannelInfo_t shown = it.value()->getVideoWndInfo().channel;
        if (shown.deviceID.isEmpty())
            continue;
        for (const ChannelInfo_t &listed : channels) {
            if (sameChannel(shown, listed)) {
                closeWnd(it.key());
                break;
            }
        }
    }
}

VideoWndInfo_t CVideoFrame::wndInfo(int index) const
{
    const QVideoWnd *w = wnd(index);
    return w ? w->getVideoWndInfo() : VideoWndInfo_t();
}

template<typename Fn> int CVideoFrame::onSelected(Fn fn) const
{
    QVideoWnd *w = selected();
    return w ? fn(w) : -1;
}

int CVideoFrame::recordVideo(bool on)
{
    return onSelected([on](QVideoWnd *w) { return w->recordVideo(on); });
}

int CVideoFrame::snapshotVideo()
{
    return onSelected([](QVideoWnd *w) { return w->snapshotVideo(); });
}

int CVideoFrame::pauseVideo(bool pause)
{
    return onSelected([pause](QVideoWnd *w) { return w->pauseVideo(pause); });
}

int CVideoFrame::setRecordSource(int source)
{
    return onSelected([source](QVideoWnd *w) {
        w->setRecordSource(source);
        return 0;
    });
}

int CVideoFrame::setPlaySpeed(int speed)
{
    return onSelected([speed](QVideoWnd *w) { return w->setPlaySpeed(speed); });
}

int CVideoFrame::openSoundAlarm(bool on)
{
    return onSelected([on](QVideoWnd *w) { return w->controller()->alarms().openSoundAlarm(on); });
}

int CVideoFrame::openLightAlarm(bool on)
{
    return onSelected([on](QVideoWnd *w) { return w->controller()->alarms().openLightAlarm(on); });
}

bool CVideoFrame::anyTalking(int except) const
{
    for (auto it = m_wnds.cbegin(); it != m_wnds.cend(); ++it) {
        if (it.key() != except && it.value()->getVideoWndInfo().bTalkOn)
            return true;
    }
    return false;
}

int CVideoFrame::setSound(bool on)
{
    if (anyTalking(-1))
        return -2;
    QVideoWnd *target = selected();
    if (!target)
        return -1;
    if (on) {
        for (QVideoWnd *w : qAsConst(m_wnds)) {
            if (w == target || !w->getVideoWndInfo().bAudioOn)
                continue;
            if (const int result = w->openAudio(false))
                return result;
        }
    }
    return target->openAudio(on);
}

int CVideoFrame::closeAllSound()
{
    int first = 0;
    for (QVideoWnd *w : qAsConst(m_wnds)) {
        if (!w->getVideoWndInfo().bAudioOn)
            continue;
        const int result = w->openAudio(false);
        if (first == 0)
            first = result;
    }
    return first;
}

int CVideoFrame::setTalk(bool on)
{
    if (anyTalking(m_selectedWnd))
        return -2;
    return onSelected([on](QVideoWnd *w) { return w->openTalk(on); });
}

int CVideoFrame::setDefinition(int value)
{
    QVideoWnd *w = selected();
    if (!w)
        return -1;
    m_manualDefinition.insert(m_selectedWnd);
    VideoWndInfo_t info = w->getVideoWndInfo();
    if (info.channel.definitionMode == value)
        return 0;
    info.channel.definitionMode = value;
    w->controller()->setVideoWndInfo(info);
    reopenWnd(m_selectedWnd);
    return 0;
}

void CVideoFrame::followWndWidth(int index, int width)
{
    QVideoWnd *w = wnd(index);
    if (!w || !flag(FlagAutoDefinition) || m_manualDefinition.contains(index))
        return;
    VideoWndInfo_t info = w->getVideoWndInfo();
    const bool live
        = info.playType == 0 && !info.channel.deviceID.isEmpty() && w->getVideoState() != 0;
    if (!live || info.channel.accessSource == 2)
        return;
    const int next = m_autoDefinition.follow(info.channel.definitionMode, width);
    if (next == info.channel.definitionMode)
        return;
    info.channel.definitionMode = next;
    w->controller()->setVideoWndInfo(info);
    reopenWnd(index);
}

bool CVideoFrame::queryRecord(int index, int sourceType, const QString &start, const QString &end,
                              qint64 midTime, const ChannelInfo_t &channel, int queryType)
{
    if (!wnd(index))
        return false;
    const QByteArray token = ConfigInfo::CBaseInfo::Instance().getVeltToken().toUtf8();
    const QByteArray device = channel.deviceID.toUtf8();
    const QByteArray begin = start.toUtf8();
    const QByteArray finish = end.toUtf8();
    StreamCore::RecordParam param {};
    param.token = token.constData();
    param.deviceId = device.constData();
    param.channel = channel.channelID;
    param.beginTime = begin.constData();
    param.endTime = finish.constData();
    param.source = sourceType;
    param.window = index;
    param.frameType = m_ownerType;
    param.queryTime = midTime;
    param.queryType = queryType;
    return core()->QueryRecord(param) == 0;
}

bool CVideoFrame::queryRecordBitmap(int index, int year, int month)
{
    const QVideoWnd *w = wnd(index);
    if (!w)
        return false;
    const VideoWndInfo_t info = w->getVideoWndInfo();
    const QByteArray token = ConfigInfo::CBaseInfo::Instance().getVeltToken().toUtf8();
    return core()->QueryRecordBitmap(info.recordSource, token.constData(),
                                     info.channel.deviceID.toUtf8().constData(),
                                     info.channel.channelID, year, month, index, m_ownerType)
        == 0;
}

bool CVideoFrame::dayCached(const QVideoWnd *w, const QString &day) const
{
    // A source switch empties the results but keeps the day list: only a stored answer counts
    // (stored answers name their window, the default record names none).
    return w->getRecordResult(day).wndIndex >= 0;
}

QList<RecordSegment_t> CVideoFrame::dayRecords(const QVideoWnd *w, const QString &day) const
{
    return w->getRecordResult(day).records;
}

QMap<QString, QList<RecordSegment_t>> CVideoFrame::recordsOf(int index) const
{
    QMap<QString, QList<RecordSegment_t>> records;
    const QVideoWnd *w = wnd(index);
    if (!w)
        return records;
    for (const QString &day : w->controller()->cachedDays()) {
        if (dayCached(w, day))
            records.insert(day, dayRecords(w, day));
    }
    return records;
}

int CVideoFrame::findRecordAt(int index, qint64 time) const
{
    const QVideoWnd *w = wnd(index);
    if (!w)
        return -1;
    bool cached = false;
    const QDate day = dayOf(time);
    for (const QDate &d : {day, day.addDays(-1)}) {
        const QString key = d.toString(kDayFormat);
        if (!dayCached(w, key))
            continue;
        cached = true;
        for (const RecordSegment_t &s : dayRecords(w, key)) {
            if (secondsOf(s.beginTime) <= time && time <= secondsOf(s.endTime))
                return 0;
        }
    }
    return cached ? -2 : -1;
}

int CVideoFrame::hasRecordIn(int index, qint64 start, qint64 end) const
{
    const QVideoWnd *w = wnd(index);
    const QString day = dayOf(start).toString(kDayFormat);
    if (!w || !dayCached(w, day))
        return -1;
    for (const RecordSegment_t &segment : dayRecords(w, day)) {
        const qint64 s = secondsOf(segment.beginTime);
        const qint64 e = secondsOf(segment.endTime);
        if ((start <= s && end >= e) || (s <= start && start < e) || (s < end && end <= e))
            return 0;
    }
    return -2;
}

int CVideoFrame::playAt(int index, qint64 time)
{
    QVideoWnd *w = wnd(index);
    return w ? w->openPlayback(time, QDateTime::currentSecsSinceEpoch()) : -1;
}

int CVideoFrame::stepPlayback(int delta)
{
    QVideoWnd *w = selected();
    const int byTime = w ? w->isPlayByTime() : -1;
    if (byTime < 0)
        return -1;
    const qint64 now = w->getFrameTime();
    if (byTime == 0) {
        const qint64 offset = now - w->getRecordBeginTime() + delta;
        if (offset > 0)
            return w->seek(offset) == 0 ? 0 : -1;
        return playAt(m_selectedWnd, now + delta) == 0 ? 0 : -1;
    }
    return resolveStep(m_selectedWnd, {now + delta, delta, 0});
}

// Plays the step's target when a cached record covers it; otherwise walks day by day in the
// step's direction to the nearest record, asking for the first day that is not cached.
int CVideoFrame::resolveStep(int index, PendingStep step)
{
    QVideoWnd *w = wnd(index);
    if (findRecordAt(index, step.target) == 0)
        return playAt(index, step.target) == 0 ? 0 : -1;
    const bool back = step.delta < 0;
    QDate day = dayOf(step.target);
    for (int walked = 0; walked <= RecordDayCache::kMaxDays; ++walked) {
        const QString key = day.toString(kDayFormat);
        if (day > QDate::currentDate() || (!dayCached(w, key) && step.queries >= kMaxStepQueries))
            return -2;
        if (!dayCached(w, key)) {
            ++step.queries;
            m_pendingSteps.insert(index, step);
            const VideoWndInfo_t info = w->getVideoWndInfo();
            queryRecord(index, info.recordSource, key + " 00:00:00", key + " 23:59:59",
                        QDateTime(day, QTime(0, 0)).toSecsSinceEpoch(), info.channel, kStepQuery);
            return -3;
        }
        // Back: the nearest earlier record's end; forward: the next record's start.
        qint64 edge = -1;
        qint64 edgeBegin = 0;
        for (const RecordSegment_t &s : dayRecords(w, key)) {
            const qint64 begin = secondsOf(s.beginTime);
            const qint64 end = secondsOf(s.endTime);
            if (back && end < step.target && end > edge) {
                edge = end;
                edgeBegin = begin;
            } else if (!back && begin > step.target && (edge < 0 || begin < edge)) {
                edge = begin;
            }
        }
        // Stepping back lands one step before the record's end, not past its start.
        if (edge >= 0)
            return playAt(index, back ? qMax(edgeBegin, edge + step.delta) : edge) == 0 ? 0 : -1;
        day = day.addDays(back ? -1 : 1);
    }
    return -2;
}

QList<qint64> CVideoFrame::wndTimes() const
{
    QList<qint64> times;
    for (const QVideoWnd *w : m_wnds)
        times << (w ? w->getFrameTime() : 0);
    return times;
}

RecordQueryResult_t CVideoFrame::recordResultOf(const StreamCore::MediaEvent &event)
{
    RecordQueryResult_t result;
    result.wndIndex = event.window;
    result.recordSource = event.source;
    result.text1 = QString::fromUtf8(event.text1 ? event.text1 : "");
    result.text2 = QString::fromUtf8(event.text2 ? event.text2 : "");
    result.queryTime = int(event.queryTime);
    result.queryType = event.queryType;
    result.result = event.result;
    // Records that began on the day before the queried one belong to that day's answer.
    const QString dayStart = dayOf(event.queryTime).toString(kDayFormat) + " 00:00:00";
    bool reached = false;
    for (int i = 0; event.records && i < event.recordCount; ++i) {
        const RecordSegment_t segment = CVideoWnd::segmentOf(event.records[i]);
        reached = reached || segment.beginTime >= dayStart;
        if (reached)
            result.records << segment;
    }
    return result;
}

void CVideoFrame::OnMediaEvent(const StreamCore::MediaEvent *event)
{
    if (!event || event->frameType != m_ownerType)
        return;
    if (event->type == StreamCore::MEDIA_EVENT_RECORD_BITMAP) {
        QueryRecordBitmapResult_t bitmap;
        bitmap.result = event->result;
        bitmap.year = event->year;
        bitmap.month = event->month;
        bitmap.bitmap = QString::fromUtf8(event->bitmap ? event->bitmap : "");
        QMetaObject::invokeMethod(
            &m_guiThread,
            [this, bitmap] {
                if (m_listener)
                    m_listener->onRecordBitmapQueryEnded(bitmap);
            },
            Qt::QueuedConnection);
    } else if (event->type == StreamCore::MEDIA_EVENT_RECORD_QUERY) {
        RecordQueryResult_t result = recordResultOf(*event);
        result.frameType = m_ownerType;
        QMetaObject::invokeMethod(
            &m_guiThread, [this, result] { deliverRecordResult(result); }, Qt::QueuedConnection);
    }
}

void CVideoFrame::deliverRecordResult(const RecordQueryResult_t &result)
{
    QVideoWnd *w = wnd(result.wndIndex);
    if (!w || result.recordSource != w->getVideoWndInfo().recordSource)
        return;
    w->addRecordResult(dayOf(result.queryTime).toString(kDayFormat), result);
    if (m_listener)
        m_listener->onRecordQueryEnded(result);
    if (result.queryType == kStepQuery && m_pendingSteps.contains(result.wndIndex))
        resolveStep(result.wndIndex, m_pendingSteps.take(result.wndIndex));
}
