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
    prepareExtendedArithmetic();
}

void detail::checkNonFinite(Extended result, Extended a, Extended b, bool division)
{
    if (isNan(result)) {
        if (!isNan(a) && !isNan(b))
            raiseFloatError(FloatErrorKind::InvalidOperation);
        return; // a NaN operand passes through quietly, as on the hardware
    }
    if (isFinite(a) && isFinite(b))
        raiseFloatError(division && b == 0 ? FloatErrorKind::DivisionByZero : FloatErrorKind::Overflow);
}

double toDouble(Extended value)
{
    const double d = static_cast<double>(value);
    if (std::isinf(d) && isFinite(value))
        raiseFloatError(FloatErrorKind::Overflow);
    return d;
}

} // namespace cttax
