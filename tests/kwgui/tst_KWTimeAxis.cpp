#include "TimeAxisTicks.h"
#include <KWGui/TimeAxisMapping.h>

#include <KWGui/KWDateTimeCalendar.h>
#include <KWGui/KWTimeAxis.h>

#include <QtTest>
#include <QtWidgets>

using namespace KWGUI;

namespace {
constexpr qint64 kHour = 3600 * 1000;
const QDateTime kDay(QDate(2026, 3, 14), QTime(0, 0));
// The playback span: 22:00 of the day before to 23:59:59 of the day.
const qint64 kSpanStart = kDay.toMSecsSinceEpoch() - 2 * kHour;
const qint64 kSpanEnd = kDay.toMSecsSinceEpoch() + 24 * kHour - 1000;
constexpr int kWidth = 645;

TimeAxisMapping playbackMapping(int width)
{
    TimeAxisMapping mapping;
    mapping.setSpan(kSpanStart, kSpanEnd);
    mapping.setWidth(width);
    return mapping;
}

struct AxisFixture
{
    AxisFixture()
    {
        axis.resize(kWidth, 29);
        axis.Init(kSpanStart, kSpanEnd, true);
        axis.show();
    }
    double xOf(qint64 t) const { return axis.mapping().xAt(t); }
    KWTimeAxis axis;
};

// QTest::mouseMove moves the cursor only; a drag needs move events with the button held.
void moveTo(QWidget *widget, int x)
{
    QMouseEvent move(QEvent::MouseMove, QPointF(x, 10), Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(widget, &move);
}

void drag(QWidget *widget, int fromX, int toX)
{
    QTest::mousePress(widget, Qt::LeftButton, {}, QPoint(fromX, 10));
    moveTo(widget, (fromX + toX) / 2);
    moveTo(widget, toX);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, QPoint(toX, 10));
}
} // namespace

