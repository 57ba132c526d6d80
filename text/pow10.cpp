// SPDX-License-Identifier: MIT
#include "text/pow10.h"

#include "engine/fpenv.h"

#include <limits>

namespace cttax {

namespace {

// Every literal below is rounded once by the compiler, straight to the
// nearest 64-bit significand.
constexpr Extended kPow10[32] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L,
    1e11L, 1e12L, 1e13L, 1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L,
    1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L, 1e28L, 1e29L, 1e30L, 1e31L,
};

// 10^(32k), k = 0..15; entry 0 is never used.
constexpr Extended kPow10By32[16] = {
    1e0L,   1e32L,  1e64L,  1e96L,  1e128L, 1e160L, 1e192L, 1e224L,
    1e256L, 1e288L, 1e320L, 1e352L, 1e384L, 1e416L, 1e448L, 1e480L,
};

// 10^(512k), k = 0..9; entry 0 is never used.
constexpr Extended kPow10By512[10] = {
    1e0L, 1e512L, 1e1024L, 1e1536L, 1e2048L, 1e2560L, 1e3072L, 1e3584L, 1e4096L, 1e4608L,
};

constexpr std::int64_t kScaleLimit = 5120; // 512 * 10, one past the table

} // namespace

Extended smallPowerOfTen(int n)
{
    return kPow10[n];
}

Extended scaleByPowerOfTen(Extended value, std::int64_t n)
{
    if (n == 0)
        return value;
    const std::int64_t m = n < 0 ? -n : n;
    if (m >= kScaleLimit)
        return n > 0 ? std::numeric_limits<Extended>::infinity() : 0;

    const auto apply = [n](Extended v, Extended power) { return n > 0 ? mul(v, power) : div(v, power); };
    Extended v = apply(value, kPow10[m % 32]);
    if (const std::int64_t i = (m / 32) % 16; i != 0)
        v = apply(v, kPow10By32[i]);
    if (const std::int64_t i = m / 512; i != 0)
        v = apply(v, kPow10By512[i]);
    return v;
}

} // namespace cttax
