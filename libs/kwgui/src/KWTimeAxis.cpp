#include <KWGui/KWTimeAxis.h>

#include "TimeAxisTicks.h"
#include <KWGui/TimeAxisMapping.h>

#include <QDateTime>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOption>

#include <algorithm>
#include <cmath>

namespace KWGUI {

namespace {
constexpr int kLabelPixelSize = 9;
constexpr int kLabelHeight = 12;
constexpr int kIndicatorGrip = 5;
constexpr int kMajorTick = 5;
constexpr int kMinorTick = 2;
constexpr int kIntelligentStrip = 3;
constexpr int kSummaryStrip = 2;
// One wheel notch shows 80 % of the view (or 125 % backwards).
constexpr double kWheelZoom = 0.8;
const QColor kDefaultLevelColor(53, 213, 211, 102);
const QColor kQueryPendingShade(0, 0, 0, 40);
const QColor kTipBackground(40, 44, 52, 220);

void insertSorted(QVector<Interval> &list, const Interval &interval)
{
    const auto at
        = std::upper_bound(list.begin(), list.end(), interval,
                           [](const Interval &a, const Interval &b) { return a.start < b.start; });
    list.insert(at, interval);
}

Interval ordered(const Interval &interval)
{
    return Interval(std::min(interval.start, interval.end), std::max(interval.start, interval.end));
}
} // namespace

KWTimeAxis::KWTimeAxis(QWidget *parent)
    : QWidget(parent)
    , m_mapping(std::make_unique<TimeAxisMapping>())
{
    qRegisterMetaType<Interval>("Interval");
    setObjectName("KWTimeAxis");
    setAttribute(Qt::WA_StyledBackground);
    setMouseTracking(true);
    setMinimumHeight(kLabelHeight + 8);
    const QDateTime today(QDate::currentDate(), QTime(0, 0));
    Init(today.toMSecsSinceEpoch(), today.addDays(1).toMSecsSinceEpoch(), true);
}

KWTimeAxis::~KWTimeAxis() = default;

void KWTimeAxis::Init(qint64 start, qint64 end, bool resetView)
{
    const qint64 keptLength = m_mapping->viewLength();
    const qint64 keptStart = m_mapping->viewStart();
    m_mapping->setSpan(start, end);
    if (!resetView)
        m_mapping->setView(keptStart, keptLength);
    update();
}

void KWTimeAxis::SetTimeAxisScale(int scale)
{
    const bool indicatorShown
        = m_playTime >= m_mapping->viewStart() && m_playTime <= m_mapping->viewEnd();
    const qint64 centre
        = indicatorShown ? m_playTime : m_mapping->viewStart() + m_mapping->viewLength() / 2;
    m_mapping->setLevel(scale, centre);
    update();
}

void KWTimeAxis::SetQueryStartTime(qint64 time)
{
    m_queryStart = time;
    update();
}

void KWTimeAxis::InsertTimeInterval(int level, const Interval &interval)
{
    insertSorted(m_intervals[level], ordered(interval));
    update();
}

void KWTimeAxis::ClearTimeList(int level)
{
    if (level == -1)
        m_intervals.clear();
    else
        m_intervals.remove(level);
    update();
}

void KWTimeAxis::InsertLevelColor(int level, const QVector<QColor> &colors)
{
    m_colors[level] = colors;
    update();
}

void KWTimeAxis::ClearColor(int level)
{
    m_colors.remove(level);
    update();
}

void KWTimeAxis::InsertIntelligentInterval(int level, const Interval &interval)
{
    insertSorted(m_intelligent[level], ordered(interval));
    update();
}

void KWTimeAxis::ClearIntelligentInterval()
{
    m_intelligent.clear();
    update();
}

void KWTimeAxis::InsertSummaryIntervalList(int level, int colorLevel, const QVector<Interval> &list)
{
    Summary &summary = m_summaries[level];
    summary.colorLevel = colorLevel;
    for (const Interval &interval : list)
        insertSorted(summary.intervals, ordered(interval));
    update();
}

void KWTimeAxis::ClearSummaryList()
{
    m_summaries.clear();
    update();
}

void KWTimeAxis::UpdatePlayIndicator(qint64 time)
{
    m_playTime = time;
    update();
}

qint64 KWTimeAxis::GetPlayIndicatorTime() const
{
    return m_playTime;
}

bool KWTimeAxis::EnterOperMode(int mode)
{
    if (mode < SelectOper || mode > CutOper)
        return false;
    m_operMode = mode;
    return true;
}

void KWTimeAxis::ExitOperMode()
{
    m_operMode = NoOper;
    if (m_drag == Drag::Range)
        m_drag = Drag::None;
    update();
}

void KWTimeAxis::forceUpdate()
{
    update();
}

const TimeAxisMapping &KWTimeAxis::mapping() const
{
    return *m_mapping;
}

QRectF KWTimeAxis::bandRect() const
{
    return QRectF(0, 1, width(), std::max(height() - kLabelHeight - 1, 1));
}

QVector<int> KWTimeAxis::rowLevels() const
{
    QVector<int> levels;
    for (auto it = m_intervals.cbegin(); it != m_intervals.cend(); ++it) {
        if (!it.value().isEmpty())
            levels.append(it.key());
    }
    for (auto it = m_intelligent.cbegin(); it != m_intelligent.cend(); ++it) {
        if (!it.value().isEmpty() && !levels.contains(it.key()))
            levels.append(it.key());
    }
    std::sort(levels.begin(), levels.end());
    return levels;
}

QColor KWTimeAxis::levelColor(int level, int index) const
{
    const QVector<QColor> colors = m_colors.value(level);
    if (colors.isEmpty())
        return kDefaultLevelColor;
    return colors.at(std::min(index, int(colors.size()) - 1));
}

void KWTimeAxis::paintEvent(QPaintEvent *)
{
    QStyleOption option;
    option.initFrom(this);
    QPainter painter(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
    const QRectF band = bandRect();
    paintRows(painter, band);
    paintRuler(painter, band);
    paintMarks(painter, band);
    paintHoverTip(painter);
}

void KWTimeAxis::paintRows(QPainter &painter, const QRectF &band) const
{
    const QVector<int> levels = rowLevels();
    const double rowHeight = band.height() / std::max(int(levels.size()), 1);
    for (int i = 0; i < levels.size(); ++i) {
        const int level = levels.at(i);
        const QRectF row(band.left(), band.top() + i * rowHeight, band.width(), rowHeight);
        QLinearGradient gradient(row.topLeft(), row.bottomLeft());
        gradient.setColorAt(0, levelColor(level, 0));
        gradient.setColorAt(1, levelColor(level, 1));
        paintIntervals(painter, m_intervals.value(level), row, gradient);
        QColor bright = levelColor(level, 1);
        bright.setAlpha(255);
        paintIntervals(painter, m_intelligent.value(level),
                       QRectF(row.left(), row.top(), row.width(), kIntelligentStrip), bright);
    }
    for (const Summary &summary : m_summaries) {
        QColor colour = levelColor(summary.colorLevel, 1);
        colour.setAlpha(255);
        paintIntervals(
            painter, summary.intervals,
            QRectF(band.left(), band.bottom() - kSummaryStrip, band.width(), kSummaryStrip),
            colour);
    }
}

// Intervals closer than a pixel are filled as one rectangle: a day of short clips costs a few
// dozen fills, not one per clip.
void KWTimeAxis::paintIntervals(QPainter &painter, const QVector<Interval> &intervals,
                                const QRectF &row, const QBrush &brush) const
{
    const double right = row.right();
    bool inRun = false;
    double runLeft = 0;
    double runRight = 0;
    auto flush = [&] {
        if (inRun)
            painter.fillRect(
                QRectF(runLeft, row.top(), std::max(runRight - runLeft, 1.0), row.height()), brush);
    };
    for (const Interval &interval : intervals) {
        const double x0 = std::max(m_mapping->xAt(interval.start), row.left());
        const double x1 = std::min(m_mapping->xAt(interval.end), right);
        if (x1 < row.left() || x0 > right)
            continue;
        if (inRun && x0 <= runRight + 1) {
            runRight = std::max(runRight, x1);
            continue;
        }
        flush();
        inRun = true;
        runLeft = x0;
        runRight = x1;
    }
    flush();
}

void KWTimeAxis::paintRuler(QPainter &painter, const QRectF &band) const
{
    QFont font = painter.font();
    font.setPixelSize(kLabelPixelSize);
    painter.setFont(font);
    const QFontMetricsF metrics(font);
    const qint64 offset = TimeAxisTicks::localOffsetMs(*m_mapping);
    const QVector<TimeAxisLabel> labels
        = TimeAxisTicks::labels(*m_mapping, metrics, band.bottom() + 1, offset);
    const qint64 step = TimeAxisTicks::labelStep(*m_mapping, metrics.horizontalAdvance("00:00"));
    painter.setPen(m_tickColor);
    painter.drawLine(QPointF(0, band.bottom()), QPointF(width(), band.bottom()));
    for (qint64 t :
         TimeAxisTicks::ticks(*m_mapping, TimeAxisTicks::minorStep(*m_mapping, step), offset)) {
        const double x = std::round(m_mapping->xAt(t)) + 0.5;
        painter.drawLine(QPointF(x, band.bottom() - kMinorTick), QPointF(x, band.bottom()));
    }
    painter.setPen(palette().color(QPalette::WindowText));
    for (const TimeAxisLabel &label : labels) {
        const double x = std::round(m_mapping->xAt(label.time)) + 0.5;
        painter.drawLine(QPointF(x, band.bottom() - kMajorTick), QPointF(x, band.bottom()));
        painter.drawText(label.rect, Qt::AlignCenter, label.text);
    }
}

void KWTimeAxis::paintMarks(QPainter &painter, const QRectF &band) const
{
    if (m_queryStart > m_mapping->spanStart()) {
        const double x = std::clamp(m_mapping->xAt(m_queryStart), 0.0, double(width()));
        painter.fillRect(QRectF(0, band.top(), x, band.height()), kQueryPendingShade);
    }
    if (m_drag == Drag::Range) {
        const double x0 = m_mapping->xAt(std::min(m_rangeStart, m_rangeEnd));
        const double x1 = m_mapping->xAt(std::max(m_rangeStart, m_rangeEnd));
        painter.fillRect(QRectF(x0, 0, std::max(x1 - x0, 1.0), height()), m_selectionColor);
    }
    if (m_playTime < m_mapping->viewStart() || m_playTime > m_mapping->viewEnd())
        return;
    const double x = m_mapping->xAt(m_playTime);
    painter.fillRect(QRectF(x - 1, 0, 2, height()), m_indicatorColor);
    const QPointF head[] = {{x - 4, 0}, {x + 4, 0}, {x, 5}};
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_indicatorColor);
    painter.drawPolygon(head, 3);
}

void KWTimeAxis::paintHoverTip(QPainter &painter) const
{
    if (m_hoverX < 0)
        return;
    painter.setPen(m_tickColor);
    painter.drawLine(QPointF(m_hoverX + 0.5, 0), QPointF(m_hoverX + 0.5, height()));
    const qint64 time = m_mapping->timeAt(m_hoverX);
    const QString text = TimeAxisTicks::format(
        time, qint64(QDateTime::fromMSecsSinceEpoch(time).offsetFromUtc()) * 1000, "HH:mm:ss");
    const QFontMetricsF metrics(painter.font());
    const double tipWidth = metrics.horizontalAdvance(text) + 8;
    const double left = m_hoverX + 4 + tipWidth <= width() ? m_hoverX + 4 : m_hoverX - 4 - tipWidth;
    const QRectF tip(left, height() - kLabelHeight, tipWidth, kLabelHeight);
    painter.fillRect(tip, kTipBackground);
    painter.setPen(Qt::white);
    painter.drawText(tip, Qt::AlignCenter, text);
}

void KWTimeAxis::resizeEvent(QResizeEvent *event)
{
    m_mapping->setWidth(width());
    QWidget::resizeEvent(event);
}

bool KWTimeAxis::nearIndicator(double x) const
{
    return m_playTime != 0 && std::abs(m_mapping->xAt(m_playTime) - x) <= kIndicatorGrip;
}

void KWTimeAxis::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const double x = event->localPos().x();
    const qint64 time
        = std::clamp(m_mapping->timeAt(x), m_mapping->spanStart(), m_mapping->spanEnd());
    if (nearIndicator(x)) {
        m_drag = Drag::Indicator;
    } else if (m_operMode != NoOper) {
        m_drag = Drag::Range;
        m_rangeStart = m_rangeEnd = time;
        emit sgnMousePress(time, m_mapping->viewStart() + m_mapping->viewLength() / 2);
    } else {
        m_drag = Drag::Pan;
        m_lastX = x;
        m_overshoot = 0;
    }
}

