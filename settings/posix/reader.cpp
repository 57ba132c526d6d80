// SPDX-License-Identifier: MIT
// Reading the settings file with POSIX descriptors.
#include "settings/file_layer.h"
#include "settings/posix/file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cttax::detail {

NativeFile openForReading(const std::filesystem::path &path)
{
    // Through links only where no other user could have planted them, and
    // never into a file another user planted in a shared sticky folder.
    const SettingsTarget target = findSettingsTarget(path);
    if (!target.exists)
        raiseErrno(ENOENT);
    // O_NONBLOCK: a FIFO put in the file's place must not stop the start-up.
    FileDescriptor fd(
        ::openat(target.folder.get(), target.name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.get() < 0)
        raiseErrno(errno == ELOOP ? EACCES : errno);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0)
        raiseErrno(errno);
    if (!S_ISREG(info.st_mode))
        raiseErrno(EACCES);
    // A rewrite in place holds the file locked while its bytes change: wait
    // for it, so that a load sees one whole version. (A save that renames a
    // new file over the old leaves nothing half-written to see.)
    lockWithDeadline(fd.get(), LOCK_SH);
    return fd.release();
}

std::size_t readFrom(NativeFile file, char *buffer, std::size_t size, long long &offset, bool acrossHoles)
{
    const int fd = static_cast<int>(file);
    if (acrossHoles) {
        const off_t data = ::lseek(fd, static_cast<off_t>(offset), SEEK_DATA);
        if (data < 0 && errno == ENXIO)
            return 0; // nothing but a hole up to the end
        if (data >= 0)
            offset = data;
    }
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            raiseErrno(errno);
        return static_cast<std::size_t>(n);
    }
}

void closeFile(NativeFile file, bool report)
{
    if (::close(static_cast<int>(file)) != 0 && report)
        raiseErrno(errno);
}

} // namespace cttax::detail
