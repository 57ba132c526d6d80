// SPDX-License-Identifier: MIT
// The safe writer. The ways it tries, in order, and what each failure leads to:
//
// | step                                   | failure                                   | then                 |
// |----------------------------------------|-------------------------------------------|----------------------|
// | find the file (links as the kernel     | link another user planted in a sticky     | error 5, nothing     |
// | would follow them for this user)       | shared folder; missing folder             | written (5 / 2)      |
// | refuse a file not ours to write        | not a regular file, no write permission   | error 5              |
// | choose: a file with other names (hard  | -                                         | in place             |
// | links), another user's file, a folder  |                                           |                      |
// | we may not write                       |                                           |                      |
// | remove our own leftover temporaries    | other users' names are never touched      | (goes on)            |
// | new temporary NAME.saving-N beside it, | no new file allowed there (EACCES, EPERM, | in place             |
// | created exclusively, never through a   | EROFS)                                    |                      |
// | link                                   |                                           |                      |
// | give it the file's owner, group, mode, | cannot be copied exactly                  | in place             |
// | ACL and extended attributes            |                                           |                      |
// | write, flush                           | disk full, I/O error                      | error, file as it was|
// | rename over the file                   | EBUSY (a mounted file), EPERM (sticky     | in place             |
// |                                        | folder), EXDEV, not supported             |                      |
// | in place: open without following links,| locked by another program for 3 s         | error 32             |
// | lock, cut to the new length, write,    | disk full, I/O error                      | error                |
// | flush                                  |                                           |                      |
//
// What a crash leaves: before the rename, the old file and at most one
// NAME.saving-N of ours, which the next save removes; after it, the new file.
// In place: before the cut, the old file; after the cut, the first bytes of
// the old file, as many as the new content has (the old values, whole where
// the old lines were no longer than the new); after the write, the new file.
// Old and new bytes never share the file.
#include "settings/settings_file.h"

#include "settings/file_layer.h"
#include "settings/posix_file.h"

#include <chrono>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace cttax {

