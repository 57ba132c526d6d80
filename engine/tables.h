// SPDX-License-Identifier: MIT
#pragma once

#include "engine/extended.h"

#include <cstdint>

namespace cttax {

// The three look-ups of the CT-1040 tables. Each takes a filing status from 0
// to 3 (Single, Married, Separately, Household); an amount exactly at a table
// limit belongs to the lower band in all three.

// Table A, the personal exemption. Full up to and including the status's
// limit P, then 1000 less for each 1000 (or part of 1000, counted from P + 1)
// above it, and 0 from Z on. Single: 26000 -> 13000, 26000.5 -> 13000,
// 26001 -> 12000, 37999.99 -> 1000, 38000 -> 0.
Extended tableAExemption(Extended agi, std::int32_t filingStatus);

// Table B, the tax before credits on a taxable income t >= 0: 3% up to E1,
// then 5%, then 6.5% above E2, each bracket from its stored base.
// Single, t = 10050 -> exactly 302.5.
Extended tableBTax(Extended taxableIncome, std::int32_t filingStatus);

// Table C, the tax credit decimal for an AGI: the decimal of the first ladder
// bound that the AGI does not exceed, 0 above the last bound.
// Single: 16300 -> 0.75, 16300.01 -> 0.70, 56500.01 -> 0.
Extended tableCDecimal(Extended agi, std::int32_t filingStatus);

} // namespace cttax
