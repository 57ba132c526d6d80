// SPDX-License-Identifier: MIT
// The safe writer: an unnamed file beside the target, flushed, named for an
// instant and renamed over the target; in place where no file can be made.
#include "settings/settings_file.h"

#include "settings/posix_file.h"

#include <chrono>
#include <cstdlib>
#include <random>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace cttax {

namespace {

using Clock = std::chrono::steady_clock;
using detail::FileDescriptor;
using detail::raiseErrno;

// How long a save waits for another one that holds the temporary's name,
// and how long an unreadable temporary must stay the same file before it
// counts as left over (a live save holds the name for microseconds).
constexpr auto kPublishDeadline = std::chrono::seconds(5);
constexpr auto kUnreadableStaleAfter = std::chrono::seconds(1);

struct Target {
    std::filesystem::path file;
    bool exists = false;
    struct stat info {};
};

// The file a save writes: the path itself, or the final target of a link.
Target resolveTarget(const std::filesystem::path &path)
{
    Target target;
    target.file = path;
    struct stat link {};
    if (::lstat(path.c_str(), &link) != 0) {
        if (errno != ENOENT)
            raiseErrno(errno);
        return target;
    }
    if (S_ISLNK(link.st_mode)) {
        char *real = ::realpath(path.c_str(), nullptr);
        if (real == nullptr)
            raiseErrno(errno); // a dangling link: File not found
        target.file = real;
        std::free(real);
    }
    if (::stat(target.file.c_str(), &target.info) != 0)
        raiseErrno(errno);
    if (S_ISDIR(target.info.st_mode))
        raiseErrno(EISDIR);
    if (!S_ISREG(target.info.st_mode))
        raiseErrno(EACCES); // a device or a FIFO is no settings file
    target.exists = true;
    return target;
}

// The user's own "read-only" mark counts even for root, who could write
// through it: a settings file or folder without any write bit is read-only.
bool writable(const std::filesystem::path &path, const struct stat &info)
{
    return ::access(path.c_str(), W_OK) == 0 && (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
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

void lockExclusive(int fd)
{
    while (::flock(fd, LOCK_EX) != 0)
        if (errno != EINTR)
            raiseErrno(errno);
}

// Where the folder takes no new file: written over from the start, cut to
// the new length and flushed. Overwriting first (rather than emptying the
// file) keeps the disk blocks the file already has.
void rewriteInPlace(const Target &target, const std::string &content, const WriteFunction &writeBytes)
{
    FileDescriptor fd(::open(target.file.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        raiseErrno(errno);
    lockExclusive(fd.get());
    writeAllBytes(fd.get(), content, writeBytes);
    if (::ftruncate(fd.get(), static_cast<off_t>(content.size())) != 0 || ::fsync(fd.get()) != 0)
        raiseErrno(errno);
    if (fd.close() != 0)
        raiseErrno(errno);
}

bool haveProcFd()
{
    return ::access("/proc/self/fd", X_OK) == 0;
}

// An existing temporary name: true when it is gone or was left over and has
// been removed, false while a live save holds it. A save holds its
// temporary locked from before it has a name until after the rename.
class StaleCheck {
public:
    bool clear(const std::filesystem::path &saving)
    {
        FileDescriptor other(::open(saving.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
        struct stat seen {};
        if (other.get() < 0) {
            if (errno == ENOENT)
                return true;
            if (errno == ELOOP) // not a file of ours: only the name is removed
                return ::unlink(saving.c_str()) == 0 || errno == ENOENT;
            if (errno != EACCES)
                raiseErrno(errno);
            // Another user's leftover that we may not open: it is stale
            // once it has stayed the same file for a while.
            if (::lstat(saving.c_str(), &seen) != 0)
                return true;
            if (seen.st_ino != lastInode_ || seen.st_dev != lastDevice_) {
                lastInode_ = seen.st_ino;
                lastDevice_ = seen.st_dev;
                firstSeen_ = Clock::now();
                return false;
            }
            if (Clock::now() - firstSeen_ < kUnreadableStaleAfter)
                return false;
            return ::unlink(saving.c_str()) == 0 || errno == ENOENT;
        }
        if (::flock(other.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno == EWOULDBLOCK || errno == EINTR)
                return false;
            raiseErrno(errno);
        }
        struct stat now {};
        if (::fstat(other.get(), &seen) != 0)
            raiseErrno(errno);
        if (::lstat(saving.c_str(), &now) != 0)
            return true; // renamed away meanwhile
        if (now.st_ino == seen.st_ino && now.st_dev == seen.st_dev && ::unlink(saving.c_str()) != 0 &&
            errno != ENOENT)
            raiseErrno(errno);
        return true;
    }

private:
    ino_t lastInode_ = 0;
    dev_t lastDevice_ = 0;
    Clock::time_point firstSeen_;
};

// A file of its own beside the target, with no name yet where the file
// system allows it; otherwise with a random name (see below).
struct Temporary {
    FileDescriptor fd;
    std::filesystem::path randomName; // empty for an unnamed file
};

bool openTemporary(const std::filesystem::path &folder, const std::filesystem::path &target, Temporary &temporary)
{
    // 0666: the umask gives a new file its usual mode.
    if (haveProcFd()) {
        temporary.fd.reset(::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
        if (temporary.fd.get() >= 0)
            return true;
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            return false;
        if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)
            raiseErrno(errno);
    }
    // A file system without unnamed files: a random name, linked to the
    // temporary's name later like the unnamed file.
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::filesystem::path name = target.string() + ".saving-" + std::to_string(random() % 1000000000);
        temporary.fd.reset(::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666));
        if (temporary.fd.get() >= 0) {
            temporary.randomName = name;
            return true;
        }
        if (errno == EACCES || errno == EPERM || errno == EROFS)
            return false;
        if (errno != EEXIST)
            raiseErrno(errno);
    }
    raiseErrno(EEXIST);
}

bool linkTemporary(const Temporary &temporary, const std::filesystem::path &saving)
{
    if (temporary.randomName.empty()) {
        const std::string self = "/proc/self/fd/" + std::to_string(temporary.fd.get());
        return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, saving.c_str(), AT_SYMLINK_FOLLOW) == 0;
    }
    return ::link(temporary.randomName.c_str(), saving.c_str()) == 0;
}

void syncFolder(const std::filesystem::path &folder)
{
    FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.get() >= 0)
        ::fsync(fd.get()); // the rename is already made; this only hurries it to disk
}

} // namespace

std::filesystem::path savingPathFor(const std::filesystem::path &target)
{
    return target.string() + ".saving";
}

void writeSettingsFile(const std::filesystem::path &path, const SettingsValues &values,
                       const WriteFunction &writeBytes)
{
    const std::string content = settingsFileContent(values);
    const Target target = resolveTarget(path);
    if (target.exists && !writable(target.file, target.info))
        raiseErrno(EACCES);
    const std::filesystem::path folder = target.file.has_parent_path() ? target.file.parent_path() : ".";
    struct stat folderInfo {};
    if (::stat(folder.c_str(), &folderInfo) != 0)
        raiseErrno(errno);

    Temporary temporary;
    if (!writable(folder, folderInfo) || !openTemporary(folder, target.file, temporary)) {
        // No new file can be made beside it: a writable file is rewritten
        // where it is, anything else is refused.
        if (!target.exists)
            raiseErrno(EACCES);
        rewriteInPlace(target, content, writeBytes);
        return;
    }

    const std::filesystem::path saving = savingPathFor(target.file);
    bool named = false;
    try {
        lockExclusive(temporary.fd.get());
        if (target.exists) {
            // The owner first: a change of owner may clear the mode's special bits.
            if (::fchown(temporary.fd.get(), target.info.st_uid, target.info.st_gid) != 0 && errno != EPERM)
                raiseErrno(errno);
            if (::fchmod(temporary.fd.get(), target.info.st_mode & 07777) != 0)
                raiseErrno(errno);
        }
        writeAllBytes(temporary.fd.get(), content, writeBytes);
        if (::fsync(temporary.fd.get()) != 0)
            raiseErrno(errno);

        StaleCheck stale;
        const Clock::time_point deadline = Clock::now() + kPublishDeadline;
        while (!linkTemporary(temporary, saving)) {
            if (errno != EEXIST)
                raiseErrno(errno);
            if (Clock::now() > deadline)
                throw EInOutError(kSharingViolation);
            if (!stale.clear(saving))
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        named = true;
        if (!temporary.randomName.empty()) {
            ::unlink(temporary.randomName.c_str());
            temporary.randomName.clear();
        }
        if (::rename(saving.c_str(), target.file.c_str()) != 0)
            raiseErrno(errno);
        named = false;
    } catch (...) {
        if (named)
            ::unlink(saving.c_str());
        if (!temporary.randomName.empty())
            ::unlink(temporary.randomName.c_str());
        throw;
    }
    syncFolder(folder);
    if (temporary.fd.close() != 0)
        raiseErrno(errno);
}

} // namespace cttax
