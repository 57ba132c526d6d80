// SPDX-License-Identifier: MIT
// The batch calculator on any bytes, fed whole and in small pieces: it never
// crashes, and both ways give the same output.
#include "cli/batch.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);
    std::string whole, pieces, errors;
    cttax::cli::BatchCalculator a({false, true});
    a.feed(input, whole, errors);
    a.finish(whole, errors);
    cttax::cli::BatchCalculator b({false, true});
    for (std::size_t i = 0; i < size; i += 3)
        b.feed(input.substr(i, 3), pieces, errors);
    b.finish(pieces, errors);
    if (whole != pieces)
        std::abort();
    return 0;
}
