#include "RecordPlay/QRecordVideoPlay.h"

#include "CommonUI/TimeBar/CalendarWidget.h"
#include "CommonUI/TimeBar/QTimeProgressBar.h"
#include "CommonUI/VideoBar/QVideoBar.h"
#include "CommonUI/VideoFrame/CVideoFrame.h"
#include "CommonUI/VideoFrame/QVideoFrame.h"
#include "CommonUI/VideoPlay/QVideoPlay.h"
#include "CommonUI/VideoWnd/QVideoWnd.h"
#include "RecordPlay/PlaybackSync.h"

#include <KWGui/KWMessageNotify.h>
#include <KWGui/KWSingleton.h>
#include <kwl/KPrintLog.h>

#include <QBoxLayout>
#include <QPushButton>
#include <QTimer>

namespace {

const char *const kTimeFormat = "yyyy-MM-dd HH:mm:ss";
const char *const kDayFormat = "yyyy-MM-dd";
constexpr int kWndCount = 16;
constexpr int kSplitCount = 4;
constexpr int kPlaying = 3;
constexpr int kTickMs = 1000;
constexpr int kStepSeconds = 15;

qint64 secondsOf(const QString &text)
{
    return QDateTime::fromString(text, kTimeFormat).toSecsSinceEpoch();
}

QDate dayOf(qint64 seconds)
{
    return QDateTime::fromSecsSinceEpoch(seconds).date();
}

qint64 startOf(const QDate &day)
{
    return QDateTime(day, QTime(0, 0)).toSecsSinceEpoch();
}

// A row shows a day from 22:00 of the day before, so that a night's recording is seen whole.
qint64 spanStart(const QDate &day)
{
    return QDateTime(day.addDays(-1), QTime(22, 0)).toSecsSinceEpoch();
}

qint64 spanEnd(const QDate &day)
{
    return QDateTime(day, QTime(23, 59, 59)).toSecsSinceEpoch();
}

} // namespace

QRecordVideoPlay::QRecordVideoPlay(int ownerType, QWidget *parent)
    : QWidget(parent)
    , m_panel(new QVideoPlay(ownerType, kWndCount, kSplitCount, this))
    , m_timeBar(new QTimeProgressBar(QTimeProgressBar::kRows, false, this))
    , m_timer(new QTimer(this))
    , m_sync(new PlaybackSync(m_panel->frame(), this))
{
    QVideoFrame *f = frame();
    f->setFlag(CVideoFrame::FlagOutline, true);
    f->setFlag(CVideoFrame::FlagQueryOnRefused, true);
    f->setFlag(CVideoFrame::FlagQueryOnLive, true);
    m_timer->setInterval(kTickMs);
    connect(m_timer, &QTimer::timeout, this, &QRecordVideoPlay::onTimeOut);
    connectPanel();
    connectTimeBar();
    addSyncToggle();
    m_timeBar->onSplitWnd(f->frame()->splitWndCount());
}

void QRecordVideoPlay::addSyncToggle()
{
    m_syncButton = new QPushButton(tr("Sync"), m_timeBar->calendar());
    m_syncButton->setObjectName("syncBtn");
    m_syncButton->setToolTip(tr("play every window at the same time"));
    m_syncButton->setCheckable(true);
    m_syncButton->setFocusPolicy(Qt::NoFocus);
    m_syncButton->setMaximumSize(60, 40);
    if (auto *row = qobject_cast<QBoxLayout *>(m_timeBar->calendar()->layout()))
        row->addWidget(m_syncButton);
    connect(m_syncButton, &QPushButton::toggled, m_sync, &PlaybackSync::setEnabled);
    connect(m_sync, &PlaybackSync::sgnDayNeeded, this, [this](int index, const QDate &day) {
        queryDays(index, day, day, startOf(day), QueryShowDay);
    });
    // After the panel has acted on the selected window.
    connect(m_panel->bar(), &QVideoBar::sgnButtonClicked, this, &QRecordVideoPlay::onBarButton);
    connect(m_panel->bar(), &QVideoBar::sgnRecordSpeedSet, this, &QRecordVideoPlay::onBarSpeed);
}

