// SPDX-License-Identifier: MIT
// Reading the settings file with Win32 handles.
#include "settings/file_layer.h"
#include "settings/windows_file.h"

#include <algorithm>

namespace cttax::detail {

NativeFile openForReading(const SettingsPath &path)
{
    // Others may read, write and rename it meanwhile: reading never stands
    // in the way of a save.
    Handle file;
    const std::wstring name = win32Path(path);
    const bool opened = retryWhileShared([&] {
        file.reset(::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return file.valid();
    });
    if (!opened)
        raiseLastError();
    // A device or a pipe given the file's name is not a settings file.
    if (::GetFileType(file.get()) != FILE_TYPE_DISK)
        raiseWin32(ERROR_ACCESS_DENIED);
    return reinterpret_cast<NativeFile>(file.release());
}

std::size_t readFrom(NativeFile file, char *buffer, std::size_t size, long long &offset, bool)
{
    // Holes of a sparse file read as zeros here; the file is small anyway.
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
    DWORD read = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(reinterpret_cast<HANDLE>(file), buffer, wanted, &read, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF)
            return 0;
        raiseLastError();
    }
    return read;
}

void closeFile(NativeFile file, bool report)
{
    if (!::CloseHandle(reinterpret_cast<HANDLE>(file)) && report)
        raiseLastError();
}

} // namespace cttax::detail
