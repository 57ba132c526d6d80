// SPDX-License-Identifier: MIT
// The settings file under faults and unusual files: links, owners, folders
// the user may not write, disk errors and leftovers, large and sparse files,
// where the file lives.
#include "tests/settings/posix_fixture.h"

#include <gtest/gtest.h>

using namespace posix_test;

namespace {

// ---------------------------------------------------------------- links

TEST_F(Faults, LinkIsWrittenThroughToItsTarget)
{
    const fs::path synced = makeFolder("synced", fs::perms::owner_all);
    for (const fs::path &linkTarget : {synced / "cttax.fig", fs::path("synced/cttax.fig")}) {
        writeAll(synced / "cttax.fig", kEarlier);
        fs::remove(path);
        fs::create_symlink(linkTarget, path);
        writeSettingsFile(path, values);
        EXPECT_TRUE(fs::is_symlink(path)) << linkTarget;
        EXPECT_EQ(fs::read_symlink(path), linkTarget);
        EXPECT_EQ(readAll(synced / "cttax.fig"), settingsFileContent(values));
        EXPECT_EQ(entriesOf(synced), std::vector<std::string>{"cttax.fig"});
    }
}

TEST_F(Faults, LinksToNoFileAreRefusedAndKept)
{
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    const struct {
        const char *name;
        fs::path target;
        int code;
    } cases[] = {
        {"dangling", folder / "gone" / "cttax.fig", 3},
        {"device", "/dev/null", 5},
        {"zero device", "/dev/zero", 5},
        {"fifo", folder / "fifo", 5},
        {"folder", folder, 5},
    };
    for (const auto &c : cases) {
        fs::remove(path);
        fs::create_symlink(c.target, path);
        EXPECT_EQ(codeOf([&] { writeSettingsFile(path, values); }), c.code) << c.name;
        EXPECT_TRUE(fs::is_symlink(path)) << c.name;
        EXPECT_EQ(fs::read_symlink(path), c.target) << c.name;
    }
    EXPECT_EQ(entriesOf(folder), (std::vector<std::string>{"cttax.fig", "fifo"}));
}

TEST_F(Faults, FifoInPlaceOfTheFileIsNotRead)
{
    ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(codeOf([&] { SettingsReader reader(path); }), 5); // and it does not wait for a writer
    EXPECT_EQ(codeOf([&] { writeSettingsFile(path, values); }), 5);
}

// ---------------------------------------------------------------- owner and mode

TEST_F(Faults, RewrittenFileKeepsOwnerGroupAndMode)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "only root can give the file to another user";
    writeAll(path, kEarlier);
    ASSERT_EQ(::chown(path.c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    writeSettingsFile(path, values); // as by "sudo cttax"
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_uid, kNobody);
    EXPECT_EQ(info.st_gid, kNobody);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    // ...and the user can still save over it.
    EXPECT_EQ(asNormalUser([&] { return saveResult(path, {1, 2, 3, 4, 0}); }), "saved");
}

TEST_F(Faults, NewFileTakesTheUmask)
{
    for (const auto &[mask, mode] : {std::pair<mode_t, mode_t>{077, 0600}, {022, 0644}, {002, 0664}}) {
        fs::remove(path);
        const mode_t old = ::umask(mask);
        writeSettingsFile(path, values);
        ::umask(old);
        struct stat info {};
        ASSERT_EQ(::stat(path.c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, mode) << "umask " << mask;
    }
}

// ---------------------------------------------------------------- folders the user may not write

TEST_F(Faults, WritableFileInReadOnlyFolderIsRewrittenInPlace)
{
    // As root: a folder without write bits, which root could write through.
    const fs::path locked = makeFolder("locked", fs::perms::owner_all);
    writeAll(locked / "cttax.fig", kEarlier);
    struct stat before {};
    ASSERT_EQ(::stat((locked / "cttax.fig").c_str(), &before), 0);
    fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
    writeSettingsFile(locked / "cttax.fig", values);
    struct stat after {};
    ASSERT_EQ(::stat((locked / "cttax.fig").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(readAll(locked / "cttax.fig"), settingsFileContent(values));
    EXPECT_EQ(entriesOf(locked), std::vector<std::string>{"cttax.fig"});
}

TEST_F(Faults, NormalUserInAFolderOfAnotherUser)
{
    // The folder is root's (mode 0755); the files in it are nobody's.
    const fs::path shared = makeFolder("shared", fs::perms::owner_all | fs::perms::group_read |
                                                     fs::perms::group_exec | fs::perms::others_read |
                                                     fs::perms::others_exec);
    const fs::path own = shared / "own.fig", readOnly = shared / "readonly.fig";
    writeAll(own, std::string(kEarlier) + "a longer earlier file is cut to the new length\r\n");
    writeAll(readOnly, kEarlier);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(own.c_str(), kNobody, kNobody), 0);
        ASSERT_EQ(::chown(readOnly.c_str(), kNobody, kNobody), 0);
    }
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make a folder the user may not write";
    EXPECT_EQ(asNormalUser([&] { return saveResult(own, values); }), "saved");
    EXPECT_EQ(readAll(own), settingsFileContent(values));
    EXPECT_EQ(asNormalUser([&] { return saveResult(readOnly, values); }), "error 5");
    EXPECT_EQ(readAll(readOnly), kEarlier);
    EXPECT_EQ(asNormalUser([&] { return saveResult(shared / "new.fig", values); }), "error 5");
    EXPECT_EQ(entriesOf(shared), (std::vector<std::string>{"own.fig", "readonly.fig"}));
}

TEST_F(Faults, FullDiskLeavesTheEarlierFileOrSavesInPlace)
{
    const fs::path locked = makeFolder("locked", fs::perms::owner_all);
    const std::string shortEarlier = "1\r\n2\r\n";
    // How many bytes each write call takes before the disk is full.
    const struct {
        const char *name;
        bool lockedFolder;
        std::string earlier;
        long bytesBeforeFull; // -1: never full
        int failingCalls;     // calls that find the disk full, then it has room
        int code;
    } cases[] = {
        {"in place, nothing written", true, kEarlier, 0, 1000, 112},
        {"in place, half written over a longer file", true, kEarlier, 40, 1000, 112},
        {"in place, half written over a shorter file", true, shortEarlier, 40, 1000, 112},
        {"temporary and in place both full", false, kEarlier, 10, 1000, 112},
        {"the temporary full, the file's own room enough", false, kEarlier, 0, 1, 0},
    };
    for (const auto &c : cases) {
        const fs::path at = (c.lockedFolder ? locked : folder) / "cttax.fig";
        fs::permissions(locked, fs::perms::owner_all);
        writeAll(at, c.earlier);
        if (c.lockedFolder)
            fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        int calls = 0;
        const auto full = [&](int fd, const void *data, std::size_t size) -> long {
            if (calls++ >= c.failingCalls)
                return ::write(fd, data, size);
            if (c.bytesBeforeFull > 0 && size > static_cast<std::size_t>(c.bytesBeforeFull))
                return ::write(fd, data, static_cast<std::size_t>(c.bytesBeforeFull));
            errno = ENOSPC;
            return -1;
        };
        EXPECT_EQ(codeOf([&] { writeSettingsFile(at, values, full); }), c.code) << c.name;
        EXPECT_EQ(readAll(at), c.code ? c.earlier : settingsFileContent(values)) << c.name;
        EXPECT_EQ(entriesOf(at.parent_path()).size(), c.lockedFolder ? 1u : 2u) << c.name; // "locked" in folder
    }
}

// ---------------------------------------------------------------- error codes

TEST_F(Faults, DiskErrorsTakeNoMessageThatTheyAreNot)
{
    const struct {
        int errnoValue;
        const char *message;
    } cases[] = {
        {EIO, "I/O error 1005"},        {EINTR, "I/O error 1004"},  {ESRCH, "I/O error 1003"},
        {ENETDOWN, "I/O error 1100"},   {ENETUNREACH, "I/O error 1101"}, {EISCONN, "I/O error 1106"},
        {EACCES, "File access denied"}, {ENOENT, "File not found"},  {ELOOP, "Invalid filename"},
        {EBUSY, "I/O error 16"},        {ENOSPC, "I/O error 112"},
    };
    for (const auto &c : cases)
        EXPECT_STREQ(EInOutError(inOutCodeOf(c.errnoValue)).what(), c.message) << c.errnoValue;

    writeAll(path, kEarlier);
    const auto failing = [](int, const void *, std::size_t) -> long {
        errno = EIO;
        return -1;
    };
    try {
        writeSettingsFile(path, values, failing);
        FAIL() << "no error";
    } catch (const EInOutError &e) {
        EXPECT_STREQ(e.what(), "I/O error 1005");
    }
    EXPECT_EQ(readAll(path), kEarlier);
    EXPECT_EQ(entriesOf(folder), std::vector<std::string>{"cttax.fig"});
}

// ---------------------------------------------------------------- leftovers, kills, two at once

TEST_F(Faults, OnlyLeftoverTemporariesOfTheSavesOwnFormAreRemoved)
{
    writeAll(path, kEarlier);
    const std::string saving = savingPathFor(path).string();
    writeAll(saving + "-123", "half a fi");
    writeAll(saving + "-7", "");
    const std::vector<std::string> kept = {"cttax.fig.saving",       "cttax.fig.saving-",
                                           "cttax.fig.saving-1234567890", "cttax.fig.saving-12a",
                                           "cttax.fig.saving-notes.txt",  "cttax.fig.savings.txt"};
    for (const std::string &name : kept)
        writeAll(folder / name, "the user's own notes");
    fs::create_symlink("elsewhere", saving + "-99");
    writeSettingsFile(path, values);
    EXPECT_EQ(readAll(path), settingsFileContent(values));
    std::vector<std::string> expected = kept;
    expected.insert(expected.end(), {"cttax.fig", "cttax.fig.saving-99"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(entriesOf(folder), expected);
}

TEST_F(Faults, LiveTemporaryOfAnotherSaveIsLeftAlone)
{
    writeAll(path, kEarlier);
    const fs::path live = savingPathFor(path).string() + "-123";
    writeAll(live, "another save's file");
    const int held = ::open(live.c_str(), O_RDONLY);
    ASSERT_EQ(::flock(held, LOCK_EX), 0);
    writeSettingsFile(path, values);
    ::close(held);
    EXPECT_EQ(readAll(path), settingsFileContent(values));
    EXPECT_EQ(readAll(live), "another save's file");
}

TEST_F(Faults, DanglingLinkCreatesItsTarget)
{
    fs::create_symlink("real.fig", path);
    writeSettingsFile(path, values);
    EXPECT_TRUE(fs::is_symlink(path));
    EXPECT_EQ(readAll(folder / "real.fig"), settingsFileContent(values));
}

// ---------------------------------------------------------------- reading through the file

struct FileReadCase {
    const char *name;
    std::string content;
};


// The same reads from a file as from memory, across the reader's buffer.
TEST_F(Faults, FileAndMemoryReadTheSame)
{
    const std::string padding(16 * 1024 - 2, ' ');
    const FileReadCase cases[] = {
        {"example", "342\r\n637\r\n 5.00000000000000E+0004\r\n 1.20050000000000E+0003\r\n1\r\n"},
        {"token across the buffer's end", padding + "342\n637\n1\n2\n3\n"},
        {"line end across the buffer's end", "1 " + padding + "\n637\n1\n2\n3\n"},
        {"ctrl-z after the buffer", "1\n" + padding + padding + "\x1a\n5\n"},
        {"long rests of lines", "1 " + std::string(100000, 'x') + "\n2" + std::string(70000, '\r') + "\n3\n4\n5\n"},
        {"long token", std::string(100000, '7') + "\n"},
        {"special forms", "1\n2\n                   +Inf\r\n                    Nan\r\n3\r\n"},
        {"bad real", "1\n2\n" + padding + "1,5\n3\n4\n"},
    };
    for (const FileReadCase &c : cases) {
        writeAll(path, c.content);
        SettingsReader fromFile(path);
        SettingsReader fromMemory(c.content);
        const std::string expected = readFive(fromMemory);
        EXPECT_EQ(readFive(fromFile), expected) << c.name;
        EXPECT_NE(expected.find(' '), std::string::npos) << c.name;
    }
}

long maxRssKiB()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// An 8 GB file, all but a few bytes of it a hole, once ended in bad_alloc.
TEST_F(Faults, HugeSparseFileReadsItsValuesWithoutGrowing)
{
    {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::pwrite(fd, "342", 3, 0), 3);
        ASSERT_EQ(::pwrite(fd, "\n637\r\n 1.5E3 tail", 17, 4LL << 30), 17);
        ASSERT_EQ(::ftruncate(fd, 8LL << 30), 0);
        ::close(fd);
    }
    const long before = maxRssKiB();
    SettingsReader reader(path);
    EXPECT_EQ(reader.readInteger(), 342);
    EXPECT_EQ(reader.readInteger(), 637);
    Extended agi = -1, propertyTax = -1;
    reader.readReal(agi);
    reader.readReal(propertyTax);
    EXPECT_EQ(hex(agi), hex(1500.0L));
    EXPECT_EQ(hex(propertyTax), hex(0.0L));
    EXPECT_EQ(reader.readInteger(), 0);
    reader.close();
    EXPECT_LT(maxRssKiB() - before, 16 * 1024) << "KiB more at the end of reading";
}

TEST(SettingsReading, SpecialFormsComeBack)
{
    for (Extended value : {std::numeric_limits<Extended>::infinity(), -std::numeric_limits<Extended>::infinity(),
                           std::numeric_limits<Extended>::quiet_NaN()}) {
        SettingsReader reader(settingsFileContent({1, 2, value, value, 3}));
        EXPECT_EQ(reader.readInteger(), 1);
        EXPECT_EQ(reader.readInteger(), 2);
        Extended agi = 0, propertyTax = 0;
        reader.readReal(agi);
        reader.readReal(propertyTax);
        EXPECT_EQ(hex(agi), hex(value));
        EXPECT_EQ(hex(propertyTax), hex(value));
        EXPECT_EQ(reader.readInteger(), 3);
    }
    // Only the writer's own spelling: every other text keeps the rules.
    for (const char *text : {"inf", "+INF", "INF", "NaN", "nan", "Infinity", "+Inf1", "-Nan"}) {
        SettingsReader reader(std::string(text) + "\r\n");
        Extended value = 0;
        EXPECT_EQ(codeOf([&] { reader.readReal(value); }), kInvalidNumericInput) << text;
    }
}

// ---------------------------------------------------------------- where the file lives

TEST_F(Faults, LocationBesideTheExecutableOrInTheConfigFolder)
{
    const auto perms755 = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                          fs::perms::others_read | fs::perms::others_exec;
    const fs::path portable = makeFolder("portable", fs::perms::all);
    const fs::path system = makeFolder("usr-bin", perms755);
    const fs::path keeps = makeFolder("keeps", perms755);
    writeAll(keeps / "cttax.fig", kEarlier);
    const fs::path notUtf8 = makeFolder("caf\xe9", fs::perms::all);
    const SettingsEnvironment xdg{"/x/config", "/home/ann"};
    const SettingsEnvironment homeOnly{std::nullopt, "/home/ann"};
    const SettingsEnvironment relativeXdg{"config", "/home/ann"};
    const SettingsEnvironment emptyXdg{"", "/home/ann"};
    const SettingsEnvironment relativeHome{std::nullopt, "."};
    // As sudo -E leaves them: folders of another user (as root only).
    const fs::path others = makeFolder("others-home", fs::perms::all);
    fs::create_directories(others / ".config");
    const bool asRoot = ::geteuid() == 0;
    if (asRoot) {
        ASSERT_EQ(::chown(others.c_str(), 65533, 65533), 0);
        ASSERT_EQ(::chown((others / ".config").c_str(), 65533, 65533), 0);
    }
    const SettingsEnvironment othersXdg{(others / ".config").string(), "/home/ann"};
    const SettingsEnvironment othersHome{std::nullopt, others.string()};
    const SettingsEnvironment othersMissingXdg{(others / "new-config").string(), "/home/ann"};
    const passwd *user = ::getpwuid(::geteuid() == 0 ? kNobody : ::geteuid());
    const std::string homeOfNobody = user != nullptr ? user->pw_dir : "/";
    const struct {
        const char *name;
        fs::path executable;
        SettingsEnvironment env;
        fs::path expected;
        bool configFolder;
        bool rootOnly = false;
    } cases[] = {
        {"writable folder", portable / "cttax", xdg, portable / "cttax.fig", false},
        {"file already beside", keeps / "cttax", xdg, keeps / "cttax.fig", false},
        {"system folder, XDG set", system / "cttax", xdg, "/x/config/cttax/cttax.fig", true},
        {"system folder, HOME only", system / "cttax", homeOnly, "/home/ann/.config/cttax/cttax.fig", true},
        {"relative XDG is ignored", system / "cttax", relativeXdg, "/home/ann/.config/cttax/cttax.fig", true},
        {"empty XDG is ignored", system / "cttax", emptyXdg, "/home/ann/.config/cttax/cttax.fig", true},
        {"relative HOME is unset", system / "cttax", relativeHome, homeOfNobody + "/.config/cttax/cttax.fig", true},
        {"the name follows the executable", system / "TaxTool.bin", xdg, "/x/config/cttax/TaxTool.fig", true},
        {"folder name not UTF-8", notUtf8 / "cttax", xdg, notUtf8 / "cttax.fig", false},
        {"another user's XDG folder", system / "cttax", othersXdg, homeOfNobody + "/.config/cttax/cttax.fig", true, true},
        {"another user's HOME", system / "cttax", othersHome, homeOfNobody + "/.config/cttax/cttax.fig", true, true},
        {"XDG to be made in another user's folder", system / "cttax", othersMissingXdg,
         homeOfNobody + "/.config/cttax/cttax.fig", true, true},
    };
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(notUtf8.c_str(), kNobody, kNobody), 0);
    }
    for (const auto &c : cases) {
        if (c.rootOnly && !asRoot)
            continue;
        const std::string expected = c.expected.string() + (c.configFolder ? " config" : " beside");
        EXPECT_EQ(asNormalUser([&] {
                      const SettingsLocation l = settingsLocationFor(c.executable, c.env);
                      return l.file.string() + (l.configFolder ? " config" : " beside");
                  }),
                  expected)
            << c.name;
    }
}

TEST_F(Faults, ConfigFolderIsCreatedPrivate)
{
    const fs::path home = makeFolder("home", fs::perms::all);
    // XDG_CONFIG_HOME=<home>/missing/config: every missing folder is made.
    const SettingsLocation location{home / "missing" / "config" / "cttax" / "cttax.fig", true};
    const mode_t old = ::umask(022);
    prepareSettingsFolder(location);
    ::umask(old);
    for (const fs::path &f : {home / "missing", home / "missing" / "config", home / "missing" / "config" / "cttax"}) {
        struct stat info {};
        ASSERT_EQ(::stat(f.c_str(), &info), 0) << f;
        EXPECT_EQ(info.st_mode & 0777, 0700u) << f;
    }
    writeSettingsFile(location.file, values);
    EXPECT_EQ(readAll(location.file), settingsFileContent(values));
    prepareSettingsFolder(location); // again: nothing to do
    prepareSettingsFolder(SettingsLocation{folder / "beside" / "cttax.fig", false});
    EXPECT_FALSE(fs::exists(folder / "beside"));
}

// A copy in a system folder never keeps its settings there, for root
// neither, and a file lying there from before is not used.
TEST(SettingsLocation, SystemFoldersAreNeverUsed)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to make a system folder";
    const fs::path opt = "/opt/cttax-test-" + std::to_string(::getpid());
    fs::create_directories(opt);
    writeAll(opt / "cttax.fig", "1\r\n2\r\n");
    const SettingsEnvironment env{"/x/config", "/root"};
    const SettingsLocation inOpt = settingsLocationFor(opt / "cttax", env);
    const SettingsLocation inUsr = settingsLocationFor("/usr/bin/cttax", env);
    fs::remove_all(opt);
    EXPECT_EQ(inOpt.file, "/x/config/cttax/cttax.fig");
    EXPECT_TRUE(inOpt.configFolder);
    EXPECT_EQ(inUsr.file, "/x/config/cttax/cttax.fig");
}

TEST(SettingsLocation, RunningExecutableIsThisProgram)
{
    EXPECT_EQ(runningExecutablePath(), fs::canonical("/proc/self/exe"));
}

} // namespace
