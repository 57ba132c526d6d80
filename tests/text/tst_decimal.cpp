// SPDX-License-Identifier: MIT
#include "engine/fpenv.h"
#include "text/decimal.h"
#include "text/pow10.h"
#include "text/present.h"
#include "tests/support/hex.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace cttax;

namespace {

constexpr Extended kInf = std::numeric_limits<Extended>::infinity();

// ---------------------------------------------------------------- parseDecimal

struct ParseCase {
    const char *name;
    std::string_view text;
    Extended value;
    int errorPos;
};

void PrintTo(const ParseCase &c, std::ostream *os)
{
    *os << c.name;
}

class Parse : public testing::TestWithParam<ParseCase> {};

TEST_P(Parse, ValueAndErrorPosition)
{
    const ParseCase &c = GetParam();
    const ParsedDecimal parsed = parseDecimal(c.text);
    EXPECT_EQ(hex(parsed.value), hex(c.value));
    EXPECT_EQ(parsed.errorPos, c.errorPos);
}

INSTANTIATE_TEST_SUITE_P(EdgeCases, Parse, testing::Values(
    ParseCase{"empty", "", 0, 1},
    ParseCase{"plain fraction", "1234.56", 1234.56L, 0},
    ParseCase{"leading blanks", "  12", 12, 0},
    ParseCase{"trailing blank", "12 ", 12, 3},
    ParseCase{"only blanks", "   ", 0, 4},
    ParseCase{"negative", "-1.5", -1.5L, 0},
    ParseCase{"plus sign", "+3", 3, 0},
    ParseCase{"exponent", "1e3", 1000, 0},
    ParseCase{"exponent with plus", "1E+3", 1000, 0},
    ParseCase{"negative exponent", "1.5e-3", 0.0015L, 0},
    ParseCase{"trailing point", "5.", 5, 0},
    ParseCase{"leading point", ".5", 0.5L, 0},
    ParseCase{"lone point", ".", 0, 0},
    ParseCase{"exponent without mantissa", "e5", 0, 0},
    ParseCase{"lone minus", "-", 0, 2},
    ParseCase{"lone plus", "+", 0, 2},
    ParseCase{"exponent without digits", "5e", 5, 3},
    ParseCase{"exponent sign without digits", "5e+", 5, 4},
    ParseCase{"exponent letter then junk", "5e+x", 5, 4},
    ParseCase{"thousands separator", "1,234", 1, 2},
    ParseCase{"junk after fraction keeps digits as integer", "1.5x", 15, 4},
    ParseCase{"second point", "12.34.5", 1234, 6},
    ParseCase{"junk after negative keeps no sign", "-5x", 5, 3},
    ParseCase{"dollar sign", "$10", 0, 1},
    ParseCase{"tab is not a blank", "\t5", 0, 1},
    ParseCase{"blank after sign", "- 5", 0, 2},
    ParseCase{"leading zeros", "007", 7, 0},
    ParseCase{"huge exponent", "1e9999", kInf, 0},
    ParseCase{"huge negative", "-1e9999", -kInf, 0},
    ParseCase{"zero times huge scale", "0e5120", kInf, 0},
    ParseCase{"tiny exponent", "1e-9999", 0, 0},
    ParseCase{"wrapping exponent saturates", "1e99999999999", kInf, 0},
    ParseCase{"wrapping negative exponent saturates", "1e-99999999999", 0, 0},
    ParseCase{"minus zero", "-0", -0.0L, 0},
    ParseCase{"comma decimal", "1234,5", 1234, 5},
    ParseCase{"largest tested scale", "123456789e27", extendedFromBits(0x4073, 0xBE371DFE66CC9296ULL), 0}),
    CaseName());

TEST(Parse, OverflowOfAFiniteScaleIsAnError)
{
    for (const char *text : {"9e4932", "1e5119"}) {
        try {
            parseDecimal(text);
            ADD_FAILURE() << text;
        } catch (const FloatError &e) {
            EXPECT_STREQ(e.what(), "Floating point overflow");
        }
    }
}

// For at most 19 significant digits the accumulator is exact and one table
// entry (exact up to 10^27) scales it, so the result is correctly rounded:
// it must equal glibc's strtold bit for bit.
TEST(Parse, EqualsCorrectlyRoundedStrtoldWithinExactScales)
{
    if (std::numeric_limits<long double>::digits != 64)
        GTEST_SKIP() << "the reference, strtold, needs the x87 long double (the golden digests check parsing here)";
    std::mt19937_64 random(20101231);
    for (int i = 0; i < 200000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 19);
        std::string text;
        for (int d = 0; d < digits; ++d)
            text += static_cast<char>('0' + random() % 10);
        const int scale = static_cast<int>(random() % 55) - 27;
        const int point = static_cast<int>(random() % (digits + 1));
        text.insert(static_cast<std::size_t>(point), ".");
        const int exponent = scale + (digits - point);
        text += "e" + std::to_string(exponent);
        if (random() % 2)
            text.insert(0, "-");
        const ParsedDecimal parsed = parseDecimal(text);
        ASSERT_EQ(parsed.errorPos, 0) << text;
        ASSERT_EQ(hex(parsed.value), hex(std::strtold(text.c_str(), nullptr))) << text;
    }
}

