// SPDX-License-Identifier: MIT
#pragma once

#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

// Exact comparison text for an extended value, as glibc's %La writes it:
// equal texts mean equal bits (a sign of zero included).
inline std::string hex(long double value)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%La", value);
    return buffer;
}

// Distance in units of the last place between two finite extended values of
// the same sign and binade neighbourhood.
inline long ulpsBetween(long double a, long double b)
{
    long n = 0;
    long double lo = a < b ? a : b;
    const long double hi = a < b ? b : a;
    while (lo < hi && n < 1000) {
        lo = std::nextafter(lo, hi);
        ++n;
    }
    return n;
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
