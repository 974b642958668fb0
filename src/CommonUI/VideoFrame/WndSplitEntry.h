#pragma once

#include <cstdint>

// One grid cell of a split layout. Grid lines run 0 … col across and 0 … row down.
struct WndSplitCell_t
{
    bool enable = false;  // the cell is the top-left cell of a window
    int32_t combine = 0;  // carried from the layout file, not used for geometry
    int32_t x1 = 0;       // left grid line of the window
    int32_t y1 = 0;       // top grid line
    int32_t x2 = 0;       // right grid line (x1 + 2 for a window two columns wide)
    int32_t y2 = 0;       // bottom grid line
};

// One split layout: a row × col grid and the windows laid on it. Cell i lies at row i / col,
// column i % col; only the first row × col cells are meaningful.
struct WndSplitEntry_t
{
    static constexpr int kMaxCells = 64;

    int32_t row = 0;
    int32_t col = 0;
    int32_t count = 0; // windows of this split
    WndSplitCell_t cells[kMaxCells];
};
