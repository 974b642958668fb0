#pragma once

#include <string>
#include <string_view>

// Converts text between UTF-8 (code page 1) and UTF-16 in the machine's byte order (code page
// 2). Invalid input (broken or overlong UTF-8, lone surrogates, a dangling odd byte) becomes
// U+FFFD; the converter never reads before `in` or past `in + inBytes` and never writes past
// `out + outBytes`.
class KCharsetConv
{
public:
    enum CodePage { CodePageUtf8 = 1, CodePageUtf16 = 2 };

    // Chooses the direction; returns 0, or -1 when either page is unknown.
    int SetCodePage(int from, int to);
    // Converts inBytes bytes of `in` into `out`, writing only whole characters that fit in
    // outBytes; returns the bytes written, or -1 before a valid SetCodePage.
    int Convert(const void *in, int inBytes, void *out, int outBytes) const;

    static std::u16string Utf8ToUtf16(std::string_view text);
    static std::string Utf16ToUtf8(std::u16string_view text);

private:
    int m_from = 0;
    int m_to = 0;
};
