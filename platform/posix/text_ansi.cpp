// The stand-in's ANSI code page is Windows-1252, the one a Western Windows system uses. The five
// bytes the code page leaves undefined map to the C1 controls of the same value, as the system's
// table does: every byte survives a round trip, so a UTF-8 file read as ANSI and written back
// keeps its bytes.
#include "platform/text.h"

#include <algorithm>

namespace platform {

namespace {
const char16_t k1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
}  // namespace

std::string AnsiToUtf8(std::string_view bytes) {
    std::u16string u;
    u.reserve(bytes.size());
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        u += (b >= 0x80 && b < 0xA0) ? k1252High[b - 0x80] : static_cast<char16_t>(b);
    }
    return Utf16ToUtf8(u);
}

std::string Utf8ToAnsi(std::string_view text) {
    // Plain ASCII (every form and report we send) is the same bytes in both: no per-character
    // work for a body of megabytes.
    if (std::all_of(text.begin(), text.end(), [](char c) { return (c & 0x80) == 0; }))
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (char16_t c : Utf8ToUtf16(text)) {
        if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
            out += static_cast<char>(c);
            continue;
        }
        char mapped = '?';
        for (int i = 0; i < 32; ++i)
            if (k1252High[i] == c) mapped = static_cast<char>(0x80 + i);
        out += mapped;
    }
    return out;
}

}  // namespace platform
