// SPDX-License-Identifier: MIT
// The path type of the settings library. POSIX: std::filesystem::path.
// Windows: a UTF-16 path of its own with the few operations the settings
// need, since std::filesystem::path brings about 950 KB of the static C++
// library's locale machinery into every .exe that uses it.
#pragma once

#ifndef _WIN32
#include <filesystem>

namespace cttax {
using SettingsPath = std::filesystem::path;
} // namespace cttax

#else
#include <string>
#include <utility>

namespace cttax {

class SettingsPath {
public:
    SettingsPath() = default;
    SettingsPath(std::wstring text) : text_(std::move(text)) {}
    SettingsPath(const wchar_t *text) : text_(text) {}
    // UTF-8 text (an argument, a literal).
    SettingsPath(const char *text);
    SettingsPath(const std::string &text) : SettingsPath(text.c_str()) {}
    // Anything that gives its UTF-16 text (a std::filesystem::path in tests).
    template <class Path>
        requires requires(const Path &p) { p.wstring(); }
    SettingsPath(const Path &path) : text_(path.wstring())
    {
    }

    const std::wstring &wstring() const { return text_; }
    std::string u8string() const; // UTF-8
    bool empty() const { return text_.empty(); }
    // "C:\...", "\\server\share\..." (not "C:relative" nor "\rooted").
    bool is_absolute() const;
    bool has_parent_path() const { return lastSeparator() != std::wstring::npos; }
    // The folder part, without its last separator ("C:\" keeps it).
    SettingsPath parent_path() const;
    SettingsPath filename() const;
    // From the last "." of the file name on, replaced; or appended.
    SettingsPath &replace_extension(const char *extension);
    SettingsPath &operator+=(const std::wstring &more)
    {
        text_ += more;
        return *this;
    }
    SettingsPath &operator+=(const char *more);
    friend SettingsPath operator/(const SettingsPath &folder, const SettingsPath &name);
    friend bool operator==(const SettingsPath &, const SettingsPath &) = default;

private:
    std::size_t lastSeparator() const { return text_.find_last_of(L"\\/"); }
    std::wstring text_;
};

} // namespace cttax
#endif
