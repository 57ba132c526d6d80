// SPDX-License-Identifier: MIT
#pragma once

#include "engine/bit_cast.h"
#include <bit>
#include <cmath>
#include <concepts>
#include <cstdint>
#include <cstring>
#include <limits>

namespace cttax {

// The 80-bit extended format as the x87 unit stores it: a sign bit and a
// 15-bit exponent biased by 16383, then a 64-bit significand whose top bit is
// the explicit integer bit. Exponent 0 holds zero and the subnormals (integer
// bit clear), at the scale of exponent 1; exponent 0x7FFF holds the
// infinities (significand 2^63) and the NaNs (bit 62 set: quiet).
struct ExtendedBits {
    std::uint16_t signExponent = 0;
    std::uint64_t significand = 0;
    friend constexpr bool operator==(ExtendedBits, ExtendedBits) = default;
};

// An 80-bit extended value computed in software, bit for bit as the x87 unit
// computes it with 64-bit precision control, rounding to nearest with ties to
// even and every exception masked: + - * / are each rounded once to the
// 64-bit significand over the full exponent range with gradual underflow; an
// invalid operation gives the x87 default NaN (negative, significand
// 0xC000000000000000); NaN operands come out quieted, the larger significand
// of two winning and the positive one on a tie. The encodings no operation
// produces (exponent not 0 with the integer bit clear) are invalid operands,
// as on the hardware.
class SoftExtended {
public:
    static constexpr std::uint16_t kSignBit = 0x8000;
    static constexpr std::uint16_t kMaxExponent = 0x7FFF; // infinities and NaNs
    static constexpr std::int32_t kBias = 16383;
    static constexpr std::uint64_t kIntegerBit = 1ULL << 63;
    static constexpr std::uint64_t kQuietBit = 1ULL << 62;

    constexpr SoftExtended() = default;

    // Exact, like every integer of up to 64 bits.
    template <std::integral T>
    constexpr SoftExtended(T value) // NOLINT(google-explicit-constructor): behaves as a built-in number
    {
        if constexpr (std::is_signed_v<T>) {
            const auto wide = static_cast<std::int64_t>(value);
            const bool negative = wide < 0;
            const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(wide) : static_cast<std::uint64_t>(wide);
            *this = fromMagnitude(negative, magnitude);
        } else {
            *this = fromMagnitude(false, static_cast<std::uint64_t>(value));
        }
    }

    // Exact, as every double is an extended value; a NaN comes out quieted.
    constexpr SoftExtended(double value); // NOLINT(google-explicit-constructor)

    // For tests and the differential check only (nothing else names long
    // double): the same bits where long double is the x87 type, else rounded
    // once to nearest.
    SoftExtended(long double value); // NOLINT(google-explicit-constructor)

    static constexpr SoftExtended fromBits(std::uint16_t signExponent, std::uint64_t significand)
    {
        SoftExtended v;
        v.signExponent_ = signExponent;
        v.significand_ = significand;
        return v;
    }
    constexpr ExtendedBits bits() const { return {signExponent_, significand_}; }

    // The value (significand + extra / 2^64) * 2^(exponent - 16383 - 63),
    // rounded once to the format. The significand must have its top bit set;
    // the exponent may lie outside the format (overflow gives an infinity,
    // underflow a subnormal or zero). extra holds the bits below the last
    // place: 2^63 is one half.
    static SoftExtended round(bool negative, std::int32_t exponent, std::uint64_t significand, std::uint64_t extra);

    constexpr bool negative() const { return (signExponent_ & kSignBit) != 0; }
    constexpr std::uint16_t exponentField() const { return signExponent_ & kMaxExponent; }
    constexpr std::uint64_t significand() const { return significand_; }
    constexpr bool isNan() const { return exponentField() == kMaxExponent && significand_ != kIntegerBit; }
    constexpr bool isInfinite() const { return exponentField() == kMaxExponent && significand_ == kIntegerBit; }
    constexpr bool isZero() const { return exponentField() == 0 && significand_ == 0; }
    // Zero, a subnormal or a normal number with its integer bit.
    constexpr bool isFinite() const
    {
        const std::uint16_t e = exponentField();
        return e != kMaxExponent && (e == 0 || (significand_ & kIntegerBit) != 0);
    }

    friend SoftExtended operator+(SoftExtended a, SoftExtended b);
    friend SoftExtended operator-(SoftExtended a, SoftExtended b);
    friend SoftExtended operator*(SoftExtended a, SoftExtended b);
    friend SoftExtended operator/(SoftExtended a, SoftExtended b);
    friend constexpr SoftExtended operator-(SoftExtended a)
    {
        a.signExponent_ ^= kSignBit;
        return a;
    }
    SoftExtended &operator+=(SoftExtended b) { return *this = *this + b; }
    SoftExtended &operator-=(SoftExtended b) { return *this = *this - b; }
    SoftExtended &operator*=(SoftExtended b) { return *this = *this * b; }
    SoftExtended &operator/=(SoftExtended b) { return *this = *this / b; }

