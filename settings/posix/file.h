// SPDX-License-Identifier: MIT
// The settings library's own small helpers around POSIX descriptors, and the
// one way both the reader and the writer find the file a path names.
#pragma once

#include "settings/settings_file.h"

#include <cerrno>
#include <chrono>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace cttax::detail {

[[noreturn]] inline void raiseErrno(int errnoValue)
{
    throw EInOutError(inOutCodeOf(errnoValue));
}

// Closes a descriptor on every path out of a scope.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    FileDescriptor(FileDescriptor &&other) noexcept : fd_(other.release()) {}
    FileDescriptor &operator=(FileDescriptor &&other) noexcept
    {
        reset(other.release());
        return *this;
    }
    int get() const { return fd_; }
    void reset(int fd = -1)
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = fd;
    }
    int release()
    {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes now and returns the result of the close.
    int close()
    {
        const int result = ::close(fd_);
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

// The file a settings path names, found so that no other user can redirect
// or plant it: a symbolic link is followed (to any depth) only when it is
// the user's own or root's, or when nobody but the user and root may write
// the folder that holds it; in a sticky world-writable folder a file of
// neither the user nor the folder's owner is refused (the kernel's
// protected_regular rule, whether the machine turns it on or not). Every
// later step works from `folder` and `name`, so the file reached is the one
// checked here, whatever happens to the path meanwhile.
struct SettingsTarget {
    FileDescriptor folder;     // the folder that holds the final name (O_PATH)
    std::string name;          // the final name in it, never a link
    struct stat folderInfo {};
    bool exists = false;       // the name is there (then `info` is its lstat)
    struct stat info {};
};

// Throws EInOutError: a link the rule does not let this user follow, and a
// file another user planted in a shared sticky folder, are "File access
// denied" (5); a missing folder on the way and too many links "Invalid
// filename" (3). A missing final name is no
// error (`exists` is false): a dangling link leads to the name it points to.
SettingsTarget findSettingsTarget(const std::filesystem::path &path);

// Errors that say a file system does not do something, not that it failed.
inline bool notSupported(int error)
{
    return error == EINVAL || error == ENOTSUP || error == EOPNOTSUPP || error == ENOSYS || error == ENOTTY;
}

// How long a load or an in-place rewrite waits for another's lock.
inline constexpr auto kLockDeadline = std::chrono::seconds(3);

// flock(2) with `operation` (LOCK_SH or LOCK_EX), retried until
// kLockDeadline, then "I/O error 32" (a sharing violation, as on Windows). A
// file system without locks takes the file unlocked.
void lockWithDeadline(int fd, int operation);

} // namespace cttax::detail
