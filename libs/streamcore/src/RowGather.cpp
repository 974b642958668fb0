#include "RowGather.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define STREAMCORE_SHUFFLES 1
#endif

namespace StreamCore {

namespace {

constexpr int kChunk = 16;
constexpr int kMaxLoads = 4;
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
        __m128i picked = _mm_setzero_si128();
        for (int load = 0; load < chunks[i].loads; ++load) {
            const __m128i bytes
                = _mm_loadu_si128(reinterpret_cast<const __m128i *>(from + load * kChunk));
            const __m128i mask
                = _mm_loadu_si128(reinterpret_cast<const __m128i *>(chunks[i].masks[load]));
            picked = _mm_or_si128(picked, _mm_shuffle_epi8(bytes, mask));
        }
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + i * kChunk), picked);
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
        Chunk chunk {m_columns[first], 0, {}};
        chunk.loads = (m_columns[first + kChunk - 1] - chunk.offset) / kChunk + 1;
        // The loads must stay inside the row.
        if (chunk.loads > kMaxLoads || chunk.offset + chunk.loads * kChunk > planeWidth)
            break;
        std::memset(chunk.masks, kNone, sizeof chunk.masks);
        for (int i = 0; i < kChunk; ++i) {
            const int at = m_columns[first + size_t(i)] - chunk.offset;
            chunk.masks[at / kChunk][i] = uint8_t(at % kChunk);
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
