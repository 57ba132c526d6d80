// SPDX-License-Identifier: MIT
#include "engine/calculate.h"

#include "engine/fpenv.h"
#include "engine/tables.h"

namespace cttax {

namespace {

constexpr Extended kMaxPropertyCredit = 500;

// A value that is not greater than or equal to 0 becomes +0.
Extended floorAtZero(Extended value)
{
    return value >= 0 ? value : 0;
}

} // namespace

void calculate(TaxState &state, CalculationTrace *trace)
{
    CalculationTrace local;
    CalculationTrace &t = trace ? *trace : local;
    t = CalculationTrace{};

    state.propertyCredit = state.propertyTaxPaid >= kMaxPropertyCredit ? kMaxPropertyCredit
                                                                       : state.propertyTaxPaid;
    t.completedSteps = 1;

    state.exemption = tableAExemption(state.agi, state.filingStatus);
    t.completedSteps = 2;

    t.taxableIncome = floorAtZero(sub(state.agi, state.exemption));
    t.completedSteps = 3;

    state.tableBTax = tableBTax(t.taxableIncome, state.filingStatus);
    t.completedSteps = 4;

    state.creditDecimal = tableCDecimal(state.agi, state.filingStatus);
    t.completedSteps = 5;

    state.personalCredit = mul(state.tableBTax, state.creditDecimal);
    t.completedSteps = 6;

    state.incomeTax = floorAtZero(sub(sub(state.tableBTax, state.personalCredit), state.propertyCredit));
    t.completedSteps = 7;
}

} // namespace cttax
