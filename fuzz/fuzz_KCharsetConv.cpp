// Any bytes, in either direction and any output size: no over-read, no over-write, and the
// result is always whole characters of the target encoding.
#include <kwl/KCharsetConv.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const bool toUtf16 = data[0] & 1;
    const int outBytes = data[1];
    data += 2;
    size -= 2;

    KCharsetConv conv;
    conv.SetCodePage(toUtf16 ? 1 : 2, toUtf16 ? 2 : 1);
    // Exact-size heap blocks so that the address sanitizer sees every stray access.
    std::unique_ptr<uint8_t[]> in(new uint8_t[size ? size : 1]);
    std::memcpy(in.get(), data, size);
    std::unique_ptr<uint8_t[]> out(new uint8_t[outBytes ? outBytes : 1]);
    const int written = conv.Convert(in.get(), static_cast<int>(size), out.get(), outBytes);
    if (written < 0 || written > outBytes || (toUtf16 && written % 2))
        std::abort();

    // What came out is valid: converting it back and forth again changes nothing.
    KCharsetConv back;
    back.SetCodePage(toUtf16 ? 2 : 1, toUtf16 ? 1 : 2);
    std::unique_ptr<uint8_t[]> again(new uint8_t[written * 2 + 4]);
    const int backBytes = back.Convert(out.get(), written, again.get(), written * 2 + 4);
    std::unique_ptr<uint8_t[]> twice(new uint8_t[outBytes ? outBytes : 1]);
    if (conv.Convert(again.get(), backBytes, twice.get(), outBytes) != written
        || std::memcmp(out.get(), twice.get(), static_cast<size_t>(written)) != 0)
        std::abort();
    return 0;
}
