#pragma once

#include <QDateTime>
#include <QWidget>

class QPushButton;
class QRecordCalenderBar;
namespace KWGUI {
class KWDateTimeCalendar;
}

// The row above the playback time bar where the user picks the day to play: back to live, the
// previous day (on press), the day strip, the next day (on click) and the pop-up month calendar
// with the days holding recordings marked. Its signals carry the picked day to the playback.
class CalendarWidget : public QWidget
{
    Q_OBJECT

public:
    explicit CalendarWidget(QWidget *parent = nullptr);

    QRecordCalenderBar *strip() const { return m_strip; }
    KWGUI::KWDateTimeCalendar *calendar() const { return m_calendar; }
    // The day shown and selected now.
    QDate date() const;
    // Shows date in the strip and, unless the pop-up is open, selects it in the calendar.
    void setDate(const QDate &date);
    // Marks a day as holding recordings (or not), in the calendar and the strip.
    void setRecord(int year, int month, int day, bool hasRecord);
    void clearRecord();
    // Back to today without marks, as at the start.
    void reset();

signals:
    void sgncalendarBarTimeChanged(QDateTime date);
    void sgncalendarPopDialogTimeChanged(QDateTime date);
    void sgnStartRealPlay();
    void sgnTimerBarPressed();
    void sgnStartYearMonthChanged(int year, int month);
    void SgnCalendarShow();

public slots:
    void calendarBarTimeChanged(QDate date);
    void calendarPopDialogTimeChanged(QDateTime &time);
    // Selects the strip's day index (0 the first of the month) as a click would.
    void moveToIndex(int index);
    // Scrolls the strip back onto the shown day once a new size has settled.
    void setCalendarIndex();
    void showNextDay();
    void showPreDay();
    void startRealPlay();
    void onStartYearMonthChanged(int year, int month);
    void onCalendarShow();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QPushButton *addButton(const char *name, const QString &toolTip, const QSize &size);
    void selectInCalendar(const QDate &date);

    QRecordCalenderBar *m_strip;
    KWGUI::KWDateTimeCalendar *m_calendar;
};
