#pragma once

#include <QColor>
#include <QMap>
#include <QMetaType>
#include <QVector>
#include <QWidget>

#include <memory>

namespace KWGUI {

class TimeAxisMapping;

// A time range in milliseconds since 1970-01-01 UTC.
struct Interval
{
    Interval() = default;
    Interval(qint64 startMs, qint64 endMs)
        : start(startMs)
        , end(endMs)
    { }
    qint64 start = 0;
    qint64 end = 0;
};

// A time axis with recorded intervals in rows, one row per record level, each in its level's
// colours. The user zooms with the wheel around the cursor (from the whole span down to five
// minutes), pans by dragging, drags the play indicator (reported on release), double-clicks a
// time, and sees the time under the cursor. In an operation mode a press and drag marks a range
// instead of panning. Times are milliseconds since 1970-01-01 UTC; labels show local time.
// Look: the style sheet's background and colour, and the properties below.
class KWTimeAxis : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QColor indicatorColor MEMBER m_indicatorColor)
    Q_PROPERTY(QColor tickColor MEMBER m_tickColor)
    Q_PROPERTY(QColor selectionColor MEMBER m_selectionColor)

public:
    // Modes of EnterOperMode. Select reports press and release only; Mask and Cut also report
    // the marked range (sgnMaskInterval, sgnCutInterval).
    enum OperMode { NoOper = 0, SelectOper = 1, MaskOper = 2, CutOper = 3 };

    explicit KWTimeAxis(QWidget *parent = nullptr);
    ~KWTimeAxis() override;

    // Sets the span [start, end]; resetView shows all of it, otherwise the view keeps its length.
    void Init(qint64 start, qint64 end, bool resetView);
    // Zoom level: 0 the whole span, then 12 h, 6 h, 2 h, 1 h, 30 min, 10 min, 5 min (7), centred
    // on the play indicator when it is in view.
    void SetTimeAxisScale(int scale);
    // Where the running records query of this axis starts: the span before it is drawn dimmed,
    // its records not known yet. 0 clears it.
    void SetQueryStartTime(qint64 time);

    void InsertTimeInterval(int level, const Interval &interval);
    // Removes the intervals of level, or of every level when level is -1.
    void ClearTimeList(int level);
    // Colours of a level's row: the first at the top, the second at the bottom (a gradient).
    void InsertLevelColor(int level, const QVector<QColor> &colors);
    void ClearColor(int level);
    // Intervals found by video analysis: a bright strip along the top of the level's row.
    void InsertIntelligentInterval(int level, const Interval &interval);
    void ClearIntelligentInterval();
    // Summary intervals (a coarse overview, for example of a longer search) drawn as a thin strip
    // along the bottom in the colour of colorLevel; level orders several lists.
    void InsertSummaryIntervalList(int level, int colorLevel, const QVector<Interval> &list);
    void ClearSummaryList();

    // Moves the play indicator (no signal).
    void UpdatePlayIndicator(qint64 time);
    // The play indicator's time; 0 when it was never set.
    qint64 GetPlayIndicatorTime() const;

    // Enters an operation mode; false for an unknown mode.
    bool EnterOperMode(int mode);
    void ExitOperMode();
    int OperModeNow() const { return m_operMode; }
    // Redraws now-stale state (a new style, a changed property).
    void forceUpdate();

    // The pixel <-> time mapping as the axis draws it now.
    const TimeAxisMapping &mapping() const;

signals:
    void sgnTimeDbClicked(qint64 time);
    // The user dropped the play indicator at time.
    void sgnPlayIndicatorValueChanged(qint64 time);
    // A drag asked for the view [start, end], which reaches past the span.
    void sgnProgressBarBeyondOneDay(qint64 start, qint64 end);
    void sgnMouseMove(qint64 time);
    void sgnMouseLeave();
    void sgnMaskInterval(qint64 start, qint64 end);
    // Press and release in an operation mode: the time under the cursor and the view's middle.
    void sgnMousePress(qint64 time, qint64 midTime);
    void sgnMouseRelease(qint64 time, qint64 midTime);
    void sgnCutInterval(const KWGUI::Interval &interval);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    enum class Drag { None, Pan, Indicator, Range };
    struct Summary
    {
        int colorLevel = 0;
        QVector<Interval> intervals;
    };

    QRectF bandRect() const;
    QVector<int> rowLevels() const;
    QColor levelColor(int level, int index) const;
    void paintRows(QPainter &painter, const QRectF &band) const;
    void paintIntervals(QPainter &painter, const QVector<Interval> &intervals, const QRectF &row,
                        const QBrush &brush) const;
    void paintRuler(QPainter &painter, const QRectF &band) const;
    void paintMarks(QPainter &painter, const QRectF &band) const;
    void paintHoverTip(QPainter &painter) const;
    bool nearIndicator(double x) const;
    void finishRange(qint64 releaseTime);

    std::unique_ptr<TimeAxisMapping> m_mapping;
    QMap<int, QVector<Interval>> m_intervals;
    QMap<int, QVector<Interval>> m_intelligent;
    QMap<int, Summary> m_summaries;
    QMap<int, QVector<QColor>> m_colors;
    qint64 m_playTime = 0;
    qint64 m_queryStart = 0;
    int m_operMode = NoOper;
    Drag m_drag = Drag::None;
    double m_lastX = 0;
    qint64 m_rangeStart = 0;
    qint64 m_rangeEnd = 0;
    qint64 m_overshoot = 0;
    int m_hoverX = -1;
    QColor m_indicatorColor = QColor(255, 140, 0);
    QColor m_tickColor = QColor(140, 150, 165);
    QColor m_selectionColor = QColor(24, 144, 255, 70);
};

} // namespace KWGUI

Q_DECLARE_METATYPE(KWGUI::Interval)
