#pragma once
// The Cycled and Reflected wrap modes for a run of values at once,
// vectorised with run-time dispatch. The same results as WrapCycledWith /
// WrapReflectedWith (and WrapAcrossWith around them) for every 32-bit
// input: all steps are unsigned 32-bit integer steps, the remainder among
// them (see InvariantDivisor).

#include <bit>
#include <cstddef>
#include <cstdint>

namespace quorrel::render {

// Division of any 32-bit n by a divisor d >= 1 fixed in advance, in 32-bit
// steps only (a multiplication's high half, shifts, additions), so that a
// vector of 32-bit lanes takes as many values as it has lanes:
//   t = (factor * n) >> 32,  q = (t + ((n - t) >> addShift)) >> shift.
//
// Why q = n / d (rounded down) for every n < 2^32: for d = 1, factor = 0 and
// both shifts 0 give q = n. For d >= 2 let l = ceil(log2 d) (1..32, so
// 2^(l-1) < d <= 2^l), m = ceil(2^(32+l) / d) and factor = m - 2^32;
// addShift = 1, shift = l - 1.
//  - 2^32 <= m < 2^33 (as d <= 2^l and d > 2^(l-1)), so factor fits 32 bits.
//  - t = floor(factor * n / 2^32) <= n, so n - t does not wrap, and
//    t + floor((n - t) / 2) = floor((n + t) / 2) (below 2^32), hence
//    q = floor((n + t) / 2^l) = floor((2^32 n + factor n) / 2^(32+l))
//      = floor(m n / 2^(32+l)).
//  - With e = m d - 2^(32+l), 0 <= e < d <= 2^l, and n = q' d + r
//    (0 <= r < d): m n / 2^(32+l) = n / d + e n / (d 2^(32+l))
//      = q' + (r + e n / 2^(32+l)) / d, where e n / 2^(32+l) < 2^l 2^32 /
//    2^(32+l) = 1, so r + that < d and the floor is q'.
// (Granlund and Montgomery's division by invariant integers, the variant
// with a 33-bit factor.) Remainder() is the scalar form of the same steps.
struct InvariantDivisor {
    uint32_t divisor = 1;
    uint32_t factor = 0;
    int addShift = 0;
    int shift = 0;

    InvariantDivisor() = default;
    explicit InvariantDivisor(uint32_t d) : divisor(d)
    {
        if (d <= 1)
            return;
        const int l = 32 - std::countl_zero(d - 1);
        // ceil(2^(32+l) / d) less 2^32; 2^64 / d (l = 32) is never whole.
        const uint64_t m = l < 32 ? ((uint64_t(1) << (32 + l)) + d - 1) / d : UINT64_MAX / d + 1;
        factor = static_cast<uint32_t>(m - (uint64_t(1) << 32));
        addShift = 1;
        shift = l - 1;
    }

    uint32_t Quotient(uint32_t n) const
    {
        const auto t = static_cast<uint32_t>((uint64_t(factor) * n) >> 32);
        return (t + ((n - t) >> addShift)) >> shift;
    }
    uint32_t Remainder(uint32_t n) const { return n - Quotient(n) * divisor; }
};

// Maps values[0..count) in place. `reflected`: Reflected, else Cycled;
// `across`: low > high, the range running on from 255 to 0.
void MapWrappedValues(bool reflected, bool across, uint32_t low, uint32_t high, uint32_t* values, std::size_t count);

// values[i] % divisor for i < count (divisor >= 1), through the vector
// steps of the mapping: lets them be checked on every instruction set.
void RemaindersInPlace(uint32_t divisor, uint32_t* values, std::size_t count);

} // namespace quorrel::render
