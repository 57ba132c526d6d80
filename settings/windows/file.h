// SPDX-License-Identifier: MIT
// The settings library's own small helpers around Win32 handles.
#pragma once

#include "settings/settings_file.h"


#include <windows.h>

namespace cttax::detail {

// Win32's own error codes are the settings file's: 2 not found, 3 path not
// found, 5 access denied, 32 sharing violation, 112 disk full, any other as
// it is.
[[noreturn]] inline void raiseWin32(DWORD code)
{
    throw EInOutError(static_cast<int>(code));
}
[[noreturn]] inline void raiseLastError()
{
    raiseWin32(::GetLastError());
}

// Closes a handle on every path out of a scope.
class Handle {
public:
    explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
    ~Handle() { reset(); }
    Handle(const Handle &) = delete;
    Handle &operator=(const Handle &) = delete;
    Handle(Handle &&other) noexcept : handle_(other.release()) {}
    HANDLE get() const { return handle_; }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
    void reset(HANDLE handle = INVALID_HANDLE_VALUE)
    {
        if (valid())
            ::CloseHandle(handle_);
        handle_ = handle;
    }
    HANDLE release()
    {
        const HANDLE handle = handle_;
        handle_ = INVALID_HANDLE_VALUE;
        return handle;
    }

private:
    HANDLE handle_;
};

// The path as Win32 takes it: backslashes, and a long absolute path (beyond
// the 260 characters of MAX_PATH, a temporary's suffix included) made full
// and normal first (no "." or ".." left, which the form does not take), then
// in its \\?\ form, so no length that Windows accepts is refused.
std::wstring win32Path(const SettingsPath &path);

// The file a path names after every link: the final path Windows gives an
// open handle (in its \\?\ form), so a save through a symbolic link writes
// its target and keeps the link. The path itself where nothing is there.
SettingsPath finalPathOf(const SettingsPath &path);

// Saves and loads of one file, from any processes of the session, take
// turns: Wine's ReplaceFileW has the file away for a moment, and an in-place
// rewrite changes it under a reader. A named mutex, keyed by the file's
// final path; a process killed while holding it lets it go. Waits up to
// kSharingWaitMs, then "I/O error 32".
class SaveTurn {
public:
    explicit SaveTurn(const SettingsPath &finalPath);
    ~SaveTurn();
    SaveTurn(const SaveTurn &) = delete;
    SaveTurn &operator=(const SaveTurn &) = delete;

private:
    HANDLE mutex_ = nullptr;
};

// How long a file another program holds open is waited for.
inline constexpr DWORD kSharingWaitMs = 3000;

// Runs `attempt` (a Win32 call that returns whether it succeeded) again
// while it fails with a sharing or lock violation, for up to kSharingWaitMs;
// the last error is then the failure's.
template <class Attempt>
bool retryWhileShared(Attempt &&attempt)
{
    const ULONGLONG until = ::GetTickCount64() + kSharingWaitMs;
    for (;;) {
        if (attempt())
            return true;
        const DWORD error = ::GetLastError();
        if ((error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION) || ::GetTickCount64() >= until)
            return false;
        ::Sleep(50);
        ::SetLastError(error);
    }
}

} // namespace cttax::detail
