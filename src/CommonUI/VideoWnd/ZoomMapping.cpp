#include "CommonUI/VideoWnd/ZoomMapping.h"

#include <QtGlobal>

void ZoomMapping::zoomAt(const QPointF &at, const QSizeF &window, double step)
{
    if (window.isEmpty() || step <= 0)
        return;
    const QPointF fixed = toPicture(at, window);
    const double factor = qBound(1.0, this->factor() * step, kMaxFactor);
    const double size = 1.0 / factor;
    const QPointF share(at.x() / window.width(), at.y() / window.height());
    m_region = QRectF(fixed.x() - share.x() * size, fixed.y() - share.y() * size, size, size);
    keepInside();
}

void ZoomMapping::panBy(const QPointF &delta, const QSizeF &window)
{
    if (window.isEmpty())
        return;
    m_region.translate(-delta.x() / window.width() * m_region.width(),
                       -delta.y() / window.height() * m_region.height());
    keepInside();
}

QPointF ZoomMapping::toPicture(const QPointF &at, const QSizeF &window) const
{
    return {m_region.x() + at.x() / window.width() * m_region.width(),
            m_region.y() + at.y() / window.height() * m_region.height()};
}

QPointF ZoomMapping::toWindow(const QPointF &picture, const QSizeF &window) const
{
    return {(picture.x() - m_region.x()) / m_region.width() * window.width(),
            (picture.y() - m_region.y()) / m_region.height() * window.height()};
}

void ZoomMapping::keepInside()
{
    m_region.moveLeft(qBound(0.0, m_region.x(), 1.0 - m_region.width()));
    m_region.moveTop(qBound(0.0, m_region.y(), 1.0 - m_region.height()));
}
