// SPDX-License-Identifier: MIT
#include "settings/settings_file.h"
#include "text/decimal.h"
#include "tests/support/files.h"
#include "tests/support/hex.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <limits>
#include <random>
#include <sstream>

#include <sys/stat.h>
#include <unistd.h>

using namespace cttax;

namespace {

std::string joined(const char *before, const std::string &middle, const char *after)
{
    std::string text(before);
    text.append(middle);
    text.append(after);
    return text;
}

constexpr unsigned long long kPowers[16] = {1ULL, 10ULL, 100ULL, 1000ULL, 10000ULL, 100000ULL, 1000000ULL,
    10000000ULL, 100000000ULL, 1000000000ULL, 10000000000ULL, 100000000000ULL, 1000000000000ULL,
    10000000000000ULL, 100000000000000ULL, 1000000000000000ULL};

// ---------------------------------------------------------------- writing

struct RealCase {
    const char *name;
    Extended value;
    const char *text;
};

void PrintTo(const RealCase &c, std::ostream *os)
{
    *os << c.name;
}

class RealForm : public testing::TestWithParam<RealCase> {};

TEST_P(RealForm, TwentyThreeCharacters)
{
    const RealCase &c = GetParam();
    EXPECT_EQ(formatSettingsReal(c.value), c.text);
    EXPECT_EQ(std::string(c.text).size(), 23u);
}

INSTANTIATE_TEST_SUITE_P(Examples, RealForm, testing::Values(
    RealCase{"zero", 0, " 0.00000000000000E+0000"},
    RealCase{"minus zero", -0.0L, "-0.00000000000000E+0000"},
    RealCase{"1234.5", 1234.5L, " 1.23450000000000E+0003"},
    RealCase{"1234.56", 1234.56L, " 1.23456000000000E+0003"},
    RealCase{"123456789", 123456789, " 1.23456789000000E+0008"},
    RealCase{"0.15", 0.15L, " 1.50000000000000E-0001"},
    RealCase{"12.5", 12.5L, " 1.25000000000000E+0001"},
    RealCase{"minus 2.5", -2.5L, "-2.50000000000000E+0000"},
    RealCase{"50000", 50000, " 5.00000000000000E+0004"},
    RealCase{"1200.5", 1200.5L, " 1.20050000000000E+0003"},
    RealCase{"carry to ten", 9.999999999999999L, " 1.00000000000000E+0001"},
    RealCase{"plus infinity", std::numeric_limits<Extended>::infinity(), "                   +Inf"},
    RealCase{"minus infinity", -std::numeric_limits<Extended>::infinity(), "                   -Inf"},
    RealCase{"nan", std::numeric_limits<Extended>::quiet_NaN(), "                    Nan"},
    RealCase{"largest", std::numeric_limits<Extended>::max(), " 1.18973149535723E+4932"},
    RealCase{"tiny", 1e-300L, " 1.00000000000000E-0300"}),
    CaseName());

TEST(SettingsFile, ContentOfTheExampleFile)
{
    EXPECT_EQ(settingsFileContent({342, 637, 50000, 1200.5L, 1}),
              "342\r\n637\r\n 5.00000000000000E+0004\r\n 1.20050000000000E+0003\r\n1\r\n");
    EXPECT_EQ(settingsFileContent({-8, 10, 0, 0, -1}),
              "-8\r\n10\r\n 0.00000000000000E+0000\r\n 0.00000000000000E+0000\r\n-1\r\n");
}

TEST(SettingsFile, PathBesideTheExecutable)
{
    EXPECT_EQ(settingsPathFor("/opt/c.d/calc.exe"), "/opt/c.d/calc.fig");
    EXPECT_EQ(settingsPathFor("/opt/c.d/cttax"), "/opt/c.d/cttax.fig");
    EXPECT_EQ(settingsPathFor("/opt/a.b.c"), "/opt/a.b.fig");
}

TEST(SettingsFile, ErrorMessagesByCode)
{
    const std::pair<int, const char *> table[] = {
        {2, "File not found"},         {3, "Invalid filename"},  {4, "Too many open files"},
        {5, "File access denied"},     {100, "Read beyond end of file"}, {101, "Disk full"},
        {106, "Invalid numeric input"}, {32, "I/O error 32"},     {112, "I/O error 112"},
    };
    for (const auto &[code, message] : table)
        EXPECT_STREQ(EInOutError(code).what(), message);
    EXPECT_EQ(inOutCodeOf(ENOENT), 2);
    EXPECT_EQ(inOutCodeOf(ENAMETOOLONG), 3);
    EXPECT_EQ(inOutCodeOf(EROFS), 5);
    EXPECT_EQ(inOutCodeOf(EISDIR), 5);
#ifdef EDQUOT
    EXPECT_EQ(inOutCodeOf(EDQUOT), 112);
#endif
    EXPECT_EQ(inOutCodeOf(EBUSY), EBUSY);
    EXPECT_STRNE(EInOutError(inOutCodeOf(EIO)).what(), "File access denied");
}

// Amounts typed with up to 15 significant digits come back as the same
// value. (For magnitudes far from money, below about 1e-13, the written form
// scales by an inexact power of ten and may come back one unit off.)
TEST(SettingsFile, RealLinesRoundTrip)
{
    std::mt19937_64 random(2010);
    for (int i = 0; i < 50000; ++i) {
        const int digits = 1 + static_cast<int>(random() % 15);
        std::string text = std::to_string(random() % kPowers[digits]);
        const std::size_t point = text.size() - std::min<std::size_t>(text.size(), random() % 11);
        text = joined(text.substr(0, point).c_str(), "." + text.substr(point), "");
        const Extended value = parseDecimal(text).value;
        Extended back = -1;
        SettingsReader(formatSettingsReal(value) + "\r\n").readReal(back);
        ASSERT_EQ(hex(back), hex(value)) << text << " " << formatSettingsReal(value);
    }
}

// ---------------------------------------------------------------- reading

struct ReadCase {
    const char *name;
    std::string content;
    std::int32_t top, left;
    Extended agi, propertyTax;
    std::int32_t status;
    int failsAt;  // 0, or the value (1..5) whose read raises 106
};

void PrintTo(const ReadCase &c, std::ostream *os)
{
    *os << c.name;
}

class Reading : public testing::TestWithParam<ReadCase> {};

TEST_P(Reading, Values)
{
    const ReadCase &c = GetParam();
    SettingsReader reader(c.content);
    std::int32_t top = -99, left = -99, status = -99;
    Extended agi = -99, propertyTax = -99;
    int step = 0;
    try {
        step = 1;
        top = reader.readInteger();
        step = 2;
        left = reader.readInteger();
        step = 3;
        reader.readReal(agi);
        step = 4;
        reader.readReal(propertyTax);
        step = 5;
        status = reader.readInteger();
        step = 0;
    } catch (const EInOutError &e) {
        EXPECT_EQ(e.code(), 106);
    }
    EXPECT_EQ(step, c.failsAt);
    EXPECT_EQ(top, c.top);
    EXPECT_EQ(left, c.left);
    EXPECT_EQ(hex(agi), hex(c.agi));
    EXPECT_EQ(hex(propertyTax), hex(c.propertyTax));
    EXPECT_EQ(status, c.status);
}

INSTANTIATE_TEST_SUITE_P(EdgeCases, Reading, testing::Values(
    ReadCase{"example file", "342\r\n637\r\n 5.00000000000000E+0004\r\n 1.20050000000000E+0003\r\n1\r\n",
             342, 637, 50000, 1200.5L, 1, 0},
    ReadCase{"empty file reads zeros", "", 0, 0, 0, 0, 0, 0},
    ReadCase{"short file reads zeros for the rest", "5\r\n6\r\n", 5, 6, 0, 0, 0, 0},
    ReadCase{"status 7 and -5 are the group's to clamp", "1\n2\n3\n4\n7\n", 1, 2, 3, 4, 7, 0},
    ReadCase{"rest of a line ignored", "342 999\r\n637 x\r\n1 2\r\n3\r\n-1\r\n", 342, 637, 1, 3, -1, 0},
    ReadCase{"blank line first does not shift", "\r\n342\r\n637\r\n1\r\n2\r\n3\r\n", 342, 637, 1, 2, 3, 0},
    ReadCase{"control characters before a value", "\t\x01 342\n\x1f 637\n1\n2\n3\n", 342, 637, 1, 2, 3, 0},
    ReadCase{"largest integer", "2147483647\n-2147483648\n", 2147483647, -2147483648, 0, 0, 0, 0},
    ReadCase{"one past the largest integer", "2147483648\n", -99, -99, -99, -99, -99, 1},
    ReadCase{"negative top", "-8\n10\n", -8, 10, 0, 0, 0, 0},
    ReadCase{"comma in the agi stores 1", "1\n2\n1,234\n5\n1\n", 1, 2, 1, -99, -99, 3},
    ReadCase{"ctrl-z ends the file", "342\n637\x1a\n55\n", 342, 637, 0, 0, 0, 0},
    ReadCase{"cr alone does not end a line", "342\r637\n5\n", 342, 5, 0, 0, 0, 0},
    ReadCase{"integer token stops at 32 characters", joined("", std::string(40, '1'), "\n"), -99, -99, -99, -99, -99, 1},
    ReadCase{"real token stops at 64 characters", joined("1\n2\n", std::string(64, '0'), "5\n7\n"), 1, 2, 0, 7, 0, 0},
    ReadCase{"sign alone", "+\n", -99, -99, -99, -99, -99, 1},
    ReadCase{"plus sign accepted", "+12\n", 12, 0, 0, 0, 0, 0}),
    CaseName());

// ---------------------------------------------------------------- saving safely

// The desktop's file layers; the browser's storage is one text per key,
// replaced whole, and has its own cases in the page's tests.
#ifndef __EMSCRIPTEN__

class Saving : public testing::Test {
protected:
    void SetUp() override
    {
        folder = freshTestFolder("cttax-settings");
        path = folder / "cttax.fig";
        writeAll(path, kEarlier);
    }
    void TearDown() override
    {
        std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all); // Windows: no read-only attribute
        std::filesystem::remove_all(folder);
    }
    // The folder holds the settings file and nothing else: no temporary is left.
    void expectEarlierFileIntact()
    {
        EXPECT_EQ(readAll(path), kEarlier);
        int files = 0;
        for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(folder))
            ++files;
        EXPECT_EQ(files, 1);
    }

    static constexpr const char *kEarlier = "1\r\n2\r\n 3.00000000000000E+0000\r\n 4.00000000000000E+0000\r\n1\r\n";
    std::filesystem::path folder, path;
    const SettingsValues values{10, 20, 30, 40, 2};
};

