// SPDX-License-Identifier: MIT
// The names of the settings file and of its save's temporaries, on every
// platform.
#include "settings/file_layer.h"
#include "settings/settings_file.h"

namespace cttax {

std::filesystem::path settingsPathFor(const std::filesystem::path &executable)
{
    std::filesystem::path path = executable;
    path.replace_extension(".fig");
    return path;
}

std::filesystem::path savingPathFor(const std::filesystem::path &target)
{
    std::filesystem::path path = target;
    path += detail::kSavingInfix;
    return path;
}

} // namespace cttax