    // IEEE comparisons: a NaN is unordered, and -0 equals +0.
    friend constexpr bool operator==(SoftExtended a, SoftExtended b) { return compare(a, b) == 0; }
    friend constexpr bool operator<(SoftExtended a, SoftExtended b) { return compare(a, b) == -1; }
    friend constexpr bool operator>(SoftExtended a, SoftExtended b) { return compare(a, b) == 1; }
    friend constexpr bool operator<=(SoftExtended a, SoftExtended b)
    {
        const int c = compare(a, b);
        return c == -1 || c == 0;
    }
    friend constexpr bool operator>=(SoftExtended a, SoftExtended b)
    {
        const int c = compare(a, b);
        return c == 1 || c == 0;
    }

    // Rounded to nearest, ties to even; beyond the double range an infinity.
    explicit operator double() const;
    // Truncated toward zero; a NaN or a value outside the type gives
    // 0x8000000000000000, as the x87 store does.
    explicit operator std::int64_t() const;
    // Truncated toward zero for 0 <= value < 2^64 (the only use).
    explicit operator std::uint64_t() const;

private:
    static constexpr SoftExtended fromMagnitude(bool negative, std::uint64_t magnitude)
    {
        if (magnitude == 0)
            return fromBits(negative ? kSignBit : 0, 0);
        const int shift = std::countl_zero(magnitude);
        const auto exponent = static_cast<std::uint16_t>(kBias + 63 - shift);
        return fromBits(static_cast<std::uint16_t>(exponent | (negative ? kSignBit : 0)), magnitude << shift);
    }

    // The exponent field, with a significand that has its integer bit at
    // exponent 0 (a pseudo-subnormal) read at exponent 1, its real scale.
    constexpr unsigned effectiveExponent() const
    {
        return exponentField() == 0 && (significand_ & kIntegerBit) != 0 ? 1u : exponentField();
    }

    // -1, 0 or 1 for less, equal or greater, 2 when either is a NaN.
    static constexpr int compare(SoftExtended a, SoftExtended b)
    {
        if (a.isNan() || b.isNan())
            return 2;
        if (a.isZero() && b.isZero())
            return 0;
        if (a.negative() != b.negative())
            return a.negative() ? -1 : 1;
        // Same sign: order the magnitudes by (exponent, significand); a
        // subnormal has the scale of exponent 1.
        const unsigned ea = a.effectiveExponent();
        const unsigned eb = b.effectiveExponent();
        const int magnitudeOrder = ea != eb ? (ea < eb ? -1 : 1)
                                 : a.significand_ != b.significand_ ? (a.significand_ < b.significand_ ? -1 : 1)
                                                                    : 0;
        return a.negative() ? -magnitudeOrder : magnitudeOrder;
    }

