// SPDX-License-Identifier: MIT
#include "engine/fpenv.h"

namespace cttax {

namespace {

const char *messageOf(FloatErrorKind kind)
{
    switch (kind) {
    case FloatErrorKind::InvalidOperation:
        return "Invalid floating point operation";
    case FloatErrorKind::DivisionByZero:
        return "Floating point division by zero";
    case FloatErrorKind::Overflow:
        return "Floating point overflow";
    }
    return "Invalid floating point operation";
}

} // namespace

FloatError::FloatError(FloatErrorKind kind) : std::runtime_error(messageOf(kind)), kind_(kind) {}

void raiseFloatError(FloatErrorKind kind)
{
    throw FloatError(kind);
}

void setUpFloatingPoint()
{
    // Control word 0x037F: all six exceptions masked (bits 0-5), precision
    // control 11 = 64-bit significand (bits 8-9), rounding control 00 = to
    // nearest (bits 10-11).
    const unsigned short controlWord = 0x037F;
    asm volatile("fldcw %0" : : "m"(controlWord));
}

void detail::checkNonFinite(Extended result, Extended a, Extended b, bool division)
{
    if (std::isnan(result)) {
        if (!std::isnan(a) && !std::isnan(b))
            raiseFloatError(FloatErrorKind::InvalidOperation);
        return; // a NaN operand passes through quietly, as on the hardware
    }
    if (std::isfinite(a) && std::isfinite(b))
        raiseFloatError(division && b == 0 ? FloatErrorKind::DivisionByZero : FloatErrorKind::Overflow);
}

double toDouble(Extended value)
{
    const double d = static_cast<double>(value);
    if (std::isinf(d) && std::isfinite(value))
        raiseFloatError(FloatErrorKind::Overflow);
    return d;
}

} // namespace cttax
