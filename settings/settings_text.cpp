// SPDX-License-Identifier: MIT
// The text forms of the settings file: the 23-character real, the integers,
// and the five lines.
#include "settings/settings_file.h"

#include "engine/fpenv.h"
#include "text/pow10.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace cttax {

std::string formatSettingsReal(Extended value)
{
    if (!isFinite(value)) {
        const char *text = isNan(value) ? "Nan" : value < 0 ? "-Inf" : "+Inf";
        std::string padded(23 - std::strlen(text), ' ');
        return padded + text;
    }
    Extended m = absolute(value);
    int exponent = 0;
    while (m != 0) {
        const int k = floorLog10OfPow2(binaryExponent(m));
        if (k == 0)
            break;
        exponent += k;
        m = scaleByPowerOfTen(m, -k);
    }
    // m is now 0 or between 1 and 16: t has 18 or 19 digits.
    Extended t = roundToInteger(mul(m, smallPowerOfTen(17)));
    char buffer[20];
    buffer[0] = '0';
    if (t >= smallPowerOfTen(18)) {
        buffer[0] = '1';
        t = sub(t, smallPowerOfTen(18));
    }
    auto digits = static_cast<std::uint64_t>(t);
    for (int i = 18; i >= 1; --i) {
        buffer[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    if (buffer[16] >= '5') {
        for (int i = 15; i >= 0; --i) {
            if (buffer[i] == '9') {
                buffer[i] = '0';
                continue;
            }
            ++buffer[i];
            break;
        }
    }
    const char *mantissa = buffer + 1;
    if (buffer[0] != '0') {
        mantissa = buffer;
        ++exponent;
    }
    char text[32];
    std::snprintf(text, sizeof text, "%c%c.%.14sE%c%04d", signBit(value) ? '-' : ' ', mantissa[0],
                  mantissa + 1, exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
    return text;
}

std::string settingsFileContent(const SettingsValues &values)
{
    std::string content;
    for (const std::string &line :
         {std::to_string(values.top), std::to_string(values.left), formatSettingsReal(values.agi),
          formatSettingsReal(values.propertyTaxPaid), std::to_string(values.status)}) {
        content += line;
        content += "\r\n";
    }
    return content;
}

} // namespace cttax
