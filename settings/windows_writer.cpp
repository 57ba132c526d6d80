// SPDX-License-Identifier: MIT
// Saving the settings file on Windows. The ways, in the order tried:
//
//   way                                    when
//   temporary NAME.saving-N beside the     always first: made exclusively
//   file, written, FlushFileBuffers        (CREATE_NEW), never shared
//   ReplaceFileW over the file             the file exists: it keeps its ACL,
//                                          attributes, streams and dates made
//   MoveFileExW (write-through)            there is no file yet
//   rewritten in place: cut to the new     no temporary can be made or put in
//   length, written, flushed               the file's place (a folder the user
//                                          may not write, a file the user may
//                                          write but not delete)
//
//   failure                                what the user gets
//   the read-only attribute                5, the file not touched
//   a folder missing on the way            3 (ERROR_PATH_NOT_FOUND)
//   another program holds the file open    waited for 3 s, then 32
//   the disk full                          its code (112), the earlier file as
//                                          it was, the temporary removed
//
// A temporary that a killed save left (older than a minute and not open) is
// removed by the next save.
#include "settings/file_layer.h"
#include "settings/windows_file.h"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <string>

namespace cttax {

namespace {

using detail::Handle;
using detail::raiseLastError;
using detail::raiseWin32;
using detail::retryWhileShared;
using detail::win32Path;

constexpr ULONGLONG kLeftoverAgeMs = 60 * 1000;

// Writes all of `content`; false with the last error set where it fails.
bool writeAll(HANDLE file, const std::string &content, const WriteFunction &writeBytes)
{
    if (writeBytes) {
        // The stand-in writes through a C runtime descriptor of its own.
        HANDLE copy = nullptr;
        if (!::DuplicateHandle(::GetCurrentProcess(), file, ::GetCurrentProcess(), &copy, 0, FALSE,
                               DUPLICATE_SAME_ACCESS))
            return false;
        const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(copy), _O_BINARY);
        std::size_t done = 0;
        while (done < content.size()) {
            const long n = writeBytes(fd, content.data() + done, content.size() - done);
            if (n <= 0) {
                const int error = errno;
                ::_close(fd);
                ::SetLastError(error == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return ::_close(fd) == 0;
    }
    std::size_t done = 0;
    while (done < content.size()) {
        DWORD written = 0;
        if (!::WriteFile(file, content.data() + done, static_cast<DWORD>(content.size() - done), &written, nullptr))
            return false;
        done += written;
    }
    return true;
}

ULONGLONG ageMs(const FILETIME &written)
{
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME &t) { return (ULONGLONG{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return ticks(now) > ticks(written) ? (ticks(now) - ticks(written)) / 10000 : 0;
}

// Removes what killed saves left beside the file; one another save still
// has open cannot be removed and stays.
void removeLeftovers(const SettingsPath &target)
{
    SettingsPath pattern = savingPathFor(target);
    pattern += L"-*";
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(win32Path(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && ageMs(found.ftLastWriteTime) > kLeftoverAgeMs)
            ::DeleteFileW(win32Path(target.parent_path() / found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// Makes NAME.saving-N exclusively; an invalid handle where the folder
// takes none (the last error says why).
Handle createTemporary(const SettingsPath &target, SettingsPath &made)
{
    ULONGLONG n = (ULONGLONG{::GetCurrentProcessId()} << 20) ^ ::GetTickCount64();
    for (int attempt = 0; attempt < 100; ++attempt, n = n * 6364136223846793005ULL + 1442695040888963407ULL) {
        made = savingPathFor(target);
        made += L"-" + std::to_wstring(n % 1000000000);
        Handle file(::CreateFileW(win32Path(made).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (file.valid() || ::GetLastError() != ERROR_FILE_EXISTS)
            return file;
    }
    ::SetLastError(ERROR_FILE_EXISTS);
    return Handle();
}

void rewriteInPlace(const SettingsPath &target, const std::string &content, const WriteFunction &writeBytes)
{
    Handle file;
    const std::wstring name = win32Path(target);
    if (!retryWhileShared([&] {
            file.reset(::CreateFileW(name.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
            return file.valid();
        }))
        raiseLastError();
    if (!::SetEndOfFile(file.get()) || !writeAll(file.get(), content, writeBytes) || !::FlushFileBuffers(file.get()))
        raiseLastError();
}

} // namespace

void writeSettingsFile(const SettingsPath &path, const SettingsValues &values, const WriteFunction &writeBytes)
{
    const std::string content = settingsFileContent(values);
    const std::wstring target = win32Path(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        raiseLastError(); // a folder missing on the way (3), no access to it (5)
    if (exists && (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0)
        raiseWin32(ERROR_ACCESS_DENIED);
    removeLeftovers(path);

    SettingsPath temporary;
    Handle file = createTemporary(path, temporary);
    if (!file.valid()) {
        if (exists && ::GetLastError() == ERROR_ACCESS_DENIED)
            return rewriteInPlace(path, content, writeBytes); // a folder the user may not write
        raiseLastError();
    }
    const std::wstring temporaryName = win32Path(temporary);
    const auto fail = [&temporaryName](DWORD error) {
        ::DeleteFileW(temporaryName.c_str());
        raiseWin32(error);
    };
    if (!writeAll(file.get(), content, writeBytes) || !::FlushFileBuffers(file.get())) {
        const DWORD error = ::GetLastError();
        file.reset();
        fail(error);
    }
    file.reset();

    if (!exists) {
        if (!::MoveFileExW(temporaryName.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            fail(::GetLastError());
        return;
    }
    // Wait, within bounds, until no other program holds the file open
    // without letting it be replaced; then replace it once.
    const DWORD kept = attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE |
                                     FILE_ATTRIBUTE_NOT_CONTENT_INDEXED);
    Handle probe;
    const bool free = retryWhileShared([&] {
        probe.reset(::CreateFileW(target.c_str(), GENERIC_READ | DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return probe.valid();
    });
    probe.reset();
    const DWORD probeError = ::GetLastError();
    if (!free && probeError != ERROR_ACCESS_DENIED)
        fail(probeError == ERROR_LOCK_VIOLATION ? ERROR_SHARING_VIOLATION : probeError);
    const bool replaced = free && ::ReplaceFileW(target.c_str(), temporaryName.c_str(), nullptr,
                                                 REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr) != 0;
    // The file's own attributes stay (not every ReplaceFileW keeps them).
    if (replaced && kept != 0)
        ::SetFileAttributesW(target.c_str(), kept);
    if (replaced)
        return;
    const DWORD error = free ? ::GetLastError() : probeError;
    if (error == ERROR_ACCESS_DENIED || error == ERROR_UNABLE_TO_REMOVE_REPLACED) {
        // Writable but not to be replaced: the file is rewritten where it is.
        ::DeleteFileW(temporaryName.c_str());
        return rewriteInPlace(path, content, writeBytes);
    }
    fail(error == ERROR_LOCK_VIOLATION ? ERROR_SHARING_VIOLATION : error);
}

} // namespace cttax
