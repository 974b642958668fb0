#include "CDateItem.h"
#include "CalendarWidget.h"
#include "QRecordCalenderBar.h"

#include <KWGui/KWDateTimeCalendar.h>

#include <QtTest>
#include <QtWidgets>

namespace {
CDateItem *selectedItem(const QRecordCalenderBar &strip)
{
    for (CDateItem *item : strip.items()) {
        if (item->status() == "selected")
            return item;
    }
    return nullptr;
}
} // namespace

class tst_RecordCalendar : public QObject
{
    Q_OBJECT

private slots:
    void stripAcrossMonthEndsAndLeapDays_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<int>("days");
        QTest::addColumn<QDate>("to");
        QTest::newRow("leap day to March") << QDate(2024, 2, 29) << 1 << QDate(2024, 3, 1);
        QTest::newRow("no leap day") << QDate(2023, 2, 28) << 1 << QDate(2023, 3, 1);
        QTest::newRow("back over new year") << QDate(2026, 1, 1) << -1 << QDate(2025, 12, 31);
        QTest::newRow("off the visible cells") << QDate(2025, 5, 2) << 20 << QDate(2025, 5, 22);
    }

    void stripAcrossMonthEndsAndLeapDays()
    {
        QFETCH(QDate, from);
        QFETCH(int, days);
        QFETCH(QDate, to);
        QRecordCalenderBar strip;
        strip.resize(7 * strip.dateItemWidth(), strip.dateItemHight());
        strip.setCurrentDate(from);
        QSignalSpy changed(&strip, &QRecordCalenderBar::currentDateChanged);
        strip.moveDays(days);
        QCOMPARE(changed, QList<QVariantList>({{to}}));
        QCOMPARE(strip.items().size(), to.daysInMonth());
        QCOMPARE(strip.items().first()->date(), QDate(to.year(), to.month(), 1));
        CDateItem *selected = selectedItem(strip);
        QVERIFY(selected);
        QCOMPARE(selected->date(), to);
        QVERIFY(selected->x() >= 0 && selected->x() + selected->width() <= strip.width());
    }

    void futureDaysAndRecordMarks()
    {
        QRecordCalenderBar strip;
        const QDate today = QDate::currentDate();
        for (CDateItem *item : strip.items()) {
            const QString expected = item->date() == today ? "selected"
                : item->date() > today                     ? "future"
                                                           : "normal";
            QCOMPARE(item->status(), expected);
        }
        strip.moveDays(1);
        strip.moveDays(-1);
        if (CDateItem *tomorrow = strip.items().value(today.day()))
            QCOMPARE(tomorrow->status(), QString("future"));

        CalendarWidget calendar;
        const QDate shown(2026, 3, 14);
        calendar.setDate(shown);
        calendar.setRecord(2026, 3, 2, true);
        calendar.setRecord(2026, 4, 2, true);
        QVERIFY(calendar.calendar()->IsRecordMarkShown(QDate(2026, 3, 2)));
        QVERIFY(!calendar.calendar()->IsRecordMarkShown(QDate(2026, 4, 2)));
        QVERIFY(calendar.strip()->items().at(1)->property("HasRecord").toBool());
        calendar.clearRecord();
        QVERIFY(!calendar.calendar()->IsRecordMarkShown(QDate(2026, 3, 2)));
        QVERIFY(!calendar.strip()->items().at(1)->property("HasRecord").toBool());
    }

    void buttonsAndPopUpPick()
    {
        CalendarWidget calendar;
        calendar.resize(800, 40);
        calendar.show();
        const QDate start(2026, 3, 14);
        calendar.setDate(start);
        QCOMPARE(calendar.calendar()->text(), QString("2026/03"));
        QSignalSpy day(&calendar, &CalendarWidget::sgncalendarBarTimeChanged);
        QSignalSpy picked(&calendar, &CalendarWidget::sgncalendarPopDialogTimeChanged);
        auto *previous = calendar.findChild<QPushButton *>("previousBtn");
        auto *next = calendar.findChild<QPushButton *>("nextBtn");

        QTest::mousePress(previous, Qt::LeftButton);
        QCOMPARE(calendar.date(), start.addDays(-1));
        QTest::mouseRelease(previous, Qt::LeftButton);
        QTest::mousePress(next, Qt::LeftButton);
        QCOMPARE(calendar.date(), start.addDays(-1));
        QTest::mouseRelease(next, Qt::LeftButton);
        QCOMPARE(calendar.date(), start);
        QCOMPARE(day.count(), 2); // on the press, not again on the release
        QCOMPARE(day.last().at(0).toDateTime(), QDateTime(start, QTime(0, 0)));

        QDateTime chosen(QDate(2026, 2, 27), QTime(15, 30));
        calendar.calendarPopDialogTimeChanged(chosen);
        QCOMPARE(picked.at(0).at(0).toDateTime(), QDateTime(QDate(2026, 2, 27), QTime(0, 0)));
        QCOMPARE(calendar.calendar()->text(), QString("2026/02"));
        QDateTime from, to;
        calendar.calendar()->DateTimeRange(from, to);
        QCOMPARE(to, QDateTime(QDate(2026, 2, 27), QTime(23, 59, 59)));
    }

    void loadingOverlayIsOnlyOne()
    {
        QRecordCalenderBar strip;
        const QDate today = QDate::currentDate();
        strip.setLoading(today, true);
        strip.setLoading(today, true);
        QCOMPARE(strip.findChildren<QMovie *>().size(), 1);
        strip.setLoading(today, false);
        QCOMPARE(strip.findChildren<QMovie *>().size(), 0);
    }
};

QTEST_MAIN(tst_RecordCalendar)
#include "tst_RecordCalendar.moc"
