#include "CommonUI/VideoFrame/QVideoFrame.h"

#include "CommonUI/QCustomWidget.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoWnd/QVideoSurface.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"

#include <QDateTime>
#include <QPainter>

namespace {

constexpr int kPlaying = 3;

QRectF innerRect(const QRectF &wndRect)
{
    return wndRect.adjusted(1, 1, -1, -1);
}

} // namespace

QVideoFrame::QVideoFrame(int ownerType, QWidget *parent)
    : QWidget(parent)
    , m_frame(new CVideoFrame(ownerType, this))
{
    setObjectName("QVideoFrame");
    QCustomWidget::applySkinStyleSheet(this);
}

QVideoFrame::~QVideoFrame()
{
    // The windows are the controller's: they go with it, before this widget's children.
    delete m_frame;
    m_frame = nullptr;
}

QRectF QVideoFrame::frameRect() const
{
    return QRectF(rect()).adjusted(1, 1, -1, -2);
}

QRectF QVideoFrame::wndRect(int index) const
{
    return m_frame->getWndRect(index, frameRect(), m_frame->visibleCount());
}

void QVideoFrame::createWnds(int count)
{
    m_frame->createWnds(count, this);
}

void QVideoFrame::setSplitByCount(int count)
{
    m_frame->setSplitByCount(count);
}

void QVideoFrame::openVideos(const QList<ChannelInfo_t> &channels)
{
    m_frame->openVideos(channels);
}

int QVideoFrame::openVideo(int index, const ChannelInfo_t &channel)
{
    return m_frame->openVideo(index, channel);
}

int QVideoFrame::reopenWnd(int index)
{
    return m_frame->reopenWnd(index);
}

void QVideoFrame::closeWnd(int index)
{
    m_frame->closeWnd(index);
}

void QVideoFrame::closeChannels(const QList<ChannelInfo_t> &channels)
{
    m_frame->closeChannels(channels);
}

void QVideoFrame::closeAll()
{
    m_frame->closeAll();
}

int QVideoFrame::selectedWnd() const
{
    return m_frame->selectedWnd();
}

VideoWndInfo_t QVideoFrame::wndInfo(int index) const
{
    return m_frame->wndInfo(index);
}

QMap<QString, QList<RecordSegment_t>> QVideoFrame::recordsOf(int index) const
{
    return m_frame->recordsOf(index);
}

int QVideoFrame::findRecordAt(int index, qint64 time) const
{
    return m_frame->findRecordAt(index, time);
}

int QVideoFrame::hasRecordIn(int index, qint64 start, qint64 end) const
{
    return m_frame->hasRecordIn(index, start, end);
}

QList<qint64> QVideoFrame::wndTimes() const
{
    return m_frame->wndTimes();
}

int QVideoFrame::stepPlayback(int delta)
{
    return m_frame->stepPlayback(delta);
}

int QVideoFrame::playAt(int index, qint64 time)
{
    return m_frame->playAt(index, time);
}

void QVideoFrame::setFlag(int key, bool value)
{
    m_frame->setFlag(key, value);
}

int QVideoFrame::recordVideo(bool on)
{
    return m_frame->recordVideo(on);
}

int QVideoFrame::snapshotVideo()
{
    return m_frame->snapshotVideo();
}

int QVideoFrame::setTalk(bool on)
{
    return m_frame->setTalk(on);
}

int QVideoFrame::setSound(bool on)
{
    return m_frame->setSound(on);
}

int QVideoFrame::closeAllSound()
{
    return m_frame->closeAllSound();
}

int QVideoFrame::setDefinition(int value)
{
    return m_frame->setDefinition(value);
}

int QVideoFrame::pauseVideo(bool pause)
{
    return m_frame->pauseVideo(pause);
}

int QVideoFrame::setRecordSource(int source)
{
    return m_frame->setRecordSource(source);
}

int QVideoFrame::setPlaySpeed(int speed)
{
    return m_frame->setPlaySpeed(speed);
}

int QVideoFrame::openSoundAlarm(bool on)
{
    return m_frame->openSoundAlarm(on);
}

int QVideoFrame::openLightAlarm(bool on)
{
    return m_frame->openLightAlarm(on);
}

bool QVideoFrame::queryRecord(int index, int sourceType, const QString &start, const QString &end,
                              qint64 midTime, const ChannelInfo_t &channel, int queryType)
{
    if (!m_frame->queryRecord(index, sourceType, start, end, midTime, channel, queryType))
        return false;
    emit sgnStartQueryRecordNotify(
        index, sourceType, QDateTime::fromSecsSinceEpoch(midTime).toString("yyyy-MM-dd HH:mm:ss"));
    return true;
}

bool QVideoFrame::queryRecordBitmap(int index, int year, int month)
{
    return m_frame->queryRecordBitmap(index, year, month);
}

