// SPDX-License-Identifier: MIT
#include "text/pow10.h"

#include "engine/fpenv.h"

#include <limits>

namespace cttax {

namespace {

// As the small powers (pow10.h), each entry is the extended value nearest to
// its power of ten, written as its bits.
// 10^(32k), k = 0..15; entry 0 is never used.
constexpr Extended kPow10By32[16] = {
    extendedFromBits(0x3FFF, 0x8000000000000000), // 1e0
    extendedFromBits(0x4069, 0x9DC5ADA82B70B59E), // 1e32
    extendedFromBits(0x40D3, 0xC2781F49FFCFA6D5), // 1e64
    extendedFromBits(0x413D, 0xEFB3AB16C59B14A3), // 1e96
    extendedFromBits(0x41A8, 0x93BA47C980E98CE0), // 1e128
    extendedFromBits(0x4212, 0xB616A12B7FE617AA), // 1e160
    extendedFromBits(0x427C, 0xE070F78D3927556B), // 1e192
    extendedFromBits(0x42E7, 0x8A5296FFE33CC930), // 1e224
    extendedFromBits(0x4351, 0xAA7EEBFB9DF9DE8E), // 1e256
    extendedFromBits(0x43BB, 0xD226FC195C6A2F8C), // 1e288
    extendedFromBits(0x4426, 0x81842F29F2CCE376), // 1e320
    extendedFromBits(0x4490, 0x9FA42700DB900AD2), // 1e352
    extendedFromBits(0x44FA, 0xC4C5E310AEF8AA17), // 1e384
    extendedFromBits(0x4564, 0xF28A9C07E9B09C59), // 1e416
    extendedFromBits(0x45CF, 0x957A4AE1EBF7F3D4), // 1e448
    extendedFromBits(0x4639, 0xB83ED8DC0795A262), // 1e480
};

// 10^(512k), k = 0..9; entry 0 is never used.
constexpr Extended kPow10By512[10] = {
    extendedFromBits(0x3FFF, 0x8000000000000000), // 1e0
    extendedFromBits(0x46A3, 0xE319A0AEA60E91C7), // 1e512
    extendedFromBits(0x4D48, 0xC976758681750C17), // 1e1024
    extendedFromBits(0x53ED, 0xB2B8353B3993A7E4), // 1e1536
    extendedFromBits(0x5A92, 0x9E8B3B5DC53D5DE5), // 1e2048
    extendedFromBits(0x6137, 0x8CA554C020A1F0A6), // 1e2560
    extendedFromBits(0x67DB, 0xF9895D25D88B5A8B), // 1e3072
    extendedFromBits(0x6E80, 0xDD5DC8A2BF27F3F8), // 1e3584
    extendedFromBits(0x7525, 0xC46052028A20979B), // 1e4096
    extendedFromBits(0x7BCA, 0xAE3511626ED559F0), // 1e4608
};

constexpr std::int64_t kScaleLimit = 5120; // 512 * 10, one past the table

} // namespace

Extended scaleByPowerOfTen(Extended value, std::int64_t n)
{
    if (n == 0)
        return value;
    const std::int64_t m = n < 0 ? -n : n;
    if (m >= kScaleLimit)
        return n > 0 ? std::numeric_limits<Extended>::infinity() : 0;

    const auto apply = [n](Extended v, Extended power) { return n > 0 ? mul(v, power) : div(v, power); };
    Extended v = apply(value, smallPowerOfTen(static_cast<int>(m % 32)));
    if (const std::int64_t i = (m / 32) % 16; i != 0)
        v = apply(v, kPow10By32[i]);
    if (const std::int64_t i = m / 512; i != 0)
        v = apply(v, kPow10By512[i]);
    return v;
}

} // namespace cttax