// ---------------------------------------------------------------- formatDecimal

struct FormatCase {
    const char *name;
    Extended value;
    const char *separator;
    const char *text;
};

void PrintTo(const FormatCase &c, std::ostream *os)
{
    *os << c.name;
}

class Format : public testing::TestWithParam<FormatCase> {};

TEST_P(Format, Text)
{
    const FormatCase &c = GetParam();
    EXPECT_EQ(formatDecimal(c.value, c.separator), c.text);
}

INSTANTIATE_TEST_SUITE_P(Examples, Format, testing::Values(
    FormatCase{"zero", 0, ".", "0"},
    FormatCase{"minus zero", -0.0L, ".", "0"},
    FormatCase{"denormal", std::numeric_limits<Extended>::denorm_min(), ".", "0"},
    FormatCase{"fraction", 1234.5L, ".", "1234.5"},
    FormatCase{"comma separator", 1234.5L, ",", "1234,5"},
    FormatCase{"multibyte separator", 1234.5L, "\xd9\xab", "1234\xd9\xab" "5"},
    FormatCase{"negative", -2.5L, ".", "-2.5"},
    FormatCase{"hundred", 100, ".", "100"},
    FormatCase{"decimal", 0.15L, ".", "0.15"},
    FormatCase{"double 0.15 widened", 0.15, ".", "0.15"},
    FormatCase{"smallest fixed", 0.0001L, ".", "0.0001"},
    FormatCase{"largest scientific small", 0.00001L, ".", "1E-5"},
    FormatCase{"scientific with digits", 0.000015L, ".", "1.5E-5"},
    FormatCase{"one third", 1.0L / 3, ".", "0.333333333333333"},
    FormatCase{"two thirds", 2.0L / 3, ".", "0.666666666666667"},
    FormatCase{"largest fixed", 999999999999999.0L, ".", "999999999999999"},
    FormatCase{"rounds up to scientific", 999999999999999.5L, ".", "1E15"},
    FormatCase{"ten to fifteen", 1e15L, ".", "1E15"},
    FormatCase{"nineteen digits", 1234567890123456789.0L, ".", "1.23456789012346E18"},
    FormatCase{"infinity", kInf, ".", "INF"},
    FormatCase{"minus infinity", -kInf, ".", "-INF"},
    FormatCase{"nan", std::numeric_limits<Extended>::quiet_NaN(), ".", "NAN"},
    FormatCase{"largest extended", std::numeric_limits<Extended>::max(), ".", "1.18973149535723E4932"},
    FormatCase{"smallest normal", std::numeric_limits<Extended>::min(), ".", "3.36210314311209E-4932"},
    // 0.99671949510976e-205 * 1.00000000000000001
    FormatCase{"below 2e-205 keeps 15 digits", extendedFromBits(0x3D56, 0x80000000000075B6ULL), ".",
               "9.9671949510976E-206"},
    FormatCase{"whole with zeros", 1200, ".", "1200"},
    FormatCase{"tiny fixed", 0.00012345L, ".", "0.00012345"},
    FormatCase{"the locale's comma", 0.75L, ",", "0,75"}),
    CaseName());

TEST(Format, WithoutSeparatorWritesPoint)
{
    EXPECT_EQ(formatDecimal(0.75L), "0.75");
}

// Every value below about 2e-205 used to risk a 14-digit text.
TEST(Format, TinyValuesAlwaysStartWithANonZeroDigit)
{
    const Extended last = parseDecimal("1e-4900").value, factor = parseDecimal("0.0137").value;
    for (Extended v = parseDecimal("1e-300").value; v > last; v *= factor) {
        const std::string text = formatDecimal(v, ".");
        ASSERT_NE(text[0], '0') << hex(v) << ' ' << text;
    }
}

