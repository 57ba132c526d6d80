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

namespace detail {
// Each entry is the extended value nearest to its power of ten, written as
// its bits (sign and exponent, significand) so that every compiler and
// machine has the same ones.
inline constexpr Extended kPow10[32] = {
    extendedFromBits(0x3FFF, 0x8000000000000000), // 1e0
    extendedFromBits(0x4002, 0xA000000000000000), // 1e1
    extendedFromBits(0x4005, 0xC800000000000000), // 1e2
    extendedFromBits(0x4008, 0xFA00000000000000), // 1e3
    extendedFromBits(0x400C, 0x9C40000000000000), // 1e4
    extendedFromBits(0x400F, 0xC350000000000000), // 1e5
    extendedFromBits(0x4012, 0xF424000000000000), // 1e6
    extendedFromBits(0x4016, 0x9896800000000000), // 1e7
    extendedFromBits(0x4019, 0xBEBC200000000000), // 1e8
    extendedFromBits(0x401C, 0xEE6B280000000000), // 1e9
    extendedFromBits(0x4020, 0x9502F90000000000), // 1e10
    extendedFromBits(0x4023, 0xBA43B74000000000), // 1e11
    extendedFromBits(0x4026, 0xE8D4A51000000000), // 1e12
    extendedFromBits(0x402A, 0x9184E72A00000000), // 1e13
    extendedFromBits(0x402D, 0xB5E620F480000000), // 1e14
    extendedFromBits(0x4030, 0xE35FA931A0000000), // 1e15
    extendedFromBits(0x4034, 0x8E1BC9BF04000000), // 1e16
    extendedFromBits(0x4037, 0xB1A2BC2EC5000000), // 1e17
    extendedFromBits(0x403A, 0xDE0B6B3A76400000), // 1e18
    extendedFromBits(0x403E, 0x8AC7230489E80000), // 1e19
    extendedFromBits(0x4041, 0xAD78EBC5AC620000), // 1e20
    extendedFromBits(0x4044, 0xD8D726B7177A8000), // 1e21
    extendedFromBits(0x4048, 0x878678326EAC9000), // 1e22
    extendedFromBits(0x404B, 0xA968163F0A57B400), // 1e23
    extendedFromBits(0x404E, 0xD3C21BCECCEDA100), // 1e24
    extendedFromBits(0x4052, 0x84595161401484A0), // 1e25
    extendedFromBits(0x4055, 0xA56FA5B99019A5C8), // 1e26
    extendedFromBits(0x4058, 0xCECB8F27F4200F3A), // 1e27
    extendedFromBits(0x405C, 0x813F3978F8940984), // 1e28
    extendedFromBits(0x405F, 0xA18F07D736B90BE5), // 1e29
    extendedFromBits(0x4062, 0xC9F2C9CD04674EDF), // 1e30
    extendedFromBits(0x4065, 0xFC6F7C4045812296), // 1e31
};

} // namespace detail

// The table entries 10^0 .. 10^31, each the extended value nearest to it.
// 5^27 < 2^64 < 5^28: entries up to 10^27 are exact, 10^28 and above are
// rounded.
constexpr Extended smallPowerOfTen(int n)
{
    return detail::kPow10[n];
}

} // namespace cttax
