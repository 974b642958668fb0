#include "QTimeProgressBar.h"

#include "CalendarWidget.h"
#include "CommonUI/QCustomWidget.h"

#include <KWGui/KWGlobal.h>
#include <KWGui/KWVerScrollBar.h>

#include <QLabel>
#include <QMouseEvent>
#include <QStyle>
#include <QVariant>

#include <algorithm>

using KWGUI::Interval;
using KWGUI::KWTimeAxis;

namespace {
constexpr int kMinimumHeight = 160;
constexpr int kCalendarHeight = 40;
constexpr int kRowPitch = 30;
constexpr int kRowHeight = 29;
constexpr int kSerialWidth = 30;
constexpr int kChannelWidth = 110;
constexpr int kScrollBarWidth = 15;
constexpr int kScrollBarInset = 10;
constexpr int kMarkerSize = 9;
constexpr int kMarkerTop = 38;
constexpr int kSingleRowHeight = 30;
constexpr int kChannelNameWidth = 120;
constexpr int kChannelNamePixelSize = 12;
const char kSelected[] = "isSelected";
const char kMarkerStyle[]
    = "QLabel{ border-image:url(./skin/storeSuite/DustyBlue/record-axis.png);}";

struct LevelColors
{
    QColor top;
    QColor bottom;
};

// Record levels 0, 1 and 2 by skin; the default skin's colours for any other.
std::array<LevelColors, 3> skinColors(const QString &skin)
{
    if (skin == "campusSuite/White" || skin == "depotSuite/White") {
        const LevelColors teal {QColor(53, 213, 211, 102), QColor(14, 190, 188, 102)};
        return {teal, teal, teal};
    }
    return {LevelColors {QColor(244, 150, 128, 102), QColor(244, 150, 128, 102)},
            LevelColors {QColor(108, 200, 243, 102), QColor(24, 172, 238, 102)},
            LevelColors {QColor(187, 243, 189, 102), QColor(105, 240, 174, 102)}};
}

int seconds(qint64 ms)
{
    return int(ms / 1000);
}

void setSelectedProperty(QWidget *widget, bool selected)
{
    if (!widget)
        return;
    widget->setProperty(kSelected, selected);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
}
} // namespace

QTimeProgressBar::QTimeProgressBar(int rows, bool singleRow, QWidget *parent)
    : QWidget(parent)
    , m_scrollBar(new KWGUI::KWVerScrollBar(this))
    , m_calendar(new CalendarWidget(this))
    , m_indicator(new QLabel(this))
    , m_rowLimit(std::clamp(rows, 1, kRows))
    , m_singleRow(singleRow)
{
    qRegisterMetaType<Interval>("Interval");
    setObjectName("QTimeProgressBar");
    setAttribute(Qt::WA_StyledBackground);
    QCustomWidget::applySkinStyleSheet(this);
    if (!singleRow)
        setMinimumHeight(kMinimumHeight);
    m_indicator->setObjectName("recordAxisMarker");
    m_indicator->setStyleSheet(kMarkerStyle);
    for (int row = 0; row < (singleRow ? 1 : m_rowLimit); ++row)
        createRow(row);
    SelectRow(0);

    connect(m_scrollBar, &QScrollBar::valueChanged, this,
            &QTimeProgressBar::OnVerticalScrollBarChanged);
    connect(m_calendar, &CalendarWidget::sgncalendarBarTimeChanged, this,
            &QTimeProgressBar::OnCalendarbarTimeChanged);
    connect(m_calendar, &CalendarWidget::sgncalendarPopDialogTimeChanged, this,
            &QTimeProgressBar::OnCalendarPopDialogTimeChanged);
    connect(m_calendar, &CalendarWidget::sgnStartRealPlay, this,
            &QTimeProgressBar::OnStartRealPlay);
    connect(m_calendar, &CalendarWidget::sgnStartYearMonthChanged, this,
            &QTimeProgressBar::onStartYearMonthChanged);
    connect(m_calendar, &CalendarWidget::SgnCalendarShow, this, &QTimeProgressBar::onCalendarShow);
    connect(m_calendar, &CalendarWidget::sgnTimerBarPressed, this,
            &QTimeProgressBar::sgnnCalendarbarPressed);
    ResetAll();
}

