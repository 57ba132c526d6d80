// SPDX-License-Identifier: MIT
#pragma once

#include "engine/extended.h"
#include "settings/settings_path.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

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
// Two saves that keep meeting each other's temporary for seconds.
inline constexpr int kSharingViolation = 32;

// The code of a POSIX errno value: ENOENT 2; ENOTDIR, ENAMETOOLONG, ELOOP 3;
// EMFILE, ENFILE 4; EACCES, EPERM, EROFS, EISDIR 5; ENOSPC, EDQUOT 112. Any
// other keeps its own number, unless that number is one of the codes above
// with a message of its own (EIO is 5, ESRCH 3, EINTR 4, ENETDOWN 100,
// ENETUNREACH 101, EISCONN 106 on Linux): those read 1000 + errno, so EIO is
// "I/O error 1005", never "File access denied".
int inOutCodeOf(int errnoValue);

// ---------------------------------------------------------------- where

// The executable's path with its extension (from the last "." of the file
// name on) replaced by ".fig", or ".fig" appended: /opt/cttax/cttax -> /opt/cttax/cttax.fig.
SettingsPath settingsPathFor(const SettingsPath &executable);

// The running executable's path exactly as the system has it (on POSIX
// bytes, not text: a folder name need not be UTF-8; on Windows any Unicode
// name, long paths included). Empty when it cannot be read.
SettingsPath runningExecutablePath();

// Whether the path names a settings file to load: a regular file (through
// links), not a folder or a device.
bool isSettingsFile(const SettingsPath &path);

// Where the settings live, and whether the folder is the application's own
// folder in the user's configuration folder (created 0700 before a save).
struct SettingsLocation {
    SettingsLocation(SettingsPath path = {}, bool inConfigFolder = false)
        : file(std::move(path)), configFolder(inConfigFolder)
    {
    }
    SettingsPath file;
    bool configFolder;
};

// Portable use first: when a settings file stands beside the executable
// (settingsPathFor), or that folder is writable, that is the file. Otherwise
// (a package in /usr/bin, a root-owned /opt, C:\Program Files) it is the
// application's folder in the user's configuration folder, under the name
// beside the executable:
// - POSIX: $XDG_CONFIG_HOME/cttax/NAME.fig; an unset, empty or relative
//   XDG_CONFIG_HOME means $HOME/.config, and an unset, empty or relative
//   HOME the user's home from the password file. A configuration folder
//   that is not the user's own (another user's, as sudo -E leaves
//   XDG_CONFIG_HOME and HOME) is not used either: the one in the home of the
//   password file is, for root too. A system folder (root's,
//   under /usr, /bin, /sbin, /lib*, /opt or /snap) is never used, by root
//   neither, and a NAME.fig lying there is neither read nor written.
// - Windows: %APPDATA%\cttax\NAME.fig; the folders of installed programs
//   and of Windows itself are never used.
//   /home/ann/bin/cttax (writable)         -> /home/ann/bin/cttax.fig
//   /usr/bin/cttax, XDG_CONFIG_HOME unset  -> /home/ann/.config/cttax/cttax.fig
//   C:\Program Files\cttax\cttax.exe       -> %APPDATA%\cttax\cttax.fig
struct SettingsEnvironment {
    SettingsEnvironment(std::optional<std::string> xdg = std::nullopt, std::optional<std::string> homeFolder = std::nullopt)
        : xdgConfigHome(std::move(xdg)), home(std::move(homeFolder))
    {
    }
    std::optional<std::string> xdgConfigHome;
    std::optional<std::string> home;
    // Windows: the roaming application data folder, and the folders where
    // settings never belong (Program Files, the Windows folder).
    std::optional<SettingsPath> appData;
    std::vector<SettingsPath> systemFolders;
    static SettingsEnvironment fromProcess();
};
SettingsLocation settingsLocationFor(const SettingsPath &executable, const SettingsEnvironment &env);

// Creates the folder of a configuration-folder location, and every missing
// folder above it (POSIX: with mode 0700, and the application's folder must
// then be the user's own, else 5); does nothing for a file beside the
// executable. Throws EInOutError.
void prepareSettingsFolder(const SettingsLocation &location);

// ---------------------------------------------------------------- the text

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

// ---------------------------------------------------------------- writing

