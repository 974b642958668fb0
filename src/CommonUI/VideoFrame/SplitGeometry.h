#pragma once

#include "WndSplitEntry.h"

#include <QRectF>
#include <QVector>

// The arithmetic of split frames, free of windows: which layout entry a window count uses, which
// cell each window of an entry takes, where a window lies inside a frame rectangle, and which
// split a frame needs to open more channels than it has free windows.
namespace SplitGeometry {

// Layout index of a window count: 1 → 0, 4 → 1, 6 → 2, 8 → 3, 9 → 4, 16 → 6, other → 1.
int splitModeOf(int count);

// Cell index of each window of the entry (64 entries): window 0 in cell 0, each following
// window in the next enabled cell after its predecessor's (cell 0 when there is none).
QVector<int> cellMap(const WndSplitEntry_t &entry);

// The rectangle of the window lying in cell `cell` of the entry, inside frame. The grid covers
// (width - 1) × (height - 1) pixels; the first (width - 1) % col columns (and rows likewise) are
// one pixel wider than the others. A null rectangle for a cell outside the grid.
QRectF wndRect(const WndSplitEntry_t &entry, int cell, const QRectF &frame);

// The window count of the split that opening n channels from the selected window needs, given
// the current count and the windows from the selected one to the end (free); the current count
// when nothing must change. In effect the smallest standard split holding selected + n windows.
int autoSplitCount(int current, int free, int n);

} // namespace SplitGeometry
