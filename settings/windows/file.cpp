// SPDX-License-Identifier: MIT
#include "settings/windows/file.h"

#include <cwctype>
#include <optional>
#include <vector>

namespace cttax::detail {

namespace {

constexpr std::size_t kShortLimit = MAX_PATH - 30; // room for a temporary's suffix

bool hasDotPart(const std::wstring &text)
{
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find(L'\\', at), text.size());
        const std::wstring_view part(text.data() + at, end - at);
        if (part == L"." || part == L"..")
            return true;
        at = end + 1;
    }
    return false;
}

std::wstring fullPath(const std::wstring &text)
{
    std::vector<wchar_t> buffer(text.size() + MAX_PATH);
    for (;;) {
        const DWORD n = ::GetFullPathNameW(text.c_str(), static_cast<DWORD>(buffer.size()), buffer.data(), nullptr);
        if (n == 0)
            return text;
        if (n < buffer.size())
            return std::wstring(buffer.data(), n);
        buffer.resize(n + 1);
    }
}

} // namespace

std::wstring win32Path(const SettingsPath &path)
{
    std::wstring text = path.wstring();
    for (wchar_t &c : text)
        if (c == L'/')
            c = L'\\';
    if (text.rfind(L"\\\\?\\", 0) == 0 || !path.is_absolute())
        return text;
    if (text.size() < kShortLimit && !hasDotPart(text))
        return text;
    text = fullPath(text); // "." and ".." resolved: the \\?\ form takes them literally
    if (text.size() < kShortLimit)
        return text;
    if (text.rfind(L"\\\\", 0) == 0)
        return L"\\\\?\\UNC\\" + text.substr(2); // \\server\share\...
    return L"\\\\?\\" + text;
}

namespace {

std::optional<SettingsPath> openedFinalPath(const SettingsPath &path)
{
    // No access asked: opening for nothing follows the links and stands in
    // no one's way.
    Handle file(::CreateFileW(win32Path(path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid())
        return std::nullopt;
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetFinalPathNameByHandleW(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()),
                                                    FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (n == 0)
            return std::nullopt;
        if (n < buffer.size())
            return SettingsPath(std::wstring(buffer.data(), n));
        buffer.resize(n + 1);
    }
}

} // namespace

SettingsPath finalPathOf(const SettingsPath &path)
{
    if (std::optional<SettingsPath> final = openedFinalPath(path))
        return *final;
    // Not there yet: its folder's final path, so that the first saves take
    // their turns under the same name as the later ones.
    if (path.has_parent_path())
        if (std::optional<SettingsPath> folder = openedFinalPath(path.parent_path()))
            return *folder / path.filename();
    return path;
}

SaveTurn::SaveTurn(const SettingsPath &finalPath)
{
    // FNV-1a of the path in one case: a mutex name takes no backslash.
    unsigned long long hash = 14695981039346656037ULL;
    for (const wchar_t c : win32Path(finalPath)) {
        hash ^= static_cast<unsigned long long>(std::towlower(c));
        hash *= 1099511628211ULL;
    }
    wchar_t name[64];
    ::swprintf(name, 64, L"Local\\cttax-settings-%016llx", hash);
    mutex_ = ::CreateMutexW(nullptr, FALSE, name);
    if (mutex_ == nullptr)
        return; // no turns to take: the file's own sharing rules still hold
    const DWORD waited = ::WaitForSingleObject(mutex_, kSharingWaitMs);
    if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
        ::CloseHandle(mutex_);
        mutex_ = nullptr;
        raiseWin32(ERROR_SHARING_VIOLATION);
    }
}

SaveTurn::~SaveTurn()
{
    if (mutex_ == nullptr)
        return;
    ::ReleaseMutex(mutex_);
    ::CloseHandle(mutex_);
}

} // namespace cttax::detail
