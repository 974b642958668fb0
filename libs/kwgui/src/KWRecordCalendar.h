#pragma once

#include <QCalendarWidget>
#include <QSet>

namespace KWGUI {

// A month calendar that marks the days with recordings by a dot under the day number. Marks are
// kept per date but drawn only on days of the month shown: the grey days of the neighbouring
// months never carry a mark, since their records were not asked for.
class KWRecordCalendar : public QCalendarWidget
{
    Q_OBJECT

public:
    explicit KWRecordCalendar(QWidget *parent = nullptr);

    void setRecordMark(const QDate &date, bool hasRecord);
    void clearRecordMarks();
    // Whether the day's cell shows a record mark now.
    bool isMarkShown(const QDate &date) const;

protected:
    void paintCell(QPainter *painter, const QRect &rect, const QDate &date) const override;

private:
    QSet<QDate> m_marks;
};

} // namespace KWGUI
