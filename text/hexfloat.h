// SPDX-License-Identifier: MIT
#pragma once

#include "engine/extended.h"

#include <string>

namespace cttax {

// The exact text of an extended value in C's %La form, character for
// character as glibc writes it for the x87 type, whatever the machine: the
// top four bits of the significand as the leading digit, the other sixty as
// up to fifteen hex digits without trailing zeros, and the power of two of
// the leading digit's last place.
//   1234.56 -> "0x9.a51eb851eb851ecp+7"   1 -> "0x8p-3"   0 -> "0x0p+0"
//   -0 -> "-0x0p+0"   smallest subnormal -> "0x0.000000000000001p-16385"
//   infinity -> "inf", "-inf"   NaN -> "nan", "-nan" (by its sign bit)
std::string formatHexFloat(ExtendedBits bits);
inline std::string formatHexFloat(Extended value)
{
    return formatHexFloat(bitsOf(value));
}

} // namespace cttax