    std::uint64_t significand_ = 0;
    std::uint16_t signExponent_ = 0;
};

constexpr SoftExtended::SoftExtended(double value)
{
    const auto raw = bitCast<std::uint64_t>(value);
    const auto sign = static_cast<std::uint16_t>(raw >> 63 ? kSignBit : 0);
    const auto exponent = static_cast<std::int32_t>((raw >> 52) & 0x7FF);
    const std::uint64_t fraction = raw & ((1ULL << 52) - 1);
    if (exponent == 0x7FF) {
        signExponent_ = sign | kMaxExponent;
        significand_ = fraction == 0 ? kIntegerBit : kIntegerBit | kQuietBit | (fraction << 11);
    } else if (exponent == 0) {
        if (fraction == 0) {
            signExponent_ = sign;
            return;
        }
        // A subnormal double: normalise; its scale is that of exponent 1.
        const int shift = std::countl_zero(fraction);
        signExponent_ = static_cast<std::uint16_t>(sign | (kBias - 1022 - (shift - 11)));
        significand_ = fraction << shift;
    } else {
        signExponent_ = static_cast<std::uint16_t>(sign | (exponent - 1023 + kBias));
        significand_ = kIntegerBit | (fraction << 11);
    }
}

inline SoftExtended::SoftExtended(long double value)
{
    if constexpr (std::numeric_limits<long double>::digits == 64 && std::numeric_limits<long double>::max_exponent == 16384) {
        std::memcpy(&significand_, &value, sizeof significand_);
        std::memcpy(&signExponent_, reinterpret_cast<const char *>(&value) + sizeof significand_, sizeof signExponent_);
    } else {
        const bool negative = std::signbit(value);
        if (std::isnan(value)) {
            *this = fromBits(static_cast<std::uint16_t>((negative ? kSignBit : 0) | kMaxExponent), kIntegerBit | kQuietBit);
        } else if (std::isinf(value)) {
            *this = fromBits(static_cast<std::uint16_t>((negative ? kSignBit : 0) | kMaxExponent), kIntegerBit);
        } else if (value == 0) {
            *this = fromBits(negative ? kSignBit : 0, 0);
        } else {
            int exponent = 0;
            const long double scaled = std::ldexp(std::frexp(std::fabs(value), &exponent), 64); // [2^63, 2^64)
            const long double whole = std::floor(scaled);
            const long double below = std::ldexp(scaled - whole, 64); // [0, 2^64), exact
            const long double belowWhole = std::floor(below);
            const std::uint64_t extra = static_cast<std::uint64_t>(belowWhole) | (below != belowWhole ? 1 : 0);
            *this = round(negative, exponent + kBias - 1, static_cast<std::uint64_t>(whole), extra);
        }
    }
}

// The functions the rest of the code uses on Extended, for the software type.
constexpr bool isNan(SoftExtended x)
{
    return x.isNan();
}
constexpr bool isInfinite(SoftExtended x)
{
    return x.isInfinite();
}
constexpr bool isFinite(SoftExtended x)
{
    return x.isFinite();
}
constexpr bool signBit(SoftExtended x)
{
    return x.negative();
}
constexpr SoftExtended absolute(SoftExtended x)
{
    return x.negative() ? -x : x;
}
// FP_NAN, FP_INFINITE, FP_ZERO, FP_SUBNORMAL or FP_NORMAL.
constexpr int classify(SoftExtended x)
{
    if (x.exponentField() == SoftExtended::kMaxExponent)
        return x.isInfinite() ? FP_INFINITE : FP_NAN;
    if (x.exponentField() == 0)
        return x.significand() == 0 ? FP_ZERO : FP_SUBNORMAL;
    return FP_NORMAL;
}
// rint: the nearest integer, ties to even, with the sign of x.
SoftExtended roundToInteger(SoftExtended x);
// ilogb: the unbiased exponent of the leading bit; FP_ILOGB0 for zero,
// FP_ILOGBNAN for a NaN, INT_MAX for an infinity.
int binaryExponent(SoftExtended x);

} // namespace cttax

template <>
class std::numeric_limits<cttax::SoftExtended> {
    using T = cttax::SoftExtended;

public:
    static constexpr bool is_specialized = true;
    static constexpr bool is_signed = true;
    static constexpr bool is_integer = false;
    static constexpr bool is_exact = false;
    static constexpr bool has_infinity = true;
    static constexpr bool has_quiet_NaN = true;
    static constexpr bool has_signaling_NaN = true;
    static constexpr std::float_denorm_style has_denorm = std::denorm_present;
    static constexpr bool has_denorm_loss = false;
    static constexpr std::float_round_style round_style = std::round_to_nearest;
    static constexpr bool is_iec559 = true;
    static constexpr bool is_bounded = true;
    static constexpr bool is_modulo = false;
    static constexpr int digits = 64;
    static constexpr int digits10 = 18;
    static constexpr int max_digits10 = 21;
    static constexpr int radix = 2;
    static constexpr int min_exponent = -16381;
    static constexpr int min_exponent10 = -4931;
    static constexpr int max_exponent = 16384;
    static constexpr int max_exponent10 = 4932;
    static constexpr bool traps = false;
    static constexpr bool tinyness_before = true;

    static constexpr T min() noexcept { return T::fromBits(1, T::kIntegerBit); }
    static constexpr T max() noexcept { return T::fromBits(0x7FFE, ~0ULL); }
    static constexpr T lowest() noexcept { return T::fromBits(0xFFFE, ~0ULL); }
    static constexpr T epsilon() noexcept { return T::fromBits(T::kBias - 63, T::kIntegerBit); }
    static constexpr T round_error() noexcept { return T::fromBits(T::kBias - 1, T::kIntegerBit); }
    static constexpr T infinity() noexcept { return T::fromBits(T::kMaxExponent, T::kIntegerBit); }
    static constexpr T quiet_NaN() noexcept { return T::fromBits(T::kMaxExponent, T::kIntegerBit | T::kQuietBit); }
    static constexpr T signaling_NaN() noexcept { return T::fromBits(T::kMaxExponent, T::kIntegerBit | (1ULL << 61)); }
    static constexpr T denorm_min() noexcept { return T::fromBits(0, 1); }
};
