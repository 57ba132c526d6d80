// SPDX-License-Identifier: MIT
#include "settings/settings_path.h"
#include "settings/windows/utf16.h"

#include <windows.h>

namespace cttax {

namespace {

bool separator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

} // namespace

SettingsPath::SettingsPath(const char *text) : text_(wide(text)) {}

std::string SettingsPath::u8string() const
{
    return narrow(text_);
}

bool SettingsPath::is_absolute() const
{
    if (text_.size() >= 3 && text_[1] == L':' && separator(text_[2]))
        return true;
    return text_.size() >= 2 && separator(text_[0]) && separator(text_[1]);
}

SettingsPath SettingsPath::parent_path() const
{
    const std::size_t at = lastSeparator();
    if (at == std::wstring::npos)
        return {};
    // The root keeps its separator: C:\x -> C:\ .
    const bool root = (at == 2 && text_[1] == L':') || at == 0;
    return SettingsPath(text_.substr(0, root ? at + 1 : at));
}

SettingsPath SettingsPath::filename() const
{
    const std::size_t at = lastSeparator();
    return SettingsPath(at == std::wstring::npos ? text_ : text_.substr(at + 1));
}

SettingsPath &SettingsPath::replace_extension(const char *extension)
{
    const std::size_t name = lastSeparator() == std::wstring::npos ? 0 : lastSeparator() + 1;
    const std::size_t dot = text_.rfind(L'.');
    // A name that is only a dot and more (".fig") has no extension.
    if (dot != std::wstring::npos && dot > name)
        text_.resize(dot);
    return *this += extension;
}

SettingsPath &SettingsPath::operator+=(const char *more)
{
    text_ += wide(more);
    return *this;
}

SettingsPath operator/(const SettingsPath &folder, const SettingsPath &name)
{
    if (folder.text_.empty() || name.is_absolute())
        return name;
    std::wstring joined = folder.text_;
    if (!separator(joined.back()))
        joined += L'\\';
    return SettingsPath(joined + name.text_);
}

} // namespace cttax