void QRecordVideoPlay::onBarButton(const QString &name, const QVariant &value)
{
    if (!m_sync->isEnabled())
        return;
    if (name == QLatin1String("VB_Pause"))
        m_sync->pause(value.toBool());
    else if (name == QLatin1String("VB_Back"))
        m_sync->step(-kStepSeconds);
    else if (name == QLatin1String("VB_Forward"))
        m_sync->step(kStepSeconds);
}

void QRecordVideoPlay::onBarSpeed(int speed)
{
    if (m_sync->isEnabled())
        m_sync->setSpeed(speed);
}

QVideoFrame *QRecordVideoPlay::frame() const
{
    return m_panel->frame();
}

void QRecordVideoPlay::connectPanel()
{
    connect(m_panel, &QVideoPlay::sgnWndVideoStatusNotify, this,
            &QRecordVideoPlay::onWndVideoStatusNotify);
    connect(m_panel, &QVideoPlay::sgnWndSelectedNotify, this,
            &QRecordVideoPlay::onWndSelectedNotify);
    connect(m_panel, &QVideoPlay::sgnBeforeOpenNewVideo, this,
            &QRecordVideoPlay::onBeforeOpenNewVideo);
    connect(m_panel, &QVideoPlay::sgnStartQueryRecordNotify, this,
            &QRecordVideoPlay::onStartQueryRecordNotify);
    connect(m_panel, &QVideoPlay::sgnEndQueryRecordNotify, this,
            &QRecordVideoPlay::onEndQueryRecordNotify);
    connect(m_panel, &QVideoPlay::sgnEndQueryRecordBitmapNotify, this,
            &QRecordVideoPlay::onEndQueryRecordBitmapNotify);
    connect(m_panel, &QVideoPlay::sgnRecordTypeChangeNotify, this,
            &QRecordVideoPlay::onRecordTypeChangeNotify);
    connect(m_panel, &QVideoPlay::sgnWndResetNotify, this, &QRecordVideoPlay::onWndResetNotify);
    // The panel tells the split mode; the bar wants the number of windows it shows.
    connect(m_panel, &QVideoPlay::sgnSplitWnd, this,
            [this] { m_timeBar->onSplitWnd(frame()->frame()->splitWndCount()); });
}

void QRecordVideoPlay::connectTimeBar()
{
    connect(m_timeBar, &QTimeProgressBar::sgnProgressBarDoubleClicked, this,
            &QRecordVideoPlay::onProgressBarDbClicked);
    connect(m_timeBar, &QTimeProgressBar::sgnProgressBarSeekVideo, this,
            &QRecordVideoPlay::onOnProgressBarSeekVideo);
    connect(m_timeBar, &QTimeProgressBar::sgnProgressBarQueryRecord, this,
            &QRecordVideoPlay::onProgressBarQueryRecord);
    connect(m_timeBar, &QTimeProgressBar::sgnProgressBarCalendarBarTimeChanged, this,
            &QRecordVideoPlay::onProgressBarCalendarBarTimeChanged);
    connect(
        m_timeBar,
        qOverload<int, QDateTime>(&QTimeProgressBar::sgnProgressBarCalendarPopDialogTimeChanged),
        this, &QRecordVideoPlay::onProgressBarCalendarPopDialogTimeChanged);
    connect(m_timeBar, &QTimeProgressBar::sgnStartRealPlay, this,
            &QRecordVideoPlay::onStartRealPlay);
    connect(m_timeBar, &QTimeProgressBar::sgnStartYearMonthChanged, this,
            &QRecordVideoPlay::onStartYearMonthChanged);
    connect(m_timeBar, &QTimeProgressBar::SgnCalendarShow, this, &QRecordVideoPlay::onCalendarShow);
}

void QRecordVideoPlay::openVideos(const QList<ChannelInfo_t> &channels)
{
    frame()->openVideos(channels);
}

void QRecordVideoPlay::closeVideos(const QList<ChannelInfo_t> &channels)
{
    frame()->closeChannels(channels);
}

void QRecordVideoPlay::notifyDeviceStatus(const QString &text, const ChannelInfo_t &channel)
{
    if (text == QLatin1String("offline") || text == QLatin1String("delete"))
        frame()->closeChannels({channel});
}

void QRecordVideoPlay::notifyNoRecord()
{
    KWGUI::KWSingleton<KWGUI::KWMessageNotify>::Instance()->AddTextNotification(
        tr("No Video Record"));
}

