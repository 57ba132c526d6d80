// SPDX-License-Identifier: MIT
#include "engine/tables.h"

#include <algorithm>
#include <array>

namespace cttax {

namespace {

constexpr int kBands = 28;

// Shared by all four ladders: band k of a ladder takes decimal k. Each is the
// extended value nearest to the decimal fraction; only 0.75, 0.50 and 0.25
// are exact.
constexpr std::array<Extended, kBands> kDecimals = {
    0.00L, 0.75L, 0.70L, 0.65L, 0.60L, 0.55L, 0.50L, 0.45L, 0.40L, 0.35L,
    0.30L, 0.25L, 0.20L, 0.15L, 0.14L, 0.13L, 0.12L, 0.11L, 0.10L, 0.09L,
    0.08L, 0.07L, 0.06L, 0.05L, 0.04L, 0.03L, 0.02L, 0.01L,
};

// Upper bound (inclusive) of each band, in whole dollars, by filing status.
constexpr std::array<std::array<Extended, kBands>, 4> kLadders = {{
    // Single
    {13000, 16300, 16800, 17300, 17800, 18300, 18800, 19300, 19800, 21700,
     22200, 22700, 23200, 27100, 27600, 28100, 28600, 29100, 52000, 52500,
     53000, 53500, 54000, 54500, 55000, 55500, 56000, 56500},
    // Married
    {24000, 30000, 30500, 31000, 31500, 32000, 32500, 33000, 33500, 40000,
     40500, 41000, 41500, 50000, 50500, 51000, 51500, 52000, 96000, 96500,
     97000, 97500, 98000, 98500, 99000, 99500, 100000, 100500},
    // Separately
    {12000, 15000, 15500, 16000, 16500, 17000, 17500, 18000, 18500, 20000,
     20500, 21000, 21500, 25000, 25500, 26000, 26500, 27000, 48000, 48500,
     49000, 49500, 50000, 50500, 51000, 51500, 52000, 52500},
    // Household
    {19000, 24000, 24500, 25000, 25500, 26000, 26500, 27000, 27500, 34000,
     34500, 35000, 35500, 44000, 44500, 45000, 45500, 46000, 74000, 74500,
     75000, 75500, 76000, 76500, 77000, 77500, 78000, 78500},
}};

} // namespace

Extended tableCDecimal(Extended agi, std::int32_t filingStatus)
{
    const auto &ladder = kLadders[filingStatus];
    // The first bound that agi does not exceed: lower_bound finds the first
    // bound b with !(b < agi), that is agi <= b, so a bound itself stays in
    // the band that ends there.
    const auto it = std::lower_bound(ladder.begin(), ladder.end(), agi);
    if (it == ladder.end())
        return 0;
    return kDecimals[static_cast<std::size_t>(it - ladder.begin())];
}

} // namespace cttax
