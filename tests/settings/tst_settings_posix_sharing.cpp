// SPDX-License-Identifier: MIT
// The settings file among other users and other processes: a shared folder,
// rewrites in place, locks, killed and concurrent saves.
#include "tests/settings/posix_fixture.h"

#include <gtest/gtest.h>

using namespace posix_test;

namespace {

// ---------------------------------------------------------------- other users in a shared folder

// /tmp-like: root's folder, sticky and world-writable. The saving user is
// nobody; another user (kOther) plants names in it.
class SharedFolder : public Faults {
protected:
    static constexpr uid_t kOther = 65533;
    void SetUp() override
    {
        Faults::SetUp();
        if (::geteuid() != 0)
            GTEST_SKIP() << "needs root to act as two users";
        shared = makeFolder("shared", fs::perms::all | fs::perms::sticky_bit);
    }
    void plantLink(const fs::path &at, const fs::path &to, uid_t owner)
    {
        fs::create_symlink(to, at);
        ASSERT_EQ(::lchown(at.c_str(), owner, owner), 0);
    }
    fs::path shared;
};

TEST_F(SharedFolder, PlantedLinkIsNeitherFollowedNorReplaced)
{
    const fs::path victim = folder / "victim.txt";
    writeAll(victim, "nobody's own file\n");
    ASSERT_EQ(::chown(victim.c_str(), kNobody, kNobody), 0);
    const fs::path fig = shared / "cttax.fig";
    plantLink(fig, victim, kOther);
    EXPECT_EQ(asNormalUser([&] { return saveResult(fig, values); }), "error 5");
    EXPECT_EQ(asNormalUser([&] { return std::to_string(codeOf([&] { SettingsReader reader(fig); })); }), "5");
    EXPECT_EQ(readAll(victim), "nobody's own file\n");
    EXPECT_TRUE(fs::is_symlink(fig));
    // The user's own link there is followed, as the kernel would.
    fs::remove(fig);
    plantLink(fig, victim, kNobody);
    EXPECT_EQ(asNormalUser([&] { return saveResult(fig, values); }), "saved");
    EXPECT_EQ(readAll(victim), settingsFileContent(values));
}

TEST_F(SharedFolder, PlantedTemporariesNeitherBlockNorDelay)
{
    const fs::path fig = shared / "cttax.fig";
    writeAll(fig, kEarlier);
    ASSERT_EQ(::chown(fig.c_str(), kNobody, kNobody), 0);
    const fs::path saving = savingPathFor(fig);
    plantLink(saving, folder / "elsewhere", kOther);
    const fs::path file = saving.string() + "-42";
    writeAll(file, "planted");
    ASSERT_EQ(::chown(file.c_str(), kOther, kOther), 0);
    ASSERT_EQ(::chmod(file.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(asNormalUser([&] { return saveResult(fig, values); }), "saved");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(readAll(fig), settingsFileContent(values));
    EXPECT_TRUE(fs::is_symlink(saving));
    EXPECT_EQ(readAll(file), "planted");
}

TEST_F(SharedFolder, AnotherUsersFileIsNeitherReadNorWritten)
{
    // The kernel's protected_regular rule, whether the machine has it on or
    // not: a file of neither the user nor the folder's owner is a trap.
    const fs::path fig = shared / "cttax.fig";
    for (const auto &[owner, expected] : {std::pair<uid_t, const char *>{kOther, "error 5 5"}, {0, "saved 0"}}) {
        writeAll(fig, kEarlier);
        ASSERT_EQ(::chown(fig.c_str(), owner, owner), 0);
        ASSERT_EQ(::chmod(fig.c_str(), 0666), 0);
        EXPECT_EQ(asNormalUser([&] {
                      return saveResult(fig, values) + " " +
                             std::to_string(codeOf([&] { SettingsReader reader(fig); }));
                  }),
                  expected)
            << owner;
        EXPECT_EQ(readAll(fig), owner ? kEarlier : settingsFileContent(values)) << owner;
    }
}

// A link in any folder that someone else may write is followed only when
// it is the user's own or root's: a member of a group folder, the owner of
// someone else's folder, cannot redirect the save into the user's files.
TEST_F(SharedFolder, LinksOnlyWhereNoOtherUserCouldPlantThem)
{
    const fs::path victim = folder / "notes.txt";
    const mode_t group = 02775, sticky = 01777, open = 0755;
    const struct {
        const char *name;
        mode_t mode;
        uid_t folderOwner, linkOwner;
        const char *expected;
    } cases[] = {
        {"group folder, another member's link", group, 0, kOther, "error 5 5"},
        {"sticky folder, another user's link", sticky, 0, kOther, "error 5 5"},
        {"another user's own folder", open, kOther, kOther, "error 5 5"},
        {"group folder, the user's own link", group, 0, kNobody, "saved 0"},
        {"group folder, root's link", group, 0, 0, "saved 0"},
        {"the user's own folder", open, kNobody, kOther, "saved 0"},
    };
    for (const auto &c : cases) {
        const fs::path place = makeFolder("links", fs::perms::all);
        writeAll(victim, "nobody's notes\n");
        ASSERT_EQ(::chown(victim.c_str(), kNobody, kNobody), 0);
        plantLink(place / "cttax.fig", victim, c.linkOwner);
        ASSERT_EQ(::chown(place.c_str(), c.folderOwner, kNobody), 0);
        ASSERT_EQ(::chmod(place.c_str(), c.mode), 0);
        const fs::path fig = place / "cttax.fig";
        EXPECT_EQ(asNormalUser([&] {
                      return saveResult(fig, values) + " " +
                             std::to_string(codeOf([&] { SettingsReader reader(fig); }));
                  }),
                  c.expected)
            << c.name;
        EXPECT_EQ(readAll(victim), std::string(c.expected) == "saved 0" ? settingsFileContent(values) : "nobody's notes\n")
            << c.name;
        fs::remove_all(place);
    }
}

// A user watching the folder never finds a temporary that shows a 0600
// file's amounts: each one is the user's alone from its creation.
TEST_F(Faults, TemporariesAreNeverMoreOpenThanTheFile)
{
    writeAll(path, kEarlier);
    ASSERT_EQ(::chmod(path.c_str(), 0600), 0);
    const mode_t old = ::umask(0);
    const int watch = ::inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, folder.c_str(), IN_CREATE), 0);
    std::atomic<bool> saving{true};
    std::atomic<int> seen{0}, open{0};
    std::thread watcher([&] {
        alignas(inotify_event) char buffer[4096];
        while (saving) {
            const ssize_t n = ::read(watch, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                struct stat info {};
                if (event->len > 0 && ::stat((folder / event->name).c_str(), &info) == 0) {
                    ++seen;
                    open += (info.st_mode & 077) != 0;
                }
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    });
    for (int i = 0; i < 300; ++i)
        writeSettingsFile(path, {i, 2, 3, 4, 1});
    saving = false;
    watcher.join();
    ::close(watch);
    ::umask(old);
    EXPECT_GT(seen.load(), 0);
    EXPECT_EQ(open.load(), 0) << "of " << seen.load() << " temporaries seen";
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
}

// ---------------------------------------------------------------- in place

TEST_F(Faults, FileWithOtherNamesKeepsThemAll)
{
    writeAll(path, kEarlier);
    const fs::path backup = makeFolder("backup", fs::perms::owner_all) / "cttax.fig";
    fs::create_hard_link(path, backup);
    writeSettingsFile(path, values);
    EXPECT_EQ(readAll(backup), settingsFileContent(values));
    EXPECT_EQ(fs::hard_link_count(path), 2u);
}

TEST_F(Faults, LockHeldByAnotherProgramEndsInErrorWithinSeconds)
{
    writeAll(path, kEarlier);
    fs::create_hard_link(path, folder / "other-name"); // so the save goes in place
    const int held = ::open(path.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(codeOf([&] { writeSettingsFile(path, values); }), kSharingViolation);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(readAll(path), kEarlier);
    ::close(held);
}

// A kill at each step of the in-place rewrite of a long file: the file is
// the old one, its first bytes, or the new one, never new lines before an
// old tail.
TEST_F(Faults, KilledInPlaceRewriteLoadsTheEarlierOrTheNewValues)
{
    // Longer lines than the new ones: a cut before the write would end the
    // file inside the property tax's line.
    const std::string longer = "1000000\r\n2000000\r\n 3.00000000000000E+0000\r\n 1.20050000000000E+0003\r\n3\r\n" +
                               std::string(30000, '#') + "\r\n";
    const std::string shorter = "1\r\n2\r\n";
    SettingsReader newReader(settingsFileContent(values));
    const std::string newValues = readFive(newReader);
    for (const std::string &earlier : {longer, shorter}) {
        SettingsReader earlierReader(earlier);
        const std::string earlierValues = readFive(earlierReader);
        for (const bool afterWriting : {false, true}) {
            writeAll(path, earlier);
            fs::remove(folder / "other-name");
            fs::create_hard_link(path, folder / "other-name");
            const pid_t child = ::fork();
            if (child == 0) {
                writeSettingsFile(path, values, [&](int fd, const void *data, std::size_t size) -> long {
                    const long n = afterWriting ? ::write(fd, data, size) : 0;
                    ::raise(SIGKILL);
                    return n;
                });
                ::_exit(0);
            }
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFSIGNALED(status));
            SettingsReader reader(path);
            EXPECT_EQ(readFive(reader), afterWriting ? newValues : earlierValues)
                << earlier.size() << " bytes before, killed " << (afterWriting ? "after" : "before") << " the write";
        }
    }
}

// Kills a process that saves again and again at random moments: the file is
// always one whole version, and at most the one temporary name is left,
// which the next save removes.
TEST_F(Faults, KilledSavesLeaveAWholeFileAndNoTemporaries)
{
    const std::string first = settingsFileContent({1, 1, 1, 1, 1});
    const std::string second = settingsFileContent({2, 2, 2, 2, 2});
    writeAll(path, first);
    std::mt19937 random(2010);
    int leftovers = 0;
    for (int kill = 0; kill < 60; ++kill) {
        const pid_t child = ::fork();
        if (child == 0) {
            for (std::int32_t i = 0;; ++i) {
                try {
                    writeSettingsFile(path, i % 2 ? SettingsValues{1, 1, 1, 1, 1} : SettingsValues{2, 2, 2, 2, 2});
                } catch (...) {
                    ::_exit(1);
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::microseconds(200 + random() % 3000));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving child stopped by itself";
        const std::string now = readAll(path);
        ASSERT_TRUE(now == first || now == second) << now;
        const std::vector<std::string> names = entriesOf(folder);
        ASSERT_LE(names.size(), 2u);
        leftovers += names.size() == 2;
    }
    writeSettingsFile(path, values);
    EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"cttax.fig"}) << leftovers << " leftovers on the way";
}

// Any number of saves and loads at once, from several processes, the first
// saves of a new file among them: every save succeeds and every load sees
// one whole version, by rename and in place alike.
TEST_F(Faults, SavesAndLoadsAtOnceAllSucceedAndNeverMix)
{
    const struct {
        const char *name;
        int savers, saves;
        bool fileFirst, inPlace;
    } cases[] = {
        {"two savers", 2, 2000, true, false},
        {"six savers", 6, 400, true, false},
        {"six first saves", 6, 1, false, false},
        {"four savers in place", 4, 100, true, true},
    };
    for (const auto &c : cases) {
        for (int round = 0; round < (c.fileFirst ? 1 : 200); ++round) {
            fs::remove_all(folder);
            fs::create_directories(folder);
            std::vector<std::string> versions;
            for (std::int32_t v = 0; v < c.savers; ++v)
                versions.push_back(settingsFileContent({v, v, Extended(v), Extended(v), 1}));
            if (c.fileFirst)
                writeAll(path, versions[0]);
            if (c.inPlace)
                fs::create_hard_link(path, folder / "other-name");
            std::vector<pid_t> children;
            for (std::int32_t v = 0; v < c.savers; ++v) {
                const pid_t child = ::fork();
                if (child == 0) {
                    for (int i = 0; i < c.saves; ++i)
                        if (codeOf([&] { writeSettingsFile(path, {v, v, Extended(v), Extended(v), 1}); }) != 0)
                            ::_exit(1);
                    ::_exit(0);
                }
                children.push_back(child);
            }
            int loads = 0;
            for (bool running = true; running; ++loads) {
                try {
                    SettingsReader reader(path);
                    const std::int32_t top = reader.readInteger(), left = reader.readInteger();
                    ASSERT_TRUE(top == left && top >= 0 && top < c.savers) << c.name << ": " << top << " " << left;
                    const std::string whole = readAll(path);
                    ASSERT_TRUE(std::find(versions.begin(), versions.end(), whole) != versions.end())
                        << c.name << ": " << whole;
                } catch (const EInOutError &e) {
                    ASSERT_TRUE(e.code() == 2 && !c.fileFirst) << c.name << ": load error " << e.code();
                }
                running = false;
                for (pid_t child : children)
                    running = running || ::waitpid(child, nullptr, WNOHANG) == 0;
            }
            int failed = 0;
            for (pid_t child : children) {
                int status = 0;
                if (::waitpid(child, &status, 0) == child)
                    failed += !(WIFEXITED(status) && WEXITSTATUS(status) == 0);
            }
            EXPECT_EQ(failed, 0) << c.name << ": savers that met an error";
            std::vector<std::string> expected{"cttax.fig"};
            if (c.inPlace)
                expected.push_back("other-name");
            ASSERT_EQ(entriesOf(folder), expected) << c.name;
            EXPECT_GT(loads, 0);
        }
    }
}

} // namespace
