#pragma once
// Double to integer truncation with the processor's semantics defined for
// every input: values outside the 64-bit range, infinities and NaN give
// 0x8000000000000000 (the x86 "integer indefinite"), whose low 32 bits are 0.
// A plain cast would be undefined behaviour for those inputs, and loaded
// correlation entries may hold anything.

#include <cmath>
#include <cstdint>

namespace quorrel::model {

inline int64_t TruncToInt64(double v)
{
    // 2^63 as a double; every double in [-2^63, 2^63) truncates into range.
    constexpr double kLimit = 9223372036854775808.0;
    if (!(v >= -kLimit && v < kLimit))
        return INT64_MIN;
    return static_cast<int64_t>(v);
}

} // namespace quorrel::model
