// SPDX-License-Identifier: MIT
#include "engine/bit_cast.h"
#include "engine/soft_extended.h"

#include "engine/soft_wide.h"

#include <climits>

namespace cttax {

namespace {

using wide::U128;

using S = SoftExtended;

constexpr std::uint64_t kHalf = 1ULL << 63;

constexpr std::uint16_t signOf(bool negative)
{
    return negative ? S::kSignBit : 0;
}

constexpr S zero(bool negative)
{
    return S::fromBits(signOf(negative), 0);
}

constexpr S infinity(bool negative)
{
    return S::fromBits(static_cast<std::uint16_t>(signOf(negative) | S::kMaxExponent), S::kIntegerBit);
}

// The x87 default NaN, the result of every invalid operation.
constexpr S kDefaultNan = S::fromBits(0xFFFF, S::kIntegerBit | S::kQuietBit);

constexpr S quieted(S x)
{
    return S::fromBits(x.bits().signExponent, x.significand() | S::kQuietBit);
}

// An encoding no operation produces (exponent not 0, integer bit clear),
// which the hardware refuses as an operand.
constexpr bool isUnsupported(S x)
{
    return x.exponentField() != 0 && (x.significand() & S::kIntegerBit) == 0;
}

// Neither a number nor an infinity: a NaN or an unsupported encoding, either
// of which makes the result a NaN.
constexpr bool givesNan(S x)
{
    return !x.isFinite() && !x.isInfinite();
}

// The result when an operand is a NaN or unsupported: a NaN comes out
// quieted, of two NaNs the one with the larger significand, the positive one
// when the significands are equal; an unsupported encoding is invalid.
S nanResult(S a, S b)
{
    if (isUnsupported(a) || isUnsupported(b))
        return kDefaultNan;
    if (a.isNan() && b.isNan()) {
        if (a.significand() != b.significand())
            return quieted(a.significand() > b.significand() ? a : b);
        return quieted(a.negative() ? b : a);
    }
    return quieted(a.isNan() ? a : b);
}

// The exponent a significand is read at: exponent 0 has the scale of 1.
constexpr std::int32_t scaleExponent(S x)
{
    return x.exponentField() == 0 ? 1 : x.exponentField();
}

// A 128-bit value r != 0 whose leading bit stands for exponent
// (topExponent + position - topPosition): rounded once to the format.
S roundWide(bool negative, std::int32_t topExponent, int topPosition, U128 r)
{
    const int position = wide::leadingBit(r);
    const std::int32_t exponent = topExponent + (position - topPosition);
    if (position >= 63) {
        const int shift = position - 63; // 0..64
        const std::uint64_t significand = wide::shiftedRight(r, shift).low;
        // The bits shifted out, at the top of a word (all in r's low half).
        const std::uint64_t extra = shift == 0 ? 0 : shift == 64 ? r.low : r.low << (64 - shift);
        return S::round(negative, exponent, significand, extra);
    }
    return S::round(negative, exponent, r.low << (63 - position), 0);
}

// a + b for finite operands that are not both zero.
S addFinite(S a, S b)
{
    const bool subtract = a.negative() != b.negative();
    // Order by magnitude: a is at least as large as b and gives the sign.
    std::int32_t ea = scaleExponent(a);
    std::int32_t eb = scaleExponent(b);
    if (eb > ea || (eb == ea && b.significand() > a.significand())) {
        std::swap(a, b);
        std::swap(ea, eb);
    }
    // a's significand with bit 63 at bit 126 leaves room for a carry; b is
    // aligned below it, with every bit shifted out past bit 0 folded into
    // bit 0 (enough to round a result of at least 2^125 correctly).
    const U128 wideA = wide::shiftedLeft(a.significand(), 63);
    const std::int32_t distance = ea - eb;
    U128 wideB;
    if (distance <= 63) {
        wideB = wide::shiftedRight(wide::shiftedLeft(b.significand(), 63), distance);
    } else if (distance < 127) {
        const int lostBits = distance - 63;
        const std::uint64_t lost = b.significand() & ((1ULL << lostBits) - 1);
        wideB = {0, (b.significand() >> lostBits) | (lost != 0 ? 1 : 0)};
    } else {
        wideB = {0, b.significand() != 0 ? 1ULL : 0ULL};
    }
    const U128 r = subtract ? wideA - wideB : wideA + wideB;
    if (r == U128{})
        return zero(false); // exact cancellation gives +0 when rounding to nearest
    return roundWide(a.negative(), ea, 126, r);
}

S addOrSubtract(S a, S b, bool subtract)
{
    if (!a.isFinite() || !b.isFinite()) [[unlikely]] {
        if (givesNan(a) || givesNan(b))
            return nanResult(a, b);
        const bool bNegative = b.negative() != subtract;
        if (a.isInfinite() && b.isInfinite())
            return a.negative() == bNegative ? a : kDefaultNan;
        return a.isInfinite() ? a : infinity(bNegative);
    }
    const bool bNegative = b.negative() != subtract;
    if (a.isZero() && b.isZero())
        return zero(a.negative() && bNegative);
    return addFinite(a, subtract ? -b : b);
}

} // namespace

S S::round(bool negative, std::int32_t exponent, std::uint64_t significand, std::uint64_t extra)
{
    if (exponent <= 0) {
        // Below the normal range: onto the subnormal grid, whose scale is
        // that of exponent 1.
        const std::int64_t shift = 1 - static_cast<std::int64_t>(exponent);
        if (shift < 64) {
            extra = (significand << (64 - shift)) | (extra != 0 ? 1 : 0);
            significand >>= shift;
        } else {
            extra = (shift == 64 ? significand : (significand != 0 ? 1 : 0)) | (extra != 0 ? 1 : 0);
            significand = 0;
        }
        exponent = 0;
    }
    if (extra > kHalf || (extra == kHalf && (significand & 1) != 0)) {
        ++significand;
        if (significand == 0) { // carried out of the significand
            significand = kIntegerBit;
            ++exponent;
        } else if (exponent == 0 && significand == kIntegerBit) {
            exponent = 1; // a subnormal rounded up to the smallest normal
        }
    }
    if (exponent >= kMaxExponent)
        return infinity(negative);
    return fromBits(static_cast<std::uint16_t>(signOf(negative) | exponent), significand);
}

S operator+(S a, S b)
{
    return addOrSubtract(a, b, false);
}

S operator-(S a, S b)
{
    return addOrSubtract(a, b, true);
}

S operator*(S a, S b)
{
    const bool negative = a.negative() != b.negative();
    if (!a.isFinite() || !b.isFinite()) [[unlikely]] {
        if (givesNan(a) || givesNan(b))
            return nanResult(a, b);
        if (a.isZero() || b.isZero())
            return kDefaultNan; // infinity times zero
        return infinity(negative);
    }
    if (a.isZero() || b.isZero())
        return zero(negative);
    const U128 product = wide::product(a.significand(), b.significand());
    // With both integer bits set the product's leading bit is bit 126 or 127,
    // and bit 126 stands for exponent ea + eb - bias.
    return roundWide(negative, scaleExponent(a) + scaleExponent(b) - S::kBias, 126, product);
}

S operator/(S a, S b)
{
    const bool negative = a.negative() != b.negative();
    if (!a.isFinite() || !b.isFinite()) [[unlikely]] {
        if (givesNan(a) || givesNan(b))
            return nanResult(a, b);
        if (a.isInfinite())
            return b.isInfinite() ? kDefaultNan : infinity(negative);
        return zero(negative); // finite divided by infinity
    }
    if (b.isZero())
        return a.isZero() ? kDefaultNan : infinity(negative);
    if (a.isZero())
        return zero(negative);
    // Normalise subnormal operands.
    std::uint64_t x = a.significand();
    std::uint64_t y = b.significand();
    std::int32_t ex = scaleExponent(a);
    std::int32_t ey = scaleExponent(b);
    if (const int s = std::countl_zero(x); s != 0) {
        x <<= s;
        ex -= s;
    }
    if (const int s = std::countl_zero(y); s != 0) {
        y <<= s;
        ey -= s;
    }
    // x / y lies in [1/2, 2): scaled so that the quotient has 64 bits.
    std::int32_t exponent = ex - ey + S::kBias;
    U128 numerator;
    if (x >= y) {
        numerator = wide::shiftedLeft(x, 63);
    } else {
        numerator = wide::shiftedLeft(x, 64);
        --exponent;
    }
    std::uint64_t remainder = 0;
    const std::uint64_t quotient = wide::quotient(numerator, y, remainder);
    // Only the remainder's place against y / 2 matters for the rounding.
    std::uint64_t extra = 0;
    if (remainder != 0) {
        const std::uint64_t rest = y - remainder;
        extra = remainder > rest ? kHalf | 1 : remainder == rest ? kHalf : 1;
    }
    return S::round(negative, exponent, quotient, extra);
}

S::operator double() const
{
    const std::uint64_t sign = negative() ? 1ULL << 63 : 0;
    if (isUnsupported(*this))
        return bitCast<double>(0xFFF8000000000000ULL); // the double default NaN
    if (isNan())
        return bitCast<double>(sign | 0x7FF8000000000000ULL | ((significand_ >> 11) & ((1ULL << 52) - 1)));
    if (isInfinite())
        return bitCast<double>(sign | 0x7FF0000000000000ULL);
    if (significand_ == 0)
        return bitCast<double>(sign);
    // Normalise, then round to 53 bits (fewer for a double subnormal).
    const int lead = std::countl_zero(significand_);
    const std::uint64_t m = significand_ << lead;
    std::int32_t exponent = scaleExponent(*this) - lead - kBias + 1023; // the double's exponent field
    int shift = 11;
    if (exponent <= 0) {
        shift += 1 - exponent;
        exponent = 0;
    }
    std::uint64_t kept = 0;
    bool up = false;
    if (shift < 64) {
        kept = m >> shift;
        const std::uint64_t rest = m << (64 - shift);
        up = rest > kHalf || (rest == kHalf && (kept & 1) != 0);
    } else if (shift == 64) {
        up = m > kHalf; // kept is 0, and a tie goes to the even 0
    }
    if (up) {
        ++kept;
        if (kept == (1ULL << 53)) {
            kept >>= 1;
            ++exponent;
        } else if (exponent == 0 && kept == (1ULL << 52)) {
            exponent = 1;
        }
    }
    if (exponent >= 0x7FF)
        return bitCast<double>(sign | 0x7FF0000000000000ULL);
    const std::uint64_t fraction = kept & ((1ULL << 52) - 1);
    return bitCast<double>(sign | (static_cast<std::uint64_t>(exponent) << 52) | fraction);
}

S::operator std::int64_t() const
{
    constexpr auto kIndefinite = static_cast<std::int64_t>(0x8000000000000000ULL);
    if (!isFinite())
        return kIndefinite;
    const std::int32_t exponent = scaleExponent(*this) - kBias; // of bit 63
    if (exponent < 0)
        return 0;
    if (exponent >= 63)
        return kIndefinite; // which is also -2^63, the one value of this range that fits
    const std::uint64_t magnitude = significand_ >> (63 - exponent);
    return negative() ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
}

S::operator std::uint64_t() const
{
    // As compiled for the hardware type: below 2^63 through the signed
    // conversion, from 2^63 on less 2^63 with the top bit put back.
    const S twoTo63 = fromBits(kBias + 63, kIntegerBit);
    if (!(*this >= twoTo63))
        return static_cast<std::uint64_t>(static_cast<std::int64_t>(*this));
    return static_cast<std::uint64_t>(static_cast<std::int64_t>(*this - twoTo63)) ^ kIntegerBit;
}

S roundToInteger(S x)
{
    if (!x.isFinite()) {
        if (isUnsupported(x))
            return kDefaultNan;
        return x.isNan() ? quieted(x) : x;
    }
    const std::int32_t exponent = scaleExponent(x) - S::kBias; // of bit 63
    if (exponent >= 63 || x.isZero())
        return x;
    const std::uint64_t m = x.significand();
    if (exponent < -1)
        return zero(x.negative()); // below one half
    const int fractionBits = 63 - exponent; // 1..64
    std::uint64_t whole = fractionBits == 64 ? 0 : m >> fractionBits;
    const std::uint64_t fraction = fractionBits == 64 ? m : m & ((1ULL << fractionBits) - 1);
    const std::uint64_t half = 1ULL << (fractionBits - 1);
    if (fraction > half || (fraction == half && (whole & 1) != 0))
        ++whole;
    if (whole == 0)
        return zero(x.negative());
    const int lead = std::countl_zero(whole);
    return S::fromBits(static_cast<std::uint16_t>(signOf(x.negative()) | (S::kBias + 63 - lead)), whole << lead);
}

int binaryExponent(S x)
{
    if (!x.isFinite())
        return x.isInfinite() ? INT_MAX : FP_ILOGBNAN;
    if (x.isZero())
        return FP_ILOGB0;
    return scaleExponent(x) - S::kBias - std::countl_zero(x.significand());
}

} // namespace cttax
