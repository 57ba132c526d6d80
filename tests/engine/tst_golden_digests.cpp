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
#include "engine/bit_cast.h"
#include "engine/extended.h"
#include "engine/fpenv.h"
#include "settings/settings_file.h"
#include "tests/support/extended_operands.h"
#include "text/decimal.h"
#include "text/hexfloat.h"
#include "text/present.h"

#include <gtest/gtest.h>

#include <cmath>
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
    // CTTAX_DIGEST_TRACE=FILE writes every digested item to FILE, one line
    // each, to find the first value where two machines part.
    Digest() : trace_(std::getenv("CTTAX_DIGEST_TRACE") ? std::fopen(std::getenv("CTTAX_DIGEST_TRACE"), "a") : nullptr) {}
    ~Digest()
    {
        if (trace_ != nullptr)
            std::fclose(trace_);
    }
    Digest(const Digest &) = delete;
    Digest &operator=(const Digest &) = delete;

    void add(std::uint64_t value, int bytes)
    {
        if (trace_ != nullptr)
            std::fprintf(trace_, "%d:%llx\n", bytes, static_cast<unsigned long long>(value));
        for (int i = 0; i < bytes; ++i)
            byte((value >> (8 * i)) & 0xFF);
    }
    void add(Extended value)
    {
        const ExtendedBits bits = bitsOf(value);
        add(bits.signExponent, 2);
        add(bits.significand, 8);
    }
    void add(std::string_view text)
    {
        if (trace_ != nullptr)
            std::fprintf(trace_, "%.*s\n", static_cast<int>(text.size()), text.data());
        for (char c : text)
            byte(static_cast<unsigned char>(c));
        byte(0);
    }
    std::uint64_t value() const { return hash_; }

private:
    void byte(std::uint64_t b)
    {
        hash_ ^= b;
        hash_ *= 0x100000001B3ULL;
    }
    std::uint64_t hash_ = 0xCBF29CE484222325ULL;
    std::FILE *trace_;
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

// The class in glibc's numbering (the FP_ macros are each C library's own:
// mingw's FP_NORMAL is 0x400).
std::uint64_t classCode(int kind)
{
    switch (kind) {
    case FP_NAN:
        return 0;
    case FP_INFINITE:
        return 1;
    case FP_ZERO:
        return 2;
    case FP_SUBNORMAL:
        return 3;
    default:
        return 4;
    }
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
        digest.add(cttax::bitCast<std::uint64_t>(static_cast<double>(x)), 8);
        digest.add(Extended(cttax::bitCast<double>(r.next())));
        digest.add(roundToInteger(x));
        if (isFinite(x) && x != 0) // ilogb of 0 and NaN: each C library's own number
            digest.add(static_cast<std::uint64_t>(binaryExponent(x)), 4);
        digest.add(classCode(classify(x)), 1);
        if (isFinite(x) && absolute(x) < Extended(9'000'000'000'000'000'000.0))
            digest.add(static_cast<std::uint64_t>(static_cast<std::int64_t>(x)), 8);
        const auto n = static_cast<std::int64_t>(r.shifted(r.below(64)));
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
    if (r.below(16) == 0) {
        const std::uint32_t at = r.below(static_cast<std::uint32_t>(text.size()));
        text.insert(at, 1, ",x "[r.below(3)]);
    }
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
        const Extended amount = finiteOperand(r);
        const std::int8_t digit = r.below(2) ? 0 : -2;
        try {
            digest.add(presentResult(amount, digit, "."));
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
    {"add", [] { return arithmetic(Op::Add); }, 0xA90A5E160E04217FULL},
    {"sub", [] { return arithmetic(Op::Sub); }, 0x20B9E87E3D329F6EULL},
    {"mul", [] { return arithmetic(Op::Mul); }, 0x492EAE799B8028BAULL},
    {"div", [] { return arithmetic(Op::Div); }, 0x5499CA83BD847764ULL},
    {"conversions", conversions, 0x7CA46B8792686313ULL},
    {"comparisons", comparisons, 0x84C9E627CE25BAB6ULL},
    {"text_forms", textForms, 0x562CCC34D19E47E3ULL},
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
