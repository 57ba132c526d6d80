// SPDX-License-Identifier: MIT
#include "text/hexfloat.h"

namespace cttax {

std::string formatHexFloat(ExtendedBits bits)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    const bool negative = (bits.signExponent & 0x8000) != 0;
    const int exponentField = bits.signExponent & 0x7FFF;
    std::string text = negative ? "-" : "";
    if (exponentField == 0x7FFF) {
        text += bits.significand == 1ULL << 63 ? "inf" : "nan";
        return text;
    }
    text += "0x";
    text += kDigits[bits.significand >> 60];
    std::uint64_t rest = bits.significand << 4; // the other fifteen digits, from the top
    if (rest != 0) {
        text += '.';
        while (rest != 0) {
            text += kDigits[rest >> 60];
            rest <<= 4;
        }
    }
    // The leading digit holds the integer bit and three fraction bits, so its
    // last place is 2^(e - 3); a subnormal is read at the exponent of 1.
    int exponent = 0;
    if (exponentField != 0)
        exponent = exponentField - 16383 - 3;
    else if (bits.significand != 0)
        exponent = 1 - 16383 - 3;
    text += 'p';
    text += exponent < 0 ? '-' : '+';
    text += std::to_string(exponent < 0 ? -exponent : exponent);
    return text;
}

} // namespace cttax
