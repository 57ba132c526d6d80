// SPDX-License-Identifier: MIT
// Reading the settings file with Win32 handles.
#include "settings/file_layer.h"
#include "settings/windows/file.h"

#include <winioctl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

namespace cttax::detail {

namespace {

// What a NativeFile stands for here: the open file, and the turn among
// saves and loads that the load holds until the file is closed.
struct OpenSettings {
    explicit OpenSettings(const SettingsPath &finalPath) : turn(finalPath) {}
    SaveTurn turn;
    Handle file;
    bool holesUnknown = false; // the file system cannot tell where data lies
    std::vector<char> scan;    // then: large reads to pass over zeros quickly
};

OpenSettings &openOf(NativeFile file)
{
    return *reinterpret_cast<OpenSettings *>(file);
}

// The first byte of data at or after `offset` of a sparse file, or -1 when
// only holes follow; `offset` itself where the file system cannot tell
// (FAT, Wine: its FSCTL answers "not supported").
long long nextData(OpenSettings &open, long long offset)
{
    if (open.holesUnknown)
        return offset;
    FILE_ALLOCATED_RANGE_BUFFER query{}, found{};
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(open.file.get(), &size) || offset >= size.QuadPart)
        return offset;
    query.FileOffset.QuadPart = offset;
    query.Length.QuadPart = size.QuadPart - offset;
    DWORD bytes = 0;
    const BOOL ok = ::DeviceIoControl(open.file.get(), FSCTL_QUERY_ALLOCATED_RANGES, &query, sizeof query, &found,
                                      sizeof found, &bytes, nullptr);
    if (!ok && ::GetLastError() != ERROR_MORE_DATA) {
        open.holesUnknown = true;
        return offset;
    }
    if (bytes < sizeof found)
        return -1; // no data up to the end
    return std::max(offset, found.FileOffset.QuadPart);
}

} // namespace

NativeFile openForReading(const SettingsPath &path)
{
    // Others may read, write and rename it meanwhile: reading never stands
    // in the way of a save, and takes its turn only against saves of its own
    // kind, so that it sees one whole version.
    const SettingsPath finalPath = finalPathOf(path);
    auto open = std::make_unique<OpenSettings>(finalPath);
    const std::wstring name = win32Path(finalPath);
    const bool opened = retryWhileShared([&] {
        open->file.reset(::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        return open->file.valid();
    });
    if (!opened)
        raiseLastError();
    // A device or a pipe given the file's name is not a settings file.
    if (::GetFileType(open->file.get()) != FILE_TYPE_DISK)
        raiseWin32(ERROR_ACCESS_DENIED);
    return reinterpret_cast<NativeFile>(open.release());
}

DWORD readAt(HANDLE file, char *buffer, std::size_t size, long long offset)
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<unsigned long long>(offset) >> 32);
    DWORD read = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(size, 1u << 30));
    if (!::ReadFile(file, buffer, wanted, &read, &at)) {
        if (::GetLastError() == ERROR_HANDLE_EOF)
            return 0;
        raiseLastError();
    }
    return read;
}

std::size_t readFrom(NativeFile file, char *buffer, std::size_t size, long long &offset, bool acrossHoles)
{
    OpenSettings &open = openOf(file);
    if (acrossHoles) {
        const long long data = nextData(open, offset);
        if (data < 0)
            return 0;
        offset = data;
    }
    if (!acrossHoles || !open.holesUnknown)
        return readAt(open.file.get(), buffer, size, offset);
    // Holes read as zeros: passed over in reads that grow, while all they
    // find is zeros, to 8 MB (a small file reads as before).
    if (open.scan.empty())
        open.scan.resize(64 << 10);
    for (;; open.scan.resize(std::min<std::size_t>(open.scan.size() * 2, 8 << 20))) {
        const DWORD read = readAt(open.file.get(), open.scan.data(), open.scan.size(), offset);
        if (read == 0)
            return 0;
        const char *first = std::find_if(open.scan.data(), open.scan.data() + read, [](char c) { return c != 0; });
        const std::size_t skipped = static_cast<std::size_t>(first - open.scan.data());
        offset += static_cast<long long>(skipped);
        if (skipped < read) {
            const std::size_t n = std::min<std::size_t>(size, read - skipped);
            std::memcpy(buffer, first, n);
            return n;
        }
    }
}

void closeFile(NativeFile file, bool report)
{
    std::unique_ptr<OpenSettings> open(&openOf(file));
    const HANDLE handle = open->file.release();
    if (!::CloseHandle(handle) && report)
        raiseLastError();
}

} // namespace cttax::detail
