#include "CommonUI/VideoFrame/SplitGeometry.h"

namespace SplitGeometry {

namespace {

// Pixel offset of grid line k when `cells` cells share `span` pixels, the first `span % cells`
// cells one pixel larger.
int gridLine(int k, int span, int cells)
{
    const int size = span / cells;
    const int rest = span % cells;
    return k <= rest ? k * (size + 1) : k * size + rest;
}

} // namespace

int splitModeOf(int count)
{
    switch (count) {
    case 1:
        return 0;
    case 6:
        return 2;
    case 8:
        return 3;
    case 9:
        return 4;
    case 16:
        return 6;
    default:
        return 1;
    }
}

QVector<int> cellMap(const WndSplitEntry_t &entry)
{
    QVector<int> cells(WndSplitEntry_t::kMaxCells, 0);
    const int gridCells = qMin(entry.row * entry.col, int(WndSplitEntry_t::kMaxCells));
    const int windows = qMin(entry.count, int(WndSplitEntry_t::kMaxCells));
    for (int k = 1; k < windows; ++k) {
        for (int c = cells[k - 1] + 1; c < gridCells; ++c) {
            if (entry.cells[c].enable) {
                cells[k] = c;
                break;
            }
        }
    }
    return cells;
}

QRectF wndRect(const WndSplitEntry_t &entry, int cell, const QRectF &frame)
{
    if (entry.row < 1 || entry.col < 1 || cell < 0 || cell >= WndSplitEntry_t::kMaxCells)
        return QRectF();
    const WndSplitCell_t &c = entry.cells[cell];
    const int w = int(frame.width()) - 1;
    const int h = int(frame.height()) - 1;
    const qreal left = frame.left() + gridLine(c.x1, w, entry.col);
    const qreal top = frame.top() + gridLine(c.y1, h, entry.row);
    const qreal right = frame.left() + gridLine(c.x2, w, entry.col);
    const qreal bottom = frame.top() + gridLine(c.y2, h, entry.row);
    return QRectF(QPointF(left, top), QPointF(right, bottom));
}

int autoSplitCount(int current, int free, int n)
{
    if (current >= 16 || free >= n)
        return current;
    switch (current) {
    case 1:
    case 4:
    case 6:
    case 8:
    case 9: {
        // Windows before the selected one stay as they are; the new channels need the rest.
        const int needed = current - free + n;
        for (int count : {4, 6, 8, 9}) {
            if (count > current && needed <= count)
                return count;
        }
        return 16;
    }
    default:
        return current;
    }
}

} // namespace SplitGeometry
