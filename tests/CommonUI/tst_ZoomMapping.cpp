// The digital zoom's mapping between window points and picture points.
#include "CommonUI/VideoWnd/ZoomMapping.h"

#include <QtTest>

class tst_ZoomMapping : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The picture point under the cursor stays under it through wheel steps, wherever the
    // cursor is and also at the limits; the part shown never leaves the picture.
    void cursorKeepsItsPicturePoint()
    {
        const QList<double> in {1.25, 1.25, 1.25};
        const struct
        {
            QPointF cursor;
            QList<double> steps;
            double factor;
        } rows[] = {{{320, 180}, in, 1.953125}, // centre
                    {{0, 0}, in, 1.953125}, // top left corner
                    {{600, 40}, in, 1.953125}, // near the right edge
                    {{100, 300}, {2, 2, 0.5}, 2.0}, // in and out again
                    {{200, 100}, {4, 4}, ZoomMapping::kMaxFactor}, // not beyond 8x
                    {{200, 100}, {2, 0.25}, 1.0}}; // not below 1x
        const QSizeF window(640, 360);
        for (const auto &row : rows) {
            ZoomMapping zoom;
            for (double step : row.steps) {
                const QPointF before = zoom.toPicture(row.cursor, window);
                zoom.zoomAt(row.cursor, window, step);
                QVERIFY(QLineF(zoom.toPicture(row.cursor, window), before).length() < 1e-9);
                QVERIFY(QRectF(0, 0, 1, 1).contains(zoom.region()));
            }
            QCOMPARE(zoom.factor(), row.factor);
            QCOMPARE(zoom.toWindow(zoom.toPicture(row.cursor, window), window), row.cursor);
        }
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
