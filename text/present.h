// SPDX-License-Identifier: MIT
#pragma once

#include "engine/extended.h"
#include "engine/tax_state.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace cttax {

// One shown result: which field of the state, and the power of ten it is
// rounded to for display (0: whole dollars, -2: hundredths).
struct PresentedResult {
    Extended TaxState::*field;
    std::int8_t digit;
};

// The six results in the order they are shown.
inline constexpr std::array<PresentedResult, 6> kPresentedResults = {{
    {&TaxState::exemption, 0},
    {&TaxState::tableBTax, 0},
    {&TaxState::creditDecimal, -2},
    {&TaxState::personalCredit, 0},
    {&TaxState::propertyCredit, 0},
    {&TaxState::incomeTax, 0},
}};

// The display text of a result: rounded to double, then roundToDigit, then
// formatDecimal of the rounded double widened back. 302.5 @ 0 -> "302",
// 0.10 @ -2 -> "0.1". Throws FloatError where the value does not fit a
// double (Overflow) or its rounded quotient does not fit 64 bits
// (InvalidOperation).
std::string presentResult(Extended value, std::int8_t digit, std::string_view separator);
std::size_t presentResultTo(char *out, Extended value, std::int8_t digit, std::string_view separator);

} // namespace cttax
