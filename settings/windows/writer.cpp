// SPDX-License-Identifier: MIT
// Saving the settings file on Windows. The ways, in the order tried:
//
//   way                                    when
//   the file behind every link             always: a link is written through
//   (GetFinalPathNameByHandleW)            to its target and stays a link
//   its turn among saves and loads of the  always: waited for 3 s, then 32
//   same file (a named mutex)
//   temporary NAME.saving-N beside the     always first: made exclusively
//   file, written, FlushFileBuffers        (CREATE_NEW), never shared
//   ReplaceFileW over the file             the file exists: it keeps its ACL,
//                                          attributes, streams and dates made
//   MoveFileExW (write-through)            there is no file yet
//   rewritten in place: the new bytes      no temporary can be made, filled
//   over the old from the start, then the  or put in the file's place (a
//   end of file set at their length,       folder the user may not write, a
//   flushed                                full disk, a file the user may
//                                          write but not delete)
//
//   failure                                what the next load gives
//   the read-only attribute                5, the earlier file, not touched
//   a folder missing on the way            3 (ERROR_PATH_NOT_FOUND)
//   another program holds the file open    waited for 3 s, then 32; the
//                                          earlier file
//   the disk full, an I/O error            its code (112), the earlier file
//                                          as it was, the temporary removed;
//                                          in place, the bytes the write
//                                          covered put back
//   killed before ReplaceFileW             the earlier file (and a temporary
//                                          the next save removes once it is a
//                                          minute old)
//   killed in place between the write and  the new lines, then the earlier
//   setting the end of file                file's tail, which the reader
//                                          passes over: the new values
//
// A clean-up removes only names of exactly the form a save makes, the
// user's own (or on a file system without owners), not open, and a minute
// old: one that a live save has just closed before ReplaceFileW is left.
#include "settings/file_layer.h"
#include "settings/windows/file.h"

#include <aclapi.h>
#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cttax {

namespace {

using detail::Handle;
using detail::raiseLastError;
using detail::raiseWin32;
using detail::retryWhileShared;
using detail::SaveTurn;
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

// Whether this user owns the file; a file system without owners (FAT)
// makes every file the user's.
bool ownedByMe(const std::wstring &file)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(file.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                nullptr, &descriptor) != ERROR_SUCCESS)
        return true;
    bool mine = false;
    HANDLE token = nullptr;
    if (owner != nullptr && ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        std::vector<unsigned char> user(256);
        DWORD size = 0;
        if (::GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size))
            mine = ::EqualSid(reinterpret_cast<TOKEN_USER *>(user.data())->User.Sid, owner) != 0;
        ::CloseHandle(token);
    }
    ::LocalFree(descriptor);
    return mine;
}

// Removes what killed saves left beside the file: NAME.saving-N exactly,
// the user's own, a minute old; DeleteFileW itself refuses one that is open.
void removeLeftovers(const SettingsPath &target)
{
    SettingsPath pattern = savingPathFor(target);
    pattern += L"-*";
    const std::wstring name = target.filename().wstring();
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(win32Path(pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0 ||
            !detail::isSavingName<wchar_t>(found.cFileName, name) || ageMs(found.ftLastWriteTime) <= kLeftoverAgeMs)
            continue;
        const std::wstring leftover = win32Path(target.parent_path() / found.cFileName);
        if (ownedByMe(leftover))
            ::DeleteFileW(leftover.c_str());
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

bool seekTo(HANDLE file, long long offset)
{
    LARGE_INTEGER to{};
    to.QuadPart = offset;
    return ::SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != 0;
}

// The new bytes over the start of the file, then its end set at their
// length. A failed write puts back the bytes it covered and the length the
// file had: the earlier file again.
void rewriteInPlace(const SettingsPath &target, const std::string &content, const WriteFunction &writeBytes)
{
    Handle file;
    const std::wstring name = win32Path(target);
    bool readable = true;
    const auto open = [&](DWORD access) {
        return retryWhileShared([&] {
            file.reset(::CreateFileW(name.c_str(), access, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
            return file.valid();
        });
    };
    if (!open(GENERIC_READ | GENERIC_WRITE)) {
        if (::GetLastError() != ERROR_ACCESS_DENIED || !open(GENERIC_WRITE))
            raiseLastError();
        readable = false; // a file the user may write but not read
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.get(), &size))
        raiseLastError();
    std::string head(std::min<std::size_t>(content.size(), static_cast<std::size_t>(size.QuadPart)), '\0');
    DWORD read = 0;
    if (readable && !head.empty() &&
        (!::ReadFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &read, nullptr) || read != head.size()))
        raiseLastError();
    if (!seekTo(file.get(), 0))
        raiseLastError();
    if (!writeAll(file.get(), content, writeBytes)) {
        const DWORD error = ::GetLastError();
        if (readable && seekTo(file.get(), 0)) {
            DWORD written = 0;
            ::WriteFile(file.get(), head.data(), static_cast<DWORD>(head.size()), &written, nullptr);
            if (seekTo(file.get(), size.QuadPart))
                ::SetEndOfFile(file.get());
            ::FlushFileBuffers(file.get());
        }
        raiseWin32(error);
    }
    if (size.QuadPart > static_cast<long long>(content.size()) &&
        (!seekTo(file.get(), static_cast<long long>(content.size())) || !::SetEndOfFile(file.get())))
        raiseLastError();
    if (!::FlushFileBuffers(file.get()))
        raiseLastError();
}

} // namespace

void writeSettingsFile(const SettingsPath &given, const SettingsValues &values, const WriteFunction &writeBytes)
{
    const std::string content = settingsFileContent(values);
    const SettingsPath path = detail::finalPathOf(given);
    const SaveTurn turn(path);
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
        const DWORD error = ::GetLastError();
        if (exists && (error == ERROR_ACCESS_DENIED || error == ERROR_DISK_FULL || error == ERROR_FILENAME_EXCED_RANGE))
            return rewriteInPlace(path, content, writeBytes); // a folder the user may not write, or a full one
        raiseWin32(error);
    }
    const std::wstring temporaryName = win32Path(temporary);
    const auto fail = [&temporaryName](DWORD error) {
        ::DeleteFileW(temporaryName.c_str());
        raiseWin32(error);
    };
    if (!writeAll(file.get(), content, writeBytes) || !::FlushFileBuffers(file.get())) {
        const DWORD error = ::GetLastError();
        file.reset();
        if (exists && (error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL)) {
            // The file's own room may still take the same bytes.
            ::DeleteFileW(temporaryName.c_str());
            return rewriteInPlace(path, content, writeBytes);
        }
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
