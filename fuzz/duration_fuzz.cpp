// Task durations as the scheduler stores them ("P1DT2H", "PT10M0S"). Checked against a reference
// that adds in 128 bits: the result is the sum held at the largest 32-bit value, numbers past
// 64 bits count as 0; and every duration the program writes reads back as its seconds.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "tasks/taskglobal.h"

namespace {

int32_t Reference(const std::string& text) {
    __int128 sum = 0;
    std::string number;
    for (char c : text) {
        if (c >= '0' && c <= '9') {
            number += c;
            continue;
        }
        const int unit = c == 'D' ? 86400 : c == 'H' ? 3600 : c == 'M' ? 60 : c == 'S' ? 1 : 0;
        if (!number.empty() && unit) {
            __int128 value = 0;
            bool fits = true;
            for (char d : number) {
                value = value * 10 + (d - '0');
                if (value > INT64_MAX) {
                    fits = false;
                    break;
                }
            }
            if (fits) sum += value * unit;
            if (sum > INT32_MAX) sum = INT32_MAX;
        }
        number.clear();
    }
    return static_cast<int32_t>(sum);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    FUZZ_CHECK(tasks::DurationToSeconds(text) == Reference(text),
               "the sum agrees with the reference");
    if (size >= 4) {
        const int64_t seconds =
            (data[0] | data[1] << 8 | data[2] << 16 | int64_t(data[3] & 0x7F) << 24);
        FUZZ_CHECK(tasks::DurationToSeconds(tasks::SecondsToDuration(seconds)) == seconds,
                   "a written duration reads back");
    }
    return 0;
}
