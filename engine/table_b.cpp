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

// The extended values nearest to the decimal rates, written as their bits so
// that every compiler and machine has the same ones (not double rates
// widened, nor decimal literals that another machine would round otherwise).
constexpr Extended kRate1 = extendedFromBits(0x3FF9, 0xF5C28F5C28F5C28F); // 0.03 = 0xf.5c28f5c28f5c28fp-9
constexpr Extended kRate2 = extendedFromBits(0x3FFA, 0xCCCCCCCCCCCCCCCD); // 0.05 = 0xc.ccccccccccccccdp-8
constexpr Extended kRate3 = extendedFromBits(0x3FFB, 0x851EB851EB851EB8); // 0.065 = 0x8.51eb851eb851eb8p-7

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
