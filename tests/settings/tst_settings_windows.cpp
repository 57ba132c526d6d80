// SPDX-License-Identifier: MIT
// The Windows file layer where it differs from POSIX: files other programs
// hold open, Unicode and long paths, the folder beside the .exe or
// %APPDATA%, and what killed saves left.
#include "settings/settings_file.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <thread>

using namespace cttax;

namespace {

class WindowsSaving : public testing::Test {
protected:
    void SetUp() override
    {
        folder = freshTestFolder("cttax-win");
        path = folder / "cttax.fig";
        writeAll(path, kEarlier);
    }
    void TearDown() override { std::filesystem::remove_all(folder); }
    int filesIn(const std::filesystem::path &where) const
    {
        int files = 0;
        for ([[maybe_unused]] const auto &entry : std::filesystem::directory_iterator(where))
            ++files;
        return files;
    }
    HANDLE holdOpen(DWORD share) const
    {
        return ::CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    static constexpr const char *kEarlier = "1\r\n2\r\n 3.00000000000000E+0000\r\n 4.00000000000000E+0000\r\n1\r\n";
    std::filesystem::path folder, path;
    const SettingsValues values{10, 20, 30, 40, 2};
};

TEST_F(WindowsSaving, FileHeldOpenByAnotherProgramIsWaitedForThenSharingViolation)
{
    const HANDLE other = holdOpen(FILE_SHARE_READ); // an editor that does not share deleting
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(codeOf([&] { writeSettingsFile(path, values); }), 32);
    const auto waited = std::chrono::steady_clock::now() - started;
    EXPECT_GE(waited, std::chrono::milliseconds(2500));
    EXPECT_LT(waited, std::chrono::seconds(10));
    ::CloseHandle(other);
    EXPECT_EQ(readAll(path), kEarlier);
    EXPECT_EQ(filesIn(folder), 1) << "the temporary is removed";
}

TEST_F(WindowsSaving, FileLetGoWithinTheWaitIsSaved)
{
    const HANDLE other = holdOpen(FILE_SHARE_READ);
    ASSERT_NE(other, INVALID_HANDLE_VALUE);
    std::thread closer([other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ::CloseHandle(other);
    });
    writeSettingsFile(path, values);
    closer.join();
    EXPECT_EQ(readAll(path), settingsFileContent(values));
}

TEST_F(WindowsSaving, ReaderSharingEverythingDoesNotStopASave)
{
    SettingsReader reader(path); // the window reading while another instance saves
    writeSettingsFile(path, values);
    EXPECT_EQ(reader.readInteger(), 1);
    reader.close();
    EXPECT_EQ(readAll(path), settingsFileContent(values));
}

TEST_F(WindowsSaving, ReadOnlyAttributeIsRefusedAndKept)
{
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(codeOf([&] { writeSettingsFile(path, values); }), 5);
    EXPECT_EQ(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY, DWORD{FILE_ATTRIBUTE_READONLY});
    ::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(readAll(path), kEarlier);
}

TEST_F(WindowsSaving, AttributesOfTheReplacedFileStay)
{
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    writeSettingsFile(path, values);
    EXPECT_NE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(readAll(path), settingsFileContent(values));
}

TEST_F(WindowsSaving, UnicodeAndLongPathsSaveAndLoad)
{
    const std::filesystem::path unicode = folder / L"\u00c4rger \u7a0e \u2713";
    std::filesystem::path deep = folder;
    while (deep.wstring().size() < 300)
        deep /= L"a-rather-long-folder-name";
    for (const std::filesystem::path &where : {unicode, deep}) {
        const SettingsLocation location(where / L"cttax.fig", true);
        prepareSettingsFolder(location);
        writeSettingsFile(location.file, values);
        SettingsReader reader(location.file);
        EXPECT_EQ(reader.readInteger(), 10);
        EXPECT_EQ(reader.readInteger(), 20);
        Extended agi = 0;
        reader.readReal(agi);
        EXPECT_TRUE(agi == 30);
    }
    // (The C++ library's own removal does not reach that deep.)
    ::DeleteFileW((L"\\\\?\\" + (deep / L"cttax.fig").wstring()).c_str());
    for (; deep != folder; deep = deep.parent_path())
        ::RemoveDirectoryW((L"\\\\?\\" + deep.wstring()).c_str());
}

TEST_F(WindowsSaving, OnlyOldLeftoversOfKilledSavesAreRemoved)
{
    std::filesystem::path old = savingPathFor(path).wstring(), fresh = savingPathFor(path).wstring();
    old += L"-1";
    fresh += L"-2";
    writeAll(old, "half");
    writeAll(fresh, "another save's, just made");
    const HANDLE file = ::CreateFileW(old.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME longAgo{};
    SYSTEMTIME time{2020, 1, 0, 1, 0, 0, 0, 0};
    ::SystemTimeToFileTime(&time, &longAgo);
    ASSERT_TRUE(::SetFileTime(file, nullptr, nullptr, &longAgo));
    ::CloseHandle(file);
    writeSettingsFile(path, values);
    EXPECT_FALSE(std::filesystem::exists(old));
    EXPECT_TRUE(std::filesystem::exists(fresh));
}

TEST(WindowsLocation, BesideTheExeOrInAppData)
{
    const std::filesystem::path folder = freshTestFolder("cttax-winloc");
    SettingsEnvironment env;
    env.appData = folder / L"AppData";
    env.systemFolders = {folder / L"Program Files"};
    std::filesystem::create_directories(folder / L"Program Files" / L"cttax");
    std::filesystem::create_directories(folder / L"USB");

    const SettingsLocation usb = settingsLocationFor(folder / L"USB" / L"cttax.exe", env);
    EXPECT_EQ(usb.file.wstring(), (folder / L"USB" / L"cttax.fig").wstring());
    EXPECT_FALSE(usb.configFolder);
    const SettingsLocation installed = settingsLocationFor(folder / L"Program Files" / L"cttax" / L"cttax.exe", env);
    EXPECT_EQ(installed.file.wstring(), (folder / L"AppData" / L"cttax" / L"cttax.fig").wstring());
    EXPECT_TRUE(installed.configFolder);
    env.systemFolders = {folder / L"program files\\"}; // any case, any trailing separator
    EXPECT_TRUE(settingsLocationFor(folder / L"Program Files" / L"cttax" / L"cttax.exe", env).configFolder);

    prepareSettingsFolder(installed);
    writeSettingsFile(installed.file, {1, 2, 3, 4, 0});
    EXPECT_TRUE(std::filesystem::is_regular_file(installed.file.wstring()));
    EXPECT_EQ(runningExecutablePath().filename().wstring(), L"tst_settings_windows.exe");
    std::filesystem::remove_all(folder);
}

} // namespace
