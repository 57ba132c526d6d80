// SPDX-License-Identifier: MIT
// What the shared reader needs of the platform's file layer (POSIX in
// posix_reader.cpp, Windows in windows_reader.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include "settings/settings_path.h"

namespace cttax::detail {

// What follows a settings file's name in its save's temporaries:
// cttax.fig.saving-N.
inline constexpr const char *kSavingInfix = ".saving";

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
