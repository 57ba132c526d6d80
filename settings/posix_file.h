// SPDX-License-Identifier: MIT
// The settings library's own small helpers around POSIX descriptors.
#pragma once

#include "settings/settings_file.h"

#include <cerrno>

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

} // namespace cttax::detail