void KWTimeAxis::mouseMoveEvent(QMouseEvent *event)
{
    const double x = event->localPos().x();
    m_hoverX = int(x);
    const qint64 time
        = std::clamp(m_mapping->timeAt(x), m_mapping->spanStart(), m_mapping->spanEnd());
    switch (m_drag) {
    case Drag::Indicator:
        m_playTime = time;
        break;
    case Drag::Range:
        m_rangeEnd = time;
        break;
    case Drag::Pan:
        m_overshoot += m_mapping->panBy(m_lastX - x);
        m_lastX = x;
        break;
    case Drag::None:
        break;
    }
    emit sgnMouseMove(m_mapping->timeAt(x));
    update();
}

void KWTimeAxis::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const Drag drag = m_drag;
    m_drag = Drag::None;
    if (drag == Drag::Indicator)
        emit sgnPlayIndicatorValueChanged(m_playTime);
    else if (drag == Drag::Range)
        finishRange(std::clamp(m_mapping->timeAt(event->localPos().x()), m_mapping->spanStart(),
                               m_mapping->spanEnd()));
    else if (drag == Drag::Pan && m_overshoot != 0)
        emit sgnProgressBarBeyondOneDay(m_mapping->viewStart() + m_overshoot,
                                        m_mapping->viewEnd() + m_overshoot);
    update();
}

void KWTimeAxis::finishRange(qint64 releaseTime)
{
    m_rangeEnd = releaseTime;
    emit sgnMouseRelease(releaseTime, m_mapping->viewStart() + m_mapping->viewLength() / 2);
    const qint64 start = std::min(m_rangeStart, m_rangeEnd);
    const qint64 end = std::max(m_rangeStart, m_rangeEnd);
    if (m_operMode == MaskOper)
        emit sgnMaskInterval(start, end);
    else if (m_operMode == CutOper)
        emit sgnCutInterval(Interval(start, end));
}

void KWTimeAxis::mouseDoubleClickEvent(QMouseEvent *event)
{
    const qint64 time = m_mapping->timeAt(event->localPos().x());
    if (time >= m_mapping->spanStart() && time <= m_mapping->spanEnd())
        emit sgnTimeDbClicked(time);
}

void KWTimeAxis::wheelEvent(QWheelEvent *event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    m_mapping->zoomAround(event->position().x(), std::pow(kWheelZoom, notches));
    update();
    event->accept();
}

void KWTimeAxis::leaveEvent(QEvent *event)
{
    m_hoverX = -1;
    emit sgnMouseLeave();
    update();
    QWidget::leaveEvent(event);
}

} // namespace KWGUI
