#include "CalendarWidget.h"

#include "CommonUI/QCustomWidget.h"
#include "QRecordCalenderBar.h"

#include <KWGui/KWDateTimeCalendar.h>

#include <QHBoxLayout>
#include <QPushButton>
#include <QTimer>

namespace {
constexpr int kHeight = 40;
constexpr int kCalendarIndexDelayMs = 100;
const char kMonthFormat[] = "yyyy/MM";
} // namespace

CalendarWidget::CalendarWidget(QWidget *parent)
    : QWidget(parent)
    , m_strip(new QRecordCalenderBar(this))
    , m_calendar(new KWGUI::KWDateTimeCalendar(this))
{
    setObjectName("CalendarWidget");
    setAttribute(Qt::WA_StyledBackground);
    QCustomWidget::applySkinStyleSheet(this);
    setFixedHeight(kHeight);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    QPushButton *back = addButton("backBtn", tr("open real play"), QSize(90, kHeight));
    back->setText(tr("open real play"));
    QPushButton *previous
        = addButton("previousBtn", tr("open previous day record"), QSize(30, kHeight));
    previous->setFixedSize(30, kHeight);
    layout->addWidget(back);
    layout->addWidget(previous);
    layout->addWidget(m_strip, 1);
    QPushButton *next = addButton("nextBtn", tr("open next day record"), QSize(30, kHeight));
    layout->addWidget(next);
    m_calendar->setToolTip(tr("calendar search"));
    m_calendar->setFixedSize(110, kHeight);
    layout->addWidget(m_calendar);

    m_calendar->OnlyShowStartCalendar();
    reset();

    connect(m_strip, &QRecordCalenderBar::currentDateChanged, this,
            &CalendarWidget::calendarBarTimeChanged, Qt::UniqueConnection);
    connect(back, &QPushButton::clicked, this, &CalendarWidget::startRealPlay,
            Qt::UniqueConnection);
    connect(next, &QPushButton::clicked, this, &CalendarWidget::showNextDay, Qt::UniqueConnection);
    connect(previous, &QPushButton::pressed, this, &CalendarWidget::showPreDay,
            Qt::UniqueConnection);
    connect(m_calendar, &KWGUI::KWDateTimeCalendar::SgnQueryRecord, this,
            &CalendarWidget::calendarPopDialogTimeChanged, Qt::UniqueConnection);
    connect(m_calendar, &KWGUI::KWDateTimeCalendar::SgnEndYearMonthChanged, this,
            &CalendarWidget::onStartYearMonthChanged, Qt::UniqueConnection);
    connect(m_calendar, &KWGUI::KWDateTimeCalendar::SgnCalendarShow, this,
            &CalendarWidget::onCalendarShow, Qt::UniqueConnection);
}

QPushButton *CalendarWidget::addButton(const char *name, const QString &toolTip, const QSize &size)
{
    auto *button = new QPushButton(this);
    button->setObjectName(name);
    button->setToolTip(toolTip);
    button->setMaximumSize(size);
    return button;
}

QDate CalendarWidget::date() const
{
    return m_strip->currentDate();
}

void CalendarWidget::setDate(const QDate &date)
{
    if (!date.isValid())
        return;
    m_strip->setCurrentDate(date);
    if (!m_calendar->isKWCalendarExVisible())
        selectInCalendar(date);
}

void CalendarWidget::selectInCalendar(const QDate &date)
{
    m_calendar->SetSelDate(QDateTime(date, QTime(0, 0)), QDateTime(date, QTime(23, 59, 59)));
    m_calendar->setText(date.toString(kMonthFormat));
}

void CalendarWidget::setRecord(int year, int month, int day, bool hasRecord)
{
    QDateTime start;
    QDateTime end;
    m_calendar->DateTimeRange(start, end);
    if (start.date().year() == year && start.date().month() == month)
        m_calendar->SetStartRecordDate(year, month, day, hasRecord);
    if (end.date().year() == year && end.date().month() == month)
        m_calendar->SetEndRecordDate(year, month, day, hasRecord);
    m_strip->setRecordMark(QDate(year, month, day), hasRecord);
}

void CalendarWidget::clearRecord()
{
    m_calendar->ClearRecord();
    m_strip->clearRecordMarks();
}

void CalendarWidget::reset()
{
    clearRecord();
    setDate(QDate::currentDate());
}

void CalendarWidget::calendarBarTimeChanged(QDate date)
{
    emit sgnTimerBarPressed();
    m_calendar->setText(date.toString(kMonthFormat));
    setDate(date);
    emit sgncalendarBarTimeChanged(QDateTime(date, QTime(0, 0)));
}

void CalendarWidget::calendarPopDialogTimeChanged(QDateTime &time)
{
    const QDate day = time.date();
    selectInCalendar(day);
    m_strip->setCurrentDate(day);
    emit sgncalendarPopDialogTimeChanged(QDateTime(day, QTime(0, 0)));
}

void CalendarWidget::moveToIndex(int index)
{
    const QList<CDateItem *> &items = m_strip->items();
    if (index >= 0 && index < items.size())
        m_strip->onDateItemClicked(date().addDays(index + 1 - date().day()));
}

void CalendarWidget::setCalendarIndex()
{
    m_strip->setCurrentDate(date());
}

void CalendarWidget::showNextDay()
{
    m_strip->moveDays(1);
}

void CalendarWidget::showPreDay()
{
    m_strip->moveDays(-1);
}

void CalendarWidget::startRealPlay()
{
    emit sgnStartRealPlay();
}

void CalendarWidget::onStartYearMonthChanged(int year, int month)
{
    emit sgnStartYearMonthChanged(year, month);
}

void CalendarWidget::onCalendarShow()
{
    emit SgnCalendarShow();
}

void CalendarWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    QTimer::singleShot(kCalendarIndexDelayMs, this, &CalendarWidget::setCalendarIndex);
}
