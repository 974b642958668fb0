#include "RowGather.h"

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define STREAMCORE_SHUFFLES 1
#endif

namespace StreamCore {

namespace {

constexpr int kChunk = 16;
constexpr uint8_t kNone = 0x80; // a mask byte that yields zero

#ifdef STREAMCORE_SHUFFLES
bool canShuffle()
{
    static const bool can = __builtin_cpu_supports("ssse3");
    return can;
}

template<typename Chunk>
__attribute__((target("ssse3"))) void shuffle(const uint8_t *row, const Chunk *chunks,
                                              size_t count, uint8_t *out)
{
    for (size_t i = 0; i < count; ++i) {
        const uint8_t *from = row + chunks[i].offset;
        const auto *masks = reinterpret_cast<const __m128i *>(chunks[i].masks);
        const __m128i low = _mm_shuffle_epi8(
            _mm_loadu_si128(reinterpret_cast<const __m128i *>(from)), _mm_loadu_si128(masks));
        const __m128i high
            = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(from + kChunk)),
                               _mm_loadu_si128(masks + 1));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i * kChunk), _mm_or_si128(low, high));
    }
}
#else
bool canShuffle()
{
    return false;
}
#endif

} // namespace

void RowGather::setColumns(std::vector<int> columns, int planeWidth)
{
    m_columns = std::move(columns);
    m_chunks.clear();
    if (!canShuffle())
        return;
    for (size_t first = 0; first + kChunk <= m_columns.size(); first += kChunk) {
        Chunk chunk {m_columns[first], {}};
        // Both loads must stay inside the row.
        if (chunk.offset + 2 * kChunk > planeWidth
            || m_columns[first + kChunk - 1] - chunk.offset >= 2 * kChunk)
            break;
        for (int i = 0; i < kChunk; ++i) {
            const int at = m_columns[first + size_t(i)] - chunk.offset;
            chunk.masks[i] = at < kChunk ? uint8_t(at) : kNone;
            chunk.masks[kChunk + i] = at < kChunk ? kNone : uint8_t(at - kChunk);
        }
        m_chunks.push_back(chunk);
    }
}

void RowGather::gather(const uint8_t *row, uint8_t *out) const
{
    size_t i = 0;
#ifdef STREAMCORE_SHUFFLES
    shuffle(row, m_chunks.data(), m_chunks.size(), out);
    i = m_chunks.size() * kChunk;
#endif
    const int *columns = m_columns.data();
    for (const size_t count = m_columns.size(); i < count; ++i)
        out[i] = row[columns[i]];
}

} // namespace StreamCore
