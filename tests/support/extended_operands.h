// SPDX-License-Identifier: MIT
#pragma once

// Operands for comparing the software extended type with the x87 unit: random
// encodings drawn so that every edge class comes up often (ties at the 64th
// bit, carries into the exponent, the overflow threshold, subnormals and the
// underflow boundary, signed zeros, infinities, NaN operands, cancellation).

#include "engine/soft_extended.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace extended_operands {

inline constexpr bool kHardwareIsX87 =
    std::numeric_limits<long double>::digits == 64 && std::numeric_limits<long double>::max_exponent == 16384;

// xoshiro256** seeded by splitmix64: fast, and the same stream everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed)
    {
        for (auto &s : state_) {
            seed += 0x9E3779B97F4A7C15ULL;
            std::uint64_t z = seed;
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
            s = z ^ (z >> 31);
        }
    }
    std::uint64_t next()
    {
        const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
        const std::uint64_t t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = rotl(state_[3], 45);
        return result;
    }
    // 0 .. n - 1
    std::uint32_t below(std::uint32_t n) { return static_cast<std::uint32_t>(((next() >> 32) * n) >> 32); }
    // The next value shifted right by `bits` (0 to 63), drawn after `bits`:
    // the order of two draws in one expression would be the compiler's.
    std::uint64_t shifted(std::uint32_t bits) { return next() >> bits; }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    std::uint64_t state_[4];
};

using Bits = cttax::ExtendedBits;

enum class Op { Add, Sub, Mul, Div };

inline constexpr std::uint64_t kTop = 1ULL << 63;

// A significand for a normal number: uniform, or shaped so that products and
// sums land on ties and carries.
inline std::uint64_t significand(Random &r)
{
    switch (r.below(8)) {
    case 0: // 33 significant bits: the product of two has 65 or 66, often a tie
        return ((r.next() >> 31) | (1ULL << 32) | 1) << 31;
    case 1: // all ones, or nearly: carries out of the significand
        return ~0ULL - r.shifted(56 + r.below(8));
    case 2: // the integer bit and a few low bits
        return kTop | r.shifted(48 + r.below(16));
    case 3: // a random run of ones and zeros
    {
        const int from = static_cast<int>(r.below(64));
        const std::uint64_t run = from == 0 ? ~0ULL : (1ULL << from) - 1;
        return kTop | (r.below(2) ? run : ~run);
    }
    default:
        return kTop | r.next();
    }
}

inline std::uint16_t withSign(Random &r, std::uint32_t exponent)
{
    return static_cast<std::uint16_t>((r.below(2) ? 0x8000u : 0u) | exponent);
}

// One operand from an exponent: 0 gives a subnormal or zero, 0x7FFF an
// infinity or a NaN.
inline Bits operandAt(Random &r, std::int32_t exponent)
{
    if (exponent <= 0) {
        const std::uint32_t kind = r.below(8);
        if (kind == 0)
            return {withSign(r, 0), 0};
        std::uint64_t m = 0;
        if (kind < 4) {
            m = r.shifted(1 + r.below(63));
        } else {
            m = significand(r);
            m >>= 1 + r.below(4);
        }
        return {withSign(r, 0), m & ~kTop};
    }
    if (exponent >= 0x7FFF) {
        switch (r.below(4)) {
        case 0:
            return {withSign(r, 0x7FFF), kTop};
        case 1: // signalling
            return {withSign(r, 0x7FFF), kTop | ((r.next() >> 2) | 1)};
        default: // quiet
        {
            const std::uint16_t signExponent = withSign(r, 0x7FFF);
            return {signExponent, kTop | (1ULL << 62) | r.shifted(2 + r.below(62))};
        }
        }
    }
    return {withSign(r, static_cast<std::uint32_t>(exponent)), significand(r)};
}

inline std::int32_t clampExponent(std::int64_t e)
{
    return static_cast<std::int32_t>(e < 0 ? 0 : e > 0x7FFF ? 0x7FFF : e);
}

