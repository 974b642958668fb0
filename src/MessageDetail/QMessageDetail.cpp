#include "MessageDetail/QMessageDetail.h"

#include "CommonUI/VideoBar/QMessageVideoBar.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "MessageDetail/CMessageDetail.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>

#include <QCursor>
#include <QDateTime>
#include <QKeyEvent>

namespace {

const char kTimeFormat[] = "yyyy-MM-dd HH:mm:ss";
const char kDayFormat[] = "yyyy-MM-dd";
constexpr double kBarOpacity = 0.7;

// The alarm's span in seconds since 1970: from its moment (the present one when the message has
// none) over its record length.
QPair<qint64, qint64> spanOf(const MessageRecord_t &message)
{
    const qint64 moment = message.recordTime / 1000 != 0 ? message.recordTime / 1000
                                                         : QDateTime::currentSecsSinceEpoch();
    return {moment, moment + message.recordLengthOfTime};
}

QString timeText(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).toString(kTimeFormat);
}

bool sameChannel(const ChannelInfo_t &a, const ChannelInfo_t &b)
{
    return a.deviceID == b.deviceID && a.channelID == b.channelID;
}

} // namespace

QMessageDetail::QMessageDetail(QWidget *parent)
    : QCustomWidget(parent)
    , m_frame(new QVideoFrame(kOwnerType, this))
    , m_detail(new CMessageDetail(CMessageDetail::kModule, this))
    , m_videoBar(new QMessageVideoBar(this))
{
    setObjectName("QMessageDetail");
    setMouseTracking(true);
    m_frame->createWnds(1);
    m_frame->setSplitByCount(1);
    m_frame->installEventFilter(this);
    m_frame->show();
    connect(m_frame, &QVideoFrame::sgnWndVideoStatusNotify, this,
            &QMessageDetail::onWndVideoStatusNotify);
    connect(m_frame, &QVideoFrame::sgnEndQueryRecordNotify, this,
            &QMessageDetail::onEndQueryRecordNotify);

    m_videoBar->setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    m_videoBar->setWindowOpacity(kBarOpacity);
    m_videoBar->installEventFilter(this);
    m_videoBar->hide();
    m_videoBar->setButtonsVisible({"VB_FullScreen", "VB_Audio", "VB_Pause"}, true);
    connect(m_videoBar, &QMessageVideoBar::sgnButtonClicked, this,
            &QMessageDetail::onVideoBarBtnClick);
}

QMessageDetail::~QMessageDetail()
{
    // The controller leaves the web view before the frame and its windows go.
    delete m_detail;
}

void QMessageDetail::setWebViewManager(Web::IWebViewManager *manager)
{
    m_detail->setWebViewManager(manager);
}

void QMessageDetail::setRect(int x, int y, int width, int height)
{
    m_videoRect = QRect(x, y, width, height);
    if (!m_fullScreen)
        setGeometry(m_videoRect);
    clipToDialog();
    show();
}

void QMessageDetail::setDialogRect(int x, int y, int width, int height)
{
    m_dialogRect = QRect(x, y, width, height);
    clipToDialog();
}

void QMessageDetail::openVideos(const QList<ChannelInfo_t> &channels)
{
    m_frame->openVideos(channels);
}

void QMessageDetail::closeVideos(const QList<ChannelInfo_t> &channels)
{
    m_frame->closeChannels(channels);
    setFullScreen(false);
    hide();
}

void QMessageDetail::openRecord(const MessageRecord_t &message)
{
    if (message.channels.isEmpty()) {
        KLOG(KPrintLog::Info, "OpenRecord without a channel: nothing to play");
        return;
    }
    openChannel(message.channels.first());
    m_span = spanOf(message);
    const QDate day = QDateTime::fromSecsSinceEpoch(m_span.first).date();
    const QString dayText = day.toString(kDayFormat);
    KLOG(KPrintLog::Info, "OpenRecord %s channel %d: %s to %s",
         qPrintable(message.channels.first().deviceID), message.channels.first().channelID,
         qPrintable(timeText(m_span.first)), qPrintable(timeText(m_span.second)));
    // Today's records still grow: only a past day is taken from the window's cache.
    const QMap<QString, QList<RecordSegment_t>> cached = m_frame->recordsOf(0);
    if (day != QDate::currentDate() && cached.contains(dayText)) {
        RecordQueryResult_t result = m_frame->frame()->wnd(0)->getRecordResult(dayText);
        result.queryType = kRecordQuery;
        onEndQueryRecordNotify(result);
        return;
    }
    const VideoWndInfo_t info = m_frame->wndInfo(0);
    m_frame->queryRecord(0, info.recordSource, dayText + " 00:00:00", dayText + " 23:59:59",
                         m_span.first, info.channel, kRecordQuery);
}

