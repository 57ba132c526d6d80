// SPDX-License-Identifier: MIT
// What the POSIX settings-layer tests share: a fresh folder every user may
// look in, a child process run as a user who is not root, the five values
// read back.
#pragma once

#include "settings/settings_file.h"
#include "tests/support/files.h"
#include "tests/support/hex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fstream>
#include <functional>
#include <limits>
#include <random>
#include <sstream>
#include <thread>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace posix_test {

using namespace cttax;
namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

inline std::vector<std::string> entriesOf(const fs::path &folder)
{
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Runs `job` in a child process as a user who is not root (nobody, when
// the tests run as root) and returns what it wrote to `out`, or "crashed".
inline std::string asNormalUser(const std::function<std::string()> &job)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeFds[0]);
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(3);
        const std::string result = job();
        [[maybe_unused]] const ssize_t n = ::write(pipeFds[1], result.data(), result.size());
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    std::string result;
    char buffer[256];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(n));
    ::close(pipeFds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? result : "crashed";
}

inline std::string saveResult(const fs::path &path, const SettingsValues &values)
{
    const int code = codeOf([&] { writeSettingsFile(path, values); });
    return code == 0 ? "saved" : "error " + std::to_string(code);
}

// The five values as text, up to the read that raised and its code.
inline std::string readFive(SettingsReader &reader)
{
    std::string values;
    try {
        for (int value = 0; value < 5; ++value) {
            if (value == 2 || value == 3) {
                Extended real = -1;
                reader.readReal(real);
                values += hex(real) + " ";
            } else {
                values += std::to_string(reader.readInteger()) + " ";
            }
        }
    } catch (const EInOutError &e) {
        values += "error " + std::to_string(e.code());
    }
    return values;
}

class Faults : public testing::Test {
protected:
    void SetUp() override
    {
        folder = freshTestFolder("cttax-faults");
        // Every user may look in, as the cases run as nobody need.
        fs::permissions(fs::temp_directory_path(), fs::perms::others_exec, fs::perm_options::add);
        fs::permissions(folder, fs::perms::all);
        path = folder / "cttax.fig";
    }
    void TearDown() override
    {
        for (const auto &entry : fs::recursive_directory_iterator(folder))
            if (entry.is_directory() && !entry.is_symlink())
                fs::permissions(entry.path(), fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(folder);
    }
    fs::path makeFolder(const char *name, fs::perms perms)
    {
        const fs::path f = folder / name;
        fs::create_directories(f);
        fs::permissions(f, perms);
        return f;
    }

    static constexpr const char *kEarlier = "1\r\n2\r\n 3.00000000000000E+0000\r\n 4.00000000000000E+0000\r\n1\r\n";
    fs::path folder, path;
    const SettingsValues values{10, 20, 30, 40, 2};
};

} // namespace posix_test
