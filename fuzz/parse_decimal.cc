// SPDX-License-Identifier: MIT
// parseDecimal on any bytes: the error position stays within the text (or
// one past it), and a successful finite result formats to a text that parses
// back without error.
#include "engine/fpenv.h"
#include "text/decimal.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    cttax::ParsedDecimal parsed;
    try {
        parsed = cttax::parseDecimal(text);
    } catch (const cttax::FloatError &) {
        return 0; // an overflowing mantissa or scale is reported, not a crash
    }
    if (parsed.errorPos < 0 || static_cast<std::size_t>(parsed.errorPos) > size + 1)
        std::abort();
    if (cttax::isNan(parsed.value))
        std::abort();
    const std::string shown = cttax::formatDecimal(parsed.value, ".");
    if (cttax::isFinite(parsed.value) && cttax::parseDecimal(shown).errorPos != 0)
        std::abort();
    return 0;
}
