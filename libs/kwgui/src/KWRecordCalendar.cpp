#include "KWRecordCalendar.h"

#include <QPainter>

namespace KWGUI {

namespace {
constexpr int kMarkRadius = 2;
const QColor kMarkColor(24, 172, 238);
} // namespace

KWRecordCalendar::KWRecordCalendar(QWidget *parent)
    : QCalendarWidget(parent)
{
    setObjectName("KWRecordCalendar");
    setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    setGridVisible(false);
}

void KWRecordCalendar::setRecordMark(const QDate &date, bool hasRecord)
{
    if (!date.isValid())
        return;
    if (hasRecord)
        m_marks.insert(date);
    else
        m_marks.remove(date);
    updateCell(date);
}

void KWRecordCalendar::clearRecordMarks()
{
    m_marks.clear();
    updateCells();
}

bool KWRecordCalendar::isMarkShown(const QDate &date) const
{
    return m_marks.contains(date) && date.year() == yearShown() && date.month() == monthShown();
}

void KWRecordCalendar::paintCell(QPainter *painter, const QRect &rect, const QDate &date) const
{
    QCalendarWidget::paintCell(painter, rect, date);
    if (!isMarkShown(date))
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(Qt::NoPen);
    painter->setBrush(kMarkColor);
    painter->drawEllipse(QPoint(rect.center().x(), rect.bottom() - 2 * kMarkRadius), kMarkRadius,
                         kMarkRadius);
    painter->restore();
}

} // namespace KWGUI
