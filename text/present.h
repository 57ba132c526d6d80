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

// One shown result: which field of the state, the power of ten it is rounded
// to for display (0: whole dollars, -2: hundredths), and the caption beside it.
struct PresentedResult {
    Extended TaxState::*field;
    std::int8_t digit;
    const char *caption;
};

// The six results in the order they are shown.
inline constexpr std::array<PresentedResult, 6> kPresentedResults = {{
    {&TaxState::exemption, 0, "Personal Exemption Table A .........................$"},
    {&TaxState::tableBTax, 0, "CT Income Tax from Table B .........................$"},
    {&TaxState::creditDecimal, -2, "Tax Credit Decimal Table C ............................"},
    {&TaxState::personalCredit, 0, "CT Personal Tax Credit ..................................$"},
    {&TaxState::propertyCredit, 0, "Property Tax Credit Allowance.....................$"},
    {&TaxState::incomeTax, 0, "Connecticut State Income Tax .....................$"},
}};

// The input warnings, shown when an input text is not a number.
inline constexpr const char *kAgiWarning = "Error in CT AGI entry.";
inline constexpr const char *kPropertyTaxWarning = "Error in CT PROPERTY TAX entry.";

// The display text of a result: rounded to double, then roundToDigit, then
// formatDecimal of the rounded double widened back. 302.5 @ 0 -> "302",
// 0.10 @ -2 -> "0.1". Throws FloatError where the value does not fit a
// double (Overflow) or its rounded quotient does not fit 64 bits
// (InvalidOperation).
std::string presentResult(Extended value, std::int8_t digit, std::string_view separator);
// The same into `out`, which holds at least kFormatDecimalMax bytes plus the
// separator's length; returns the length written (no terminating zero). On a
// throw nothing is promised of `out`. The batch calculator writes its lines
// with it, without a string per result:
//   presentResultTo(buffer, 126 / 1000 as Extended, -2, ",") -> 4, buffer "0,13"
std::size_t presentResultTo(char *out, Extended value, std::int8_t digit, std::string_view separator);

} // namespace cttax
