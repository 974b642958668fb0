// The digital zoom's mapping between window points and picture points.
#include "CommonUI/VideoWnd/ZoomMapping.h"

#include <QtTest>

class tst_ZoomMapping : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The picture point under the cursor stays under it through wheel steps, wherever the
    // cursor is and also at the limits; the part shown never leaves the picture.
    void cursorKeepsItsPicturePoint_data()
    {
        QTest::addColumn<QPointF>("cursor");
        QTest::addColumn<QList<double>>("steps");
        QTest::addColumn<double>("factor");

        const QList<double> in {1.25, 1.25, 1.25};
        QTest::newRow("centre") << QPointF(320, 180) << in << 1.953125;
        QTest::newRow("top left corner") << QPointF(0, 0) << in << 1.953125;
        QTest::newRow("near the right edge") << QPointF(600, 40) << in << 1.953125;
        QTest::newRow("in and out again") << QPointF(100, 300) << QList<double> {2, 2, 0.5} << 2.0;
        QTest::newRow("not beyond 8x")
            << QPointF(200, 100) << QList<double> {4, 4} << ZoomMapping::kMaxFactor;
        QTest::newRow("not below 1x") << QPointF(200, 100) << QList<double> {2, 0.25} << 1.0;
    }

    void cursorKeepsItsPicturePoint()
    {
        QFETCH(QPointF, cursor);
        QFETCH(QList<double>, steps);
        QFETCH(double, factor);
        const QSizeF window(640, 360);
        ZoomMapping zoom;
        for (double step : steps) {
            const QPointF before = zoom.toPicture(cursor, window);
            zoom.zoomAt(cursor, window, step);
            QVERIFY(QLineF(zoom.toPicture(cursor, window), before).length() < 1e-9);
            QVERIFY(QRectF(0, 0, 1, 1).contains(zoom.region()));
        }
        QCOMPARE(zoom.factor(), factor);
        QCOMPARE(zoom.toWindow(zoom.toPicture(cursor, window), window), cursor);
    }

    // A drag moves the picture with the pointer and stops at its edges, and so does zooming out
    // beside an edge; 1:1 shows the picture whole.
    void dragPansWithinThePicture()
    {
        const QSizeF window(640, 360);
        ZoomMapping zoom;
        zoom.panBy(QPointF(50, 50), window);
        QCOMPARE(zoom.region(), QRectF(0, 0, 1, 1));
        zoom.zoomAt(QPointF(320, 180), window, 4);
        const QPointF grabbed = zoom.toPicture(QPointF(300, 200), window);
        zoom.panBy(QPointF(40, -20), window);
        QCOMPARE(zoom.toWindow(grabbed, window), QPointF(340, 180));
        zoom.panBy(QPointF(-5000, -5000), window);
        QCOMPARE(zoom.region(), QRectF(0.75, 0.75, 0.25, 0.25));
        zoom.zoomAt(QPointF(320, 180), window, 0.5);
        QCOMPARE(zoom.region(), QRectF(0.5, 0.5, 0.5, 0.5));
        zoom.reset();
        QVERIFY(!zoom.isZoomed());
    }
};

QTEST_APPLESS_MAIN(tst_ZoomMapping)
#include "tst_ZoomMapping.moc"
