// SPDX-License-Identifier: MIT
#pragma once

#include "engine/extended.h"
#include "engine/tax_state.h"

namespace cttax {

// What one run of calculate got through, for callers that audit it.
struct CalculationTrace {
    int completedSteps = 0;      // 0 to 7; a step that raised is not counted
    Extended taxableIncome = 0;  // step 3's temporary, valid from step 3 on
};

// Turns the three inputs of the state into its six results, in this order:
//   1 propertyCredit = min(propertyTaxPaid, 500)
//   2 exemption      = Table A (agi, status)
//   3 taxableIncome  = agi - exemption, floored at +0
//   4 tableBTax      = Table B (taxableIncome, status)
//   5 creditDecimal  = Table C (agi, status)
//   6 personalCredit = tableBTax * creditDecimal
//   7 incomeTax      = (tableBTax - personalCredit) - propertyCredit, floored at +0
// Every operation rounds once to extended precision. Single, AGI 16300, no
// property tax: 13000, 99, 0.75, 74.25, 0 and 24.75.
//
// A floating-point error throws FloatError (an AGI of +infinity makes step 6
// multiply infinity by 0); the failing step's result and the later ones keep
// their previous values.
void calculate(TaxState &state, CalculationTrace *trace = nullptr);

} // namespace cttax
