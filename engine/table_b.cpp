// SPDX-License-Identifier: MIT
#include "engine/fpenv.h"
#include "engine/tables.h"

namespace cttax {

namespace {

struct TableBRow {
    Extended limit1; // E1, top of the 3% bracket
    Extended base1;  // B1, the tax at E1
    Extended limit2; // E2, top of the 5% bracket
    Extended base2;  // B2, the tax at E2
};

constexpr TableBRow kSingleOrSeparately = {10000, 300, 500000, 24800};
constexpr TableBRow kHousehold = {16000, 480, 800000, 39680};
constexpr TableBRow kMarried = {20000, 600, 1000000, 49600};

// Indexed by filing status: Single and Separately share a row.
constexpr const TableBRow *kTableB[] = {&kSingleOrSeparately, &kMarried, &kSingleOrSeparately, &kHousehold};

// The extended values nearest to the decimal rates (an L literal is rounded
// once, straight to 64 bits), not double rates widened.
constexpr Extended kRate1 = 0.03L;
constexpr Extended kRate2 = 0.05L;
constexpr Extended kRate3 = 0.065L;

} // namespace

Extended tableBTax(Extended taxableIncome, std::int32_t filingStatus)
{
    const TableBRow &row = *kTableB[filingStatus];
    const Extended t = taxableIncome;
    if (!(t > row.limit1))
        return mul(kRate1, t);
    if (!(t > row.limit2))
        return add(mul(sub(t, row.limit1), kRate2), row.base1);
    return add(mul(sub(t, row.limit2), kRate3), row.base2);
}

} // namespace cttax
