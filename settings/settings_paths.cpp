// SPDX-License-Identifier: MIT
// The names of the settings file and of its save's temporaries, on every
// platform.
#include "settings/file_layer.h"
#include "settings/settings_file.h"

namespace cttax {

SettingsPath settingsPathFor(const SettingsPath &executable)
{
    SettingsPath path = executable;
    path.replace_extension(".fig");
    return path;
}

SettingsPath savingPathFor(const SettingsPath &target)
{
    SettingsPath path = target;
    path += detail::kSavingInfix;
    return path;
}

} // namespace cttax
