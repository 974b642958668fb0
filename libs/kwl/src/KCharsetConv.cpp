#include "kwl/KCharsetConv.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool isContinuation(unsigned char c)
{
    return (c & 0xC0) == 0x80;
}

// Reads one code point at p (p < end) and advances p past what was read. An invalid
// sequence yields U+FFFD and consumes its first byte only, so resynchronisation is immediate.
char32_t decodeUtf8(const unsigned char *&p, const unsigned char *end)
{
    const unsigned char lead = *p++;
    if (lead < 0x80)
        return lead;
    int extra;
    char32_t cp;
    char32_t minimum;
    if ((lead & 0xE0) == 0xC0) {
        extra = 1, cp = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        extra = 2, cp = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        extra = 3, cp = lead & 0x07, minimum = 0x10000;
    } else {
        return kReplacement;
    }
    if (end - p < extra)
        return kReplacement;
    for (int i = 0; i < extra; ++i) {
        if (!isContinuation(p[i]))
            return kReplacement;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return kReplacement;
    p += extra;
    return cp;
}

char16_t readUnit(const unsigned char *p)
{
    char16_t unit;
    std::memcpy(&unit, p, sizeof unit); // input need not be aligned
    return unit;
}

// Reads one code point of native-order UTF-16 at p (p < end), advancing p.
char32_t decodeUtf16(const unsigned char *&p, const unsigned char *end)
{
    if (end - p < 2) {
        p = end;
        return kReplacement;
    }
    const char16_t first = readUnit(p);
    p += 2;
    if (first < 0xD800 || first > 0xDFFF)
        return first;
    if (first >= 0xDC00 || end - p < 2)
        return kReplacement;
    const char16_t second = readUnit(p);
    if (second < 0xDC00 || second > 0xDFFF)
        return kReplacement;
    p += 2;
    return 0x10000 + ((static_cast<char32_t>(first) - 0xD800) << 10) + (second - 0xDC00);
}

// Encodes cp into buf; returns the bytes used.
int encodeUtf8(char32_t cp, unsigned char *buf)
{
    if (cp < 0x80) {
        buf[0] = static_cast<unsigned char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        buf[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
        buf[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        buf[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
        buf[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
        buf[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 3;
    }
    buf[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
    buf[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
    buf[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
    buf[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    return 4;
}

int encodeUtf16(char32_t cp, unsigned char *buf)
{
    char16_t units[2];
    int count = 1;
    if (cp < 0x10000) {
        units[0] = static_cast<char16_t>(cp);
    } else {
        cp -= 0x10000;
        units[0] = static_cast<char16_t>(0xD800 + (cp >> 10));
        units[1] = static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        count = 2;
    }
    std::memcpy(buf, units, sizeof(char16_t) * count);
    return static_cast<int>(sizeof(char16_t)) * count;
}

bool knownPage(int page)
{
    return page == KCharsetConv::CodePageUtf8 || page == KCharsetConv::CodePageUtf16;
}

} // namespace

int KCharsetConv::SetCodePage(int from, int to)
{
    if (!knownPage(from) || !knownPage(to))
        return -1;
    m_from = from;
    m_to = to;
    return 0;
}

int KCharsetConv::Convert(const void *in, int inBytes, void *out, int outBytes) const
{
    if (!m_from || !m_to)
        return -1;
    if (!in || inBytes <= 0 || !out || outBytes <= 0)
        return 0;
    auto *p = static_cast<const unsigned char *>(in);
    const unsigned char *end = p + inBytes;
    auto *dst = static_cast<unsigned char *>(out);
    int written = 0;
    while (p < end) {
        const char32_t cp = m_from == CodePageUtf8 ? decodeUtf8(p, end) : decodeUtf16(p, end);
        unsigned char encoded[4];
        const int n = m_to == CodePageUtf8 ? encodeUtf8(cp, encoded) : encodeUtf16(cp, encoded);
        if (written + n > outBytes)
            break;
        std::memcpy(dst + written, encoded, static_cast<size_t>(n));
        written += n;
    }
    return written;
}

std::u16string KCharsetConv::Utf8ToUtf16(std::string_view text)
{
    KCharsetConv conv;
    conv.SetCodePage(CodePageUtf8, CodePageUtf16);
    // Every UTF-8 byte gives at most one UTF-16 unit.
    std::u16string result(text.size(), u'\0');
    const int bytes = conv.Convert(text.data(), static_cast<int>(text.size()), result.data(),
                                   static_cast<int>(result.size() * sizeof(char16_t)));
    result.resize(static_cast<size_t>(bytes) / sizeof(char16_t));
    return result;
}

std::string KCharsetConv::Utf16ToUtf8(std::u16string_view text)
{
    KCharsetConv conv;
    conv.SetCodePage(CodePageUtf16, CodePageUtf8);
    // Every UTF-16 unit gives at most three UTF-8 bytes (a pair gives four for two units).
    std::string result(text.size() * 3, '\0');
    const int bytes = conv.Convert(text.data(), static_cast<int>(text.size() * sizeof(char16_t)),
                                   result.data(), static_cast<int>(result.size()));
    result.resize(static_cast<size_t>(bytes));
    return result;
}