TEST_F(Saving, ReplacesTheFileWhole)
{
    writeSettingsFile(path, values);
    EXPECT_EQ(readAll(path), settingsFileContent(values));
}

TEST_F(Saving, ReadOnlyFileIsRefusedAndKept)
{
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    EXPECT_EQ(codeOf([&] { writeSettingsFile(path, values); }), 5);
    expectEarlierFileIntact();
}

#ifndef _WIN32 // folder permissions are ACLs there (tst_settings_windows)
// A folder without write permission takes no new file. (A writable file
// already in it is rewritten in place; see the fault tests.)
TEST_F(Saving, FolderWithoutWritePermissionIsRefused)
{
    std::filesystem::permissions(path, std::filesystem::perms::owner_read);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    EXPECT_EQ(codeOf([&] { writeSettingsFile(path, values); }), 5);
    EXPECT_EQ(codeOf([&] { writeSettingsFile(folder / "new.fig", values); }), 5);
    std::filesystem::permissions(folder, std::filesystem::perms::owner_all);
    expectEarlierFileIntact();
}
#endif

TEST_F(Saving, FullDiskKeepsTheEarlierFile)
{
    int calls = 0;
    const auto fullAfterFiveBytes = [&](int fd, const void *data, std::size_t size) -> long {
        if (calls++ == 0)
            return ::write(fd, data, std::min<std::size_t>(size, 5));
        errno = ENOSPC;
        return -1;
    };
    try {
        writeSettingsFile(path, values, fullAfterFiveBytes);
        FAIL() << "no error";
    } catch (const EInOutError &e) {
        EXPECT_EQ(e.code(), 112);
        EXPECT_STREQ(e.what(), "I/O error 112");
    }
    expectEarlierFileIntact();
}

TEST_F(Saving, MissingFolderIsPathNotFound)
{
    EXPECT_EQ(codeOf([&] { writeSettingsFile(folder / "nope" / "cttax.fig", values); }), 3);
    EXPECT_EQ(codeOf([&] { SettingsReader(folder / "nope" / "cttax.fig"); }), 3);
    EXPECT_EQ(codeOf([&] { SettingsReader(folder / "absent.fig"); }), 2);
}

TEST_F(Saving, UnreadableFileCannotBeLoaded)
{
    EXPECT_EQ(codeOf([&] { SettingsReader reader(folder / "missing.fig"); }), 2);
}

#endif

} // namespace