int QRecordVideoPlay::playAt(int index, qint64 time)
{
    const int found = frame()->findRecordAt(index, time);
    if (found == 0) {
        frame()->playAt(index, time);
        return 0;
    }
    m_timeBar->UpdatePlayIndicator(index, time);
    if (found == -1) {
        queryDays(index, dayOf(time), dayOf(time), time, QueryPlay);
    } else {
        frame()->closeWnd(index);
        notifyNoRecord();
    }
    return found;
}

void QRecordVideoPlay::showDay(int index, const QDate &day)
{
    m_days.insert(index, day);
    m_timeBar->SetTimeRange(index, spanStart(day), spanEnd(day));
    fillRow(index);
    if (day > QDate::currentDate()) {
        frame()->closeWnd(index);
        notifyNoRecord();
        return;
    }
    queryDays(index, day, day, startOf(day), QueryShowDay);
}

void QRecordVideoPlay::queryDays(int index, const QDate &first, const QDate &last, qint64 midTime,
                                 QueryReason reason)
{
    const VideoWndInfo_t info = frame()->wndInfo(index);
    if (info.channel.deviceID.isEmpty())
        return;
    const QDate day = dayOf(midTime);
    const bool cached = frame()->recordsOf(index).contains(day.toString(kDayFormat));
    if (cached && day != QDate::currentDate() && reason == QueryShowDay)
        return;
    const QString start = first.addDays(-1).toString(kDayFormat) + " 22:00:00";
    const QString end = last.toString(kDayFormat) + " 23:59:59";
    if (!frame()->queryRecord(index, info.recordSource, start, end, midTime, info.channel, reason))
        KLOG(4, "record query of window %d (%s to %s) not made", index, qPrintable(start),
             qPrintable(end));
}

void QRecordVideoPlay::fillRow(int index)
{
    m_timeBar->ClearTimeInterval(index);
    const auto days = frame()->recordsOf(index);
    for (const QList<RecordSegment_t> &segments : days) {
        for (const RecordSegment_t &s : segments)
            m_timeBar->AddTimeInterval(index, 0, secondsOf(s.beginTime), secondsOf(s.endTime));
    }
}

void QRecordVideoPlay::refreshMonthMarks(int year, int month)
{
    CalendarWidget *calendar = m_timeBar->calendar();
    const int days = QDate(year, month, 1).daysInMonth();
    for (int d = 1; d <= days; ++d)
        calendar->setRecord(year, month, d, false);
    const int selected = frame()->selectedWnd();
    if (!frame()->wndInfo(selected).channel.deviceID.isEmpty())
        frame()->queryRecordBitmap(selected, year, month);
}

void QRecordVideoPlay::onTimeOut()
{
    const QList<qint64> times = frame()->wndTimes();
    for (int i = 0; i < times.size(); ++i) {
        if (times.at(i) != 0)
            m_timeBar->UpdatePlayIndicator(i, times.at(i));
    }
    if (KWGUI::KWTimeAxis *axis = m_timeBar->axis(frame()->selectedWnd()))
        axis->update();
}

void QRecordVideoPlay::onWndSelectedNotify(int wndIndex, int status, VideoWndInfo_t info)
{
    m_timeBar->SelectRow(wndIndex);
    const qint64 indicator = m_timeBar->GetPlayIndicatorTime(wndIndex);
    const QDate day = indicator > 0 ? dayOf(indicator / 1000) : QDate::currentDate();
    m_timeBar->calendar()->setDate(day);
    refreshMonthMarks(day.year(), day.month());
    emit sgnWndSelectedNotify(wndIndex, status, info);
}

void QRecordVideoPlay::onWndVideoStatusNotify(int wndIndex, int status, VideoWndInfo_t info)
{
    m_timeBar->SetChannelName(wndIndex, info.channel.channelName);
    if (status == kPlaying && info.playType == 0) {
        m_timeBar->ClearTimeInterval(wndIndex);
        m_timeBar->UpdatePlayIndicator(wndIndex, QDateTime::currentSecsSinceEpoch());
    } else if (status == kPlaying && info.playType == 1) {
        if (!m_timer->isActive())
            m_timer->start(kTickMs);
        m_sync->onWndPlaying(wndIndex);
    }
    emit sgnWndVideoStatusNotify(wndIndex, status, info);
}