namespace {

using Clock = std::chrono::steady_clock;
using detail::FileDescriptor;
using detail::raiseErrno;
using detail::SettingsTarget;

// How long an in-place rewrite waits for another program's lock on the file.
constexpr auto kLockDeadline = std::chrono::seconds(3);

// The user's own "read-only" mark counts even for root, who could write
// through it: a settings file or folder without any write bit is read-only.
bool writable(int folder, const char *name, const struct stat &info)
{
    return ::faccessat(folder, name, W_OK, AT_EACCESS) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

// Errors that say a file system does not do something, not that it failed.
bool notSupported(int error)
{
    return error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS || error == ENOTTY;
}

void writeAllBytes(int fd, const std::string &content, const WriteFunction &writeBytes)
{
    std::size_t done = 0;
    while (done < content.size()) {
        const long n = writeBytes ? writeBytes(fd, content.data() + done, content.size() - done)
                                  : ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            raiseErrno(n < 0 ? errno : ENOSPC);
        done += static_cast<std::size_t>(n);
    }
}

void flushToDisk(int fd)
{
    if (::fsync(fd) != 0 && !notSupported(errno))
        raiseErrno(errno);
}

// Another program's lock is waited for, never for long.
void lockWithDeadline(int fd)
{
    const Clock::time_point deadline = Clock::now() + kLockDeadline;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == ENOLCK || notSupported(errno))
            return; // a file system without locks: nothing to wait for
        if (errno != EWOULDBLOCK && errno != EINTR)
            raiseErrno(errno);
        if (Clock::now() >= deadline)
            throw EInOutError(kSharingViolation);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void rewriteInPlace(const SettingsTarget &target, const std::string &content, const WriteFunction &writeBytes)
{
    const int create = target.exists ? 0 : O_CREAT | O_EXCL;
    FileDescriptor fd(::openat(target.folder.get(), target.name.c_str(),
                               O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | create, 0666));
    if (fd.get() < 0)
        raiseErrno(errno == ELOOP ? EACCES : errno); // the name became a link meanwhile
    struct stat now {};
    if (::fstat(fd.get(), &now) != 0)
        raiseErrno(errno);
    if (!S_ISREG(now.st_mode) ||
        (target.exists && (now.st_ino != target.info.st_ino || now.st_dev != target.info.st_dev)))
        raiseErrno(EACCES);
    lockWithDeadline(fd.get());
    if (now.st_size > static_cast<off_t>(content.size()) && ::ftruncate(fd.get(), static_cast<off_t>(content.size())) != 0)
        raiseErrno(errno);
    writeAllBytes(fd.get(), content, writeBytes);
    flushToDisk(fd.get());
    if (fd.close() != 0)
        raiseErrno(errno);
}

bool isTemporaryName(const std::string &entry, const std::string &name)
{
    const std::string prefix = name + detail::kSavingInfix;
    return entry.compare(0, prefix.size(), prefix) == 0;
}

// Removes what killed saves of this user left beside the file. A live save
// holds its temporary locked from its creation to its rename; names of other
// users are left alone.
void removeOwnLeftovers(const SettingsTarget &target)
{
    FileDescriptor listing(::openat(target.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (listing.get() < 0)
        return; // a folder we may not list: nothing found, nothing removed
    DIR *dir = ::fdopendir(listing.get());
    if (dir == nullptr)
        return;
    listing.release();
    std::vector<std::string> found;
    while (const dirent *entry = ::readdir(dir))
        if (isTemporaryName(entry->d_name, target.name))
            found.emplace_back(entry->d_name);
    ::closedir(dir);

    for (const std::string &name : found) {
        struct stat seen {};
        if (::fstatat(target.folder.get(), name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0 ||
            seen.st_uid != ::geteuid())
            continue;
        if (S_ISLNK(seen.st_mode)) {
            ::unlinkat(target.folder.get(), name.c_str(), 0);
            continue;
        }
        if (!S_ISREG(seen.st_mode))
            continue;
        FileDescriptor other(::openat(target.folder.get(), name.c_str(),
                                      O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (other.get() < 0 || ::flock(other.get(), LOCK_EX | LOCK_NB) != 0)
            continue; // in use by a live save
        struct stat locked {};
        if (::fstat(other.get(), &locked) == 0 && locked.st_ino == seen.st_ino && locked.st_dev == seen.st_dev)
            ::unlinkat(target.folder.get(), name.c_str(), 0);
    }
}

// Gives the temporary everything of the file's that decides who may do what
// with it: owner, group, mode, then the extended attributes, the ACL among
// them (set last, so that the mode does not change its mask). False when
// something cannot be copied exactly; the caller then rewrites in place.
bool copyAccess(const SettingsTarget &target, int temporary)
{
    struct stat mine {};
    if (::fstat(temporary, &mine) != 0)
        return false;
    if ((mine.st_uid != target.info.st_uid || mine.st_gid != target.info.st_gid) &&
        ::fchown(temporary, target.info.st_uid, target.info.st_gid) != 0)
        return false;
    if ((mine.st_mode & 07777) != (target.info.st_mode & 07777) &&
        ::fchmod(temporary, target.info.st_mode & 07777) != 0)
        return false;

    FileDescriptor source(::openat(target.folder.get(), target.name.c_str(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (source.get() < 0)
        return false;
    std::vector<char> names(1024);
    ssize_t size;
    while ((size = ::flistxattr(source.get(), names.data(), names.size())) < 0 && errno == ERANGE)
        names.resize(names.size() * 4);
    if (size < 0)
        return notSupported(errno); // no attributes on this file system
    std::vector<char> value(256);
    for (const char *name = names.data(); name < names.data() + size; name += std::strlen(name) + 1) {
        ssize_t length;
        while ((length = ::fgetxattr(source.get(), name, value.data(), value.size())) < 0 && errno == ERANGE)
            value.resize(value.size() * 4);
        if (length < 0 || ::fsetxattr(temporary, name, value.data(), static_cast<std::size_t>(length), 0) != 0)
            return false;
    }
    return true;
}

enum class Outcome { Saved, TryInPlace };

// An exclusively created temporary beside the file, renamed over it.
Outcome replaceAtomically(const SettingsTarget &target, const std::string &content, const WriteFunction &writeBytes)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    FileDescriptor temporary;
    std::string temporaryName;
    for (int attempt = 0; temporary.get() < 0; ++attempt) {
        temporaryName = target.name + detail::kSavingInfix + "-" + std::to_string(random() % 1000000000);
        // 0666: the umask gives a new file its usual mode.
        temporary.reset(::openat(target.folder.get(), temporaryName.c_str(),
                                 O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, 0666));
        if (temporary.get() >= 0)
            break;
        if (errno == EACCES || errno == EPERM || errno == EROFS || notSupported(errno))
            return Outcome::TryInPlace;
        if (errno != EEXIST || attempt == 100)
            raiseErrno(errno);
    }
    ::flock(temporary.get(), LOCK_EX | LOCK_NB); // ours alone: marks it as in use

    const auto drop = [&] { ::unlinkat(target.folder.get(), temporaryName.c_str(), 0); };
    try {
        if (target.exists && !copyAccess(target, temporary.get())) {
            drop();
            return Outcome::TryInPlace;
        }
        writeAllBytes(temporary.get(), content, writeBytes);
        flushToDisk(temporary.get());
    } catch (...) {
        drop();
        throw;
    }
    if (::renameat(target.folder.get(), temporaryName.c_str(), target.folder.get(), target.name.c_str()) != 0) {
        const int error = errno;
        drop();
        if (error == EBUSY || error == EPERM || error == EXDEV || error == EACCES || error == ENOENT ||
            notSupported(error))
            return Outcome::TryInPlace;
        raiseErrno(error);
    }
    // The rename is made; this only hurries it to disk.
    if (FileDescriptor folder(::openat(target.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)); folder.get() >= 0)
        ::fsync(folder.get());
    if (temporary.close() != 0)
        raiseErrno(errno);
    return Outcome::Saved;
}

} // namespace

void writeSettingsFile(const std::filesystem::path &path, const SettingsValues &values,
                       const WriteFunction &writeBytes)
{
    const std::string content = settingsFileContent(values);
    const SettingsTarget target = detail::findSettingsTarget(path);
    if (target.exists) {
        if (!S_ISREG(target.info.st_mode))
            raiseErrno(EACCES); // a folder, a device or a FIFO is no settings file
        if (!writable(target.folder.get(), target.name.c_str(), target.info))
            raiseErrno(EACCES);
    }
    const bool folderWritable = writable(target.folder.get(), ".", target.folderInfo) &&
                                ::faccessat(target.folder.get(), ".", X_OK, AT_EACCESS) == 0;
    // A file with other names keeps them all; another user's file keeps its
    // owner and everything else only when it is written where it is.
    const bool keepInPlace =
        target.exists && (target.info.st_nlink > 1 || (::geteuid() != 0 && ::geteuid() != target.info.st_uid));
    if (folderWritable && !keepInPlace) {
        removeOwnLeftovers(target);
        if (replaceAtomically(target, content, writeBytes) == Outcome::Saved)
            return;
    }
    if (!target.exists && !folderWritable)
        raiseErrno(EACCES);
    rewriteInPlace(target, content, writeBytes);
}

} // namespace cttax
