// The text conversions every file and every header goes through: whatever the bytes, what comes
// out is valid UTF-8, and the conversions that promise a round trip keep it.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "platform/text.h"

using namespace platform;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    FUZZ_CHECK(IsValidUtf8(DecodeWithBom(bytes)), "a decoded file is valid UTF-8");
    const std::string ansi = AnsiToUtf8(bytes);
    FUZZ_CHECK(IsValidUtf8(ansi), "ANSI text decodes to valid UTF-8");
    FUZZ_CHECK(Utf8ToAnsi(ansi) == bytes, "every ANSI byte survives the trip through text");

    const std::u16string units = Utf8ToUtf16(bytes);
    const std::string repaired = Utf16ToUtf8(units);
    FUZZ_CHECK(IsValidUtf8(repaired), "invalid UTF-8 is repaired on the way through UTF-16");
    if (IsValidUtf8(bytes)) {
        FUZZ_CHECK(repaired == bytes, "valid UTF-8 round-trips through UTF-16");
        const std::string upper = UpperCase(bytes), lower = LowerCase(bytes);
        FUZZ_CHECK(IsValidUtf8(upper) && IsValidUtf8(lower), "case mapping keeps valid text");
        FUZZ_CHECK(SameText(bytes, upper) && SameText(lower, bytes), "case mapping is ignored");
        FUZZ_CHECK(FindNoCase(upper, bytes) == 0, "text is found in its upper case at 0");
    }
    // Arbitrary UTF-16 (lone surrogates included) always gives valid UTF-8.
    std::u16string raw;
    for (size_t i = 0; i + 1 < size; i += 2)
        raw += static_cast<char16_t>(data[i] | data[i + 1] << 8);
    FUZZ_CHECK(IsValidUtf8(Utf16ToUtf8(raw)), "any UTF-16 gives valid UTF-8");

    int64_t v64 = 0;
    if (ParseInt64(bytes, v64)) {
        int64_t again = 0;
        FUZZ_CHECK(ParseInt64(std::to_string(v64), again) && again == v64, "64-bit numbers");
    }
    int32_t v32 = 0;
    if (ParseInt32Loose(bytes, v32)) {
        int32_t again = 0;
        FUZZ_CHECK(ParseInt32Loose(std::to_string(v32), again) && again == v32, "32-bit numbers");
    }
    FUZZ_CHECK(Trim(Trim(bytes)) == Trim(bytes), "trimming twice is trimming once");
    return 0;
}
