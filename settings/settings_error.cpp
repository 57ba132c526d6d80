// SPDX-License-Identifier: MIT
#include "settings/settings_file.h"

#include <cerrno>

namespace cttax {

namespace {

std::string messageOf(int code)
{
    switch (code) {
    case 2:
        return "File not found";
    case 3:
        return "Invalid filename";
    case 4:
        return "Too many open files";
    case 5:
        return "File access denied";
    case 100:
        return "Read beyond end of file";
    case 101:
        return "Disk full";
    case kInvalidNumericInput:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(code);
    }
}

bool hasMessageOfItsOwn(int code)
{
    switch (code) {
    case 2:
    case 3:
    case 4:
    case 5:
    case 100:
    case 101:
    case kInvalidNumericInput:
        return true;
    default:
        return false;
    }
}

} // namespace

EInOutError::EInOutError(int code) : std::runtime_error(messageOf(code)), code_(code) {}

int inOutCodeOf(int errnoValue)
{
    switch (errnoValue) {
    case ENOENT:
        return 2;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return 5;
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return 112;
    default:
        // A number that happens to equal a code with a message would read as
        // that message: EIO (5) is not "File access denied".
        return hasMessageOfItsOwn(errnoValue) ? 1000 + errnoValue : errnoValue;
    }
}

} // namespace cttax
