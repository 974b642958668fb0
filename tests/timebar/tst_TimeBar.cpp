// The playback time bar: its rows, scrolling, names and signals, and the record calendar above
// it (the day strip, record marks, the day buttons and the pop-up).
#include "CDateItem.h"
#include "CalendarWidget.h"
#include "QRecordCalenderBar.h"
#include "QTimeProgressBar.h"

#include <KWGui/KWDateTimeCalendar.h>
#include <KWGui/KWVerScrollBar.h>

#include <QtTest>
#include <QtWidgets>

using KWGUI::KWTimeAxis;

namespace {
const QDateTime kDay(QDate(2026, 3, 14), QTime(0, 0));

qint64 secondsAt(const KWTimeAxis *axis, int x)
{
    return axis->mapping().timeAt(x) / 1000;
}

CDateItem *selectedItem(const QRecordCalenderBar &strip)
{
    for (CDateItem *item : strip.items()) {
        if (item->status() == "selected")
            return item;
    }
    return nullptr;
}
} // namespace

class tst_TimeBar : public QObject
{
    Q_OBJECT

private slots:
    void scrollingShowsTheRows()
    {
        QTimeProgressBar bar;
        bar.resize(800, 160);
        bar.show();
        QCOMPARE(bar.serialLabel(3)->text(), QString("4"));
        QVERIFY(bar.axis(3)->isVisible() && !bar.axis(4)->isVisible());

        bar.scrollBar()->setValue(1);
        QCOMPARE(bar.firstVisibleRow(), 1);
        QVERIFY(!bar.axis(0)->isVisible() && bar.axis(4)->isVisible());
        QCOMPARE(bar.scrollBar()->maximum(), 12);

        bar.onSplitWnd(4);
        QCOMPARE(bar.scrollBar()->maximum(), 0);
        QCOMPARE(bar.firstVisibleRow(), 0);
        QVERIFY(bar.axis(0)->isVisible() && !bar.axis(4)->isVisible());
    }

    void singleRowIsOneBar()
    {
        QTimeProgressBar bar(16, true);
        bar.resize(800, 30);
        bar.show();
        QVERIFY(!bar.axis(1) && !bar.calendar()->isVisible());
        QCOMPARE(bar.AddTimeInterval(1, 0, 0, 10), -1);
        QVERIFY(!bar.SetQueryStartTime(5, 0));
        QCOMPARE(bar.GetPlayIndicatorTime(3), qint64(0));
    }

    void channelNamesAndSelection()
    {
        QTimeProgressBar bar;
        const QString longName = "Warehouse north gate loading dock camera 12";
        bar.SetChannelName(2, longName);
        QCOMPARE(bar.channelLabel(2)->toolTip(), longName);
        bar.SelectRow(2);

        QSignalSpy day(&bar, &QTimeProgressBar::sgnProgressBarCalendarBarTimeChanged);
        QSignalSpy live(&bar, &QTimeProgressBar::sgnStartRealPlay);
        bar.calendar()->calendarBarTimeChanged(QDate(2026, 3, 1));
        bar.calendar()->startRealPlay();
        QCOMPARE(day.at(0), QVariantList({2, QDateTime(QDate(2026, 3, 1), QTime(0, 0))}));
        QCOMPARE(live.at(0), QVariantList({2}));
    }

    // Every axis signal reaches the playback as (row, seconds).
    void signalsCarryTheRowAndSeconds()
    {
        QTimeProgressBar bar;
        bar.resize(800, 160);
        bar.show();
        const qint64 start = kDay.toSecsSinceEpoch();
        bar.SetTimeRange(2, start, start + 86400);
        bar.UpdatePlayIndicator(2, start + 3600);
        KWTimeAxis *axis = bar.axis(2);
        QSignalSpy doubleClicked(&bar, &QTimeProgressBar::sgnProgressBarDoubleClicked);
        QSignalSpy seek(&bar, &QTimeProgressBar::sgnProgressBarSeekVideo);
        QSignalSpy query(&bar, &QTimeProgressBar::sgnProgressBarQueryRecord);
        QList<QDateTime> masked;
        connect(&bar, &QTimeProgressBar::sgnProgressBarMaskVideo, this,
                [&](int row, QDateTime &from, QDateTime &to) {
                    masked = {QDateTime::fromSecsSinceEpoch(row), from, to};
                });

        QSignalSpy rightClicked(&bar, &QTimeProgressBar::sgnProgressBarRightClicked);
        QTest::mouseClick(axis, Qt::RightButton, {}, QPoint(200, 10));
        QCOMPARE(rightClicked.at(0), QVariantList({2}));
        QTest::mouseDClick(axis, Qt::LeftButton, {}, QPoint(200, 10));
        QCOMPARE(doubleClicked.at(0), QVariantList({2, int(secondsAt(axis, 200))}));

        const int indicatorX = qRound(axis->mapping().xAt((start + 3600) * 1000));
        QTest::mousePress(axis, Qt::LeftButton, {}, QPoint(indicatorX, 10));
        QMouseEvent move(QEvent::MouseMove, QPointF(300, 10), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(axis, &move);
        QCOMPARE(seek.size(), 0); // once, on the release
        QTest::mouseRelease(axis, Qt::LeftButton, {}, QPoint(300, 10));
        QCOMPARE(seek, QList<QVariantList>({{2, int(secondsAt(axis, 300))}}));
        QCOMPARE(axis->GetPlayIndicatorTime(), axis->mapping().timeAt(300));
        QCOMPARE(query.size(), 0); // the indicator's drag moves no view

        emit axis->sgnProgressBarBeyondOneDay((start - 3600) * 1000, (start + 86400) * 1000);
        QCOMPARE(query.at(0), QVariantList({2, int(start - 3600), int(start + 86400)}));

        QVERIFY(bar.EnterOperMode(2, KWTimeAxis::MaskOper));
        emit axis->sgnMaskInterval(start * 1000, (start + 60) * 1000);
        QCOMPARE(masked,
                 QList<QDateTime>({QDateTime::fromSecsSinceEpoch(2),
                                   QDateTime::fromSecsSinceEpoch(start),
                                   QDateTime::fromSecsSinceEpoch(start + 60)}));
    }

    void stripAcrossMonthEndsAndLeapDays()
    {
        const struct
        {
            QDate from;
            int days;
            QDate to;
        } rows[] = {{{2024, 2, 29}, 1, {2024, 3, 1}}, // leap day to March
                    {{2023, 2, 28}, 1, {2023, 3, 1}}, // no leap day
                    {{2026, 1, 1}, -1, {2025, 12, 31}}, // back over new year
                    {{2025, 5, 2}, 20, {2025, 5, 22}}}; // off the visible cells
        for (const auto &row : rows) {
            QRecordCalenderBar strip;
            strip.resize(7 * strip.dateItemWidth(), strip.dateItemHight());
            strip.setCurrentDate(row.from);
            QSignalSpy changed(&strip, &QRecordCalenderBar::currentDateChanged);
            strip.moveDays(row.days);
            QCOMPARE(changed, QList<QVariantList>({{row.to}}));
            QCOMPARE(strip.items().size(), row.to.daysInMonth());
            QCOMPARE(strip.items().first()->date(), QDate(row.to.year(), row.to.month(), 1));
            CDateItem *selected = selectedItem(strip);
            QVERIFY(selected);
            QCOMPARE(selected->date(), row.to);
        }
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
};

QTEST_MAIN(tst_TimeBar)
#include "tst_TimeBar.moc"
