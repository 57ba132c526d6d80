// SPDX-License-Identifier: MIT
// Finding the settings file through links only where no other user could
// have planted them, and the lock that readers and in-place writers share.
#include "settings/posix/file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <thread>
#include <vector>

#include <sys/file.h>

namespace cttax::detail {

namespace {

// The kernel's limit on links followed in one lookup.
constexpr int kMaxLinks = 40;

// Whether nobody but this user (and root) may write the folder: it is the
// user's or root's, and neither its group nor others have a write bit. An
// ACL that grants write to anyone else shows as the group's write bit (its
// mask), so it counts too.
bool privateFolder(const struct stat &folder)
{
    const uid_t me = ::geteuid();
    return (folder.st_uid == me || folder.st_uid == 0) && (folder.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool sharedSticky(const struct stat &folder)
{
    return (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
}

// A link is followed only when it is the user's own or root's, or when
// nobody else could have put it there. Stricter than the kernel's
// fs.protected_symlinks (sticky world-writable folders only): a member of a
// group folder may not redirect another member's save. Root is held to it too.
bool mayFollow(const struct stat &folder, const struct stat &link)
{
    return link.st_uid == ::geteuid() || link.st_uid == 0 || privateFolder(folder);
}

// fs.protected_regular, applied whether or not the machine turns it on: in a
// sticky world-writable folder (/tmp) a file of neither the user nor the
// folder's owner is another user's trap, neither read nor written.
bool mayUse(const struct stat &folder, const struct stat &file)
{
    return !sharedSticky(folder) || file.st_uid == ::geteuid() || file.st_uid == folder.st_uid;
}

std::string readLinkAt(int folder, const std::string &name, std::size_t sizeHint)
{
    std::vector<char> buffer(sizeHint + 2);
    for (;;) {
        const ssize_t n = ::readlinkat(folder, name.c_str(), buffer.data(), buffer.size());
        if (n < 0)
            raiseErrno(errno);
        if (static_cast<std::size_t>(n) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(n));
        buffer.resize(buffer.size() * 2);
    }
}

} // namespace

SettingsTarget findSettingsTarget(const std::filesystem::path &path)
{
    std::filesystem::path current = path;
    for (int links = 0; links <= kMaxLinks; ++links) {
        SettingsTarget target;
        const std::filesystem::path name = current.filename();
        if (name.empty() || name == "." || name == "..")
            raiseErrno(EISDIR);
        const std::filesystem::path folder = current.has_parent_path() ? current.parent_path() : ".";
        target.folder.reset(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        // A folder missing on the way is 3, as on Windows (a missing file is 2).
        if (target.folder.get() < 0)
            raiseErrno(errno == ENOENT ? ENOTDIR : errno);
        if (::fstat(target.folder.get(), &target.folderInfo) != 0)
            raiseErrno(errno);
        target.name = name.string();
        if (::fstatat(target.folder.get(), target.name.c_str(), &target.info, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno != ENOENT)
                raiseErrno(errno);
            return target;
        }
        if (!S_ISLNK(target.info.st_mode)) {
            if (!mayUse(target.folderInfo, target.info))
                raiseErrno(EACCES);
            target.exists = true;
            return target;
        }
        if (!mayFollow(target.folderInfo, target.info))
            raiseErrno(EACCES);
        const std::filesystem::path to =
            readLinkAt(target.folder.get(), target.name, static_cast<std::size_t>(target.info.st_size));
        current = to.is_absolute() ? to : folder / to;
    }
    raiseErrno(ELOOP);
}

void lockWithDeadline(int fd, int operation)
{
    const auto deadline = std::chrono::steady_clock::now() + kLockDeadline;
    while (::flock(fd, operation | LOCK_NB) != 0) {
        if (errno == ENOLCK || notSupported(errno))
            return; // a file system without locks: nothing to wait for
        if (errno != EWOULDBLOCK && errno != EINTR)
            raiseErrno(errno);
        if (std::chrono::steady_clock::now() >= deadline)
            throw EInOutError(kSharingViolation);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

} // namespace cttax::detail
