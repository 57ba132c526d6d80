// SPDX-License-Identifier: MIT
#pragma once

#include "engine/extended.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace cttax {

// A failure of the settings file, with the code that chooses its message:
//   2 "File not found"   3 "Invalid filename"   4 "Too many open files"
//   5 "File access denied"   100 "Read beyond end of file"   101 "Disk full"
//   106 "Invalid numeric input"   any other: "I/O error <code>"
class EInOutError : public std::runtime_error {
public:
    explicit EInOutError(int code);
    int code() const noexcept { return code_; }

private:
    int code_;
};

inline constexpr int kInvalidNumericInput = 106;

// The code of a POSIX errno value: ENOENT 2; ENOTDIR, ENAMETOOLONG 3;
// EMFILE, ENFILE 4; EACCES, EPERM, EROFS, EISDIR 5; ENOSPC, EDQUOT 112; any
// other keeps its own number.
int inOutCodeOf(int errnoValue);

// The executable's path with its extension (from the last "." of the file
// name on) replaced by ".fig", or ".fig" appended: /opt/cttax/cttax -> /opt/cttax/cttax.fig.
std::filesystem::path settingsPathFor(const std::filesystem::path &executable);

// The five-line file: window top, window left, AGI, property tax paid and the
// filing status index, each line ending in CR LF.
struct SettingsValues {
    std::int32_t top = 0;
    std::int32_t left = 0;
    Extended agi = 0;
    Extended propertyTaxPaid = 0;
    std::int32_t status = 0;
};

// The 23-character real form: sign blank or "-", d.dddddddddddddd, "E",
// exponent sign and four digits. 1234.5 -> " 1.23450000000000E+0003";
// infinities and NaN as "+Inf", "-Inf", "Nan" right-aligned in 23.
std::string formatSettingsReal(Extended value);
std::string settingsFileContent(const SettingsValues &values);

// Writes the file so that a failure at any point leaves the earlier file as
// it was: the new content goes to a temporary file in the same folder, is
// flushed to disk and then renamed over it. A read-only settings file or
// folder is refused with code 5 and left alone. Throws EInOutError.
// `writeBytes` stands in for write(2) in tests.
using WriteFunction = std::function<long(int fd, const void *data, std::size_t size)>;
void writeSettingsFile(const std::filesystem::path &path, const SettingsValues &values,
                       const WriteFunction &writeBytes = {});

// Reads the values of a settings file one after another, the way the window
// applies them. Before a value, bytes 0 to 32 are skipped; the value is the
// following run of bytes above 32 (at most 32 for an integer, 64 for a
// real); a byte 26 ends the file, and a missing value reads as 0. Each read
// then skips the rest of its line (up to and including LF).
class SettingsReader {
public:
    // Reads the whole file; throws EInOutError when it cannot be opened or read.
    explicit SettingsReader(const std::filesystem::path &path);
    explicit SettingsReader(std::string content) : content_(std::move(content)) { trimAtEndOfFile(); }

    // Throws EInOutError(106) for a token that is not a signed 32-bit integer.
    std::int32_t readInteger();
    // Stores the value into `target` first, then throws EInOutError(106)
    // when the token did not convert. Floating-point errors of the
    // conversion propagate as they are.
    void readReal(Extended &target);

private:
    void trimAtEndOfFile();
    std::string_view nextToken(std::size_t maxLength);
    void skipRestOfLine();

    std::string content_;
    std::size_t position_ = 0;
};

} // namespace cttax
