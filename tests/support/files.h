// SPDX-License-Identifier: MIT
// A folder of its own for each test, whole-file reads and writes, and the
// code of a settings error.
#pragma once

#include "settings/settings_file.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <algorithm>
#include <iterator>
#include <string>

// An empty folder for the running test, <temp>/<prefix>-<pid>-<test name>;
// the "/" of a parameterised test's name becomes "_", so it is one folder.
inline std::filesystem::path freshTestFolder(const std::string &prefix)
{
    std::string name = testing::UnitTest::GetInstance()->current_test_info()->name();
    std::replace(name.begin(), name.end(), '/', '_');
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / (prefix + "-" + std::to_string(::getpid()) + "-" + name);
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

inline std::string readAll(const std::filesystem::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeAll(const std::filesystem::path &path, const std::string &content)
{
    std::ofstream(path, std::ios::binary) << content;
}

// The code of the EInOutError that `action` raises, or 0 when it raises none.
inline int codeOf(const std::function<void()> &action)
{
    try {
        action();
    } catch (const cttax::EInOutError &e) {
        return e.code();
    }
    return 0;
}
