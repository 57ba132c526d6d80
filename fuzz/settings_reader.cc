// SPDX-License-Identifier: MIT
// The settings reader on any file content: five reads either succeed or raise
// the settings file's own error, never anything else.
#include "engine/fpenv.h"
#include "settings/settings_file.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    cttax::SettingsReader reader(std::string(reinterpret_cast<const char *>(data), size));
    cttax::Extended agi = 0, propertyTax = 0;
    try {
        reader.readInteger();
        reader.readInteger();
        reader.readReal(agi);
        reader.readReal(propertyTax);
        const std::int32_t status = reader.readInteger();
        (void)status;
    } catch (const cttax::EInOutError &e) {
        if (e.code() != cttax::kInvalidNumericInput)
            std::abort();
    } catch (const cttax::FloatError &) {
        // a real token whose scale overflows is reported as such
    }
    return 0;
}
