// SPDX-License-Identifier: MIT
#include "engine/tables.h"
#include "engine/tax_state.h"
#include "tests/support/hex.h"
#include "text/decimal.h"

#include <gtest/gtest.h>

#include <limits>

using namespace cttax;

namespace {

struct TableCase {
    const char *name;
    std::int32_t status;
    Extended input;
    Extended expected;
};

void PrintTo(const TableCase &c, std::ostream *os)
{
    *os << c.name;
}

// ---------------------------------------------------------------- Table A

class TableA : public testing::TestWithParam<TableCase> {};

TEST_P(TableA, Exemption)
{
    const TableCase &c = GetParam();
    EXPECT_EQ(hex(tableAExemption(c.input, c.status)), hex(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Examples, TableA, testing::Values(
    TableCase{"single negative", Single, -5, 13000},
    TableCase{"single zero", Single, 0, 13000},
    TableCase{"single at full limit", Single, 26000, 13000},
    TableCase{"single a cent above limit", Single, 26000.01L, 13000},
    TableCase{"single half above limit", Single, 26000.5L, 13000},
    TableCase{"single first step", Single, 26001, 12000},
    TableCase{"single within step", Single, 26500, 12000},
    TableCase{"single step end", Single, 27000, 12000},
    TableCase{"single step end plus half", Single, 27000.5L, 12000},
    TableCase{"single step end plus 99 cents", Single, 27000.99L, 12000},
    TableCase{"single second step", Single, 27001, 11000},
    TableCase{"single 30000", Single, 30000, 9000},
    TableCase{"single last step", Single, 37999, 1000},
    TableCase{"single just below zero point", Single, 37999.99L, 1000},
    TableCase{"single zero point", Single, 38000, 0},
    TableCase{"married at limit", Married, 48000, 24000},
    TableCase{"married half above", Married, 48000.5L, 24000},
    TableCase{"married first step", Married, 48001, 23000},
    TableCase{"married step end", Married, 49000, 23000},
    TableCase{"married second step", Married, 49001, 22000},
    TableCase{"married last step", Married, 70999.5L, 1000},
    TableCase{"married zero point", Married, 71000, 0},
    TableCase{"separately at limit", Separately, 24000, 12000},
    TableCase{"separately first step", Separately, 24001, 11000},
    TableCase{"separately step end", Separately, 25000, 11000},
    TableCase{"separately second step", Separately, 25001, 10000},
    TableCase{"separately 30000", Separately, 30000, 6000},
    TableCase{"separately just below zero point", Separately, 34999.999L, 1000},
    TableCase{"separately zero point", Separately, 35000, 0},
    TableCase{"household at limit", Household, 38000, 19000},
    TableCase{"household first step", Household, 38001, 18000},
    TableCase{"household step end", Household, 39000, 18000},
    TableCase{"household second step", Household, 39001, 17000},
    TableCase{"household last step", Household, 55999.01L, 1000},
    TableCase{"household zero point", Household, 56000, 0},
    TableCase{"household 40000", Household, 40000, 17000},
    TableCase{"married 30000 full", Married, 30000, 24000},
    TableCase{"household 30000 full", Household, 30000, 19000},
    TableCase{"single minus infinity", Single, -std::numeric_limits<Extended>::infinity(), 13000},
    TableCase{"single plus infinity", Single, std::numeric_limits<Extended>::infinity(), 0}),
    CaseName());

TEST(TableA, NeverFractionalNorNegativeOverTheWholePhaseOut)
{
    for (std::int32_t status = 0; status < kFilingStatusCount; ++status) {
        for (Extended agi = 20000; agi < 80000; agi += 0.37L) {
            const Extended e = tableAExemption(agi, status);
            ASSERT_GE(e, 0) << status << ' ' << hex(agi);
            ASSERT_EQ(e, static_cast<Extended>(static_cast<std::int64_t>(e / 1000) * 1000)) << status << ' ' << hex(agi);
        }
    }
}

// ---------------------------------------------------------------- Table B

class TableB : public testing::TestWithParam<TableCase> {};

TEST_P(TableB, Tax)
{
    const TableCase &c = GetParam();
    EXPECT_EQ(hex(tableBTax(c.input, c.status)), hex(c.expected));
    if (c.status == Single) { // Single and Separately share their brackets
        EXPECT_EQ(hex(tableBTax(c.input, Separately)), hex(c.expected));
    }
}

INSTANTIATE_TEST_SUITE_P(Examples, TableB, testing::Values(
    TableCase{"zero", Single, 0, 0},
    TableCase{"zero married", Married, 0, 0},
    TableCase{"zero household", Household, 0, 0},
    TableCase{"one dollar", Single, 1, 0.03L},
    TableCase{"3300", Single, 3300, 99},
    TableCase{"at E1", Single, 10000, 300},
    TableCase{"above E1", Single, 10001, 300.05L},
    TableCase{"exact half", Single, 10050, 302.5L},
    TableCase{"250000", Single, 250000, 12300},
    TableCase{"at E2", Single, 500000, 24800},
    TableCase{"half above E2", Single, 500000.5L, 24800.0325L},
    TableCase{"above E2", Single, 500001, 24800.065L},
    TableCase{"million", Single, 1000000, 57300},
    TableCase{"20000 single", Single, 20000, 800},
    TableCase{"household at E1", Household, 16000, 480},
    TableCase{"household above E1", Household, 16001, 480.05L},
    TableCase{"household 20000", Household, 20000, 680},
    TableCase{"household at E2", Household, 800000, 39680},
    TableCase{"household above E2", Household, 800001, 39680.065L},
    TableCase{"married at E1", Married, 20000, 600},
    TableCase{"married above E1", Married, 20001, 600.05L},
    TableCase{"married exact half", Married, 20050, 602.5L},
    TableCase{"married at E2", Married, 1000000, 49600},
    TableCase{"married above E2", Married, 1000001, 49600.065L},
    TableCase{"married two million", Married, 2000000, 114600}),
    CaseName());

// ---------------------------------------------------------------- Table C

class TableC : public testing::TestWithParam<TableCase> {};

TEST_P(TableC, Decimal)
{
    const TableCase &c = GetParam();
    EXPECT_EQ(hex(tableCDecimal(c.input, c.status)), hex(c.expected));
}

INSTANTIATE_TEST_SUITE_P(EdgeCases, TableC, testing::Values(
    TableCase{"single negative", Single, -500, 0},
    TableCase{"single zero", Single, 0, 0},
    TableCase{"single first bound", Single, 13000, 0},
    TableCase{"single above first bound", Single, 13000.01L, 0.75L},
    TableCase{"single 16300", Single, 16300, 0.75L},
    TableCase{"single 16300.01", Single, 16300.01L, 0.70L},
    TableCase{"single tenth of a cent above", Single, 16300.001L, 0.70L},
    TableCase{"single 29100", Single, 29100, 0.11L},
    TableCase{"single 29100.01", Single, 29100.01L, 0.10L},
    TableCase{"single 52000", Single, 52000, 0.10L},
    TableCase{"single last bound", Single, 56500, 0.01L},
    TableCase{"single above last bound", Single, 56500.01L, 0},
    TableCase{"married 16300", Married, 16300, 0},
    TableCase{"married first bound", Married, 24000, 0},
    TableCase{"married above first bound", Married, 24000.01L, 0.75L},
    TableCase{"married 30000.01", Married, 30000.01L, 0.70L},
    TableCase{"married 52000", Married, 52000, 0.11L},
    TableCase{"married last bound", Married, 100500, 0.01L},
    TableCase{"married above last bound", Married, 100500.01L, 0},
    TableCase{"separately above first bound", Separately, 12000.01L, 0.75L},
    TableCase{"separately 20000", Separately, 20000, 0.35L},
    TableCase{"separately 52000", Separately, 52000, 0.02L},
    TableCase{"separately above last bound", Separately, 52500.01L, 0},
    TableCase{"household first bound", Household, 19000, 0},
    TableCase{"household above first bound", Household, 19000.01L, 0.75L},
    TableCase{"household 40000", Household, 40000, 0.15L},
    TableCase{"household 52000", Household, 52000, 0.10L},
    TableCase{"household last bound", Household, 78500, 0.01L},
    TableCase{"household above last bound", Household, 78500.01L, 0},
    TableCase{"household infinity", Household, std::numeric_limits<Extended>::infinity(), 0}),
    CaseName());

TEST(TableC, DecimalsAreNearestExtendedNotWidenedDoubles)
{
    // 0.70 sits just below 0.7 and 0.60 just above; a widened double would
    // differ in the last 11 bits.
    EXPECT_EQ(hex(tableCDecimal(16300.01L, Single)), "0xb.333333333333333p-4");
    EXPECT_NE(hex(tableCDecimal(16300.01L, Single)), hex(static_cast<Extended>(0.7)));
    EXPECT_EQ(hex(tableCDecimal(17500, Single)), hex(parseDecimal("0.60").value));
}

} // namespace