void QRecordVideoPlay::onBeforeOpenNewVideo(int wndIndex)
{
    m_timeBar->ClearTimeInterval(wndIndex);
}

void QRecordVideoPlay::onWndResetNotify(int wndIndex)
{
    // A window waiting for the synchronised clock keeps showing its records.
    if (m_sync->isWaiting(wndIndex)) {
        fillRow(wndIndex);
        return;
    }
    m_sync->leave(wndIndex);
    m_timeBar->ClearTimeInterval(wndIndex);
}

void QRecordVideoPlay::onStartQueryRecordNotify(int wndIndex, int sourceType, QString midTime)
{
    Q_UNUSED(sourceType)
    const QDate day = QDate::fromString(midTime.section(' ', 0, 0), kDayFormat);
    if (day.isValid())
        m_days.insert(wndIndex, day);
}

void QRecordVideoPlay::onEndQueryRecordNotify(RecordQueryResult_t result)
{
    if (result.records.isEmpty()) {
        notifyNoRecord();
        return;
    }
    fillRow(result.wndIndex);
    if (result.queryType == QueryPlay)
        playAt(result.wndIndex, result.queryTime);
}

void QRecordVideoPlay::onEndQueryRecordBitmapNotify(QueryRecordBitmapResult_t result)
{
    if (result.month < 1 || result.month > 12)
        return;
    const int days = QDate(result.year, result.month, 1).daysInMonth();
    for (int d = 1; d <= days; ++d) {
        const bool marked
            = d <= result.bitmap.size() && result.bitmap.at(d - 1) == QLatin1Char('1');
        m_timeBar->calendar()->setRecord(result.year, result.month, d, marked);
    }
}

void QRecordVideoPlay::onRecordTypeChangeNotify(int recordSource)
{
    Q_UNUSED(recordSource)
    m_timeBar->calendar()->reset();
    const int selected = frame()->selectedWnd();
    m_timeBar->ClearTimeInterval(selected);
    showDay(selected, QDate::currentDate());
}

void QRecordVideoPlay::onProgressBarDbClicked(int wndIndex, int time)
{
    if (m_sync->isEnabled())
        m_sync->seek(wndIndex, time);
    else
        playAt(wndIndex, time);
}

void QRecordVideoPlay::onOnProgressBarSeekVideo(int wndIndex, int time)
{
    frame()->select(wndIndex);
    onProgressBarDbClicked(wndIndex, time);
}

void QRecordVideoPlay::onProgressBarQueryRecord(int wndIndex, int start, int end)
{
    queryDays(wndIndex, dayOf(start), dayOf(end), startOf(dayOf(start)), QueryShowDay);
}

void QRecordVideoPlay::onProgressBarCalendarBarTimeChanged(int wndIndex, QDateTime day)
{
    showDay(wndIndex, day.date());
}

void QRecordVideoPlay::onStartRealPlay(int wndIndex)
{
    const VideoWndInfo_t info = frame()->wndInfo(wndIndex);
    if (info.channel.deviceID.isEmpty())
        return;
    if (info.playType == 0 && frame()->frame()->wnd(wndIndex)->getVideoState() == kPlaying)
        return;
    frame()->closeWnd(wndIndex);
    frame()->openVideo(wndIndex, info.channel);
}

void QRecordVideoPlay::onProgressBarCalendarPopDialogTimeChanged(int wndIndex, QDateTime time)
{
    frame()->select(wndIndex);
    frame()->closeWnd(wndIndex);
    m_days.insert(wndIndex, time.date());
    m_timeBar->SetTimeRange(wndIndex, spanStart(time.date()), spanEnd(time.date()));
    playAt(wndIndex, time.toSecsSinceEpoch());
    fillRow(wndIndex);
}

void QRecordVideoPlay::onCalendarShow()
{
    const QDate shown = m_timeBar->calendar()->date();
    refreshMonthMarks(shown.year(), shown.month());
}

void QRecordVideoPlay::onStartYearMonthChanged(int year, int month)
{
    refreshMonthMarks(year, month);
}

void QRecordVideoPlay::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QRect r = rect();
    m_panel->setGeometry(r.left(), r.top(), r.width(), r.height() - kTimeBarHeight);
    m_timeBar->setGeometry(r.left(), r.bottom() - kTimeBarHeight, r.width(), kTimeBarHeight);
}