void QTimeProgressBar::createRow(int row)
{
    auto *serial = new QLabel(QString("%1").arg(row + 1), this);
    serial->setObjectName("serialLabel");
    serial->setAlignment(Qt::AlignCenter);
    auto *channel = new QLabel(this);
    channel->setObjectName("channelLabel");
    channel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto *axis = new KWTimeAxis(this);
    applySkinColors(axis);
    connectAxis(axis);
    axis->installEventFilter(this);
    for (QWidget *widget : {static_cast<QWidget *>(serial), static_cast<QWidget *>(channel),
                            static_cast<QWidget *>(axis)})
        widget->setProperty(kSelected, false);
    m_serialLabels[row] = serial;
    m_channelLabels[row] = channel;
    m_axes[row] = axis;
}

void QTimeProgressBar::applySkinColors(KWTimeAxis *axis)
{
    const auto colors = skinColors(KWGUI::GetSkinVersion());
    for (int level = 0; level < int(colors.size()); ++level)
        axis->InsertLevelColor(level, {colors[level].top, colors[level].bottom});
}

void QTimeProgressBar::connectAxis(KWTimeAxis *axis)
{
    connect(axis, &KWTimeAxis::sgnTimeDbClicked, this, &QTimeProgressBar::OnProgressDoubleClicked);
    connect(axis, &KWTimeAxis::sgnPlayIndicatorValueChanged, this,
            &QTimeProgressBar::OnPlayIndicatorValueChanged);
    connect(axis, &KWTimeAxis::sgnProgressBarBeyondOneDay, this,
            &QTimeProgressBar::OnProgressBarBeyondOneDay);
    connect(axis, &KWTimeAxis::sgnMouseMove, this, &QTimeProgressBar::OnMouseMove);
    connect(axis, &KWTimeAxis::sgnMouseLeave, this, &QTimeProgressBar::OnMouseLeave);
    connect(axis, &KWTimeAxis::sgnMaskInterval, this, &QTimeProgressBar::OnMaskInterval);
    connect(axis, &KWTimeAxis::sgnMousePress, this, &QTimeProgressBar::OnPress);
    connect(axis, &KWTimeAxis::sgnMouseRelease, this, &QTimeProgressBar::OnRelease);
    connect(axis, &KWTimeAxis::sgnCutInterval, this, &QTimeProgressBar::onSelectBorn);
}

KWTimeAxis *QTimeProgressBar::axis(int row) const
{
    return row >= 0 && row < kRows ? m_axes[row] : nullptr;
}

QLabel *QTimeProgressBar::serialLabel(int row) const
{
    return row >= 0 && row < kRows ? m_serialLabels[row] : nullptr;
}

QLabel *QTimeProgressBar::channelLabel(int row) const
{
    return row >= 0 && row < kRows ? m_channelLabels[row] : nullptr;
}

void QTimeProgressBar::SetTimeRange(int row, qint64 start, qint64 end)
{
    if (KWTimeAxis *a = axis(row)) {
        a->Init(start * 1000, end * 1000, true);
        m_startTime = QDateTime::fromSecsSinceEpoch(start);
        m_endTime = QDateTime::fromSecsSinceEpoch(end);
    }
}

void QTimeProgressBar::SetLevelColor(int row, int level, const QVector<QColor> &colors)
{
    if (KWTimeAxis *a = axis(row))
        a->InsertLevelColor(level, colors);
}

void QTimeProgressBar::ClearColor(int row, int level)
{
    if (KWTimeAxis *a = axis(row))
        a->ClearColor(level);
}

int QTimeProgressBar::AddTimeInterval(int row, int level, qint64 start, qint64 end)
{
    KWTimeAxis *a = axis(row);
    if (!a)
        return -1;
    a->InsertTimeInterval(level, Interval(start * 1000, end * 1000));
    return 0;
}

void QTimeProgressBar::ClearTimeInterval(int row)
{
    if (KWTimeAxis *a = axis(row))
        a->ClearTimeList(-1);
}

void QTimeProgressBar::AddIntelligentInterval(int row, int level, qint64 start, qint64 end)
{
    if (KWTimeAxis *a = axis(row))
        a->InsertIntelligentInterval(level, Interval(start * 1000, end * 1000));
}

void QTimeProgressBar::ClearIntelligentInterval(int row)
{
    if (KWTimeAxis *a = axis(row))
        a->ClearIntelligentInterval();
}

void QTimeProgressBar::AddSummaryIntervalList(int row, int level, int colorLevel,
                                              const QVector<Interval> &list)
{
    if (KWTimeAxis *a = axis(row))
        a->InsertSummaryIntervalList(level, colorLevel, list);
}

void QTimeProgressBar::ClearSummaryList(int row)
{
    if (KWTimeAxis *a = axis(row))
        a->ClearSummaryList();
}

