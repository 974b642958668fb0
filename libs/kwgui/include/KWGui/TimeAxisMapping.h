#pragma once

#include <QtGlobal>

namespace KWGUI {

// Pixel <-> time mapping of a time axis: of the span [spanStart, spanEnd] (milliseconds since
// 1970) the view [viewStart, viewStart + viewLength] is drawn across width pixels. The view never
// leaves the span and is never shorter than kMinViewMs; pure arithmetic, no widget.
class TimeAxisMapping
{
public:
    static constexpr qint64 kMinViewMs = 5 * 60 * 1000;
    // Visible lengths of the zoom levels after level 0 (the whole span): from a day to minutes.
    static constexpr int kLevelCount = 8;

    // Sets the span (a reversed span is turned round, an empty one made kMinViewMs long) and
    // shows all of it.
    void setSpan(qint64 start, qint64 end);
    // Width in pixels of the drawn view; at least 1.
    void setWidth(int width);

    qint64 spanStart() const { return m_spanStart; }
    qint64 spanEnd() const { return m_spanEnd; }
    qint64 viewStart() const { return m_viewStart; }
    qint64 viewLength() const { return m_viewLength; }
    qint64 viewEnd() const { return m_viewStart + m_viewLength; }
    int width() const { return m_width; }
    double msPerPixel() const { return double(m_viewLength) / m_width; }

    // Time under pixel x (may lie outside the view when x lies outside the width).
    qint64 timeAt(double x) const;
    // Pixel of time t (outside [0, width] when t is outside the view).
    double xAt(qint64 t) const;

    // Shows length milliseconds from start, clamped into the span.
    void setView(qint64 start, qint64 length);
    // Multiplies the view length by factor (< 1 zooms in) keeping the time under x where it is,
    // as far as the span allows.
    void zoomAround(double x, double factor);
    // Zoom level 0 is the whole span, 1 … kLevelCount - 1 ever shorter views, centred on t.
    void setLevel(int level, qint64 centre);
    // Visible length of a zoom level within this span.
    qint64 levelLength(int level) const;
    // Moves the view dx pixels to the right (the content moves left). Returns how many
    // milliseconds the wish went past the span (negative before its start), 0 when it fitted.
    qint64 panBy(double dx);

private:
    qint64 clampedLength(qint64 length) const;

    qint64 m_spanStart = 0;
    qint64 m_spanEnd = 24 * 3600 * 1000LL;
    qint64 m_viewStart = 0;
    qint64 m_viewLength = 24 * 3600 * 1000LL;
    int m_width = 1;
};

} // namespace KWGUI