// Writes the file so that a failure or a kill at any point leaves a file
// that loads as the earlier values or as the new ones, never a mix and never
// zeros, and so that no other user can redirect, read or break the save
// (posix/writer.cpp and windows/writer.cpp have every way and what each
// failure leaves):
//
// - A symbolic link is written through to its final target, and the link
//   stays, but only a link of the user's own or root's, or one in a folder
//   that nobody but the user and root may write; any other is "File access
//   denied" (5) and nothing is read or written through it. In a sticky
//   world-writable folder (/tmp) a file of neither the user nor the folder's
//   owner is 5 as well. A dangling link creates its target where the
//   target's folder exists, "Invalid filename" (3) where it does not, as for
//   any missing folder. A target that is not a regular file (a device, a
//   FIFO, a folder) is 5 and not touched.
// - The content goes to a temporary NAME.saving-N made exclusively beside
//   the target (0600 when it replaces a file, so no one else can read it
//   before it has the file's own access), is flushed to disk and renamed
//   over the target. The next save removes what a killed one left: names
//   of exactly that form, the user's own, that no live save holds. Any
//   number of saves at once, from any processes, all succeed; each leaves a
//   whole file and the last to finish wins.
// - The new file keeps the owner, group, mode, ACL and extended attributes
//   of the file it replaces; a new file gets 0666 less the umask. Where they
//   cannot be kept exactly, and for a file of another user or with other
//   hard links, the file is rewritten in place instead: the new bytes over
//   its start in one write, then cut to their length, flushed. So is a
//   writable file where no temporary can be made, filled or renamed (a
//   folder the user may not write, a full disk, a file system that refuses
//   a rename over a file, a file mounted on its own). A failed write in
//   place puts the earlier bytes back.
// - A settings file without write permission (or without any write bit,
//   even for root) is refused with 5. A lock another program holds on the
//   file is waited for at most 3 s, then "I/O error 32".
//
// Throws EInOutError. `writeBytes` stands in for write(2) in tests.
using WriteFunction = std::function<long(int fd, const void *data, std::size_t size)>;
void writeSettingsFile(const SettingsPath &path, const SettingsValues &values,
                       const WriteFunction &writeBytes = {});

// The prefix of a save's temporary names beside a settings file:
// cttax.fig -> cttax.fig.saving (the temporaries are cttax.fig.saving-N).
SettingsPath savingPathFor(const SettingsPath &target);

// ---------------------------------------------------------------- reading

// Reads the values of a settings file one after another, the way the window
// applies them. Before a value, bytes 0 to 32 are skipped; the value is the
// following run of bytes above 32 (at most 32 for an integer, 64 for a
// real); a byte 26 ends the file, and a missing value reads as 0. Each read
// then skips the rest of its line (up to and including LF).
//
// The file is read as the values need it, through a small buffer: nothing
// past a value's line is kept, and holes of a sparse file (which read as
// zero bytes, skipped either way) are passed over without reading them, so
// time and memory do not grow with a large file's size.
class SettingsReader {
public:
    // Opens the file, through links only as the writer follows them (not
    // through another user's link where others may write the folder, nor
    // into another user's file in a sticky shared folder: 5), and waits up
    // to 3 s for a rewrite in place to finish (then 32), so the values read
    // are one whole version; throws EInOutError when it cannot be opened, or
    // when it is not a regular file (5).
    explicit SettingsReader(const SettingsPath &path);
    explicit SettingsReader(std::string content);
    ~SettingsReader();
    SettingsReader(const SettingsReader &) = delete;
    SettingsReader &operator=(const SettingsReader &) = delete;

    // Throws EInOutError(106) for a token that is not a signed 32-bit integer.
    std::int32_t readInteger();
    // Stores the value into `target` first, then throws EInOutError(106)
    // when the token did not convert. The writer's own forms of the special
    // values, "+Inf", "-Inf" and "Nan", read as those values. Floating-point
    // errors of the conversion propagate as they are.
    void readReal(Extended &target);
    // Closes the file now and reports a failed close (the destructor closes
    // silently).
    void close();

private:
    int peek(bool acrossHoles);
    void advance() { ++position_; }
    std::string_view nextToken(std::size_t maxLength);
    void skipRestOfLine();
    bool refill(bool acrossHoles);

    std::intptr_t file_ = -1; // the platform's descriptor or handle
    std::string buffer_;
    std::size_t position_ = 0;
    std::size_t end_ = 0;
    long long fileOffset_ = 0; // of buffer_[end_]
    bool atEnd_ = false;
    char token_[64];
};

} // namespace cttax
