// SPDX-License-Identifier: MIT
// The software extended type against the x87 unit, bit for bit: named edge
// cases (checked against their known results on every machine), then ten
// million random operand pairs per operation and a few million for each
// conversion where the x87 unit is there to compare with.
#include "engine/bit_cast.h"
#include "engine/fpenv.h"
#include "engine/soft_extended.h"
#include "engine/soft_wide.h"
#include "text/hexfloat.h"
#include "tests/support/extended_operands.h"
#include "tests/support/hex.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>
#include <vector>

using namespace cttax;
using namespace extended_operands;

namespace {

std::string text(Bits x)
{
    return formatHexFloat(x);
}

std::string text(SoftExtended x)
{
    return formatHexFloat(x.bits());
}

std::string describe(Op op, Bits a, Bits b)
{
    static const char *const names[] = {"+", "-", "*", "/"};
    return text(a) + " " + names[static_cast<int>(op)] + " " + text(b);
}

constexpr std::uint64_t kOnes = ~0ULL;

struct EdgeCase {
    const char *name;
    Op op;
    Bits a, b;
    const char *expected; // %La text of the result
};

// 1 = {0x3FFF, 2^63}; the last place of 1 is 2^-63.
const EdgeCase kEdgeCases[] = {
    {"tie_to_even_down", Op::Add, {0x3FFF, kTop}, {0x3FBF, kTop}, "0x8p-3"},                      // 1 + 2^-64
    {"tie_to_even_up", Op::Add, {0x3FFF, kTop | 1}, {0x3FBF, kTop}, "0x8.000000000000002p-3"},    // (1 + 2^-63) + 2^-64
    {"just_above_tie", Op::Add, {0x3FFF, kTop}, {0x3FBF, kTop | 1}, "0x8.000000000000001p-3"},
    {"carry_into_exponent", Op::Add, {0x3FFF, kOnes}, {0x3FBF, kTop}, "0x8p-2"},                  // (2 - 2^-63) + 2^-64
    {"product_tie", Op::Mul, {0x3FFF, kTop | 1ULL << 31}, {0x3FFF, kTop | 1ULL << 31}, "0x8.0000001p-3"}, // (1 + 2^-32)^2
    {"quotient_rounds_up", Op::Div, {0x3FFF, kTop}, {0x4000, 0xC000000000000000}, "0xa.aaaaaaaaaaaaaabp-5"}, // 1/3
    {"overflow_by_half_ulp", Op::Add, {0x7FFE, kOnes}, {0x7FBE, kTop}, "inf"},
    {"stays_below_overflow", Op::Add, {0x7FFE, kOnes}, {0x7FBD, kOnes}, "0xf.fffffffffffffffp+16380"},
    {"overflow_product", Op::Mul, {0x7FFE, kTop}, {0x4000, kTop}, "inf"},
    {"negative_overflow", Op::Mul, {0xFFFE, kTop}, {0x4000, kTop}, "-inf"},
    {"smallest_normal_halved", Op::Mul, {0x0001, kTop}, {0x3FFE, kTop}, "0x4p-16385"},
    {"subnormal_tie_to_even", Op::Mul, {0x0000, 3}, {0x3FFE, kTop}, "0x0.000000000000002p-16385"}, // 3 * 2^-16446
    {"underflow_to_zero", Op::Mul, {0x0000, 1}, {0x3FFE, kTop}, "0x0p+0"},                         // a tie, to 0
    {"underflow_just_above_half", Op::Mul, {0x0000, 1}, {0x3FFE, kTop | 1}, "0x0.000000000000001p-16385"},
    {"negative_underflow_to_zero", Op::Div, {0x8000, 1}, {0x4000, kTop | 1}, "-0x0p+0"},
    {"subnormals_add_to_normal", Op::Add, {0x0000, 0x4000000000000000}, {0x0000, 0x4000000000000000}, "0x8p-16385"},
    {"normal_minus_subnormal", Op::Sub, {0x0001, kTop}, {0x0000, 1}, "0x7.fffffffffffffffp-16385"},
    {"exact_cancellation", Op::Sub, {0x4005, 0xF900000000000000}, {0x4005, 0xF900000000000000}, "0x0p+0"},
    {"negative_cancellation", Op::Add, {0xC005, 0xF900000000000000}, {0x4005, 0xF900000000000000}, "0x0p+0"},
    {"minus_zero_plus_minus_zero", Op::Add, {0x8000, 0}, {0x8000, 0}, "-0x0p+0"},
    {"minus_zero_plus_zero", Op::Add, {0x8000, 0}, {0x0000, 0}, "0x0p+0"},
    {"zero_minus_zero", Op::Sub, {0x0000, 0}, {0x0000, 0}, "0x0p+0"},
    {"minus_zero_minus_zero", Op::Sub, {0x8000, 0}, {0x0000, 0}, "-0x0p+0"},
    {"minus_zero_times_one", Op::Mul, {0x8000, 0}, {0x3FFF, kTop}, "-0x0p+0"},
    {"zero_divided_by_minus_one", Op::Div, {0x0000, 0}, {0xBFFF, kTop}, "-0x0p+0"},
    {"cancellation_to_last_bit", Op::Sub, {0x3FFF, kTop | 1}, {0x3FFF, kTop}, "0x8p-66"},
    {"far_apart_subtraction", Op::Sub, {0x3FFF, kTop}, {0x3F00, kTop}, "0x8p-3"},
    {"tie_below_one_to_even", Op::Sub, {0x3FFF, kTop}, {0x3FBE, kTop}, "0x8p-3"},             // 1 - 2^-65
    {"just_past_tie_below_one", Op::Sub, {0x3FFF, kTop}, {0x3FBE, kTop | 1}, "0xf.fffffffffffffffp-4"},
    {"infinity_minus_infinity", Op::Sub, {0x7FFF, kTop}, {0x7FFF, kTop}, "-nan"},
    {"infinity_plus_infinity", Op::Add, {0x7FFF, kTop}, {0x7FFF, kTop}, "inf"},
    {"zero_times_infinity", Op::Mul, {0x0000, 0}, {0xFFFF, kTop}, "-nan"},
    {"zero_divided_by_zero", Op::Div, {0x0000, 0}, {0x0000, 0}, "-nan"},
    {"infinity_divided_by_infinity", Op::Div, {0x7FFF, kTop}, {0x7FFF, kTop}, "-nan"},
    {"one_divided_by_minus_zero", Op::Div, {0x3FFF, kTop}, {0x8000, 0}, "-inf"},
    {"one_divided_by_infinity", Op::Div, {0x3FFF, kTop}, {0x7FFF, kTop}, "0x0p+0"},
    {"quiet_nan_operand", Op::Add, {0x7FFF, 0xC000000000000001}, {0x3FFF, kTop}, "nan"},
    {"signalling_nan_quieted", Op::Mul, {0x3FFF, kTop}, {0xFFFF, 0x8000000000000005}, "-nan"},
    {"larger_nan_significand_wins", Op::Add, {0x7FFF, 0xC000000000000001}, {0xFFFF, 0xC000000000000002}, "-nan"},
    {"positive_nan_on_a_tie", Op::Div, {0xFFFF, 0xC000000000000001}, {0x7FFF, 0xC000000000000001}, "nan"},
    {"unnormal_is_invalid", Op::Add, {0x3FFF, 0x4000000000000000}, {0x3FFF, kTop}, "-nan"},
    {"pseudo_subnormal_read_at_exponent_1", Op::Add, {0x0000, kTop}, {0x0000, 0}, "0x8p-16385"},
};

class Edge : public ::testing::TestWithParam<EdgeCase> {};

TEST_P(Edge, SameBitsAsTheKnownResult)
{
    const EdgeCase &c = GetParam();
    const Bits got = softOp(c.op, soft(c.a), soft(c.b)).bits();
    EXPECT_EQ(text(got), c.expected) << describe(c.op, c.a, c.b);
    if constexpr (kHardwareIsX87) {
        setUpFloatingPoint();
        const Bits want = hardwareBits(hardwareOp(c.op, hardware(c.a), hardware(c.b)));
        EXPECT_EQ(text(got), text(want)) << describe(c.op, c.a, c.b);
        EXPECT_TRUE(got == want) << describe(c.op, c.a, c.b); // NaN payloads too
    }
}

INSTANTIATE_TEST_SUITE_P(SoftExtended, Edge, ::testing::ValuesIn(kEdgeCases), CaseName());

// ---------------------------------------------------------------- random

class RandomOperands : public ::testing::TestWithParam<Op> {};

TEST_P(RandomOperands, TenMillionPairsGiveTheHardwareBits)
{
    if constexpr (!kHardwareIsX87) {
        GTEST_SKIP() << "no x87 unit to compare with here";
    } else {
        setUpFloatingPoint();
        const Op op = GetParam();
        Random r(0x5EED0000 + static_cast<std::uint64_t>(op));
        constexpr long kPairs = 10'000'000;
        long mismatches = 0;
        for (long i = 0; i < kPairs; ++i) {
            Bits a{}, b{};
            pair(r, op, a, b);
            const Bits want = hardwareBits(hardwareOp(op, hardware(a), hardware(b)));
            const Bits got = softOp(op, soft(a), soft(b)).bits();
            if (!(got == want) && ++mismatches <= 10)
                ADD_FAILURE() << describe(op, a, b) << ": software " << text(got) << ", x87 " << text(want);
        }
        EXPECT_EQ(mismatches, 0);
    }
}

std::string opName(const ::testing::TestParamInfo<Op> &info)
{
    static const char *const names[] = {"add", "sub", "mul", "div"};
    return names[static_cast<int>(info.param)];
}

INSTANTIATE_TEST_SUITE_P(SoftExtended, RandomOperands, ::testing::Values(Op::Add, Op::Sub, Op::Mul, Op::Div), opName);

// One random operand of any class.
[[maybe_unused]] Bits anyOperand(Random &r)
{
    Bits a{}, b{};
    pair(r, static_cast<Op>(r.below(4)), a, b);
    return r.below(2) ? a : b;
}

[[gnu::noinline, maybe_unused]] double hardwareToDouble(long double x)
{
    return static_cast<double>(x);
}
[[gnu::noinline, maybe_unused]] long double hardwareFromDouble(double x)
{
    return x;
}

TEST(SoftExtendedConversions, DoubleBothWaysAsTheHardware)
{
    if constexpr (!kHardwareIsX87) {
        GTEST_SKIP() << "no x87 unit to compare with here";
    } else {
        setUpFloatingPoint();
        Random r(77);
        long mismatches = 0;
        for (long i = 0; i < 2'000'000; ++i) {
            Bits x = anyOperand(r);
            // Half of them in and around the double range, where rounding to
            // double and its subnormals matter.
            if (r.below(2) && (x.signExponent & 0x7FFF) != 0 && (x.signExponent & 0x7FFF) != 0x7FFF)
                x.signExponent = static_cast<std::uint16_t>((x.signExponent & 0x8000) | (16383 - 1100 + r.below(2200)));
            const double want = hardwareToDouble(hardware(x));
            const double got = static_cast<double>(soft(x));
            if (cttax::bitCast<std::uint64_t>(want) != cttax::bitCast<std::uint64_t>(got) && ++mismatches <= 10)
                ADD_FAILURE() << "to double " << text(x) << ": " << got << " vs " << want;
            const auto d = cttax::bitCast<double>(r.next());
            const Bits back = SoftExtended(d).bits();
            if (!(back == hardwareBits(hardwareFromDouble(d))) && ++mismatches <= 10)
                ADD_FAILURE() << "from double " << d << ": " << text(back);
        }
        EXPECT_EQ(mismatches, 0);
    }
}

[[gnu::noinline, maybe_unused]] std::int64_t hardwareToInt64(long double x)
{
    return static_cast<std::int64_t>(x);
}
[[gnu::noinline, maybe_unused]] std::uint64_t hardwareToUint64(long double x)
{
    return static_cast<std::uint64_t>(x);
}

TEST(SoftExtendedConversions, IntegersRintAndIlogbAsTheHardware)
{
    if constexpr (!kHardwareIsX87) {
        GTEST_SKIP() << "no x87 unit to compare with here";
    } else {
        setUpFloatingPoint();
        Random r(78);
        long mismatches = 0;
        const auto fail = [&mismatches](const std::string &what) {
            if (++mismatches <= 10)
                ADD_FAILURE() << what;
        };
        for (long i = 0; i < 2'000'000; ++i) {
            Bits x = anyOperand(r);
            // Most of them where they have an integer part and a fraction.
            if (r.below(4) != 0 && (x.signExponent & 0x7FFF) != 0 && (x.signExponent & 0x7FFF) != 0x7FFF)
                x.signExponent = static_cast<std::uint16_t>((x.signExponent & 0x8000) | (16383 - 2 + r.below(68)));
            const SoftExtended s = soft(x);
            const long double h = hardware(x);
            if (!(roundToInteger(s).bits() == hardwareBits(std::rint(h))))
                fail("rint " + text(x) + ": " + text(roundToInteger(s).bits()));
            if (binaryExponent(s) != std::ilogb(h))
                fail("ilogb " + text(x));
            if (classify(s) != std::fpclassify(h))
                fail("classify " + text(x));
            if (signBit(s) != std::signbit(h) || isNan(s) != std::isnan(h) || isFinite(s) != std::isfinite(h) ||
                isInfinite(s) != std::isinf(h))
                fail("class " + text(x));
            if (!(absolute(s).bits() == hardwareBits(std::fabs(h))) || !((-s).bits() == hardwareBits(-h)))
                fail("sign " + text(x));
            if (isFinite(s) && std::fabs(h) < 9.2e18L && static_cast<std::int64_t>(s) != hardwareToInt64(h))
                fail("to int64 " + text(x));
            if (isFinite(s) && h > -1 && h < 1.8e19L && static_cast<std::uint64_t>(s) != hardwareToUint64(h))
                fail("to uint64 " + text(x));
            const auto n = static_cast<std::int64_t>(r.shifted(r.below(64)));
            if (!(SoftExtended(n).bits() == hardwareBits(static_cast<long double>(n))) ||
                !(SoftExtended(-n).bits() == hardwareBits(static_cast<long double>(-n))))
                fail("from int64 " + std::to_string(n));
        }
        EXPECT_EQ(mismatches, 0);
    }
}

TEST(SoftExtendedComparisons, OrderAsTheHardware)
{
    if constexpr (!kHardwareIsX87) {
        GTEST_SKIP() << "no x87 unit to compare with here";
    } else {
        Random r(79);
        long mismatches = 0;
        for (long i = 0; i < 2'000'000; ++i) {
            Bits a{}, b{};
            pair(r, Op::Sub, a, b);
            const SoftExtended x = soft(a), y = soft(b);
            const long double h = hardware(a), k = hardware(b);
            const bool same = (x == y) == (h == k) && (x < y) == (h < k) && (x <= y) == (h <= k) &&
                              (x > y) == (h > k) && (x >= y) == (h >= k);
            if (!same && ++mismatches <= 10)
                ADD_FAILURE() << text(a) << " against " << text(b);
        }
        EXPECT_EQ(mismatches, 0);
    }
}

// ---------------------------------------------------------------- on every machine

// The 64-bit halves against the compiler's 128-bit integer, where it has one:
// products, quotients by any divisor (not only the normalised ones the type
// uses), sums with carries and shifts by every distance.
TEST(SoftWide, HalvesAgreeWithTheCompilersWideInteger)
{
#ifndef __SIZEOF_INT128__
    GTEST_SKIP() << "no 128-bit integer to compare with here (the golden digests check the type)";
#else
    __extension__ typedef unsigned __int128 Native;
    const auto native = [](wide::U128 v) { return static_cast<Native>(v.high) << 64 | v.low; };
    Random r(128);
    for (int i = 0; i < 1'000'000; ++i) {
        const std::uint64_t a = r.shifted(r.below(64)), b = r.shifted(r.below(64));
        ASSERT_TRUE(native(wide::product(a, b)) == static_cast<Native>(a) * b) << a << " * " << b;
        const std::uint64_t d = (r.shifted(r.below(64))) | 1;
        const wide::U128 n{r.next() % d, r.next()};
        std::uint64_t remainder = 0;
        const std::uint64_t q = wide::quotient(n, d, remainder);
        ASSERT_TRUE(q == native(n) / d && remainder == native(n) % d) << n.high << ":" << n.low << " / " << d;
        const wide::U128 m{r.next(), r.next()};
        const int k = static_cast<int>(r.below(128));
        ASSERT_TRUE(native(wide::shiftedRight(m, k)) == native(m) >> k) << k;
        ASSERT_TRUE(native(m + n) == native(m) + native(n) && native(m - n) == native(m) - native(n));
        ASSERT_EQ(wide::leadingBit(m), m.high != 0 ? 127 - std::countl_zero(m.high) : 63 - std::countl_zero(m.low | 1));
    }
#endif
}

TEST(SoftExtendedValues, LimitsAndConstantsHaveTheirBits)
{
    using L = std::numeric_limits<SoftExtended>;
    EXPECT_EQ(text(L::max()), "0xf.fffffffffffffffp+16380");
    EXPECT_EQ(text(L::min()), "0x8p-16385");
    EXPECT_EQ(text(L::denorm_min()), "0x0.000000000000001p-16385");
    EXPECT_EQ(text(L::epsilon()), "0x8p-66");
    EXPECT_EQ(text(L::infinity()), "inf");
    EXPECT_EQ(text(-L::infinity()), "-inf");
    EXPECT_EQ(text(L::quiet_NaN()), "nan");
    EXPECT_EQ(text(SoftExtended(-0.0)), "-0x0p+0");
    EXPECT_EQ(text(SoftExtended(1234.56)), "0x9.a51eb851eb85p+7"); // the double 1234.56, widened exactly
    EXPECT_EQ(text(SoftExtended(std::int64_t{-9223372036854775807 - 1})), "-0x8p+60");
    EXPECT_EQ(text(SoftExtended(~0ULL)), "0xf.fffffffffffffffp+60");
    EXPECT_EQ(text(SoftExtended(1) / 10), "0xc.ccccccccccccccdp-7");
    // 2^-1075 + 2^-1100 rounds to the smallest double subnormal; 2^-1075 alone ties to 0.
    EXPECT_EQ(cttax::bitCast<std::uint64_t>(static_cast<double>(SoftExtended::fromBits(16383 - 1075, kTop | 1ULL << 38))), 1u);
    EXPECT_EQ(cttax::bitCast<std::uint64_t>(static_cast<double>(SoftExtended::fromBits(16383 - 1075, kTop))), 0u);
    EXPECT_EQ(static_cast<std::int64_t>(SoftExtended(-2.75)), -2);
    EXPECT_EQ(static_cast<std::int64_t>(L::infinity()), INT64_MIN);
    EXPECT_EQ(text(roundToInteger(SoftExtended(2.5))), "0x8p-2");
    EXPECT_EQ(text(roundToInteger(SoftExtended(-0.5))), "-0x0p+0");
    EXPECT_EQ(binaryExponent(SoftExtended(0.0)), FP_ILOGB0);
    EXPECT_EQ(binaryExponent(L::denorm_min()), -16445);
}

TEST(SoftExtendedText, HexFormMatchesGlibcForEveryClass)
{
#ifndef __GLIBC__
    constexpr bool kGlibc = false;
#else
    constexpr bool kGlibc = true;
#endif
    if constexpr (!kHardwareIsX87 || !kGlibc) {
        GTEST_SKIP() << "the reference, glibc's %La of the x87 type, is not here";
    } else {
        Random r(80);
        long mismatches = 0;
        for (long i = 0; i < 500'000; ++i) {
            const Bits x = anyOperand(r);
            char buffer[64];
            std::snprintf(buffer, sizeof buffer, "%La", hardware(x));
            if (text(soft(x)) != buffer && ++mismatches <= 10)
                ADD_FAILURE() << text(soft(x)) << " vs " << buffer;
        }
        EXPECT_EQ(mismatches, 0);
    }
}

} // namespace
