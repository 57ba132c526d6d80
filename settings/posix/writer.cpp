// SPDX-License-Identifier: MIT
// The safe writer. The ways it tries, in order, and what each failure leads to:
//
// | step                                   | failure                                   | then                 |
// |----------------------------------------|-------------------------------------------|----------------------|
// | find the file (links only where no     | another user's link, or another user's    | error 5, nothing     |
// | other user could have planted them)    | file in a sticky shared folder; a missing | read or written      |
// |                                        | folder                                    | (5 / 3)              |
// | refuse a file not ours to write        | not a regular file, no write permission   | error 5              |
// | choose: a file with other names (hard  | -                                         | in place             |
// | links), another user's file, a folder  |                                           |                      |
// | we may not write                       |                                           |                      |
// | remove our own leftover temporaries    | names of other users, of another form or  | (goes on)            |
// |                                        | locked by a live save are never touched   |                      |
// | new temporary NAME.saving-N beside it, | no new file allowed there (EACCES, EPERM, | in place             |
// | created exclusively, 0600 (0666 less   | EROFS), name too long, folder full        |                      |
// | the umask for a new file), never       |                                           |                      |
// | through a link, then locked            |                                           |                      |
// | give it the file's owner, group, ACL   | cannot be copied exactly                  | in place             |
// | and extended attributes, then its mode |                                           |                      |
// | write, flush                           | disk full or quota                        | in place             |
// |                                        | I/O error                                 | error, file as it was|
// | rename over the file                   | EBUSY (a mounted file), EPERM (sticky     | in place             |
// |                                        | folder), EEXIST (fusefat 0.3), EXDEV, not |                      |
// |                                        | supported                                 |                      |
// | in place: open without following links,| locked by another program for 3 s         | error 32             |
// | lock, read the head it will cover,     | disk full, I/O error                      | error; the head      |
// | write from the start, cut to the new   |                                           | written back: the    |
// | length, flush                          |                                           | earlier file         |
//
// Another save met on the way (its temporary, its new file in the place of
// the one found, a file it created first) starts this save again from the
// top, up to 100 times, so any number of saves at once all succeed; the
// last one to finish wins, each leaves a whole file.
//
// What the next load gives after a kill at any point:
// - the rename way: before the rename the earlier file (and at most one
//   NAME.saving-N of ours, which the next save removes), after it the new;
// - in place: before the write the earlier file; after it the new lines,
//   followed, until the cut, by the earlier file's tail beyond them, which
//   the reader passes over (it reads five lines): the new values. The write
//   is one call of under a page, which a kill does not split. What neither
//   way can promise is a power cut on a disk that tears a sector.
//
// Who may see the amounts: a temporary replacing a file is made 0600 and
// gets the file's owner, ACL and mode only once it is the user's alone, so
// no one who may not read the settings file can read it at any moment; a
// new file's temporary has the new file's own mode from the start.
#include "settings/settings_file.h"

#include "settings/file_layer.h"
#include "settings/posix/file.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>

