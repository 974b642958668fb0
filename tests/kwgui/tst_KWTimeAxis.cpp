#include <KWGui/KWTimeAxis.h>
#include <KWGui/TimeAxisMapping.h>

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
    // At every zoom level the view stays inside the span, however far it is zoomed or panned
    // (the widget tests check zoom at the cursor and the drag distances).
    void viewStaysInsideTheSpanAtEveryZoomLevel()
    {
        TimeAxisMapping mapping = playbackMapping(kWidth);
        for (int level = 0; level < TimeAxisMapping::kLevelCount; ++level) {
            mapping.setLevel(level, kSpanEnd + kHour);
            QCOMPARE(mapping.viewEnd(), kSpanEnd);
            QVERIFY(mapping.panBy(-1e7) < 0);
            QCOMPARE(mapping.viewStart(), kSpanStart);
            mapping.zoomAround(kWidth * 0.37, 0.001);
            QVERIFY(mapping.viewLength() >= TimeAxisMapping::kMinViewMs);
            mapping.zoomAround(0, 1000);
            QCOMPARE(mapping.viewEnd() - mapping.viewStart(), kSpanEnd - kSpanStart);
        }
    }

    // Double clicks and the indicator's drag through the time bar: tst_TimeBar.
    void dragPastTheSpanAsksBeyondOneDayAndWheelZoomsAtTheCursor()
    {
        KWTimeAxis axis;
        axis.resize(kWidth, 29);
        axis.Init(kSpanStart, kSpanEnd, true);
        axis.show();
        axis.SetTimeAxisScale(3);
        QSignalSpy beyond(&axis, &KWTimeAxis::sgnProgressBarBeyondOneDay);
        const qint64 viewStart = axis.mapping().viewStart();
        drag(&axis, 320, 300); // a drag inside the span pans the view
        const double panned = axis.mapping().viewStart() - viewStart;
        QVERIFY2(qAbs(panned - 20 * axis.mapping().msPerPixel()) <= 2,
                 qPrintable(QString::number(panned)));
        QCOMPARE(beyond.count(), 0);
        axis.SetTimeAxisScale(0);
        drag(&axis, 100, 400);
        QCOMPARE(beyond.count(), 1);
        const qint64 asked = beyond.at(0).at(0).toLongLong();
        QVERIFY(asked < kSpanStart);
        QCOMPARE(beyond.at(0).at(1).toLongLong() - asked, kSpanEnd - kSpanStart);

        const qint64 under = axis.mapping().timeAt(500);
        QWheelEvent wheel(QPointF(500, 10), QPointF(axis.mapToGlobal(QPoint(500, 10))), {},
                          {0, 240}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&axis, &wheel);
        QVERIFY(axis.mapping().viewLength() < kSpanEnd - kSpanStart);
        QVERIFY(qAbs(axis.mapping().timeAt(500) - under) <= axis.mapping().msPerPixel());
    }
};

QTEST_MAIN(tst_KWTimeAxis)
#include "tst_KWTimeAxis.moc"