qint64 QTimeProgressBar::GetPlayIndicatorTime(int row) const
{
    const KWTimeAxis *a = axis(row);
    return a ? a->GetPlayIndicatorTime() : 0;
}

void QTimeProgressBar::UpdatePlayIndicator(int row, qint64 time)
{
    if (KWTimeAxis *a = axis(row))
        a->UpdatePlayIndicator(time * 1000);
}

void QTimeProgressBar::SetTimeAxisScale(int row, int scale)
{
    if (KWTimeAxis *a = axis(row))
        a->SetTimeAxisScale(scale);
}

bool QTimeProgressBar::SetQueryStartTime(int row, qint64 time)
{
    KWTimeAxis *a = axis(row);
    if (a)
        a->SetQueryStartTime(time * 1000);
    return a != nullptr;
}

bool QTimeProgressBar::EnterOperMode(int row, int mode)
{
    KWTimeAxis *a = axis(row);
    return a && a->EnterOperMode(mode);
}

void QTimeProgressBar::ExitOperMode(int row)
{
    if (KWTimeAxis *a = axis(row))
        a->ExitOperMode();
}

void QTimeProgressBar::SetChannelName(int row, const QString &name)
{
    QLabel *label = channelLabel(row);
    if (!label)
        return;
    QFont font("Microsoft YaHei");
    font.setPixelSize(kChannelNamePixelSize);
    label->setToolTip(name);
    label->setText(QFontMetrics(font).elidedText(name, Qt::ElideRight, kChannelNameWidth));
}

void QTimeProgressBar::ResetAll()
{
    const QDateTime today(QDate::currentDate(), QTime(0, 0));
    for (int row = 0; row < (m_singleRow ? 1 : kRows); ++row) {
        SetTimeRange(row, today.toSecsSinceEpoch(), today.addDays(1).toSecsSinceEpoch());
        ClearTimeInterval(row);
        SetChannelName(row, QString());
    }
    layoutRows();
}

void QTimeProgressBar::SelectRow(int row)
{
    if (!axis(row))
        return;
    for (int i : {m_selectedRow, row}) {
        setSelectedProperty(m_serialLabels[i], i == row);
        setSelectedProperty(m_channelLabels[i], i == row);
        setSelectedProperty(m_axes[i], i == row);
    }
    m_selectedRow = row;
    for (KWTimeAxis *a : m_axes) {
        if (a)
            a->forceUpdate();
    }
}

int QTimeProgressBar::senderRow() const
{
    const auto at = std::find(m_axes.begin(), m_axes.end(), sender());
    return at == m_axes.end() || !sender() ? -1 : int(at - m_axes.begin());
}

void QTimeProgressBar::OnProgressDoubleClicked(qint64 time)
{
    if (const int row = senderRow(); row >= 0)
        emit sgnProgressBarDoubleClicked(row, seconds(time));
}

void QTimeProgressBar::OnPlayIndicatorValueChanged(qint64 time)
{
    if (const int row = senderRow(); row >= 0)
        emit sgnProgressBarSeekVideo(row, seconds(time));
}

void QTimeProgressBar::OnProgressBarBeyondOneDay(qint64 start, qint64 end)
{
    if (const int row = senderRow(); row >= 0)
        emit sgnProgressBarQueryRecord(row, seconds(start), seconds(end));
}

void QTimeProgressBar::OnMouseMove(qint64 time)
{
    if (const int row = senderRow(); row >= 0)
        emit sgnProgressBarMouseMove(row, seconds(time));
}

void QTimeProgressBar::OnMouseLeave()
{
    if (const int row = senderRow(); row >= 0)
        emit sgnProgressBarMouseLeave(row);
}

void QTimeProgressBar::OnMaskInterval(qint64 start, qint64 end)
{
    QDateTime startTime = QDateTime::fromMSecsSinceEpoch(start);
    QDateTime endTime = QDateTime::fromMSecsSinceEpoch(end);
    if (const int row = senderRow(); row >= 0)
        emit sgnProgressBarMaskVideo(row, startTime, endTime);
}

void QTimeProgressBar::OnPress(qint64 time, qint64 midTime)
{
    QDateTime pressTime = QDateTime::fromMSecsSinceEpoch(time);
    QDateTime middle = QDateTime::fromMSecsSinceEpoch(midTime);
    if (const int row = senderRow(); row >= 0)
        emit sgnProgressBarPress(row, pressTime, middle);
}

void QTimeProgressBar::OnRelease(qint64 time, qint64 midTime)
{
    QDateTime releaseTime = QDateTime::fromMSecsSinceEpoch(time);
    QDateTime middle = QDateTime::fromMSecsSinceEpoch(midTime);
    if (const int row = senderRow(); row >= 0)
        emit sgnProgressBarRelease(row, releaseTime, middle);
}

