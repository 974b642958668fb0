#pragma once

#include <cstdint>
#include <vector>

namespace StreamCore {

// Picks the samples at fixed columns out of rows of a picture plane: the horizontal half of
// nearest-neighbour scaling. Where the processor can shuffle bytes (SSSE3, checked when the
// program runs) and the columns of 16 neighbouring samples lie within 64 bytes (shrinking by
// up to four), 16 samples take one to four loads and shuffles instead of 16 loads of a column
// and a sample each; the rest is picked one by one.
class RowGather
{
public:
    // The columns to pick, in order, from rows of planeWidth bytes.
    void setColumns(std::vector<int> columns, int planeWidth);
    const std::vector<int> &columns() const { return m_columns; }
    // Writes the row's samples at the columns to `out`.
    void gather(const uint8_t *row, uint8_t *out) const;

private:
    // 16 samples from the `loads` times 16 bytes at `offset`: a byte mask for each 16 bytes.
    struct Chunk
    {
        int offset;
        int loads;
        uint8_t masks[4][16];
    };

    std::vector<int> m_columns;
    std::vector<Chunk> m_chunks; // for the first 16 * size() columns
};

} // namespace StreamCore