class tst_KWTimeAxis : public QObject
{
    Q_OBJECT

private slots:
    void mappingAtEveryZoomLevel_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<qint64>("centre");
        QTest::addColumn<double>("cursor");
        for (int level = 0; level < TimeAxisMapping::kLevelCount; ++level) {
            QTest::addRow("level %d mid-day", level)
                << level << kDay.toMSecsSinceEpoch() + 12 * kHour << 0.37;
            QTest::addRow("level %d at span start", level) << level << kSpanStart << 0.0;
            QTest::addRow("level %d past span end", level) << level << kSpanEnd + kHour << 1.0;
        }
    }

    void mappingAtEveryZoomLevel()
    {
        QFETCH(int, level);
        QFETCH(qint64, centre);
        QFETCH(double, cursor);
        TimeAxisMapping mapping = playbackMapping(kWidth);
        mapping.setLevel(level, centre);
        QVERIFY(mapping.viewStart() >= kSpanStart && mapping.viewEnd() <= kSpanEnd);

        const double x = cursor * kWidth;
        const qint64 t = mapping.timeAt(x);
        QVERIFY(qAbs(mapping.xAt(t) - x) < 0.01);
        QCOMPARE(mapping.timeAt(mapping.xAt(t)), t);

        mapping.zoomAround(x, 0.8);
        QVERIFY(qAbs(mapping.timeAt(x) - t) <= qint64(mapping.msPerPixel()) + 1);
        QVERIFY(mapping.viewLength() >= TimeAxisMapping::kMinViewMs);

        mapping.zoomAround(x, 1000);
        QCOMPARE(mapping.viewStart(), kSpanStart);
        QCOMPARE(mapping.viewEnd(), kSpanEnd);
        mapping.setLevel(level, centre);
        QVERIFY(mapping.panBy(-1e7) < 0);
        QCOMPARE(mapping.viewStart(), kSpanStart);
        QVERIFY(mapping.panBy(1e7) > 0);
        QCOMPARE(mapping.viewEnd(), kSpanEnd);
    }

    void labelsNeverOverlap_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("pixelSize");
        QTest::newRow("time bar row") << kWidth << 9;
        QTest::newRow("narrow, large font") << 120 << 16;
        QTest::newRow("wide") << 1900 << 9;
    }

    void labelsNeverOverlap()
    {
        QFETCH(int, width);
        QFETCH(int, pixelSize);
        QFont font;
        font.setPixelSize(pixelSize);
        const QFontMetricsF metrics(font);
        TimeAxisMapping mapping = playbackMapping(width);
        const qint64 centre = kDay.toMSecsSinceEpoch() + 9 * kHour;
        for (double factor = 1; mapping.viewLength() > TimeAxisMapping::kMinViewMs; factor *= 0.9) {
            mapping.setView(centre - qint64(26 * kHour * factor) / 2, qint64(26 * kHour * factor));
            const QVector<TimeAxisLabel> labels
                = TimeAxisTicks::labels(mapping, metrics, 0, TimeAxisTicks::localOffsetMs(mapping));
            QVERIFY2(width < 200 || labels.size() >= 2, qPrintable(QString::number(factor)));
            for (int i = 0; i < labels.size(); ++i) {
                QVERIFY(labels[i].rect.left() >= 0 && labels[i].rect.right() <= width);
                QVERIFY(metrics.horizontalAdvance(labels[i].text) <= labels[i].rect.width());
                if (i > 0)
                    QVERIFY2(labels[i - 1].rect.right() + TimeAxisTicks::kLabelGap
                                 <= labels[i].rect.left() + 1e-9,
                             qPrintable(labels[i].text));
            }
        }
    }

    // Double clicks and the indicator through the time bar: tst_QTimeProgressBar.
    void indicatorDragReportsOnceOnRelease()
    {
        AxisFixture f;
        const qint64 play = kDay.toMSecsSinceEpoch() + 8 * kHour;
        f.axis.UpdatePlayIndicator(play);
        QSignalSpy dropped(&f.axis, &KWTimeAxis::sgnPlayIndicatorValueChanged);
        QSignalSpy beyond(&f.axis, &KWTimeAxis::sgnProgressBarBeyondOneDay);
        const int from = qRound(f.xOf(play));
        QTest::mousePress(&f.axis, Qt::LeftButton, {}, QPoint(from, 10));
        moveTo(&f.axis, from + 20);
        moveTo(&f.axis, from + 60);
        QCOMPARE(dropped.count(), 0);
        QTest::mouseRelease(&f.axis, Qt::LeftButton, {}, QPoint(from + 60, 10));
        QCOMPARE(dropped.count(), 1);
        QCOMPARE(dropped.at(0).at(0).toLongLong(), f.axis.mapping().timeAt(from + 60));
        QCOMPARE(f.axis.GetPlayIndicatorTime(), f.axis.mapping().timeAt(from + 60));
        QCOMPARE(f.axis.mapping().viewStart(), kSpanStart);
        QCOMPARE(beyond.count(), 0);
    }

    void dragPastTheSpanAsksBeyondOneDayAndWheelZoomsAtTheCursor()
    {
        AxisFixture f;
        f.axis.SetTimeAxisScale(3);
        QSignalSpy beyond(&f.axis, &KWTimeAxis::sgnProgressBarBeyondOneDay);
        const qint64 viewStart = f.axis.mapping().viewStart();
        drag(&f.axis, 320, 300); // a drag inside the span pans the view
        const double panned = f.axis.mapping().viewStart() - viewStart;
        QVERIFY2(qAbs(panned - 20 * f.axis.mapping().msPerPixel()) <= 2,
                 qPrintable(QString::number(panned)));
        QCOMPARE(beyond.count(), 0);
        f.axis.SetTimeAxisScale(0);
        drag(&f.axis, 100, 400);
        QCOMPARE(beyond.count(), 1);
        const qint64 asked = beyond.at(0).at(0).toLongLong();
        QVERIFY(asked < kSpanStart);
        QCOMPARE(beyond.at(0).at(1).toLongLong() - asked, kSpanEnd - kSpanStart);

        const qint64 under = f.axis.mapping().timeAt(500);
        QWheelEvent wheel(QPointF(500, 10), QPointF(f.axis.mapToGlobal(QPoint(500, 10))), {},
                          {0, 240}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&f.axis, &wheel);
        QVERIFY(f.axis.mapping().viewLength() < kSpanEnd - kSpanStart);
        QVERIFY(qAbs(f.axis.mapping().timeAt(500) - under) <= f.axis.mapping().msPerPixel());
    }

    // Paging the pop-up moves the record marks to the month it shows (the marks themselves:
    // tst_RecordCalendar).
    void calendarMarksFollowThePage()
    {
        KWDateTimeCalendar calendar;
        calendar.OnlyShowStartCalendar();
        QSignalSpy paged(&calendar, &KWDateTimeCalendar::SgnEndYearMonthChanged);
        calendar.SetSelDate(kDay, kDay.addSecs(86399));
        calendar.SetStartRecordDate(2026, 3, 31, true);
        calendar.SetStartRecordDate(2026, 4, 1, true);
        calendar.SetStartRecordDate(2026, 2, 30, true); // no such day: ignored
        calendar.ShowMonth(2026, 4);
        QCOMPARE(paged.count(), 1);
        QCOMPARE(paged.at(0), QVariantList({2026, 4}));
        QVERIFY(calendar.IsRecordMarkShown(QDate(2026, 4, 1)));
        QVERIFY(!calendar.IsRecordMarkShown(QDate(2026, 3, 31)));
    }
};

QTEST_MAIN(tst_KWTimeAxis)
#include "tst_KWTimeAxis.moc"
