#pragma once

#include <KWGui/KWTimeAxis.h>
#include <KWGui/TimeAxisMapping.h>

#include <QDateTime>
#include <QWidget>

#include <array>

class QLabel;
class CalendarWidget;
namespace KWGUI {
class KWVerScrollBar;
}

// The playback time bar: the record calendar across the top and, below it, one row per video
// window (number, channel name, time axis), four rows visible at a time with a scroll bar. It
// turns the axes' millisecond signals into signals of (row, seconds since 1970). Row operations
// take the row first and do nothing for a row without an axis.
class QTimeProgressBar : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kRows = 16;
    static constexpr int kVisibleRows = 4;

    // rows: how many rows are created (at most 16); singleRow: one 30-pixel bar, row 0 alone.
    explicit QTimeProgressBar(int rows = kRows, bool singleRow = false, QWidget *parent = nullptr);

    CalendarWidget *calendar() const { return m_calendar; }
    KWGUI::KWTimeAxis *axis(int row) const;
    QLabel *serialLabel(int row) const;
    QLabel *channelLabel(int row) const;
    int selectedRow() const { return m_selectedRow; }
    int firstVisibleRow() const { return m_firstVisibleRow; }
    KWGUI::KWVerScrollBar *scrollBar() const { return m_scrollBar; }

    // Times in seconds since 1970.
    void SetTimeRange(int row, qint64 start, qint64 end);
    void SetLevelColor(int row, int level, const QVector<QColor> &colors);
    void ClearColor(int row, int level);
    int AddTimeInterval(int row, int level, qint64 start, qint64 end);
    void ClearTimeInterval(int row);
    void AddIntelligentInterval(int row, int level, qint64 start, qint64 end);
    void ClearIntelligentInterval(int row);
    void AddSummaryIntervalList(int row, int level, int colorLevel,
                                const QVector<KWGUI::Interval> &list);
    void ClearSummaryList(int row);
    // Play indicator time in milliseconds as the axis keeps it; 0 without axis.
    qint64 GetPlayIndicatorTime(int row) const;
    void UpdatePlayIndicator(int row, qint64 time);
    void SetTimeAxisScale(int row, int scale);
    bool SetQueryStartTime(int row, qint64 time);
    bool EnterOperMode(int row, int mode);
    void ExitOperMode(int row);
    void SetChannelName(int row, const QString &name);
    // Every row back to today with no intervals and no name.
    void ResetAll();
    void SelectRow(int row);

signals:
    void sgnProgressBarDoubleClicked(int nChannel, int nTime);
    // Lock and cut ranges of the video tools; no axis gesture emits them.
    void sgnProgressBarLockVideo(int nChannel, QDateTime &nStartTime, QDateTime &nEndTime, QString);
    void sgnProgressBarCutVideo(int nChannel, QDateTime &nStartTime, QDateTime &nEndTime, QString);
    void sgnProgressBarLockVideoCancel(int nChannel);
    void sgnProgressBarCutVideoCancel(int nChannel);
    void sgnProgressBarSeekVideo(int nChannel, int nTime);
    void sgnProgressBarQueryRecord(int nChannel, int nStartTime, int nEndTime);
    void sgnProgressBarRightClicked(int nChannel);
    void sgnProgressBarMouseMove(int nChannel, int nTime);
    void sgnProgressBarMouseLeave(int nChannel);
    void sgnProgressBarResetVSLLockTime(int nChannel, QDateTime &nStartTime, QDateTime &nEndTime);
    void sgnProgressBarResetVSLCutTime(int nChannel, QDateTime &nStartTime, QDateTime &nEndTime);
    void sgnProgressBarMaskVideo(int nChannel, QDateTime &nStartTime, QDateTime &nEndTime);
    void sgnProgressBarPress(int nChannel, QDateTime &nPressTime, QDateTime &nMidTime);
    void sgnProgressBarRelease(int nChannel, QDateTime &nReleaseTime, QDateTime &nMidTime);
    void sgnProgressBarCalendarBarTimeChanged(int nChannel, QDateTime date);
    // A day picked in the pop-up: both forms are emitted, the day's start in seconds and as a time.
    void sgnProgressBarCalendarPopDialogTimeChanged(int nChannel, int nTime);
    void sgnProgressBarCalendarPopDialogTimeChanged(int nChannel, QDateTime date);
    void sgnStartRealPlay(int nIndex);
    void sgnSelectBorn(int nIndex, int nStartTime, int nEndTime);
    void sgnnCalendarbarPressed();
    void sgnStartYearMonthChanged(int year, int month);
    void SgnCalendarShow();

public slots:
    void OnProgressDoubleClicked(qint64 time);
    void OnPlayIndicatorValueChanged(qint64 time);
    void OnProgressBarBeyondOneDay(qint64 start, qint64 end);
    void OnMouseMove(qint64 time);
    void OnMouseLeave();
    void OnMaskInterval(qint64 start, qint64 end);
    void OnPress(qint64 time, qint64 midTime);
    void OnRelease(qint64 time, qint64 midTime);
    void OnVerticalScrollBarChanged(int value);
    void OnCalendarbarTimeChanged(QDateTime date);
    void OnCalendarPopDialogTimeChanged(QDateTime date);
    void OnStartRealPlay();
    void onSelectBorn(KWGUI::Interval interval);
    void onStartYearMonthChanged(int year, int month);
    void onCalendarShow();
    // The panel shows count windows: as many rows are in use.
    void onSplitWnd(int count);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void createRow(int row);
    void connectAxis(KWGUI::KWTimeAxis *axis);
    void applySkinColors(KWGUI::KWTimeAxis *axis);
    void layoutRows();
    void updateScrollRange();
    // Row of the axis that sent the signal being handled; -1 for any other sender.
    int senderRow() const;

    KWGUI::KWVerScrollBar *m_scrollBar;
    std::array<KWGUI::KWTimeAxis *, kRows> m_axes {};
    std::array<QLabel *, kRows> m_serialLabels {};
    std::array<QLabel *, kRows> m_channelLabels {};
    CalendarWidget *m_calendar;
    QDateTime m_startTime;
    QDateTime m_endTime;
    int m_firstVisibleRow = 0;
    int m_selectedRow = 0;
    QLabel *m_indicator;
    int m_rowLimit;
    bool m_singleRow;
};
