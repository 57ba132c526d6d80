// SPDX-License-Identifier: MIT
#pragma once

#include "engine/extended.h"
#include "engine/soft_wide.h"
#include "text/hexfloat.h"

#include <cctype>
#include <climits>
#include <string>

// Exact comparison text for an extended value, as glibc's %La writes it for
// the x87 type: equal texts mean equal bits (a sign of zero included).
inline std::string hex(cttax::Extended value)
{
    return cttax::formatHexFloat(value);
}

// Distance in units of the last place between two finite extended values of
// the same sign: the encoding, read as one number, counts the values.
inline long ulpsBetween(cttax::Extended a, cttax::Extended b)
{
    using cttax::wide::U128;
    const auto key = [](cttax::Extended v) {
        const cttax::ExtendedBits bits = cttax::bitsOf(v);
        const unsigned exponent = bits.signExponent & 0x7FFF;
        // 2^63 values per binade; subnormals (exponent 0) come first.
        return exponent == 0 ? U128{0, bits.significand}
                             : cttax::wide::shiftedLeft(exponent, 63) + U128{0, bits.significand & 0x7FFFFFFFFFFFFFFFULL};
    };
    const U128 ka = key(a), kb = key(b);
    const bool aAbove = ka.high != kb.high ? ka.high > kb.high : ka.low > kb.low;
    const U128 d = aAbove ? ka - kb : kb - ka;
    return d.high != 0 || d.low > 0x7FFFFFFFFFFFFFFFULL ? LONG_MAX : static_cast<long>(d.low);
}

// A gtest parameter name from a case's "name" member: letters and digits
// kept, everything else an underscore.
struct CaseName {
    template <class Info>
    std::string operator()(const Info &info) const
    {
        std::string s = info.param.name;
        for (char &c : s)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return s;
    }
};