// The same channel keeps the window's cached days; another one starts from a fresh window.
void QMessageDetail::openChannel(const ChannelInfo_t &channel)
{
    if (sameChannel(m_frame->wndInfo(0).channel, channel))
        m_frame->openVideo(0, channel);
    else
        m_frame->openVideos({channel});
}

void QMessageDetail::onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info)
{
    if (wndIndex == m_frame->selectedWnd()) {
        m_videoBar->setButtonState("VB_Pause", info.bPauseOn);
        m_videoBar->setButtonState("VB_Audio", info.bAudioOn);
    }
    m_detail->videoStatusChanged(wndIndex, status, info);
}

void QMessageDetail::onEndQueryRecordNotify(RecordQueryResult_t result)
{
    const bool empty = result.records.isEmpty();
    if (!empty && result.queryType != kRecordQuery)
        return;
    // The answer for an alarm opened before the present one is late news.
    const QDate day = QDateTime::fromSecsSinceEpoch(m_span.first).date();
    if (QDateTime::fromSecsSinceEpoch(result.queryTime).date() != day)
        return;
    // A day with recordings, none of them at the alarm, says the same as an empty day.
    if (empty || m_frame->hasRecordIn(0, m_span.first, m_span.second) != 0) {
        notify(tr("No Video Record"));
        m_frame->closeWnd(0);
        return;
    }
    if (QVideoWnd *wnd = m_frame->frame()->wnd(0))
        wnd->openPlayback(m_span.first, m_span.second);
}

void QMessageDetail::onVideoBarBtnClick(QString name, QVariant value)
{
    const bool on = value.toBool();
    if (name == QLatin1String("VB_FullScreen")) {
        setFullScreen(on);
        return;
    }
    QString failure;
    if (name == QLatin1String("VB_Audio")) {
        const int result = m_frame->setSound(on);
        if (result == -2)
            failure = tr("Can't operate sound during talking");
        else if (result != 0)
            failure = on ? tr("Open sound failed!") : tr("Close sound failed!");
    } else if (name == QLatin1String("VB_Pause")) {
        if (m_frame->pauseVideo(on) != 0)
            failure = on ? tr("Pause failed!") : tr("Resume failed!");
    }
    if (failure.isEmpty())
        return;
    m_videoBar->setButtonState(name, !on);
    notify(failure);
}

bool QMessageDetail::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_frame || watched == m_videoBar) {
        if (event->type() == QEvent::Enter && m_videoBar->isHidden()) {
            showBar();
        } else if (event->type() == QEvent::Leave) {
            const QPoint cursor = QCursor::pos();
            const QRect video(m_frame->mapToGlobal(QPoint(0, 0)), m_frame->size());
            if (!video.contains(cursor) && !m_videoBar->geometry().contains(cursor))
                m_videoBar->hide();
        }
    }
    return QCustomWidget::eventFilter(watched, event);
}

void QMessageDetail::resizeEvent(QResizeEvent *event)
{
    QCustomWidget::resizeEvent(event);
    m_frame->setGeometry(rect());
}

void QMessageDetail::hideEvent(QHideEvent *event)
{
    m_videoBar->hide();
    QCustomWidget::hideEvent(event);
}

void QMessageDetail::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && m_fullScreen)
        setFullScreen(false);
    else
        QCustomWidget::keyPressEvent(event);
}

void QMessageDetail::setFullScreen(bool on)
{
    if (on == m_fullScreen)
        return;
    m_fullScreen = on;
    m_videoBar->hide();
    if (on) {
        setWindowFlags(windowFlags() | Qt::Window | Qt::FramelessWindowHint);
        clearMask();
        showFullScreen();
        // Escape leaves it again: the keys go to the video.
        activateWindow();
        setFocus();
    } else {
        setWindowFlags(windowFlags() & ~(Qt::Window | Qt::FramelessWindowHint));
        setGeometry(m_videoRect);
        clipToDialog();
        show();
    }
    m_videoBar->setButtonState("VB_FullScreen", on);
}

// The part of the video outside the page's dialog stays hidden, so that the video never
// covers the page around the dialog (a dialog scrolled or smaller than its video area).
void QMessageDetail::clipToDialog()
{
    if (m_fullScreen || m_dialogRect.isEmpty() || m_dialogRect.contains(m_videoRect)) {
        clearMask();
        return;
    }
    setMask(QRegion(m_dialogRect.intersected(m_videoRect).translated(-m_videoRect.topLeft())));
}

void QMessageDetail::showBar()
{
    m_videoBar->resize(width(), m_barHeight);
    m_videoBar->move(mapToGlobal(QPoint(rect().left(), height() - m_barHeight)));
    m_videoBar->show();
    m_videoBar->raise();
}

void QMessageDetail::notify(const QString &text)
{
    KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->AddTextNotification(text);
}
