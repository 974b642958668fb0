#include "CalendarWidget.h"
#include "QTimeProgressBar.h"

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
} // namespace

class tst_QTimeProgressBar : public QObject
{
    Q_OBJECT

private slots:
    void layoutAndScrolling()
    {
        QTimeProgressBar bar;
        bar.resize(800, 160);
        bar.show();
        QCOMPARE(bar.axis(0)->geometry(), QRect(140, 40, 645, 29));
        QCOMPARE(bar.serialLabel(3)->text(), QString("4"));
        QVERIFY(bar.axis(3)->isVisible() && !bar.axis(4)->isVisible());

        bar.scrollBar()->setValue(1);
        QCOMPARE(bar.firstVisibleRow(), 1);
        QVERIFY(!bar.axis(0)->isVisible() && bar.axis(4)->isVisible());
        bar.scrollBar()->setValue(4);
        QCOMPARE(bar.axis(4)->geometry(), QRect(140, 40, 645, 29));
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
        QCOMPARE(bar.axis(0)->geometry(), QRect(0, 0, 800, 30));
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
        QVERIFY(bar.channelLabel(2)->text().endsWith(QChar(0x2026)));
        QCOMPARE(bar.channelLabel(2)->toolTip(), longName);

        QVERIFY(bar.serialLabel(0)->property("isSelected").toBool());
        bar.SelectRow(2);
        for (QWidget *w :
             {static_cast<QWidget *>(bar.serialLabel(2)),
              static_cast<QWidget *>(bar.channelLabel(2)), static_cast<QWidget *>(bar.axis(2))})
            QVERIFY(w->property("isSelected").toBool());
        QVERIFY(!bar.axis(0)->property("isSelected").toBool());

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
        QTest::mouseRelease(axis, Qt::LeftButton, {}, QPoint(300, 10));
        QCOMPARE(seek.at(0), QVariantList({2, int(secondsAt(axis, 300))}));

        emit axis->sgnProgressBarBeyondOneDay((start - 3600) * 1000, (start + 86400) * 1000);
        QCOMPARE(query.at(0), QVariantList({2, int(start - 3600), int(start + 86400)}));

        QVERIFY(bar.EnterOperMode(2, KWTimeAxis::MaskOper));
        emit axis->sgnMaskInterval(start * 1000, (start + 60) * 1000);
        QCOMPARE(masked,
                 QList<QDateTime>({QDateTime::fromSecsSinceEpoch(2),
                                   QDateTime::fromSecsSinceEpoch(start),
                                   QDateTime::fromSecsSinceEpoch(start + 60)}));
    }
};

QTEST_MAIN(tst_QTimeProgressBar)
#include "tst_QTimeProgressBar.moc"
