// SPDX-License-Identifier: MIT
// The 128-bit unsigned arithmetic the software extended type needs, built
// from 64-bit halves so that every machine (32-bit ones included, which have
// no 128-bit integer) runs the very same code: shifts, sums, differences,
// the 64 x 64 -> 128 product and the 128 / 64 quotient with its remainder.
#pragma once

#include <bit>
#include <cstdint>

namespace cttax::wide {

struct U128 {
    std::uint64_t high = 0;
    std::uint64_t low = 0;
    friend constexpr bool operator==(U128, U128) = default;
};

// v * 2^n, for n from 0 to 64.
constexpr U128 shiftedLeft(std::uint64_t v, int n)
{
    if (n == 0)
        return {0, v};
    if (n == 64)
        return {v, 0};
    return {v >> (64 - n), v << n};
}

// floor(v / 2^n), for n from 0 to 127.
constexpr U128 shiftedRight(U128 v, int n)
{
    if (n == 0)
        return v;
    if (n < 64)
        return {v.high >> n, (v.low >> n) | (v.high << (64 - n))};
    return {0, v.high >> (n - 64)};
}

constexpr U128 operator+(U128 a, U128 b)
{
    const std::uint64_t low = a.low + b.low;
    return {a.high + b.high + (low < a.low ? 1 : 0), low};
}

constexpr U128 operator-(U128 a, U128 b)
{
    return {a.high - b.high - (a.low < b.low ? 1 : 0), a.low - b.low};
}

// The position of the leading one bit (0 to 127) of v != 0.
constexpr int leadingBit(U128 v)
{
    return v.high != 0 ? 127 - std::countl_zero(v.high) : 63 - std::countl_zero(v.low);
}

constexpr U128 product(std::uint64_t a, std::uint64_t b)
{
    const std::uint64_t aLow = a & 0xFFFFFFFFu, aHigh = a >> 32;
    const std::uint64_t bLow = b & 0xFFFFFFFFu, bHigh = b >> 32;
    const std::uint64_t ll = aLow * bLow, lh = aLow * bHigh, hl = aHigh * bLow, hh = aHigh * bHigh;
    // The middle column's sum has at most 34 bits.
    const std::uint64_t middle = (ll >> 32) + (lh & 0xFFFFFFFFu) + (hl & 0xFFFFFFFFu);
    return {hh + (lh >> 32) + (hl >> 32) + (middle >> 32), (middle << 32) | (ll & 0xFFFFFFFFu)};
}

// n / d and n % d for n.high < d (the quotient then fits in 64 bits): long
// division in two 32-bit digits over the normalised divisor.
constexpr std::uint64_t quotient(U128 n, std::uint64_t d, std::uint64_t &remainder)
{
    const int s = std::countl_zero(d);
    d <<= s;
    const std::uint64_t top = s == 0 ? n.high : (n.high << s) | (n.low >> (64 - s));
    const std::uint64_t bottom = n.low << s;
    const std::uint64_t dHigh = d >> 32, dLow = d & 0xFFFFFFFFu;

    // One 32-bit digit of the quotient of (rest * 2^32 + next) by d, where
    // rest < d; the estimate from the divisor's top half is at most 2 high.
    const auto digit = [&](std::uint64_t rest, std::uint64_t next, std::uint64_t &newRest) {
        std::uint64_t q = rest / dHigh;
        std::uint64_t r = rest % dHigh;
        while (q > 0xFFFFFFFFu || q * dLow > ((r << 32) | next)) {
            --q;
            r += dHigh;
            if (r > 0xFFFFFFFFu)
                break;
        }
        newRest = ((rest << 32) | next) - q * d;
        return q;
    };
    std::uint64_t rest = 0;
    const std::uint64_t q1 = digit(top, bottom >> 32, rest);
    const std::uint64_t q0 = digit(rest, bottom & 0xFFFFFFFFu, rest);
    remainder = rest >> s;
    return (q1 << 32) | q0;
}

} // namespace cttax::wide
