// Arithmetic on lengths and offsets that come from the network or from a file: a sum that does
// not fit is reported instead of wrapping (or, for signed values, being undefined).
#pragma once
#include <cstdint>

namespace download {

// a + b into `out`; false (and `out` untouched) when the sum does not fit in 64 signed bits.
inline bool CheckedAdd(int64_t a, int64_t b, int64_t& out) {
    int64_t r;
    if (__builtin_add_overflow(a, b, &r)) return false;
    out = r;
    return true;
}

// a - b into `out`; false (and `out` untouched) when the difference does not fit.
inline bool CheckedSub(int64_t a, int64_t b, int64_t& out) {
    int64_t r;
    if (__builtin_sub_overflow(a, b, &r)) return false;
    out = r;
    return true;
}

}  // namespace download