namespace cttax {

namespace {

using detail::FileDescriptor;
using detail::notSupported;
using detail::raiseErrno;
using detail::SettingsTarget;

// How often a save starts again after meeting another save on its way.
constexpr int kRaceAttempts = 100;
constexpr const char *kAccessAcl = "system.posix_acl_access";

enum class Outcome { Saved, TryInPlace, Again };

// The user's own "read-only" mark counts even for root, who could write
// through it: a settings file or folder without any write bit is read-only.
bool writable(int folder, const char *name, const struct stat &info)
{
    return ::faccessat(folder, name, W_OK, AT_EACCESS) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
}

bool noRoom(int error)
{
    return error == ENOSPC || error == EDQUOT;
}

bool sameFile(const struct stat &a, const struct stat &b)
{
    return a.st_ino == b.st_ino && a.st_dev == b.st_dev;
}

// Whether `name` in `folder` is still the file open as `fd`.
bool stillNamed(int folder, const std::string &name, int fd)
{
    struct stat named {}, open {};
    return ::fstatat(folder, name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0 && ::fstat(fd, &open) == 0 &&
           sameFile(named, open);
}

// Writes all of `content` at the descriptor's position; the errno of the
// failure, 0 when all was written.
int writeAllBytes(int fd, const std::string &content, const WriteFunction &writeBytes)
{
    std::size_t done = 0;
    while (done < content.size()) {
        const long n = writeBytes ? writeBytes(fd, content.data() + done, content.size() - done)
                                  : ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int flushToDisk(int fd)
{
    return ::fsync(fd) != 0 && !notSupported(errno) ? errno : 0;
}

// Opens the file found for the rewrite; Again where another save replaced
// or created it meanwhile.
Outcome openInPlace(const SettingsTarget &target, FileDescriptor &fd)
{
    const int create = target.exists ? 0 : O_CREAT | O_EXCL;
    fd.reset(::openat(target.folder.get(), target.name.c_str(),
                      O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | create, 0666));
    if (fd.get() < 0) {
        if ((errno == EEXIST && !target.exists) || (errno == ENOENT && target.exists))
            return Outcome::Again; // another save created or moved it
        raiseErrno(errno == ELOOP ? EACCES : errno); // the name became a link meanwhile
    }
    struct stat now {};
    if (::fstat(fd.get(), &now) != 0)
        raiseErrno(errno);
    if (!S_ISREG(now.st_mode))
        raiseErrno(EACCES);
    if (target.exists && !sameFile(now, target.info))
        return Outcome::Again;
    detail::lockWithDeadline(fd.get(), LOCK_EX);
    // Waiting for the lock, another save may have put a new file in its place.
    return stillNamed(target.folder.get(), target.name, fd.get()) ? Outcome::Saved : Outcome::Again;
}

// The first `size` bytes of the locked file, read through a descriptor of
// their own (fusefat drops a write made on a descriptor that has read);
// nullopt where the user may write the file but not read it.
std::optional<std::string> headOf(const SettingsTarget &target, int fd, std::size_t size)
{
    FileDescriptor reading(::openat(target.folder.get(), target.name.c_str(),
                                    O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (reading.get() < 0 || !stillNamed(target.folder.get(), target.name, fd))
        return std::nullopt;
    std::string head(size, '\0');
    std::size_t done = 0;
    for (ssize_t n; done < size && (n = ::pread(reading.get(), head.data() + done, size - done,
                                                 static_cast<off_t>(done))) != 0;) {
        if (n < 0 && errno != EINTR)
            raiseErrno(errno);
        if (n > 0)
            done += static_cast<std::size_t>(n);
    }
    head.resize(done);
    return head;
}

// The new bytes go over the start of the file in one write, then the file is
// cut to their length. A failed write puts back the bytes it covered and the
// length the file had, so the file is the earlier one again.
Outcome rewriteInPlace(const SettingsTarget &target, const std::string &content, const WriteFunction &writeBytes)
{
    FileDescriptor fd;
    if (openInPlace(target, fd) == Outcome::Again)
        return Outcome::Again;
    struct stat before {};
    if (::fstat(fd.get(), &before) != 0)
        raiseErrno(errno);
    const std::optional<std::string> head =
        headOf(target, fd.get(), std::min<std::size_t>(content.size(), static_cast<std::size_t>(before.st_size)));
    if (const int error = writeAllBytes(fd.get(), content, writeBytes)) {
        if (head) {
            [[maybe_unused]] const ssize_t restored = ::pwrite(fd.get(), head->data(), head->size(), 0);
            [[maybe_unused]] const int cut = ::ftruncate(fd.get(), before.st_size);
            ::fsync(fd.get());
        }
        raiseErrno(error);
    }
    if (before.st_size > static_cast<off_t>(content.size()) && ::ftruncate(fd.get(), static_cast<off_t>(content.size())) != 0)
        raiseErrno(errno);
    if (const int error = flushToDisk(fd.get()))
        raiseErrno(error);
    if (fd.close() != 0)
        raiseErrno(errno);
    return Outcome::Saved;
}

// Removes what killed saves of this user left beside the file: names of
// exactly the form a save makes, the user's own regular files, that no live
// save holds. A live save locks its temporary right after making it and
// checks, once locked, that the name is still its file; one removed in
// between is simply made again. So no save can lose its temporary to this.
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
        if (detail::isSavingName<char>(entry->d_name, target.name))
            found.emplace_back(entry->d_name);
    ::closedir(dir);

    for (const std::string &name : found) {
        struct stat seen {};
        if (::fstatat(target.folder.get(), name.c_str(), &seen, AT_SYMLINK_NOFOLLOW) != 0 ||
            seen.st_uid != ::geteuid() || !S_ISREG(seen.st_mode))
            continue;
        FileDescriptor other(::openat(target.folder.get(), name.c_str(),
                                      O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (other.get() < 0 || ::flock(other.get(), LOCK_EX | LOCK_NB) != 0)
            continue; // in use by a live save, or no locks to tell: left alone
        if (stillNamed(target.folder.get(), name, other.get()))
            ::unlinkat(target.folder.get(), name.c_str(), 0);
    }
}

bool listAttributes(int fd, std::vector<char> &names, ssize_t &size)
{
    names.resize(1024);
    while ((size = ::flistxattr(fd, names.data(), names.size())) < 0 && errno == ERANGE)
        names.resize(names.size() * 4);
    return size >= 0;
}

// Gives the 0600 temporary everything of the file's that decides who may do
// what with it: owner and group, the extended attributes with the ACL among
// them (an ACL that the folder's default gave the temporary but the file
// does not have is taken away), and last the mode, which then only repeats
// what the ACL says. Until then only the user may open it. False when
// something cannot be copied exactly; the caller then rewrites in place.
bool copyAccess(const SettingsTarget &target, int temporary)
{
    struct stat mine {};
    if (::fstat(temporary, &mine) != 0)
        return false;
    if ((mine.st_uid != target.info.st_uid || mine.st_gid != target.info.st_gid) &&
        ::fchown(temporary, target.info.st_uid, target.info.st_gid) != 0)
        return false;

    FileDescriptor source(::openat(target.folder.get(), target.name.c_str(),
                                   O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (source.get() < 0)
        return false;
    std::vector<char> names;
    ssize_t size = 0;
    if (listAttributes(source.get(), names, size)) {
        bool hasAcl = false;
        std::vector<char> value(256);
        for (const char *name = names.data(); name < names.data() + size; name += std::strlen(name) + 1) {
            hasAcl = hasAcl || std::strcmp(name, kAccessAcl) == 0;
            ssize_t length;
            while ((length = ::fgetxattr(source.get(), name, value.data(), value.size())) < 0 && errno == ERANGE)
                value.resize(value.size() * 4);
            if (length < 0 || ::fsetxattr(temporary, name, value.data(), static_cast<std::size_t>(length), 0) != 0)
                return false;
        }
        if (!hasAcl && ::fremovexattr(temporary, kAccessAcl) != 0 && errno != ENODATA && !notSupported(errno))
            return false;
    } else if (!notSupported(errno)) {
        return false; // attributes there that cannot be read
    }
    // A file system without modes (FAT) shows the file's mode on every file.
    if (::fstat(temporary, &mine) != 0)
        return false;
    return (mine.st_mode & 07777) == (target.info.st_mode & 07777) ||
           ::fchmod(temporary, target.info.st_mode & 07777) == 0;
}

// Makes NAME.saving-N exclusively and locks it. Invalid where the folder
// takes no new file (the caller rewrites in place); throws for a failure.
FileDescriptor createTemporary(const SettingsTarget &target, std::string &temporaryName, bool &refused)
{
    std::random_device seed;
    std::mt19937_64 random(seed());
    // Replacing a file: the user's alone until it has the file's access. A
    // new file: 0666 less the umask (or the folder's default ACL), its own.
    const mode_t mode = target.exists ? 0600 : 0666;
    refused = false;
    for (int attempt = 0; attempt < kRaceAttempts; ++attempt) {
        temporaryName = target.name + detail::kSavingInfix + "-" + std::to_string(random() % 1000000000);
        FileDescriptor temporary(::openat(target.folder.get(), temporaryName.c_str(),
                                          O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC, mode));
        if (temporary.get() < 0) {
            const int error = errno;
            if (error == EACCES || error == EPERM || error == EROFS || error == ENAMETOOLONG || noRoom(error) ||
                error == EMLINK || notSupported(error)) {
                refused = true;
                return FileDescriptor();
            }
            if (error != EEXIST)
                raiseErrno(error);
            continue;
        }
        // Locked, and still ours: a clean-up that met it before the lock may
        // have removed it, and one that holds it now is about to.
        if (::flock(temporary.get(), LOCK_EX | LOCK_NB) != 0 && errno != ENOLCK && !notSupported(errno))
            continue;
        if (stillNamed(target.folder.get(), temporaryName, temporary.get()))
            return temporary;
    }
    throw EInOutError(kSharingViolation);
}

// An exclusively created temporary beside the file, renamed over it.
Outcome replaceAtomically(const SettingsTarget &target, const std::string &content, const WriteFunction &writeBytes)
{
    std::string temporaryName;
    bool refused = false;
    FileDescriptor temporary = createTemporary(target, temporaryName, refused);
    if (refused)
        return Outcome::TryInPlace;

    const auto drop = [&] { ::unlinkat(target.folder.get(), temporaryName.c_str(), 0); };
    if (target.exists && !copyAccess(target, temporary.get())) {
        drop();
        return Outcome::TryInPlace;
    }
    int error = writeAllBytes(temporary.get(), content, writeBytes);
    if (error == 0)
        error = flushToDisk(temporary.get());
    if (error != 0) {
        drop();
        // A full disk may still take the same bytes over the file's own.
        if (noRoom(error) && target.exists)
            return Outcome::TryInPlace;
        raiseErrno(error);
    }
    if (::renameat(target.folder.get(), temporaryName.c_str(), target.folder.get(), target.name.c_str()) != 0) {
        error = errno;
        if (error == ENOENT && !stillNamed(target.folder.get(), temporaryName, temporary.get()))
            return Outcome::Again;
        drop();
        if (error == EBUSY || error == EPERM || error == EXDEV || error == EACCES || error == ENOENT ||
            error == EEXIST || error == ENOTEMPTY || notSupported(error))
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

Outcome saveOnce(const SettingsPath &path, const std::string &content, const WriteFunction &writeBytes)
{
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
        const Outcome outcome = replaceAtomically(target, content, writeBytes);
        if (outcome != Outcome::TryInPlace)
            return outcome;
    }
    if (!target.exists && !folderWritable)
        raiseErrno(EACCES);
    return rewriteInPlace(target, content, writeBytes);
}

} // namespace

void writeSettingsFile(const SettingsPath &path, const SettingsValues &values, const WriteFunction &writeBytes)
{
    const std::string content = settingsFileContent(values);
    for (int attempt = 0; attempt < kRaceAttempts; ++attempt)
        if (saveOnce(path, content, writeBytes) == Outcome::Saved)
            return;
    throw EInOutError(kSharingViolation);
}

} // namespace cttax
