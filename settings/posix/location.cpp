// SPDX-License-Identifier: MIT
// Where the settings file lives: beside the executable, or in the user's
// configuration folder where the executable's folder is not the user's.
#include "settings/settings_file.h"

#include "settings/posix/file.h"

#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <sys/stat.h>

namespace cttax {

std::filesystem::path runningExecutablePath()
{
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (n < 0)
            return {};
        if (static_cast<std::size_t>(n) < buffer.size())
            return std::filesystem::path(std::string(buffer.data(), static_cast<std::size_t>(n)));
        buffer.resize(buffer.size() * 2);
    }
}

bool isSettingsFile(const std::filesystem::path &path)
{
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

SettingsEnvironment SettingsEnvironment::fromProcess()
{
    SettingsEnvironment env;
    if (const char *value = std::getenv("XDG_CONFIG_HOME"))
        env.xdgConfigHome = value;
    if (const char *value = std::getenv("HOME"))
        env.home = value;
    return env;
}

namespace {

bool absolute(const std::optional<std::string> &path)
{
    return path && !path->empty() && path->front() == '/';
}

// Whether a configuration folder is the user's own: it is a folder of the
// user's (through links), or it is yet to be made (by the user) below the
// nearest folder that is there, the user's or root's. Another user's folder
// (XDG_CONFIG_HOME or HOME pointing into someone else's home, as sudo -E
// leaves them) is never used: its owner could redirect every save.
bool ownConfigFolder(const std::filesystem::path &folder)
{
    const uid_t me = ::geteuid();
    std::filesystem::path at = folder;
    for (bool missing = false;; missing = true) {
        struct stat info {};
        if (::stat(at.c_str(), &info) == 0)
            return S_ISDIR(info.st_mode) && (info.st_uid == me || (missing && info.st_uid == 0));
        if (errno != ENOENT || !at.has_relative_path())
            return false;
        at = at.parent_path();
    }
}

std::filesystem::path homeOfUser()
{
    const passwd *user = ::getpwuid(::geteuid());
    const std::string home = user != nullptr && user->pw_dir != nullptr ? user->pw_dir : "";
    return std::filesystem::path(home.empty() || home.front() != '/' ? "/" : home) / ".config";
}

std::filesystem::path configHome(const SettingsEnvironment &env)
{
    // The XDG rule: a relative XDG_CONFIG_HOME is to be ignored; a relative
    // HOME would put the folder wherever the program was started.
    std::filesystem::path chosen;
    if (absolute(env.xdgConfigHome))
        chosen = *env.xdgConfigHome;
    else if (absolute(env.home))
        chosen = std::filesystem::path(*env.home) / ".config";
    else
        return homeOfUser();
    return ownConfigFolder(chosen) ? chosen : homeOfUser();
}

// A folder of the system or of a package, where settings never belong:
// root's folders under the trees the system keeps its programs in.
bool isSystemFolder(const std::filesystem::path &folder)
{
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(folder);
    auto part = canonical.begin();
    if (part == canonical.end() || *part != "/" || ++part == canonical.end())
        return false;
    const std::string top = part->string();
    const bool systemTree =
        top == "usr" || top == "bin" || top == "sbin" || top == "opt" || top == "snap" || top.rfind("lib", 0) == 0;
    struct stat info {};
    return systemTree && ::stat(canonical.c_str(), &info) == 0 && info.st_uid == 0;
}

} // namespace

SettingsLocation settingsLocationFor(const std::filesystem::path &executable, const SettingsEnvironment &env)
{
    const std::filesystem::path beside = settingsPathFor(executable);
    const std::filesystem::path folder = beside.has_parent_path() ? beside.parent_path() : ".";
    struct stat info {};
    if (!isSystemFolder(folder) && (::lstat(beside.c_str(), &info) == 0 || ::access(folder.c_str(), W_OK) == 0))
        return {beside, false};
    return {configHome(env) / "cttax" / beside.filename(), true};
}

void prepareSettingsFolder(const SettingsLocation &location)
{
    if (!location.configFolder)
        return;
    // From the top down, each missing folder made private.
    std::filesystem::path folder;
    for (const std::filesystem::path &part : location.file.parent_path()) {
        folder /= part;
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
            detail::raiseErrno(errno);
    }
    // The application's folder is the user's, whoever was quicker to make it.
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        detail::raiseErrno(errno);
    if (!S_ISDIR(info.st_mode) || info.st_uid != ::geteuid())
        detail::raiseErrno(EACCES);
}

} // namespace cttax
