// SPDX-License-Identifier: MIT
#pragma once

#include "engine/extended.h"

#include <cstdint>

namespace cttax {

// Multiplies value by 10^n (n > 0) or divides it by 10^-n (n < 0) with up to
// three entries of the power-of-ten table, rounding to extended precision
// after each: 10^(|n| mod 32), then 10^(32 * ((|n| div 32) mod 16)), then
// 10^(512 * (|n| div 512)). From |n| = 5120 on the result is +infinity for a
// positive n and 0 for a negative n, whatever the value (0 included).
// Throws FloatError(Overflow) when a finite product passes the largest
// extended value.
Extended scaleByPowerOfTen(Extended value, std::int64_t n);

// floor(e * log10(2)) for a binary exponent e, with log10(2) taken as
// 19728 / 65536 (slightly below it): exact for small |e|, and for large
// negative e it can come out one too large. The shift floors negative
// products too.
constexpr int floorLog10OfPow2(int binaryExponent)
{
    return (binaryExponent * 19728) >> 16;
}

// The table entries 10^0 .. 10^31, each the extended value nearest to it.
// 5^27 < 2^64 < 5^28: entries up to 10^27 are exact, 10^28 and above are
// rounded.
Extended smallPowerOfTen(int n);

} // namespace cttax
