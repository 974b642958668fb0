#include "QRecordCalenderBar.h"

#include "CDateItem.h"

#include <algorithm>

QRecordCalenderBar::QRecordCalenderBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName("QRecordCalenderBar");
    rebuild(QDate::currentDate());
}

void QRecordCalenderBar::setDateItemWidth(int width)
{
    m_itemWidth = std::max(width, 1);
    rebuild(m_currentDate);
}

void QRecordCalenderBar::setDateItemHight(int height)
{
    m_itemHeight = std::max(height, 1);
    rebuild(m_currentDate);
}

void QRecordCalenderBar::setCurrentDate(const QDate &date)
{
    if (!date.isValid())
        return;
    if (date >= m_firstDate && date <= m_lastDate)
        select(date);
    else if (date.year() != m_currentDate.year() || date.month() != m_currentDate.month())
        rebuild(date);
    else {
        shiftBy(int(m_firstDate.daysTo(leftDateFor(date))));
        select(date);
    }
}

void QRecordCalenderBar::moveDays(int n)
{
    setCurrentDate(m_currentDate.addDays(n));
    emit currentDateChanged(m_currentDate);
}

void QRecordCalenderBar::onDateItemClicked(QDate date)
{
    select(date);
    emit currentDateChanged(date);
}

void QRecordCalenderBar::setRecordMark(const QDate &date, bool hasRecord)
{
    if (hasRecord)
        m_marks.insert(date);
    else
        m_marks.remove(date);
    if (CDateItem *item = itemOf(date))
        item->setHasRecord(hasRecord);
}

void QRecordCalenderBar::clearRecordMarks()
{
    m_marks.clear();
    for (CDateItem *item : qAsConst(m_items))
        item->setHasRecord(false);
}

void QRecordCalenderBar::setLoading(const QDate &date, bool on)
{
    if (CDateItem *item = itemOf(date))
        item->setLoading(this, on);
}

void QRecordCalenderBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    rebuild(m_currentDate);
}

int QRecordCalenderBar::visibleCells() const
{
    return std::max(width() / m_itemWidth, 1);
}

QDate QRecordCalenderBar::leftDateFor(const QDate &date) const
{
    const QDate first(date.year(), date.month(), 1);
    const int lastLeft = std::max(date.daysInMonth() - visibleCells(), 0);
    return first.addDays(std::clamp(date.day() - visibleCells(), 0, lastLeft));
}

void QRecordCalenderBar::rebuild(const QDate &date)
{
    for (CDateItem *item : qAsConst(m_items)) {
        item->disconnect(this);
        delete item;
    }
    m_items.clear();
    const QDate first(date.year(), date.month(), 1);
    const int offset = int(first.daysTo(leftDateFor(date))) * m_itemWidth;
    for (int i = 0; i < date.daysInMonth(); ++i) {
        auto *item = new CDateItem(this);
        item->setRect(QRectF(i * m_itemWidth - offset, 0, m_itemWidth, m_itemHeight));
        item->setDate(first.addDays(i));
        item->setHasRecord(m_marks.contains(item->date()));
        connect(item, &CDateItem::sgnDateItemSelected, this,
                &QRecordCalenderBar::onDateItemClicked);
        item->show();
        m_items.append(item);
    }
    m_firstDate = leftDateFor(date);
    m_lastDate
        = std::min(m_firstDate.addDays(visibleCells() - 1), first.addDays(date.daysInMonth() - 1));
    select(date);
}

void QRecordCalenderBar::shiftBy(int days)
{
    for (CDateItem *item : qAsConst(m_items))
        item->shift(days);
    m_firstDate = m_firstDate.addDays(days);
    m_lastDate = m_lastDate.addDays(days);
}

void QRecordCalenderBar::select(const QDate &date)
{
    if (CDateItem *old = itemOf(m_currentDate)) {
        old->setSelected(false);
        old->setFuture(old->date() > QDate::currentDate());
    }
    m_currentDate = date;
    if (CDateItem *item = itemOf(date))
        item->setSelected(true);
}

CDateItem *QRecordCalenderBar::itemOf(const QDate &date) const
{
    if (m_items.isEmpty() || !date.isValid())
        return nullptr;
    const qint64 index = m_items.first()->date().daysTo(date);
    return index >= 0 && index < m_items.size() ? m_items.at(int(index)) : nullptr;
}
