// SPDX-License-Identifier: MIT
#pragma once

// The one place that knows how the 80-bit extended type is reached. Both
// ways give the same bits for every operation:
//  - the hardware: on x86-64 with GCC or Clang, long double is the x87 format
//    with a 64-bit significand, and every operation on it rounds to that
//    significand, ties to even;
//  - the software type (CTTAX_SOFT_EXTENDED), which computes the same
//    roundings with integer arithmetic wherever long double is anything else.
//
// The rest of the code names Extended, the checked operations of fpenv.h and
// the functions below (isNan, isFinite, absolute, roundToInteger, ...; for
// the software type they are in soft_extended.h), never long double or the
// <cmath> functions on it.

#include "engine/bit_cast.h"
#include "engine/soft_extended.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#if CTTAX_SOFT_EXTENDED

namespace cttax {

using Extended = SoftExtended;

constexpr Extended extendedFromBits(std::uint16_t signExponent, std::uint64_t significand)
{
    return SoftExtended::fromBits(signExponent, significand);
}

constexpr ExtendedBits bitsOf(Extended x)
{
    return x.bits();
}

// The software type needs no set-up: its rounding is fixed.
inline void prepareExtendedArithmetic() {}

} // namespace cttax

#else

namespace cttax {

using Extended = long double;

constexpr Extended extendedFromBits(std::uint16_t signExponent, std::uint64_t significand)
{
    struct Layout {
        std::uint64_t significand;
        std::uint16_t signExponent;
        unsigned char padding[sizeof(Extended) - 10];
    };
    return bitCast<Extended>(Layout{significand, signExponent, {}});
}

inline ExtendedBits bitsOf(Extended x)
{
    ExtendedBits bits;
    std::memcpy(&bits.significand, &x, sizeof bits.significand);
    std::memcpy(&bits.signExponent, reinterpret_cast<const char *>(&x) + sizeof bits.significand,
                sizeof bits.signExponent);
    return bits;
}

// Control word 0x037F: all six exceptions masked (bits 0-5), precision
// control 11 = 64-bit significand (bits 8-9), rounding control 00 = to
// nearest (bits 10-11).
inline void prepareExtendedArithmetic()
{
    const unsigned short controlWord = 0x037F;
    asm volatile("fldcw %0" : : "m"(controlWord));
}

inline bool isNan(Extended x)
{
    return std::isnan(x);
}
inline bool isInfinite(Extended x)
{
    return std::isinf(x);
}
inline bool isFinite(Extended x)
{
    return std::isfinite(x);
}
inline bool signBit(Extended x)
{
    return std::signbit(x);
}
inline Extended absolute(Extended x)
{
    return std::fabs(x);
}
inline int classify(Extended x)
{
    return std::fpclassify(x);
}
inline Extended roundToInteger(Extended x)
{
    return std::rint(x);
}
inline int binaryExponent(Extended x)
{
    return std::ilogb(x);
}

} // namespace cttax

#endif

namespace cttax {

static_assert(std::numeric_limits<Extended>::digits == 64, "Extended must have a 64-bit significand");
static_assert(std::numeric_limits<Extended>::max_exponent == 16384, "Extended must have a 15-bit exponent");

} // namespace cttax
