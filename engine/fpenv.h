// SPDX-License-Identifier: MIT
#pragma once

#include "engine/extended.h"

#include <cmath>
#include <stdexcept>

namespace cttax {

enum class FloatErrorKind { InvalidOperation, DivisionByZero, Overflow };

// A floating-point error of the computation or of a text conversion. The
// messages are the ones the user sees in the error report:
//   InvalidOperation  "Invalid floating point operation"
//   DivisionByZero    "Floating point division by zero"
//   Overflow          "Floating point overflow"
class FloatError : public std::runtime_error {
public:
    explicit FloatError(FloatErrorKind kind);
    FloatErrorKind kind() const noexcept { return kind_; }

private:
    FloatErrorKind kind_;
};

[[noreturn]] void raiseFloatError(FloatErrorKind kind);

// Puts the arithmetic into the state every computation assumes: 64-bit
// significand, round to nearest with ties to even, all exceptions masked
// (the x87 unit's control word; nothing to do for the software type).
// Errors are found by looking at each result (below), not by traps, so no
// signal handler is ever involved.
void setUpFloatingPoint();

namespace detail {
// Called only for a result that is an infinity or a NaN: an infinity from
// finite operands is an overflow (or a division by zero), a NaN from
// non-NaN operands is an invalid operation.
void checkNonFinite(Extended result, Extended a, Extended b, bool division);
} // namespace detail

// The four operations, each rounded to extended precision and checked.
inline Extended add(Extended a, Extended b)
{
    const Extended r = a + b;
    if (!isFinite(r)) [[unlikely]]
        detail::checkNonFinite(r, a, b, false);
    return r;
}

inline Extended sub(Extended a, Extended b)
{
    const Extended r = a - b;
    if (!isFinite(r)) [[unlikely]]
        detail::checkNonFinite(r, a, b, false);
    return r;
}

inline Extended mul(Extended a, Extended b)
{
    const Extended r = a * b;
    if (!isFinite(r)) [[unlikely]]
        detail::checkNonFinite(r, a, b, false);
    return r;
}

inline Extended div(Extended a, Extended b)
{
    const Extended r = a / b;
    if (!isFinite(r)) [[unlikely]]
        detail::checkNonFinite(r, a, b, true);
    return r;
}

// Rounds an extended value to double, to nearest with ties to even. A finite
// value beyond the double range is an overflow.
double toDouble(Extended value);

} // namespace cttax
