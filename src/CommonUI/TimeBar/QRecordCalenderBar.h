#pragma once

#include <QDate>
#include <QList>
#include <QSet>
#include <QWidget>

class CDateItem;

// The day strip of the record calendar: one cell per day of the current date's month, scrolled so
// that the current date is visible, the current date selected, days after today "future". Cell
// size comes from the style sheet (qproperty-dateItemWidth, qproperty-dateItemHight).
class QRecordCalenderBar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int dateItemWidth READ dateItemWidth WRITE setDateItemWidth)
    Q_PROPERTY(int dateItemHight READ dateItemHight WRITE setDateItemHight)

public:
    explicit QRecordCalenderBar(QWidget *parent = nullptr);

    QDate currentDate() const { return m_currentDate; }
    // Shows and selects date (no signal).
    void setCurrentDate(const QDate &date);
    // Moves the selection n days and reports the new date.
    void moveDays(int n);
    void setRecordMark(const QDate &date, bool hasRecord);
    void clearRecordMarks();
    // Lays the loading animation over the day's cell, or removes it.
    void setLoading(const QDate &date, bool on);

    // The cells, first day of the month first.
    const QList<CDateItem *> &items() const { return m_items; }
    // First and last day whose cells are fully visible.
    QDate firstDate() const { return m_firstDate; }
    QDate lastDate() const { return m_lastDate; }

    int dateItemWidth() const { return m_itemWidth; }
    void setDateItemWidth(int width);
    int dateItemHight() const { return m_itemHeight; }
    void setDateItemHight(int height);

signals:
    void currentDateChanged(QDate date);

public slots:
    void onDateItemClicked(QDate date);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    int visibleCells() const;
    // Where the strip scrolls to for date: date as far right as fits, not past the month.
    QDate leftDateFor(const QDate &date) const;
    void rebuild(const QDate &date);
    void shiftBy(int days);
    void select(const QDate &date);
    CDateItem *itemOf(const QDate &date) const;

    QList<CDateItem *> m_items;
    QSet<QDate> m_marks;
    QDate m_firstDate;
    QDate m_lastDate;
    QDate m_currentDate;
    int m_itemWidth = 40;
    int m_itemHeight = 40;
};
