// SPDX-License-Identifier: MIT
// The settings library's own small helpers around POSIX descriptors, and the
// one way both the reader and the writer find the file a path names.
#pragma once

#include "settings/settings_file.h"

#include <cerrno>
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

// The file a settings path names, found the way the kernel's protected
// links rule would find it for this user: a symbolic link is followed (to
// any depth) only where the folder holding it is not both sticky and
// world-writable, or the link is the user's own, or the folder's owner's.
// Every later step works from `folder` and `name`, so the file reached is
// the one checked here, whatever happens to the path meanwhile.
struct SettingsTarget {
    FileDescriptor folder;     // the folder that holds the final name (O_PATH)
    std::string name;          // the final name in it, never a link
    struct stat folderInfo {};
    bool exists = false;       // the name is there (then `info` is its lstat)
    struct stat info {};
};

// Throws EInOutError: a link the rule does not let this user follow is
// "File access denied" (5), a missing folder on the way and too many links
// "Invalid filename" (3). A missing final name is no
// error (`exists` is false): a dangling link leads to the name it points to.
SettingsTarget findSettingsTarget(const std::filesystem::path &path);

} // namespace cttax::detail
