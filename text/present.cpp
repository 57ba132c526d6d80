// SPDX-License-Identifier: MIT
#include "text/present.h"

#include "engine/fpenv.h"
#include "text/decimal.h"

namespace cttax {

std::size_t presentResultTo(char *out, Extended value, std::int8_t digit, std::string_view separator)
{
    const double rounded = roundToDigit(toDouble(value), digit);
    return formatDecimalTo(out, static_cast<Extended>(rounded), separator);
}

std::string presentResult(Extended value, std::int8_t digit, std::string_view separator)
{
    const double rounded = roundToDigit(toDouble(value), digit);
    return formatDecimal(static_cast<Extended>(rounded), separator);
}

} // namespace cttax
