// SPDX-License-Identifier: MIT
// Differential target: two extended encodings and an operation from the
// input, computed by the software type and by the x87 unit; any difference
// in the result's bits (NaN payloads included) aborts.
#include "engine/fpenv.h"
#include "tests/support/extended_operands.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace extended_operands;
    if constexpr (!kHardwareIsX87) {
        return 0;
    } else {
        if (size < 21)
            return 0;
        cttax::setUpFloatingPoint();
        Bits a{}, b{};
        std::memcpy(&a.significand, data, 8);
        std::memcpy(&a.signExponent, data + 8, 2);
        std::memcpy(&b.significand, data + 10, 8);
        std::memcpy(&b.signExponent, data + 18, 2);
        const auto op = static_cast<Op>(data[20] % 4);
        if (!(softOp(op, soft(a), soft(b)).bits() == hardwareBits(hardwareOp(op, hardware(a), hardware(b)))))
            std::abort();
        return 0;
    }
}
