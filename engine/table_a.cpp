// SPDX-License-Identifier: MIT
#include "engine/fpenv.h"
#include "engine/tables.h"

namespace cttax {

namespace {

struct TableARow {
    std::int64_t fullExemption; // F
    std::int64_t fullUpTo;      // P: the largest AGI that keeps F
    std::int64_t offset;        // S = P - 1000
    std::int64_t zeroFrom;      // Z = F + S: the smallest AGI with no exemption
};

// Indexed by filing status: Single, Married, Separately, Household.
constexpr TableARow kTableA[] = {
    {13000, 26000, 25000, 38000},
    {24000, 48000, 47000, 71000},
    {12000, 24000, 23000, 35000},
    {19000, 38000, 37000, 56000},
};

} // namespace

Extended tableAExemption(Extended agi, std::int32_t filingStatus)
{
    const TableARow &row = kTableA[filingStatus];
    if (!(agi > row.fullUpTo))
        return static_cast<Extended>(row.fullExemption);
    if (agi >= row.zeroFrom)
        return 0;
    // P < agi < Z here, so q lies between P/1000 - 1 and Z/1000 and is
    // positive: truncation is its whole part, and the integer steps below
    // stay far from any 64-bit limit. Subtracting 1 first puts each step of
    // the phase-out at a whole dollar: P + 1, P + 1001, ...
    const Extended q = div(sub(agi, 1), 1000);
    const auto k = static_cast<std::int64_t>(q);
    const std::int64_t reduction = 1000 * k - row.offset;
    return static_cast<Extended>(row.fullExemption - reduction);
}

} // namespace cttax
