// SPDX-License-Identifier: MIT
// Whole-file reads and writes for the tests, and the code of a settings error.
#pragma once

#include "settings/settings_file.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

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