// At most 15 significant digits come back as the same digits, without
// trailing zeros.
TEST(Format, RoundTripsFifteenDigitTexts)
{
    EXPECT_EQ(formatDecimal(parseDecimal("0050.10").value, "."), "50.1");
    std::mt19937_64 random(4932);
    for (int i = 0; i < 200000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 15);
        std::string mantissa(1, static_cast<char>('1' + random() % 9));
        for (int d = 1; d < digits; ++d)
            mantissa += static_cast<char>('0' + random() % 10);
        while (mantissa.size() > 1 && mantissa.back() == '0')
            mantissa.pop_back();
        const int exponent = static_cast<int>(random() % 9000) - 4500; // of the first digit
        std::string text = mantissa.substr(0, 1);
        if (mantissa.size() > 1)
            text += "." + mantissa.substr(1);
        text += "E" + std::to_string(exponent);
        const Extended value = parseDecimal(text).value;
        const std::string back = formatDecimal(value, ".");
        std::string expectedDigits = mantissa;
        std::string gotDigits;
        for (char c : back.substr(0, back.find('E')))
            if (c >= '0' && c <= '9')
                gotDigits += c;
        gotDigits.erase(0, gotDigits.find_first_not_of('0'));
        gotDigits.erase(gotDigits.find_last_not_of('0') + 1); // zeros of a whole number
        ASSERT_EQ(gotDigits, expectedDigits) << text << " -> " << back;
        ASSERT_EQ(hex(parseDecimal(back).value), hex(value)) << text << " -> " << back;
    }
}

// ---------------------------------------------------------------- roundToDigit

struct RoundCase {
    const char *name;
    double x;
    int digit;
    double result;
    const char *text;
};

void PrintTo(const RoundCase &c, std::ostream *os)
{
    *os << c.name;
}

class Round : public testing::TestWithParam<RoundCase> {};

TEST_P(Round, ResultAndText)
{
    const RoundCase &c = GetParam();
    const double r = roundToDigit(c.x, static_cast<std::int8_t>(c.digit));
    EXPECT_EQ(hex(r), hex(c.result));
    EXPECT_FALSE(std::signbit(r) && r == 0);
    EXPECT_EQ(formatDecimal(r, "."), c.text);
}

INSTANTIATE_TEST_SUITE_P(Examples, Round, testing::Values(
    RoundCase{"half to even zero", 0.5, 0, 0, "0"},
    RoundCase{"one and a half", 1.5, 0, 2, "2"},
    RoundCase{"two and a half", 2.5, 0, 2, "2"},
    RoundCase{"minus two and a half", -2.5, 0, -2, "-2"},
    RoundCase{"minus half gives plus zero", -0.5, 0, 0, "0"},
    RoundCase{"417.5", 417.5, 0, 418, "418"},
    RoundCase{"418.5", 418.5, 0, 418, "418"},
    RoundCase{"302.5", 302.5, 0, 302, "302"},
    RoundCase{"303.5", 303.5, 0, 304, "304"},
    RoundCase{"1234.4999", 1234.4999, 0, 1234, "1234"},
    RoundCase{"0.745", 0.745, -2, 0.74, "0.74"},
    RoundCase{"0.125", 0.125, -2, 0.12, "0.12"},
    RoundCase{"0.375", 0.375, -2, 0.37, "0.37"},
    RoundCase{"0.155", 0.155, -2, 0.15, "0.15"},
    RoundCase{"0.165", 0.165, -2, 0.17, "0.17"},
    RoundCase{"0.035", 0.035, -2, 0.04, "0.04"},
    RoundCase{"1.005", 1.005, -2, 1, "1"},
    RoundCase{"2.675", 2.675, -2, 2.67, "2.67"},
    RoundCase{"185.175", 185.175, -2, 185.18, "185.18"},
    RoundCase{"0.15", 0.15, -2, 0.15, "0.15"},
    RoundCase{"0.10", 0.1, -2, 0.1, "0.1"},
    RoundCase{"thousands", 1499, 3, 1000, "1000"},
    RoundCase{"minus two to the 63 fits", -9223372036854775808.0, 0, -9223372036854775808.0,
              "-9.22337203685478E18"}),
    CaseName());

TEST(Round, FailsOutsideSigned64BitsAndOnNonFinite)
{
    const double failing[] = {9223372036854775808.0, 1e21, -1e19, std::numeric_limits<double>::infinity(),
                              std::numeric_limits<double>::quiet_NaN()};
    for (double x : failing) {
        try {
            roundToDigit(x, 0);
            ADD_FAILURE() << x;
        } catch (const FloatError &e) {
            EXPECT_STREQ(e.what(), "Invalid floating point operation") << x;
        }
    }
    EXPECT_THROW(roundToDigit(1e17, -2), FloatError); // 1e19 hundredths
}

// ---------------------------------------------------------------- presentation

TEST(Present, WidensRoundsAndFormats)
{
    EXPECT_EQ(presentResult(302.5L, 0, "."), "302");
    EXPECT_EQ(presentResult(0.10L, -2, "."), "0.1");
    EXPECT_EQ(presentResult(0.75L, -2, ","), "0,75");
    EXPECT_EQ(presentResult(74.25L, 0, "."), "74");
    EXPECT_EQ(presentResult(24.75L, 0, "."), "25");
    try {
        presentResult(std::numeric_limits<Extended>::max(), 0, ".");
        FAIL() << "no error";
    } catch (const FloatError &e) {
        EXPECT_STREQ(e.what(), "Floating point overflow");
    }
}