void QTimeProgressBar::onSelectBorn(Interval interval)
{
    if (const int row = senderRow(); row >= 0)
        emit sgnSelectBorn(row, seconds(interval.start), seconds(interval.end));
}

void QTimeProgressBar::OnVerticalScrollBarChanged(int value)
{
    const int first = std::clamp(value, 0, kRows - 1);
    if (first == m_firstVisibleRow)
        return;
    m_firstVisibleRow = first;
    layoutRows();
}

void QTimeProgressBar::OnCalendarbarTimeChanged(QDateTime date)
{
    emit sgnProgressBarCalendarBarTimeChanged(m_selectedRow, date);
}

void QTimeProgressBar::OnCalendarPopDialogTimeChanged(QDateTime date)
{
    emit sgnProgressBarCalendarPopDialogTimeChanged(m_selectedRow, date);
    emit sgnProgressBarCalendarPopDialogTimeChanged(m_selectedRow, int(date.toSecsSinceEpoch()));
}

void QTimeProgressBar::OnStartRealPlay()
{
    emit sgnStartRealPlay(m_selectedRow);
}

void QTimeProgressBar::onStartYearMonthChanged(int year, int month)
{
    emit sgnStartYearMonthChanged(year, month);
}

void QTimeProgressBar::onCalendarShow()
{
    emit SgnCalendarShow();
}

void QTimeProgressBar::onSplitWnd(int count)
{
    const int created = int(std::count_if(m_axes.begin(), m_axes.end(),
                                          [](const KWTimeAxis *a) { return a != nullptr; }));
    m_rowLimit = std::clamp(count, 1, created);
    layoutRows();
}

// The axis keeps its right button free: a right click on a row is the bar's to report.
bool QTimeProgressBar::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress
        && static_cast<QMouseEvent *>(event)->button() == Qt::RightButton) {
        const auto at = std::find(m_axes.begin(), m_axes.end(), watched);
        if (at != m_axes.end())
            emit sgnProgressBarRightClicked(int(at - m_axes.begin()));
    }
    return QWidget::eventFilter(watched, event);
}

void QTimeProgressBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layoutRows();
}

void QTimeProgressBar::updateScrollRange()
{
    const QSignalBlocker blocker(m_scrollBar);
    m_scrollBar->setRange(0, std::max(m_rowLimit - kVisibleRows, 0));
    m_scrollBar->setPageStep(kVisibleRows);
    m_firstVisibleRow = std::min(m_firstVisibleRow, m_scrollBar->maximum());
    m_scrollBar->setValue(m_firstVisibleRow);
}

void QTimeProgressBar::layoutRows()
{
    if (m_singleRow) {
        m_calendar->hide();
        m_scrollBar->hide();
        m_indicator->hide();
        m_serialLabels[0]->hide();
        m_channelLabels[0]->hide();
        m_axes[0]->setGeometry(0, 0, width(), kSingleRowHeight);
        return;
    }
    updateScrollRange();
    m_calendar->setGeometry(0, 0, width(), kCalendarHeight);
    const int axisWidth = width() - kScrollBarWidth - kSerialWidth - kChannelWidth;
    for (int row = 0; row < kRows; ++row) {
        if (!m_axes[row])
            continue;
        const int slot = row - m_firstVisibleRow;
        const bool shown = slot >= 0 && slot < kVisibleRows && row < m_rowLimit;
        const int y = kCalendarHeight + slot * kRowPitch;
        m_serialLabels[row]->setGeometry(0, y, kSerialWidth, kRowHeight);
        m_channelLabels[row]->setGeometry(kSerialWidth, y, kChannelWidth, kRowHeight);
        m_axes[row]->setGeometry(kSerialWidth + kChannelWidth, y, axisWidth, kRowHeight);
        for (QWidget *widget :
             {static_cast<QWidget *>(m_serialLabels[row]),
              static_cast<QWidget *>(m_channelLabels[row]), static_cast<QWidget *>(m_axes[row])})
            widget->setVisible(shown);
    }
    m_scrollBar->setGeometry(width() - kScrollBarInset, kCalendarHeight, kScrollBarWidth,
                             height() - kCalendarHeight);
    m_indicator->setGeometry(kSerialWidth + kChannelWidth + axisWidth / 2 - kMarkerSize / 2,
                             kMarkerTop, kMarkerSize, kMarkerSize);
    m_indicator->raise();
}
