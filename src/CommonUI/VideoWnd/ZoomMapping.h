#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

// The digital zoom of one video window: which part of the picture fills the window. Points are
// given in window pixels (for a window of the given size), the part in fractions of the
// picture. Zooming keeps the picture point under the cursor where it is; the part never leaves
// the picture; the factor stays between 1 and kMaxFactor.
class ZoomMapping
{
public:
    static constexpr double kMaxFactor = 8.0;

    // The part of the picture shown: (0, 0, 1, 1) when not zoomed.
    QRectF region() const { return m_region; }
    double factor() const { return 1.0 / m_region.width(); }
    bool isZoomed() const { return m_region.width() < 1.0; }

    // Multiplies the factor by step around the window point at.
    void zoomAt(const QPointF &at, const QSizeF &window, double step);
    // Moves the picture by a drag of delta window pixels.
    void panBy(const QPointF &delta, const QSizeF &window);
    // Shows the whole picture again.
    void reset() { m_region = QRectF(0, 0, 1, 1); }

    // The picture point (fractions) under a window point, and back.
    QPointF toPicture(const QPointF &at, const QSizeF &window) const;
    QPointF toWindow(const QPointF &picture, const QSizeF &window) const;

private:
    // Puts the part back inside the picture.
    void keepInside();

    QRectF m_region {0, 0, 1, 1};
};
