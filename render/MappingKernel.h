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
// vector of 32-bit lanes takes as many values as it has lanes. One of three
// forms, by the divisor:
//   PowerOfTwo (d = 2^s):  q = n >> s, and the remainder is n & (d - 1).
//   Short:  q = ((factor * n) >> 32) >> s, with factor = m < 2^32.
//   Long:   t = (factor * n) >> 32,  q = (t + ((n - t) >> 1)) >> (s - 1),
//           with factor = m - 2^32 (m >= 2^32).
// where m = ceil(2^(32+s) / d).
//
// Why q = n / d (rounded down) for every n < 2^32: let e = m d - 2^(32+s)
// (0 <= e < d) and suppose e <= 2^s. With n = q' d + r (0 <= r < d),
// m n / 2^(32+s) = n / d + e n / (d 2^(32+s)) = q' + (r + e n / 2^(32+s)) / d,
// where e n / 2^(32+s) < 2^s 2^32 / 2^(32+s) = 1, so r + that < d and
// floor(m n / 2^(32+s)) = q'. It remains to see that each form computes
// that floor with such an s:
//  - Short: s = floor(log2 d) for d not a power of two (2^s < d < 2^(s+1),
//    so m < 2^32), chosen only when e <= 2^s holds; the two shifts make one
//    of 32 + s.
//  - Long, for the other divisors: s = ceil(log2 d) (1..32, so
//    2^(s-1) < d <= 2^s and e < d <= 2^s always), 2^32 <= m < 2^33, so
//    factor fits 32 bits. t = floor(factor n / 2^32) <= n, so n - t does
//    not wrap, t + floor((n - t) / 2) = floor((n + t) / 2) (below 2^32) and
//    q = floor((n + t) / 2^s) = floor((2^32 n + factor n) / 2^(32+s))
//      = floor(m n / 2^(32+s)).
// (Granlund and Montgomery's division by invariant integers.) Quotient()
// and Remainder() are the scalar form of the same steps.
struct InvariantDivisor {
    enum Form { PowerOfTwo, Short, Long };

    uint32_t divisor = 1;
    Form form = PowerOfTwo;
    uint32_t factor = 0;
    int shift = 0;

    InvariantDivisor() = default;
    explicit InvariantDivisor(uint32_t d) : divisor(d)
    {
        if (d == 0 || std::has_single_bit(d)) {
            shift = d ? std::countr_zero(d) : 0;
            return;
        }
        const int low = 31 - std::countl_zero(d);   // floor(log2 d), 1..31
        const uint64_t power = uint64_t(1) << (32 + low);
        const uint64_t m = power / d + 1;           // ceil: d does not divide a power of two
        if (m * d - power <= (uint64_t(1) << low)) {
            form = Short;
            factor = static_cast<uint32_t>(m);
            shift = low;
            return;
        }
        // ceil(2^(32+s) / d) for s = low + 1, less 2^32; 2^64 / d (s = 32)
        // as (2^64 - 1) / d + 1, d not dividing 2^64.
        const int s = low + 1;
        const uint64_t longM = s < 32 ? (uint64_t(1) << (32 + s)) / d + 1 : UINT64_MAX / d + 1;
        form = Long;
        factor = static_cast<uint32_t>(longM - (uint64_t(1) << 32));
        shift = s;
    }

    uint32_t Quotient(uint32_t n) const
    {
        const auto t = static_cast<uint32_t>((uint64_t(factor) * n) >> 32);
        switch (form) {
        case PowerOfTwo:
            return n >> shift;
        case Short:
            return t >> shift;
        default:
            return (t + ((n - t) >> 1)) >> (shift - 1);
        }
    }
    uint32_t Remainder(uint32_t n) const { return form == PowerOfTwo ? n & (divisor - 1) : n - Quotient(n) * divisor; }
};

// Maps values[0..count) in place. `reflected`: Reflected, else Cycled;
// `across`: low > high, the range running on from 255 to 0.
void MapWrappedValues(bool reflected, bool across, uint32_t low, uint32_t high, uint32_t* values, std::size_t count);

// values[i] % divisor for i < count (divisor >= 1), through the vector
// steps of the mapping: lets them be checked on every instruction set.
void RemaindersInPlace(uint32_t divisor, uint32_t* values, std::size_t count);

} // namespace quorrel::render
