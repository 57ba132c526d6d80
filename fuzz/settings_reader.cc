// SPDX-License-Identifier: MIT
// The settings reader on any file content: five reads either succeed or raise
// the settings file's own error, never anything else; and reading the bytes
// from a file, through the reader's buffer, gives exactly what reading them
// from memory gives. scripts/fuzz.sh seeds the corpus with whole files,
// the writer's special forms "+Inf", "-Inf" and "Nan" among them.
#include "engine/fpenv.h"
#include "settings/settings_file.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace {

std::string readFive(cttax::SettingsReader &reader)
{
    std::string values;
    try {
        for (int value = 0; value < 5; ++value) {
            if (value == 2 || value == 3) {
                cttax::Extended real = 0;
                reader.readReal(real);
                char text[64];
                std::snprintf(text, sizeof text, "%La ", real);
                values += text;
            } else {
                values += std::to_string(reader.readInteger()) + " ";
            }
        }
    } catch (const cttax::EInOutError &e) {
        if (e.code() != cttax::kInvalidNumericInput)
            std::abort();
        values += "106";
    } catch (const cttax::FloatError &e) {
        values += e.what(); // a real token whose scale overflows is reported as such
    }
    return values;
}

// One real file for every input, read by its path as the window reads it (a
// /proc/self/fd link to a memory file is no path a settings file has: the
// reader follows links by their text, as the kernel's rules let it).
const std::filesystem::path &fuzzFile()
{
    static const std::filesystem::path path = [] {
        const std::filesystem::path folder =
            std::filesystem::temp_directory_path() / ("cttax-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder);
        return folder / "cttax.fig";
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const int file = ::open(fuzzFile().c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    const std::string content(reinterpret_cast<const char *>(data), size);
    cttax::SettingsReader fromMemory(content);
    const std::string expected = readFive(fromMemory);

    if (file < 0 || ::ftruncate(file, 0) != 0 || ::pwrite(file, content.data(), size, 0) != static_cast<ssize_t>(size))
        std::abort();
    cttax::SettingsReader fromFile(fuzzFile());
    if (readFive(fromFile) != expected)
        std::abort();
    fromFile.close();
    return 0;
}
