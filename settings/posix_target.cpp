// SPDX-License-Identifier: MIT
// Finding the settings file through links as the kernel would let this user.
#include "settings/posix_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <vector>

namespace cttax::detail {

namespace {

// The kernel's limit on links followed in one lookup.
constexpr int kMaxLinks = 40;

// fs.protected_symlinks, applied whether or not the machine turns it on: in
// a sticky world-writable folder (/tmp) only a link of the user's own or of
// the folder's owner is followed. Root is held to it as well.
bool mayFollow(const struct stat &folder, const struct stat &link)
{
    const bool shared = (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0;
    return !shared || link.st_uid == ::geteuid() || link.st_uid == folder.st_uid;
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

} // namespace cttax::detail
