// SPDX-License-Identifier: MIT
// What the shared reader needs of the platform's file layer (POSIX in
// posix/reader.cpp, Windows in windows/reader.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include "settings/settings_path.h"

namespace cttax::detail {

// What follows a settings file's name in its save's temporaries:
// cttax.fig.saving-N.
inline constexpr const char *kSavingInfix = ".saving";
// N: a decimal number below 10^9, of at most this many digits.
inline constexpr std::size_t kSavingDigits = 9;

// Whether `entry` is exactly a name a save of `name` makes, NAME.saving-N:
// cttax.fig.saving-123 is one; cttax.fig.saving, cttax.fig.savings.txt and
// cttax.fig.saving-notes.txt are not (a clean-up leaves them alone).
template <class Char>
bool isSavingName(std::basic_string_view<Char> entry, std::basic_string_view<Char> name)
{
    if (entry.size() <= name.size() || entry.substr(0, name.size()) != name)
        return false;
    entry.remove_prefix(name.size());
    for (const char *infix = kSavingInfix; *infix != '\0'; ++infix, entry.remove_prefix(1))
        if (entry.empty() || entry.front() != static_cast<Char>(*infix))
            return false;
    if (entry.size() < 2 || entry.front() != static_cast<Char>('-') || entry.size() - 1 > kSavingDigits)
        return false;
    for (std::size_t i = 1; i < entry.size(); ++i)
        if (entry[i] < static_cast<Char>('0') || entry[i] > static_cast<Char>('9'))
            return false;
    return true;
}

// A descriptor (POSIX) or a HANDLE (Windows); -1 is none.
using NativeFile = std::intptr_t;
inline constexpr NativeFile kNoFile = -1;

// Opens a settings file for reading as the writer would reach it. Throws
// EInOutError: not there 2, a missing folder 3, not a regular file 5.
NativeFile openForReading(const SettingsPath &path);

// Reads up to `size` bytes at `offset`, or with `acrossHoles` at the first
// byte of data at or after it (a sparse file's holes read as zero bytes and
// need not be read), moving `offset` to where the bytes were read. Returns
// 0 at the end of the file. Throws EInOutError.
std::size_t readFrom(NativeFile file, char *buffer, std::size_t size, long long &offset, bool acrossHoles);

// Closes the file; throws EInOutError for a failed close where `report`.
void closeFile(NativeFile file, bool report);

} // namespace cttax::detail
