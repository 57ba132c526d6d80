// SPDX-License-Identifier: MIT
#pragma once

#include <limits>

namespace cttax {

// The one place that knows how the 80-bit extended type is reached: on x86-64
// with GCC or Clang, long double is the x87 format with a 64-bit significand,
// and every operation on it rounds to that significand, ties to even.
using Extended = long double;

static_assert(std::numeric_limits<Extended>::digits == 64,
              "cttax needs long double to be the x87 80-bit extended type");
static_assert(std::numeric_limits<Extended>::max_exponent == 16384,
              "cttax needs long double to have a 15-bit exponent");

} // namespace cttax