void QVideoFrame::queryDefaultRecords(int index, const VideoWndInfo_t &info)
{
    const QDate today = QDate::currentDate();
    const QString day = today.toString("yyyy-MM-dd");
    const QString start = today.addDays(-1).toString("yyyy-MM-dd") + " 22:00:00";
    const QString midText = day + " 00:00:00";
    const qint64 mid = QDateTime::fromString(midText, "yyyy-MM-dd HH:mm:ss").toSecsSinceEpoch();
    if (!m_frame->queryRecord(index, 0, start, day + " 23:59:59", mid, info.channel))
        return;
    if (info.channel.bHasChannel)
        emit sgnStartQueryRecordNotify(index, 0, midText);
}

void QVideoFrame::onWndCreated(QVideoWnd *wnd, int index)
{
    Q_UNUSED(index)
    connect(wnd, &QVideoWnd::sgnWndAction, this, &QVideoFrame::onWndAction);
    connect(wnd, &QVideoWnd::sgnWndVideoStatusNotify, this, &QVideoFrame::onWndVideoStatusNotify);
    connect(wnd, &QVideoWnd::sgnWndVideoTalkStatusNotify, this,
            &QVideoFrame::sgnWndVideoTalkStatusNotify);
    connect(wnd, &QVideoWnd::sgnWndResetNotify, this, &QVideoFrame::sgnWndResetNotify);
}

void QVideoFrame::onChannelOpened(QVideoWnd *wnd, int index, int result)
{
    if (index == -1)
        index = m_frame->selectedWnd();
    select(index + 1);
    emit sgnBeforeOpenNewVideo(index);
    if (result == -2 && m_frame->flag(CVideoFrame::FlagQueryOnRefused))
        queryDefaultRecords(index, wnd->getVideoWndInfo());
}

void QVideoFrame::onSelect(int index)
{
    select(index);
}

void QVideoFrame::onRelayout()
{
    placeWnds();
    emit sgnSplitWnd(m_frame->splitMode());
}

void QVideoFrame::onRecordQueryEnded(const RecordQueryResult_t &result)
{
    emit sgnEndQueryRecordNotify(result);
}

void QVideoFrame::onRecordBitmapQueryEnded(const QueryRecordBitmapResult_t &result)
{
    emit sgnEndQueryRecordBitmapNotify(result);
}

void QVideoFrame::placeWnds()
{
    const int n = m_frame->visibleCount();
    const int selected = m_frame->selectedWnd();
    for (int i = 0; i < m_frame->wndCount(); ++i) {
        QVideoWnd *w = m_frame->wnd(i);
        const bool shown = n < 2 ? i == selected : i < n;
        if (!shown) {
            w->hide();
            w->resize(1, 1);
            continue;
        }
        const QRectF inner = innerRect(wndRect(i));
        w->setGeometry(QRect(inner.topLeft().toPoint(), inner.size().toSize()));
        w->show();
        m_frame->followWndWidth(i, w->width());
    }
    update();
    for (int i = 0; i < qMin(n, m_frame->wndCount()); ++i) {
        QVideoWnd *w = m_frame->wnd(i);
        if (w->getVideoState() != kPlaying)
            w->surface()->update();
    }
}

QRegion QVideoFrame::borderRegion(int index) const
{
    if (index == -1)
        return QRegion(rect());
    const QRectF outer = wndRect(index).adjusted(-2, -2, 2, 2);
    return QRegion(outer.toAlignedRect()).xored(QRegion(innerRect(wndRect(index)).toRect()));
}

void QVideoFrame::select(int index)
{
    const int visible = m_frame->visibleCount();
    if (index < 0 || index >= visible || index >= m_frame->wndCount())
        return;
    const int previous = m_frame->selectedWnd();
    m_frame->setSelectedWnd(index);
    if (previous == -1) {
        update(borderRegion(index));
    } else if (previous != index) {
        update(borderRegion(previous));
        update(borderRegion(index));
    }
    QVideoWnd *w = m_frame->wnd(index);
    emit sgnWndSelectedNotify(index, w->getVideoState(), w->getVideoWndInfo());
}

void QVideoFrame::onWndAction(int wndIndex, Wnd_ActionType_e action, QVariant value)
{
    if (!m_frame->wnd(wndIndex))
        return;
    switch (action) {
    case Wnd_Action_Select:
        select(wndIndex);
        break;
    case Wnd_Action_DoubleClick:
        m_frame->setVisibleCount(m_frame->visibleCount() != 1 ? 1 : m_frame->splitWndCount());
        placeWnds();
        break;
    case Wnd_Action_CloseAll:
        if (value.toInt() == 1)
            m_frame->closeAll();
        break;
    }
}

void QVideoFrame::onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info)
{
    emit sgnWndVideoStatusNotify(wndIndex, status, info);
    if (m_frame->flag(CVideoFrame::FlagQueryOnLive) && status == kPlaying && info.playType == 0)
        queryDefaultRecords(wndIndex, info);
}

void QVideoFrame::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event)
    QPainter painter(this);
    painter.fillRect(rect(), m_defaultLineColor);
    const int selected = m_frame->selectedWnd();
    if (selected == -1 || !m_frame->flag(CVideoFrame::FlagOutline))
        return;
    painter.setPen(QPen(m_selectedLineColor, 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(wndRect(selected));
}

void QVideoFrame::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeWnds();
}
