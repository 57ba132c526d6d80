// SPDX-License-Identifier: MIT
#include "settings/windows_file.h"

namespace cttax::detail {

std::wstring win32Path(const SettingsPath &path)
{
    std::wstring text = path.wstring();
    for (wchar_t &c : text)
        if (c == L'/')
            c = L'\\';
    constexpr std::size_t kShortLimit = MAX_PATH - 12; // room for a temporary's suffix
    if (text.size() < kShortLimit || text.rfind(L"\\\\?\\", 0) == 0 || !path.is_absolute())
        return text;
    if (text.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + text.substr(2); // \\server\share\...
    return L"\\\\?\\" + text;
}

} // namespace cttax::detail