// ---------------------------------------------------------------- scaling

// The nearest extended values, as the x87 unit's strtold gives them (written
// out so that every machine checks the same bits).
TEST(Scale, TableEntriesAreNearestExtended)
{
    std::uint64_t exact = 1;
    for (int n = 0; n < 28; ++n) {
        // Up to 10^27 every power is exact: 10^n, or 10^(n-19) * 10^19.
        const Extended want = n <= 19 ? Extended(exact) : Extended(exact) * Extended(10'000'000'000'000'000'000ULL);
        EXPECT_EQ(hex(smallPowerOfTen(n)), hex(want)) << n;
        exact = n == 19 ? 10 : exact * 10;
    }
    const struct {
        int n;
        const char *nearest;
    } inexact[] = {
        {28, "0x8.13f3978f8940984p+90"},
        {29, "0xa.18f07d736b90be5p+93"},
        {30, "0xc.9f2c9cd04674edfp+96"},
        {31, "0xf.c6f7c4045812296p+99"},
        {32, "0x9.dc5ada82b70b59ep+103"},
        {64, "0xc.2781f49ffcfa6d5p+209"},
        {96, "0xe.fb3ab16c59b14a3p+315"},
        {128, "0x9.3ba47c980e98cep+422"},
        {160, "0xb.616a12b7fe617aap+528"},
        {192, "0xe.070f78d3927556bp+634"},
        {224, "0x8.a5296ffe33cc93p+741"},
        {256, "0xa.a7eebfb9df9de8ep+847"},
        {288, "0xd.226fc195c6a2f8cp+953"},
        {320, "0x8.1842f29f2cce376p+1060"},
        {352, "0x9.fa42700db900ad2p+1166"},
        {384, "0xc.4c5e310aef8aa17p+1272"},
        {416, "0xf.28a9c07e9b09c59p+1378"},
        {448, "0x9.57a4ae1ebf7f3d4p+1485"},
        {480, "0xb.83ed8dc0795a262p+1591"},
        {512, "0xe.319a0aea60e91c7p+1697"},
        {1024, "0xc.976758681750c17p+3398"},
        {1536, "0xb.2b8353b3993a7e4p+5099"},
        {2048, "0x9.e8b3b5dc53d5de5p+6800"},
        {2560, "0x8.ca554c020a1f0a6p+8501"},
        {3072, "0xf.9895d25d88b5a8bp+10201"},
        {3584, "0xd.d5dc8a2bf27f3f8p+11902"},
        {4096, "0xc.46052028a20979bp+13603"},
        {4608, "0xa.e3511626ed559fp+15304"},
    };
    for (const auto &p : inexact)
        EXPECT_EQ(hex(p.n < 32 ? smallPowerOfTen(p.n) : scaleByPowerOfTen(1, p.n)), p.nearest) << p.n;
}

} // namespace

namespace {

// Past 19 digits the accumulator leaves the exact integer range and every
// step rounds: the result must be that of the plain digit-by-digit sum.
TEST(Parse, LongMantissasRoundEachDigitStep)
{
    std::mt19937_64 random(19);
    for (int i = 0; i < 20000; ++i) {
        std::string text;
        Extended reference = 0;
        const int digits = 18 + static_cast<int>(random() % 30);
        for (int d = 0; d < digits; ++d) {
            const int digit = static_cast<int>(random() % 10);
            text += static_cast<char>('0' + digit);
            reference = reference * 10 + digit;
        }
        ASSERT_EQ(hex(parseDecimal(text).value), hex(reference)) << text;
        ASSERT_EQ(hex(parseDecimal(text + "x").value), hex(reference)) << text;
    }
}

} // namespace

namespace {

// Whole numbers below 10^15 are written as their plain digits.
TEST(Format, WholeNumbersAreTheirPlainDigits)
{
    std::mt19937_64 random(1040);
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t n = random() % (1ULL << (1 + random() % 50));
        if (n == 0 || n >= 1000000000000000ULL)
            continue;
        ASSERT_EQ(formatDecimal(static_cast<Extended>(n), "."), std::to_string(n));
        ASSERT_EQ(formatDecimal(-static_cast<Extended>(n), ","), "-" + std::to_string(n));
    }
    EXPECT_EQ(formatDecimal(1e15L, "."), "1E15");
    EXPECT_EQ(formatDecimal(1234567890123456.0L, "."), "1.23456789012346E15");
}

} // namespace
