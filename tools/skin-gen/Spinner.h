#pragma once

#include <QColor>
#include <QImage>
#include <QVector>

// The frames of a waiting animation: a ring of dots whose brightness runs round, drawn in shades
// between a background and a colour, so that 256 shades of that line render it exactly.
class Spinner
{
public:
    static constexpr int kFrames = 12;
    static constexpr int kFrameMs = 80;

    Spinner(int size, const QColor &background, const QColor &colour);

    // The 256 shades from the background (index 0) to the colour (index 255).
    QVector<QRgb> palette() const;
    // Frame index (0 to kFrames - 1), opaque, size × size.
    QImage frame(int index) const;

private:
    QColor shade(qreal amount) const;

    int m_size;
    QColor m_background;
    QColor m_colour;
};
