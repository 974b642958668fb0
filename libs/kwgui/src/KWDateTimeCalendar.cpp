#include <KWGui/KWDateTimeCalendar.h>

#include "KWCalendarPopup.h"
#include "KWRecordCalendar.h"

namespace KWGUI {

namespace {
QDateTime dayStart(const QDate &date)
{
    return QDateTime(date, QTime(0, 0));
}

QDateTime dayEnd(const QDate &date)
{
    return QDateTime(date, QTime(23, 59, 59));
}
} // namespace

KWDateTimeCalendar::KWDateTimeCalendar(QWidget *parent)
    : QPushButton(parent)
    , m_popup(new KWCalendarPopup(this))
{
    setObjectName("KWDateTimeCalendar");
    const QDate today = QDate::currentDate();
    SetSelDate(dayStart(today), dayEnd(today));
    connect(this, &QPushButton::clicked, this, &KWDateTimeCalendar::showPopup);
    connect(m_popup->startCalendar(), &QCalendarWidget::clicked, this,
            &KWDateTimeCalendar::pickStart);
    connect(m_popup->endCalendar(), &QCalendarWidget::clicked, this, &KWDateTimeCalendar::pickEnd);
    for (KWRecordCalendar *calendar : {m_popup->startCalendar(), m_popup->endCalendar()})
        connect(calendar, &QCalendarWidget::currentPageChanged, this,
                &KWDateTimeCalendar::SgnEndYearMonthChanged);
}

KWDateTimeCalendar::~KWDateTimeCalendar() = default;

void KWDateTimeCalendar::SetSelDate(const QDateTime &start, const QDateTime &end)
{
    if (!start.isValid() || !end.isValid())
        return;
    m_start = std::min(start, end);
    m_end = std::max(start, end);
    // Only the user's paging asks for a month's marks, not a day chosen by the program.
    const QSignalBlocker startBlocker(m_popup->startCalendar());
    const QSignalBlocker endBlocker(m_popup->endCalendar());
    m_popup->startCalendar()->setSelectedDate(m_start.date());
    m_popup->endCalendar()->setSelectedDate(m_end.date());
}

void KWDateTimeCalendar::DateTimeRange(QDateTime &start, QDateTime &end) const
{
    start = m_start;
    end = m_end;
}

void KWDateTimeCalendar::SetStartRecordDate(int year, int month, int day, bool hasRecord)
{
    m_popup->startCalendar()->setRecordMark(QDate(year, month, day), hasRecord);
}

void KWDateTimeCalendar::SetEndRecordDate(int year, int month, int day, bool hasRecord)
{
    m_popup->endCalendar()->setRecordMark(QDate(year, month, day), hasRecord);
}

void KWDateTimeCalendar::ClearRecord()
{
    m_popup->startCalendar()->clearRecordMarks();
    m_popup->endCalendar()->clearRecordMarks();
}

void KWDateTimeCalendar::OnlyShowStartCalendar()
{
    m_startOnly = true;
    m_popup->setEndShown(false);
}

bool KWDateTimeCalendar::isKWCalendarExVisible() const
{
    return m_popup->isVisible();
}

bool KWDateTimeCalendar::IsRecordMarkShown(const QDate &date) const
{
    return m_popup->startCalendar()->isMarkShown(date)
        || (!m_startOnly && m_popup->endCalendar()->isMarkShown(date));
}

void KWDateTimeCalendar::ShowMonth(int year, int month)
{
    m_popup->startCalendar()->setCurrentPage(year, month);
}

void KWDateTimeCalendar::showPopup()
{
    m_popup->popUpAt(mapToGlobal(QPoint(0, height())));
    emit SgnCalendarShow();
}

void KWDateTimeCalendar::pickStart(const QDate &date)
{
    if (m_startOnly)
        SetSelDate(dayStart(date), dayEnd(date));
    else
        SetSelDate(dayStart(date), std::max(m_end, dayEnd(date)));
    QDateTime start = m_start;
    if (m_startOnly)
        m_popup->hide();
    emit SgnQueryRecord(start);
}

void KWDateTimeCalendar::pickEnd(const QDate &date)
{
    SetSelDate(std::min(m_start, dayStart(date)), dayEnd(date));
    QDateTime start = m_start;
    m_popup->hide();
    emit SgnQueryRecord(start);
}

} // namespace KWGUI
