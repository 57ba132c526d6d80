// SPDX-License-Identifier: MIT
#pragma once

#include "engine/extended.h"

#include <cstdint>

namespace cttax {

// The number is the item index of the window's filing status group and the
// value stored in the settings file.
enum FilingStatus : std::int32_t { Single = 0, Married = 1, Separately = 2, Household = 3 };

inline constexpr int kFilingStatusCount = 4;

// The three inputs and six results of one computation, in US dollars.
struct TaxState {
    Extended agi = 0;             // input: CT adjusted gross income
    Extended propertyTaxPaid = 0; // input: CT property tax paid
    Extended exemption = 0;       // personal exemption, Table A
    Extended tableBTax = 0;       // CT income tax from Table B
    Extended creditDecimal = 0;   // tax credit decimal, Table C
    Extended personalCredit = 0;  // CT personal tax credit
    Extended propertyCredit = 0;  // property tax credit allowance
    Extended incomeTax = 0;       // Connecticut state income tax, the final answer
    std::int32_t filingStatus = Single;
};

} // namespace cttax
