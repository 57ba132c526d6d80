// SPDX-License-Identifier: MIT
// Where the settings file lives on Windows: beside the .exe, or in
// %APPDATA%\cttax where the .exe's folder is not the user's to write.
#include "settings/file_layer.h"
#include "settings/windows/file.h"

#include <shlobj.h>

#include <algorithm>
#include <cwctype>
#include <vector>

namespace cttax {

SettingsPath runningExecutablePath()
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return {};
        if (n < buffer.size())
            return SettingsPath(std::wstring(buffer.data(), n));
        buffer.resize(buffer.size() * 2); // a long path: cut at the buffer's end
    }
}

namespace {

std::optional<SettingsPath> environmentPath(const wchar_t *name)
{
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n = ::GetEnvironmentVariableW(name, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return std::nullopt;
        if (n < buffer.size())
            return SettingsPath(std::wstring(buffer.data(), n));
        buffer.resize(n);
    }
}

// A folder of the system's own list (the registry's, not the environment's,
// which a parent may have left unset or relative).
std::optional<SettingsPath> knownFolder(const KNOWNFOLDERID &id)
{
    PWSTR found = nullptr;
    std::optional<SettingsPath> folder;
    if (::SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &found) == S_OK && found != nullptr)
        folder = SettingsPath(std::wstring(found));
    ::CoTaskMemFree(found);
    if (folder && !folder->is_absolute())
        folder.reset();
    return folder;
}

std::wstring folded(const SettingsPath &path)
{
    std::wstring text = path.wstring();
    std::replace(text.begin(), text.end(), L'/', L'\\');
    while (text.size() > 3 && text.back() == L'\\')
        text.pop_back();
    for (wchar_t &c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

bool isWithin(const SettingsPath &folder, const SettingsPath &system)
{
    const std::wstring inner = folded(folder), outer = folded(system);
    return !outer.empty() && inner.compare(0, outer.size(), outer) == 0 &&
           (inner.size() == outer.size() || inner[outer.size()] == L'\\');
}

// Whether this user may make files in the folder: tried, the only answer an
// ACL gives for sure.
bool folderWritable(const SettingsPath &folder)
{
    SettingsPath probe = folder / L"cttax-probe-";
    probe += std::to_wstring(::GetCurrentProcessId());
    const HANDLE file = ::CreateFileW(detail::win32Path(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    ::CloseHandle(file);
    return true;
}

} // namespace

bool isSettingsFile(const SettingsPath &path)
{
    const DWORD attributes = ::GetFileAttributesW(detail::win32Path(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

SettingsEnvironment SettingsEnvironment::fromProcess()
{
    SettingsEnvironment env;
    env.appData = knownFolder(FOLDERID_RoamingAppData);
    if (!env.appData) {
        env.appData = environmentPath(L"APPDATA");
        if (env.appData && !env.appData->is_absolute())
            env.appData.reset();
    }
    for (const KNOWNFOLDERID *id : {&FOLDERID_ProgramFiles, &FOLDERID_ProgramFilesX86, &FOLDERID_Windows})
        if (std::optional<SettingsPath> folder = knownFolder(*id))
            env.systemFolders.push_back(*folder);
    for (const wchar_t *name : {L"ProgramFiles", L"ProgramFiles(x86)", L"ProgramW6432", L"SystemRoot"})
        if (std::optional<SettingsPath> folder = environmentPath(name); folder && folder->is_absolute())
            env.systemFolders.push_back(*folder);
    return env;
}

SettingsLocation settingsLocationFor(const SettingsPath &executable, const SettingsEnvironment &env)
{
    const SettingsPath beside = settingsPathFor(executable);
    const SettingsPath folder = beside.has_parent_path() ? beside.parent_path() : ".";
    const bool system = std::any_of(env.systemFolders.begin(), env.systemFolders.end(),
                                    [&folder](const SettingsPath &s) { return isWithin(folder, s); });
    const bool besideExists = ::GetFileAttributesW(detail::win32Path(beside).c_str()) != INVALID_FILE_ATTRIBUTES;
    const bool appData = env.appData && env.appData->is_absolute() &&
                         std::none_of(env.systemFolders.begin(), env.systemFolders.end(),
                                      [&env](const SettingsPath &s) { return isWithin(*env.appData, s); });
    if (!system && (!appData || besideExists || folderWritable(folder)))
        return {beside, false};
    // A system folder is never used; without an application data folder
    // there is no place at all, and the load and the save say so (3).
    return {appData ? *env.appData / L"cttax" / beside.filename() : SettingsPath(), appData};
}

void prepareSettingsFolder(const SettingsLocation &location)
{
    if (!location.configFolder)
        return;
    // From the top down: each folder after the drive (C:\) or the share
    // (\\server\share\) that is missing is made.
    const std::wstring folder = location.file.parent_path().wstring();
    std::size_t at = folder.rfind(L"\\\\", 0) == 0 ? folder.find_first_of(L"\\/", folder.find_first_of(L"\\/", 2) + 1)
                                                   : folder.find_first_of(L"\\/");
    while (at != std::wstring::npos && at < folder.size()) {
        const std::size_t next = folder.find_first_of(L"\\/", at + 1);
        const SettingsPath part(folder.substr(0, next));
        if (!::CreateDirectoryW(detail::win32Path(part).c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS)
            detail::raiseLastError();
        at = next;
    }
}

} // namespace cttax
