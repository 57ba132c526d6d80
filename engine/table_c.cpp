// SPDX-License-Identifier: MIT
#include "engine/tables.h"

#include <algorithm>
#include <array>

namespace cttax {

namespace {

constexpr int kBands = 28;

// Shared by all four ladders: band k of a ladder takes decimal k. Each is the
// extended value nearest to the decimal fraction, written as its bits (sign
// and exponent, significand); only 0.75, 0.50 and 0.25 are exact.
constexpr std::array<Extended, kBands> kDecimals = {
    extendedFromBits(0x0000, 0x0000000000000000), // 0.00
    extendedFromBits(0x3FFE, 0xC000000000000000), // 0.75
    extendedFromBits(0x3FFE, 0xB333333333333333), // 0.70
    extendedFromBits(0x3FFE, 0xA666666666666666), // 0.65
    extendedFromBits(0x3FFE, 0x999999999999999A), // 0.60
    extendedFromBits(0x3FFE, 0x8CCCCCCCCCCCCCCD), // 0.55
    extendedFromBits(0x3FFE, 0x8000000000000000), // 0.50
    extendedFromBits(0x3FFD, 0xE666666666666666), // 0.45
    extendedFromBits(0x3FFD, 0xCCCCCCCCCCCCCCCD), // 0.40
    extendedFromBits(0x3FFD, 0xB333333333333333), // 0.35
    extendedFromBits(0x3FFD, 0x999999999999999A), // 0.30
    extendedFromBits(0x3FFD, 0x8000000000000000), // 0.25
    extendedFromBits(0x3FFC, 0xCCCCCCCCCCCCCCCD), // 0.20
    extendedFromBits(0x3FFC, 0x999999999999999A), // 0.15
    extendedFromBits(0x3FFC, 0x8F5C28F5C28F5C29), // 0.14
    extendedFromBits(0x3FFC, 0x851EB851EB851EB8), // 0.13
    extendedFromBits(0x3FFB, 0xF5C28F5C28F5C28F), // 0.12
    extendedFromBits(0x3FFB, 0xE147AE147AE147AE), // 0.11
    extendedFromBits(0x3FFB, 0xCCCCCCCCCCCCCCCD), // 0.10
    extendedFromBits(0x3FFB, 0xB851EB851EB851EC), // 0.09
    extendedFromBits(0x3FFB, 0xA3D70A3D70A3D70A), // 0.08
    extendedFromBits(0x3FFB, 0x8F5C28F5C28F5C29), // 0.07
    extendedFromBits(0x3FFA, 0xF5C28F5C28F5C28F), // 0.06
    extendedFromBits(0x3FFA, 0xCCCCCCCCCCCCCCCD), // 0.05
    extendedFromBits(0x3FFA, 0xA3D70A3D70A3D70A), // 0.04
    extendedFromBits(0x3FF9, 0xF5C28F5C28F5C28F), // 0.03
    extendedFromBits(0x3FF9, 0xA3D70A3D70A3D70A), // 0.02
    extendedFromBits(0x3FF8, 0xA3D70A3D70A3D70A), // 0.01
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
