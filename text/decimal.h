// SPDX-License-Identifier: MIT
#pragma once

#include "engine/extended.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cttax {

struct ParsedDecimal {
    Extended value = 0;
    std::int32_t errorPos = 0; // 0 on success, else the 1-based position of the offending character
};

// Converts the whole text to an extended value. Accepted: leading blanks
// (code 32 only), one sign, digits with an optional "." (always a full stop,
// whatever the locale) and an optional exponent "e"/"E" with a sign and at
// least one digit. Digits may be missing on either side of the point.
//
//   "1234.56" -> nearest extended value, 0    "  12" -> 12, 0
//   "12 "     -> 12, 3                       ""     -> 0, 1
//   "-"       -> 0, 2                        "5e+"  -> 5, 4
//   "1.5x"    -> 15, 4 (on error the value is the digits read so far, as one integer)
//   "1e9999"  -> +infinity, 0                "1e-9999" -> 0, 0
//
// Digits accumulate as a * 10 + d and the result is scaled once by
// 10^(exponent - fraction digits), each step rounded to extended precision.
// Throws FloatError(Overflow) only for absurd texts (thousands of digits, or
// a mantissa times its exponent beyond about 1.19E4932).
ParsedDecimal parseDecimal(std::string_view text);

// The shortest text with at most 15 significant digits (rounded by the 16th
// digit alone), fixed notation from 0.0001 up to below 10^15, scientific
// outside, never a plus sign, padding or trailing zeros:
//   1234.5 -> "1234.5"   0.00001 -> "1E-5"   1/3 -> "0.333333333333333"
//   999999999999999.5 -> "1E15"   zero or denormal -> "0"   infinity -> "INF"
// The second form writes `separator` for the point.
std::string formatDecimal(Extended value);
std::string formatDecimal(Extended value, std::string_view separator);

// The same into a caller's buffer of at least kFormatDecimalMax bytes plus
// the separator's length; returns the number of bytes written (no NUL).
inline constexpr std::size_t kFormatDecimalMax = 32;
std::size_t formatDecimalTo(char *out, Extended value, std::string_view separator);

// Rounds x to a multiple of 10^digit, ties to even, through the extended
// quotient x / f, where f is 10^|digit| (or its reciprocal) rounded to double.
// 2.5 @ 0 -> 2, 418.5 @ 0 -> 418, 0.745 @ -2 -> 0.74, 2.675 @ -2 -> 2.67.
// A zero result is +0. Throws FloatError(InvalidOperation) for an infinite or
// NaN x and where the rounded quotient lies outside the signed 64-bit range
// (-2^63 itself is inside).
double roundToDigit(double x, std::int8_t digit);

} // namespace cttax
