// SPDX-License-Identifier: MIT
// The same bits on this machine as on the x87 unit, without a second machine:
// seeded streams of operands (the differential test's generators) go through
// the four operations, the conversions, the comparisons and the text forms
// with this build's Extended, and a digest of every result must equal the
// one the x87 unit gave.
//
// How the digests were made: on x86-64 with the hardware type (the default
// build), `CTTAX_PRINT_DIGESTS=1 build/tests/tst_golden_digests` prints each
// stream's digest; those lines are pasted below. Remaking them needs an x87
// machine: a digest printed by the software type only repeats that type.
// A stream changed on purpose (another seed or length) needs new digests.
#include "engine/extended.h"
#include "engine/fpenv.h"
#include "settings/settings_file.h"
#include "tests/support/extended_operands.h"
#include "text/decimal.h"
#include "text/hexfloat.h"
#include "text/present.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

using namespace cttax;
using namespace extended_operands;

namespace {

// FNV-1a over little-endian bytes, so that a big-endian machine digests
// the same values to the same number.
class Digest {
public:
    void add(std::uint64_t value, int bytes)
    {
        for (int i = 0; i < bytes; ++i) {
            hash_ ^= (value >> (8 * i)) & 0xFF;
            hash_ *= 0x100000001B3ULL;
        }
    }
    void add(Extended value)
    {
        const ExtendedBits bits = bitsOf(value);
        add(bits.signExponent, 2);
        add(bits.significand, 8);
    }
    void add(std::string_view text)
    {
        for (char c : text)
            add(static_cast<unsigned char>(c), 1);
        add(0, 1);
    }
    std::uint64_t value() const { return hash_; }

private:
    std::uint64_t hash_ = 0xCBF29CE484222325ULL;
};

Extended fromBits(Bits x)
{
    return extendedFromBits(x.signExponent, x.significand);
}

// Out of line, so that no operation is folded or fused with another.
[[gnu::noinline]] Extended operate(Op op, Extended a, Extended b)
{
    return apply(op, a, b);
}

Bits anyOperand(Random &r)
{
    Bits a{}, b{};
    pair(r, static_cast<Op>(r.below(4)), a, b);
    return r.below(2) ? a : b;
}

// A finite operand, half of them amounts as people type them.
Extended finiteOperand(Random &r)
{
    if (r.below(2))
        return Extended(static_cast<std::int64_t>(r.below(100'000'000))) / 100;
    const Extended x = fromBits(anyOperand(r));
    return isFinite(x) ? x : Extended(0);
}

std::uint64_t arithmetic(Op op)
{
    Random r(0x5EED0000 + static_cast<std::uint64_t>(op));
    Digest digest;
    for (long i = 0; i < 1'000'000; ++i) {
        Bits a{}, b{};
        pair(r, op, a, b);
        digest.add(operate(op, fromBits(a), fromBits(b)));
    }
    return digest.value();
}

std::uint64_t conversions()
{
    Random r(77);
    Digest digest;
    for (long i = 0; i < 500'000; ++i) {
        Bits bits = anyOperand(r);
        if (r.below(2) && (bits.signExponent & 0x7FFF) != 0 && (bits.signExponent & 0x7FFF) != 0x7FFF)
            bits.signExponent = static_cast<std::uint16_t>((bits.signExponent & 0x8000) | (16383 - 1100 + r.below(2200)));
        const Extended x = fromBits(bits);
        digest.add(std::bit_cast<std::uint64_t>(static_cast<double>(x)), 8);
        digest.add(Extended(std::bit_cast<double>(r.next())));
        digest.add(roundToInteger(x));
        digest.add(static_cast<std::uint64_t>(binaryExponent(x)), 4);
        digest.add(static_cast<std::uint64_t>(classify(x)), 1);
        if (isFinite(x) && absolute(x) < Extended(9'000'000'000'000'000'000.0))
            digest.add(static_cast<std::uint64_t>(static_cast<std::int64_t>(x)), 8);
        const auto n = static_cast<std::int64_t>(r.next() >> r.below(64));
        digest.add(Extended(n));
    }
    return digest.value();
}

std::uint64_t comparisons()
{
    Random r(79);
    Digest digest;
    for (long i = 0; i < 500'000; ++i) {
        Bits a{}, b{};
        pair(r, Op::Sub, a, b);
        const Extended x = fromBits(a), y = fromBits(b);
        digest.add((x == y) | (x < y) << 1 | (x <= y) << 2 | (x > y) << 3 | (x >= y) << 4, 1);
    }
    return digest.value();
}

// Texts as a person or a settings file gives them: digits, a point, an
// exponent over the whole range, now and then a stray character.
std::string decimalText(Random &r)
{
    std::string text = r.below(4) == 0 ? "-" : "";
    const std::uint32_t digits = 1 + r.below(24);
    const std::uint32_t point = r.below(digits + 1);
    for (std::uint32_t d = 0; d < digits; ++d) {
        if (d == point)
            text += '.';
        text += static_cast<char>('0' + r.below(10));
    }
    if (r.below(2))
        text += "E" + std::to_string(static_cast<int>(r.below(9900)) - 4950);
    if (r.below(16) == 0)
        text.insert(r.below(static_cast<std::uint32_t>(text.size())), 1, ",x "[r.below(3)]);
    return text;
}

std::uint64_t textForms()
{
    Random r(81);
    Digest digest;
    for (long i = 0; i < 200'000; ++i) {
        try {
            const ParsedDecimal parsed = parseDecimal(decimalText(r));
            digest.add(parsed.value);
            digest.add(static_cast<std::uint64_t>(parsed.errorPos), 4);
        } catch (const FloatError &e) {
            digest.add(e.what());
        }
        const Extended x = fromBits(anyOperand(r));
        try {
            digest.add(formatDecimal(x, "."));
        } catch (const FloatError &e) {
            digest.add(e.what());
        }
        digest.add(formatSettingsReal(x));
        digest.add(formatHexFloat(x));
        try {
            digest.add(presentResult(finiteOperand(r), r.below(2) ? 0 : -2, "."));
        } catch (const FloatError &e) {
            digest.add(e.what());
        }
    }
    return digest.value();
}

struct Stream {
    const char *name;
    std::uint64_t (*run)();
    std::uint64_t x87;
};

const Stream kStreams[] = {
    {"add", [] { return arithmetic(Op::Add); }, 0x317FE8773089E5B9ULL},
    {"sub", [] { return arithmetic(Op::Sub); }, 0x5AF1EF19D49900EAULL},
    {"mul", [] { return arithmetic(Op::Mul); }, 0x6A8641E5B46BCBACULL},
    {"div", [] { return arithmetic(Op::Div); }, 0xB07B219095F3FC2BULL},
    {"conversions", conversions, 0x4A905C39F8217EF3ULL},
    {"comparisons", comparisons, 0xDD2CF4CB8ECFC71BULL},
    {"text_forms", textForms, 0x45724CD764E0F529ULL},
};

void PrintTo(const Stream &s, std::ostream *os)
{
    *os << s.name;
}

class GoldenDigest : public testing::TestWithParam<Stream> {};

TEST_P(GoldenDigest, EqualsTheX87Units)
{
    setUpFloatingPoint();
    const Stream &s = GetParam();
    const std::uint64_t digest = s.run();
    if (std::getenv("CTTAX_PRINT_DIGESTS") != nullptr)
        std::printf("    {\"%s\", ..., 0x%016llXULL},\n", s.name, static_cast<unsigned long long>(digest));
    EXPECT_EQ(digest, s.x87) << s.name << ": this machine's results differ from the x87 unit's";
}

INSTANTIATE_TEST_SUITE_P(Streams, GoldenDigest, testing::ValuesIn(kStreams),
                         [](const testing::TestParamInfo<Stream> &info) { return std::string(info.param.name); });

} // namespace
