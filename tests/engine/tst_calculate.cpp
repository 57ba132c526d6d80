// SPDX-License-Identifier: MIT
#include "engine/calculate.h"
#include "engine/fpenv.h"
#include "tests/support/hex.h"
#include "text/decimal.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace cttax;

namespace {

constexpr Extended kInf = std::numeric_limits<Extended>::infinity();

struct PipelineCase {
    const char *name;
    std::int32_t status;
    Extended agi, propertyTaxPaid;
    Extended exemption, taxableIncome, tableBTax, creditDecimal, personalCredit, propertyCredit, incomeTax;
    bool approximate; // personalCredit and incomeTax only within a few units of the last bit
};

void PrintTo(const PipelineCase &c, std::ostream *os)
{
    *os << c.name;
}

class Pipeline : public testing::TestWithParam<PipelineCase> {};

TEST_P(Pipeline, WorkedExample)
{
    const PipelineCase &c = GetParam();
    TaxState state;
    state.agi = c.agi;
    state.propertyTaxPaid = c.propertyTaxPaid;
    state.filingStatus = c.status;
    CalculationTrace trace;
    calculate(state, &trace);

    EXPECT_EQ(trace.completedSteps, 7);
    EXPECT_EQ(hex(state.exemption), hex(c.exemption));
    EXPECT_EQ(hex(trace.taxableIncome), hex(c.taxableIncome));
    EXPECT_EQ(hex(state.tableBTax), hex(c.tableBTax));
    EXPECT_EQ(hex(state.creditDecimal), hex(c.creditDecimal));
    EXPECT_EQ(hex(state.propertyCredit), hex(c.propertyCredit));
    if (c.approximate) {
        EXPECT_LE(ulpsBetween(state.personalCredit, c.personalCredit), 4) << hex(state.personalCredit);
        EXPECT_LE(ulpsBetween(state.incomeTax, c.incomeTax), 4) << hex(state.incomeTax);
    } else {
        EXPECT_EQ(hex(state.personalCredit), hex(c.personalCredit));
        EXPECT_EQ(hex(state.incomeTax), hex(c.incomeTax));
    }
    EXPECT_EQ(hex(state.agi), hex(c.agi)); // inputs are never touched
    EXPECT_EQ(hex(state.propertyTaxPaid), hex(c.propertyTaxPaid));
}

INSTANTIATE_TEST_SUITE_P(Examples, Pipeline, testing::Values(
    PipelineCase{"single 16300", Single, 16300, 0, 13000, 3300, 99, 0.75L, 74.25L, 0, 24.75L, false},
    PipelineCase{"single 26500 decimal follows agi", Single, 26500, 0, 12000, 14500, 525, 0.15L, 78.75L, 0, 446.25L, true},
    PipelineCase{"married 60000", Married, 60000, 1200, 12000, 48000, 2000, 0.10L, 200, 500, 1300, true},
    PipelineCase{"separately 30000", Separately, 30000, 300, 6000, 24000, 1000, 0.10L, 100, 300, 600, true},
    PipelineCase{"household 45000", Household, 45000, 500, 12000, 33000, 1330, 0.13L, 172.9L, 500, 657.1L, true},
    PipelineCase{"household credits exceed tax", Household, 20000, 750, 19000, 1000, 30, 0.75L, 22.5L, 500, 0, false},
    PipelineCase{"single negative taxable floored", Single, 10000, 200, 13000, 0, 0, 0, 0, 200, 0, false},
    PipelineCase{"single negative property tax", Single, 100000, -100, 0, 100000, 4800, 0, 0, -100, 4900, false},
    PipelineCase{"property tax exactly 500", Single, 0, 500, 13000, 0, 0, 0, 0, 500, 0, false},
    PipelineCase{"property tax 499.99 passes", Single, 0, 499.99L, 13000, 0, 0, 0, 0, 499.99L, 0, false},
    PipelineCase{"property tax above 500", Single, 0, 500.01L, 13000, 0, 0, 0, 0, 500, 0, false},
    PipelineCase{"agi equal to exemption", Married, 24000, 0, 24000, 0, 0, 0, 0, 0, 0, false},
    PipelineCase{"negative agi", Household, -1e6L, 0, 19000, 0, 0, 0, 0, 0, 0, false},
    PipelineCase{"minus infinity agi runs through", Single, -kInf, 0, 13000, 0, 0, 0, 0, 0, 0, false}),
    CaseName());

TEST(Calculate, HalfWaysComeOutExact)
{
    // 0.15 is not exact, so the credit is one unit above 124.5, and the final
    // tax 830 - that lands exactly on 705.5.
    TaxState state;
    state.agi = 40000;
    state.filingStatus = Household;
    calculate(state);
    EXPECT_EQ(hex(state.exemption), hex(17000.0L));
    EXPECT_EQ(hex(state.tableBTax), hex(830.0L));
    EXPECT_EQ(hex(state.personalCredit), hex(extendedFromBits(0x4005, 0xF900000000000001))); // just above 124.5
    EXPECT_EQ(hex(state.incomeTax), hex(705.5L));

    state.agi = 23050; // taxable 10050
    state.filingStatus = Single;
    calculate(state);
    EXPECT_EQ(hex(state.tableBTax), hex(302.5L));
}

TEST(Calculate, OneCentAcrossTheBandGivesNearestExtendedCredit)
{
    TaxState state;
    state.agi = 16300.01L;
    calculate(state);
    EXPECT_EQ(hex(state.creditDecimal), hex(parseDecimal("0.70").value));
    EXPECT_EQ(hex(state.personalCredit), hex(parseDecimal("69.30021").value));
}

TEST(Calculate, PlusInfinityAgiIsAnInvalidOperationAtTheCredit)
{
    TaxState state;
    state.agi = 16300;
    calculate(state);
    const TaxState before = state;

    state.agi = kInf;
    CalculationTrace trace;
    try {
        calculate(state, &trace);
        FAIL() << "no error";
    } catch (const FloatError &e) {
        EXPECT_EQ(e.kind(), FloatErrorKind::InvalidOperation);
        EXPECT_STREQ(e.what(), "Invalid floating point operation");
    }
    EXPECT_EQ(trace.completedSteps, 5);
    EXPECT_EQ(state.exemption, 0);
    EXPECT_TRUE(isInfinite(state.tableBTax));
    EXPECT_EQ(state.creditDecimal, 0);
    // The failing step and the later ones keep their earlier values.
    EXPECT_EQ(hex(state.personalCredit), hex(before.personalCredit));
    EXPECT_EQ(hex(state.incomeTax), hex(before.incomeTax));
}

TEST(Calculate, HugeNegativePropertyTaxOverflowsAtTheFinalTax)
{
    TaxState state;
    state.agi = parseDecimal("1e4931").value;
    state.propertyTaxPaid = -std::numeric_limits<Extended>::max();
    EXPECT_THROW(
        {
            try {
                calculate(state);
            } catch (const FloatError &e) {
                EXPECT_STREQ(e.what(), "Floating point overflow");
                throw;
            }
        },
        FloatError);
}

TEST(Calculate, StatusChangeReplacesEverythingButThePropertyCredit)
{
    TaxState state;
    state.agi = 30000;
    state.propertyTaxPaid = 250;
    const Extended exemptions[] = {9000, 24000, 6000, 19000};
    for (std::int32_t status = 0; status < kFilingStatusCount; ++status) {
        state.filingStatus = status;
        calculate(state);
        EXPECT_EQ(state.exemption, exemptions[status]);
        EXPECT_EQ(state.propertyCredit, 250);
    }
}

TEST(Calculate, RunsAreBitIdenticalWhateverCameBetween)
{
    TaxState a;
    a.agi = 45000;
    a.propertyTaxPaid = 123.45L;
    a.filingStatus = Household;
    calculate(a);

    TaxState b = a;
    b.agi = 9e30L;
    b.filingStatus = Married;
    calculate(b);
    b.agi = 45000;
    b.filingStatus = Household;
    calculate(b);
    for (auto field : {&TaxState::exemption, &TaxState::tableBTax, &TaxState::creditDecimal,
                       &TaxState::personalCredit, &TaxState::propertyCredit, &TaxState::incomeTax})
        EXPECT_EQ(hex(a.*field), hex(b.*field));
}

} // namespace
