#include "ParameterSets.h"

#include <QByteArray>

#include <vector>

namespace SimMedia {

namespace {

constexpr int kSps = 7;
constexpr int kPps = 8;

// Offsets of the start codes (00 00 01, possibly after one more 00) in the stream.
std::vector<size_t> startCodes(const uint8_t *data, size_t size)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i + 3 <= size; ++i) {
        if (data[i] == 0 && data[i + 1] == 0 && data[i + 2] == 1) {
            starts.push_back(i > 0 && data[i - 1] == 0 ? i - 1 : i);
            i += 2;
        }
    }
    return starts;
}

} // namespace

std::string ParameterSets::strip(const uint8_t *data, size_t size, std::string *sprop)
{
    const std::vector<size_t> starts = startCodes(data, size);
    std::string kept;
    std::string sets;
    for (size_t n = 0; n < starts.size(); ++n) {
        const size_t begin = starts[n];
        const size_t end = n + 1 < starts.size() ? starts[n + 1] : size;
        size_t header = begin;
        while (header < end && data[header] == 0)
            ++header;
        ++header; // the 01 of the start code
        const int type = header < end ? data[header] & 0x1F : -1;
        if (type == kSps || type == kPps) {
            const QByteArray unit(reinterpret_cast<const char *>(data + header),
                                  static_cast<int>(end - header));
            sets += (sets.empty() ? "" : ",") + unit.toBase64().toStdString();
        } else {
            kept.append(reinterpret_cast<const char *>(data + begin), end - begin);
        }
    }
    if (!sets.empty())
        *sprop = sets;
    return kept;
}

} // namespace SimMedia