// A pair of operands for op, from one of the edge classes or uniform.
inline void pair(Random &r, Op op, Bits &a, Bits &b)
{
    constexpr std::int32_t kBias = 16383;
    const auto near = [&r](std::int32_t centre, std::int32_t spread) {
        return centre - spread + static_cast<std::int32_t>(r.below(static_cast<std::uint32_t>(2 * spread + 1)));
    };
    const std::uint32_t kind = r.below(16);
    std::int32_t ea = 0;
    std::int32_t eb = 0;
    if (kind == 0) { // specials: zeros, infinities, NaNs against anything
        ea = r.below(2) ? 0 : 0x7FFF;
        eb = static_cast<std::int32_t>(r.below(0x8000));
        if (r.below(2)) {
            a = operandAt(r, ea);
            b = operandAt(r, eb);
        } else {
            a = operandAt(r, eb);
            b = operandAt(r, ea);
        }
        return;
    }
    if (kind == 1) { // subnormals and the smallest normals
        ea = near(1, 3);
        eb = r.below(2) ? near(1, 70) : static_cast<std::int32_t>(r.below(0x7FFF));
    } else if (kind <= 3) { // the overflow threshold
        ea = near(0x7FFE, 3);
        eb = r.below(2) ? near(0x7FFE, 70) : (op == Op::Mul ? near(kBias, 3) : op == Op::Div ? near(kBias, 3) : near(0x7FFE, 3));
    } else if (kind <= 7) { // results at the underflow boundary or at the overflow threshold
        ea = static_cast<std::int32_t>(1 + r.below(0x7FFD));
        switch (op) {
        case Op::Mul: // ea + eb - bias near 0 or near 0x7FFF
        {
            const std::int32_t target = r.below(2) ? kBias : 0x7FFF + kBias;
            eb = clampExponent(target - ea + near(0, 70));
        }
            break;
        case Op::Div: // ea - eb + bias near 0 or near 0x7FFF
        {
            const std::int32_t target = r.below(2) ? kBias : kBias - 0x7FFF;
            eb = clampExponent(ea + target + near(0, 70));
        }
            break;
        default: // cancellation and ties: exponents close together
            eb = clampExponent(ea + near(0, r.below(2) ? 2 : 70));
            break;
        }
    } else if (kind <= 9) { // exactly equal or negated, and neighbours
        ea = static_cast<std::int32_t>(r.below(0x7FFF));
        a = operandAt(r, ea);
        b = a;
        if (r.below(2))
            b.signExponent ^= 0x8000;
        if (r.below(2) && b.significand != ~0ULL && (b.signExponent & 0x7FFF) != 0)
            b.significand += 1;
        return;
    } else { // uniform over the finite range, sometimes near 1
        ea = r.below(4) ? static_cast<std::int32_t>(r.below(0x7FFF)) : near(kBias, 80);
        eb = r.below(4) ? static_cast<std::int32_t>(r.below(0x7FFF)) : near(kBias, 80);
    }
    a = operandAt(r, ea);
    b = operandAt(r, eb);
}

inline cttax::SoftExtended soft(Bits x)
{
    return cttax::SoftExtended::fromBits(x.signExponent, x.significand);
}

inline long double hardware(Bits x)
{
    long double v = 0;
    std::memcpy(&v, &x.significand, sizeof x.significand);
    std::memcpy(reinterpret_cast<char *>(&v) + sizeof x.significand, &x.signExponent, sizeof x.signExponent);
    return v;
}

inline Bits hardwareBits(long double v)
{
    Bits x{};
    std::memcpy(&x.significand, &v, sizeof x.significand);
    std::memcpy(&x.signExponent, reinterpret_cast<const char *>(&v) + sizeof x.significand, sizeof x.signExponent);
    return x;
}

template <class T>
T apply(Op op, T a, T b)
{
    switch (op) {
    case Op::Add:
        return a + b;
    case Op::Sub:
        return a - b;
    case Op::Mul:
        return a * b;
    case Op::Div:
        return a / b;
    }
    return a;
}

// One x87 operation, out of line so that the compiler neither folds nor
// fuses it.
[[gnu::noinline]] inline long double hardwareOp(Op op, long double a, long double b)
{
    return apply(op, a, b);
}

inline cttax::SoftExtended softOp(Op op, cttax::SoftExtended a, cttax::SoftExtended b)
{
    return apply(op, a, b);
}

} // namespace extended_operands
