#pragma once

#include <QDateTime>
#include <QPushButton>

namespace KWGUI {

class KWCalendarPopup;

// A button that pops up a month calendar (a start and an end month, or the start one alone),
// with the days that hold recordings marked. Picking a day selects it from 00:00:00 to 23:59:59
// and reports its start with SgnQueryRecord; paging to another month reports the month with
// SgnEndYearMonthChanged so that its record marks can be asked for.
class KWDateTimeCalendar : public QPushButton
{
    Q_OBJECT

public:
    explicit KWDateTimeCalendar(QWidget *parent = nullptr);
    ~KWDateTimeCalendar() override;

    // Selects [start, end]; the pop-up's months show the two days.
    void SetSelDate(const QDateTime &start, const QDateTime &end);
    // The selected range.
    void DateTimeRange(QDateTime &start, QDateTime &end) const;
    // Marks (or unmarks) a day of the start or end month as holding recordings; an invalid day
    // is ignored.
    void SetStartRecordDate(int year, int month, int day, bool hasRecord);
    void SetEndRecordDate(int year, int month, int day, bool hasRecord);
    void ClearRecord();
    // Start-calendar-only mode: one month, a picked day is the whole selection.
    void OnlyShowStartCalendar();
    bool isKWCalendarExVisible() const;
    // Whether the pop-up draws a record mark on date now (marked, and in the month it shows).
    bool IsRecordMarkShown(const QDate &date) const;
    // Pages the pop-up's start month, as its arrows do.
    void ShowMonth(int year, int month);

signals:
    void SgnQueryRecord(QDateTime &time);
    void SgnEndYearMonthChanged(int year, int month);
    void SgnCalendarShow();

private:
    void showPopup();
    void pickStart(const QDate &date);
    void pickEnd(const QDate &date);

    KWCalendarPopup *m_popup;
    QDateTime m_start;
    QDateTime m_end;
    bool m_startOnly = false;
};

} // namespace KWGUI
