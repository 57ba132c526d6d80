// SPDX-License-Identifier: MIT
// The Windows file layer where it differs from POSIX: files other programs
// hold open, Unicode and long paths, the folder beside the .exe or
// %APPDATA%, and what killed saves left.
#include "settings/settings_file.h"
#include "tests/support/files.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <io.h>

#include <cerrno>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

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
    // Old too, but of another form: the user's own notes.
    std::vector<std::filesystem::path> notes;
    for (const wchar_t *name : {L"cttax.fig.saving", L"cttax.fig.saving-notes.txt", L"cttax.fig.savings.txt",
                                L"cttax.fig.saving-1234567890"})
        notes.push_back(folder / name);
    for (const auto &note : notes) {
        writeAll(note, "notes");
        const HANDLE n = ::CreateFileW(note.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_TRUE(::SetFileTime(n, nullptr, nullptr, &longAgo));
        ::CloseHandle(n);
    }
    writeSettingsFile(path, values);
    EXPECT_FALSE(std::filesystem::exists(old));
    EXPECT_TRUE(std::filesystem::exists(fresh));
    for (const auto &note : notes)
        EXPECT_TRUE(std::filesystem::exists(note)) << note;
}

// A full disk: the temporary cannot be filled, so the file is rewritten in
// place, and a write in place that fails puts the earlier bytes back.
TEST_F(WindowsSaving, FullDiskLeavesTheEarlierFileOrSavesInPlace)
{
    const struct {
        const char *name;
        std::string earlier;
        long bytesBeforeFull;
        int failingCalls;
        int code;
    } cases[] = {
        {"in place half written over a longer file", std::string(kEarlier) + std::string(300, '#'), 20, 1000, 112},
        {"in place half written over a shorter file", "1\r\n2\r\n", 20, 1000, 112},
        {"the temporary full, the file's own room enough", kEarlier, 0, 1, 0},
    };
    for (const auto &c : cases) {
        writeAll(path, c.earlier);
        int calls = 0;
        const auto full = [&](int fd, const void *data, std::size_t size) -> long {
            if (calls++ >= c.failingCalls)
                return ::_write(fd, data, static_cast<unsigned>(size));
            if (c.bytesBeforeFull > 0 && size > static_cast<std::size_t>(c.bytesBeforeFull))
                return ::_write(fd, data, static_cast<unsigned>(c.bytesBeforeFull));
            errno = ENOSPC;
            return -1;
        };
        EXPECT_EQ(codeOf([&] { writeSettingsFile(path, values, full); }), c.code) << c.name;
        EXPECT_EQ(readAll(path), c.code ? c.earlier : settingsFileContent(values)) << c.name;
        EXPECT_EQ(filesIn(folder), 1) << c.name;
    }
}

// Every length Windows takes, with "." and ".." in the path or without.
TEST_F(WindowsSaving, PathsWithDotsOfEveryLengthSaveAndLoad)
{
    const std::filesystem::path deep = folder / L"sub";
    std::filesystem::create_directories(deep);
    for (std::size_t length = 200; length < 300; ++length) {
        for (const wchar_t *via : {L"", L"\\.", L"\\..\\sub"}) {
            std::wstring text = deep.wstring() + via + L"\\";
            const std::size_t room = length > text.size() + 4 ? length - text.size() - 4 : 1;
            text += std::wstring(room, L'n') + L".fig";
            EXPECT_EQ(codeOf([&] { writeSettingsFile(SettingsPath(text), values); }), 0) << text.size() << " " << via;
            int top = 0;
            EXPECT_EQ(codeOf([&] { top = SettingsReader(SettingsPath(text)).readInteger(); }), 0) << text.size();
            EXPECT_EQ(top, 10) << text.size();
            ::DeleteFileW((L"\\\\?\\" + deep.wstring() + L"\\" + std::wstring(room, L'n') + L".fig").c_str());
        }
    }
}

TEST_F(WindowsSaving, LinkIsWrittenThroughToItsTarget)
{
    const std::filesystem::path target = folder / L"synced.fig", link = folder / L"link.fig";
    writeAll(target, kEarlier);
    // (Wine 8 answers TRUE and makes nothing: settings/wine_settings.sh
    // saves through a link made on the Linux side.)
    if (!::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE) ||
        !std::filesystem::is_symlink(link))
        GTEST_SKIP() << "no symbolic links made here";
    writeSettingsFile(link, values);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readAll(target), settingsFileContent(values));
    EXPECT_EQ(filesIn(folder), 3); // cttax.fig, the link and its target
}

// The roaming application data folder is the system's, whatever the
// environment says of it.
TEST(WindowsLocation, AppDataComesFromTheSystem)
{
    const SettingsEnvironment usual = SettingsEnvironment::fromProcess();
    ASSERT_TRUE(usual.appData && usual.appData->is_absolute());
    for (const wchar_t *value : {static_cast<const wchar_t *>(nullptr), L"relative\\AppData", L""}) {
        std::vector<wchar_t> saved(32768);
        const DWORD had = ::GetEnvironmentVariableW(L"APPDATA", saved.data(), static_cast<DWORD>(saved.size()));
        ::SetEnvironmentVariableW(L"APPDATA", value);
        const SettingsEnvironment env = SettingsEnvironment::fromProcess();
        ::SetEnvironmentVariableW(L"APPDATA", had ? saved.data() : nullptr);
        ASSERT_TRUE(env.appData);
        EXPECT_EQ(env.appData->wstring(), usual.appData->wstring());
        EXPECT_FALSE(env.systemFolders.empty());
    }
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

    // No application data folder, or a relative one: never the system's.
    for (const std::optional<SettingsPath> &appData : {std::optional<SettingsPath>(), std::optional<SettingsPath>(L"AppData")}) {
        SettingsEnvironment without = env;
        without.appData = appData;
        const SettingsLocation none = settingsLocationFor(folder / L"Program Files" / L"cttax" / L"cttax.exe", without);
        EXPECT_TRUE(none.file.empty()) << none.file.u8string();
    }

    prepareSettingsFolder(installed);
    writeSettingsFile(installed.file, {1, 2, 3, 4, 0});
    EXPECT_TRUE(std::filesystem::is_regular_file(installed.file.wstring()));
    EXPECT_EQ(runningExecutablePath().filename().wstring(), L"tst_settings_windows.exe");
    std::filesystem::remove_all(folder);
}

} // namespace
