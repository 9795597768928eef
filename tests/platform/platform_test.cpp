#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <limits>

#include "platform/cp1252.h"
#include "platform/numeric.h"
#include "platform/programdir.h"
#include "platform/safefile.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

TEST(Numeric, RoundGoesHalfToEvenAndTruncTowardZero) {
    const struct {
        double v;
        std::int64_t round, trunc;
    } cases[] = {{0.5, 0, 0},    {1.5, 2, 1},  {2.5, 2, 2},
                 {-2.5, -2, -2}, {2.51, 3, 2}, {-1.7, -2, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(Round(c.v), c.round) << c.v;
        EXPECT_EQ(Trunc(c.v), c.trunc) << c.v;
    }
}

TEST(Numeric, ToPixelClampsWhatNoDeviceCanShow) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double v;
        int px;
    } cases[] = {{2.5, 2},
                 {-3.5, -4},
                 {1e308, kPixelLimit},
                 {-1e308, -kPixelLimit},
                 {inf, kPixelLimit},
                 {-inf, -kPixelLimit},
                 {nan, 0},
                 {16777215.4, 16777215}};
    for (const auto& c : cases) EXPECT_EQ(DevicePixel(c.v), c.px) << c.v;
}

TEST(Cp1252, EveryByteSurvivesTheTripThroughUtf16) {
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    const std::u16string wide = Cp1252ToUtf16(all);
    EXPECT_EQ(wide[0x80], u'€');
    EXPECT_EQ(wide[0x9F], u'Ÿ');
    EXPECT_EQ(wide[0x81], 0x81);  // undefined in the code page: kept as the C1 control
    EXPECT_EQ(wide[0xE4], u'ä');
    bool lossy = true;
    EXPECT_EQ(Utf16ToCp1252(wide, '?', &lossy), all);
    EXPECT_FALSE(lossy);
}

TEST(Cp1252, CharactersOutsideTheCodePageBecomeOneReplacementEach) {
    bool lossy = false;
    EXPECT_EQ(Utf16ToCp1252(u"a\u0394b\U0001F600c", '?', &lossy), "a?b?c");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("Größe \xE6\xBC\xA2 \xF0\x9F\x98\x80")),
              "Größe \xE6\xBC\xA2 \xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUtf16("a\xFF"
                          "b"),
              u"a\uFFFDb");  // broken UTF-8 never throws or stops
}

Result<std::string> nameOf(int n) {
    if (n < 0) return Failure(ErrorCode::FileTooLarge, {std::to_string(n)});
    return std::to_string(n);
}

TEST(Result, HoldsTheValueOrTheErrorAndNeverAnEmptyFailure) {
    Result<std::string> named = nameOf(12);
    ASSERT_TRUE(named.ok());
    EXPECT_FALSE(named.error());
    EXPECT_EQ(*named, "12");
    EXPECT_EQ(named->size(), 2u);
    EXPECT_EQ(std::move(named).value(), "12");

    const Result<std::string> refused = nameOf(-3);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(EnglishText(refused.error()), "The file is larger than -3");

    // A failure without a reason is still a failure, never an empty value.
    const Result<int> unexplained = Error{};
    EXPECT_FALSE(unexplained.ok());
    EXPECT_EQ(unexplained.error().Code, ErrorCode::Other);
    EXPECT_EQ(EnglishText(unexplained.error()), "no reason given");
}

TEST(SafeFile, UncommittedWriterLeavesTheOldFileAndNoTemporary) {
    testing::TempDir dir;
    const std::string path = dir.file("a.bin");
    testing::writeBytes(path, {9, 9});
    {
        SafeFileWriter w(path);
        ASSERT_FALSE(w.open());
        ASSERT_FALSE(w.write("new", 3));
    }  // abandoned, e.g. after an error elsewhere
    EXPECT_EQ(testing::readBytes(path), (std::vector<std::uint8_t>{9, 9}));
    ASSERT_FALSE(WriteFileSafely(path, "new", 3));
    EXPECT_EQ(testing::readBytes(path), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    SafeFileWriter folder(dir.path());
    const Error refused = folder.open();
    EXPECT_EQ(EnglishText(refused), "Is a directory");
    // Every later call fails with the first reason, and commit puts nothing in place.
    EXPECT_EQ(EnglishText(folder.write("x", 1)), "Is a directory");
    EXPECT_EQ(EnglishText(folder.commit()), "Is a directory");
    EXPECT_EQ(folder.failure().SystemError, refused.SystemError);
    SafeFileWriter device("/dev/null");  // never replaced by a plain file
    EXPECT_EQ(device.open().Code, ErrorCode::NotRegularFile);

    // A link keeps pointing at the file, which gets the new content.
    const std::string link = dir.file("link.bin");
    std::filesystem::create_symlink(path, link);
    ASSERT_FALSE(WriteFileSafely(link, "xy", 2));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(testing::readBytes(path), (std::vector<std::uint8_t>{'x', 'y'}));
}

std::vector<std::string> folderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Pipes, devices and huge files are refused at once; nothing waits for a writer or tries
// to hold what a device would deliver without end.
TEST(ReadWholeFile, TakesOnlyRegularFilesOfBoundedSize) {
    testing::TempDir dir;
    const std::string fifo = dir.file("pipe.tvk");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const std::string sparse = dir.file("huge.tvk");
    {
        const int fd = ::open(sparse.c_str(), O_WRONLY | O_CREAT, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, off_t{8} << 30), 0);  // 8 GB of nothing, no disk used
        ::close(fd);
    }
    const std::string small = dir.file("small.bin");
    testing::writeBytes(small, {1, 2, 3, 4, 5});
    const struct {
        std::string path;
        std::uint64_t limit;
        const char* reason;
    } refused[] = {
        {fifo, kMaxReadSize, "Not a regular file"},
        {"/dev/zero", kMaxReadSize, "Not a regular file"},
        {"/dev/urandom", kMaxReadSize, "Not a regular file"},
        {dir.path(), kMaxReadSize, "Is a directory"},
        {sparse, kMaxReadSize, "The file is larger than 1024 MB"},
        {small, 4, "The file is larger than 4 bytes"},
        {dir.file("missing"), kMaxReadSize, "No such file or directory"},
    };
    for (const auto& c : refused) {
        const Result<std::vector<std::uint8_t>> read = ReadWholeFile(c.path, c.limit);
        EXPECT_FALSE(read.ok()) << c.path;
        EXPECT_EQ(EnglishText(read.error()), c.reason) << c.path;
        // The reader in parts refuses the same files, before it reads a byte.
        FileReader reader;
        EXPECT_EQ(EnglishText(reader.Open(c.path, c.limit)), c.reason) << c.path;
    }
    const Result<std::vector<std::uint8_t>> read = ReadWholeFile(small, 5);
    ASSERT_TRUE(read.ok()) << EnglishText(read.error());
    EXPECT_EQ(*read, (std::vector<std::uint8_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(read->capacity(), 5u);  // one allocation of the file's size

    const Result<std::vector<std::uint8_t>> head = ReadFileHead(small, 4);
    ASSERT_TRUE(head.ok()) << EnglishText(head.error());
    EXPECT_EQ(*head, (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(ReadFileHead(fifo, 4).error().Code, ErrorCode::NotRegularFile);
    EXPECT_EQ(ReadFileHead("/dev/zero", 4).error().Code, ErrorCode::NotRegularFile);
}

// A file read in parts: exactly its measured bytes, and a file that grows or shrinks
// meanwhile is a failure, not a short or a partial read.
TEST(FileReader, ReadsTheMeasuredBytesAndNoticesAChange) {
    testing::TempDir dir;
    const std::string path = dir.file("parts.bin");
    const std::vector<std::uint8_t> bytes{1, 2, 3, 4, 5, 6, 7};
    const auto append = [&](std::uint8_t b) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::write(fd, &b, 1), 1);
        ::close(fd);
    };
    {
        testing::writeBytes(path, bytes);
        FileReader reader;
        const Error opened = reader.Open(path);
        ASSERT_FALSE(opened) << EnglishText(opened);
        EXPECT_EQ(reader.Size(), 7u);
        std::uint8_t head[3];
        ASSERT_FALSE(reader.Read(head, 3));
        EXPECT_EQ(head[2], 3);
        EXPECT_EQ(reader.Left(), 4u);
        std::vector<std::uint8_t> rest;
        ASSERT_FALSE(reader.ReadRest(rest));
        EXPECT_EQ(rest, (std::vector<std::uint8_t>{4, 5, 6, 7}));
        const Error finished = reader.Finish();
        EXPECT_FALSE(finished) << EnglishText(finished);
    }
    {
        testing::writeBytes(path, bytes);
        FileReader reader;
        ASSERT_FALSE(reader.Open(path));
        std::uint8_t all[8];
        // more than it measured
        EXPECT_EQ(EnglishText(reader.Read(all, 8)), "The file changed while it was read");
    }
    {
        testing::writeBytes(path, bytes);
        FileReader reader;
        ASSERT_FALSE(reader.Open(path));
        std::vector<std::uint8_t> rest;
        ASSERT_FALSE(reader.ReadRest(rest));
        append(8);  // grown after it was measured
        EXPECT_EQ(EnglishText(reader.Finish()), "The file changed while it was read");
    }
    {
        testing::writeBytes(path, bytes);
        FileReader reader;
        ASSERT_FALSE(reader.Open(path));
        ASSERT_EQ(::truncate(path.c_str(), 2), 0);  // shrunk after it was measured
        std::uint8_t some[4];
        EXPECT_EQ(EnglishText(reader.Read(some, 4)), "The file changed while it was read");
    }
}

TEST(SafeFile, AWriteProtectedFileIsNotReplaced) {
    testing::TempDir dir;
    const std::string path = dir.file("kept.tvk");
    testing::writeBytes(path, {1, 2});
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    const Error refused = WriteFileSafely(path, "new", 3);
    EXPECT_EQ(refused.Code, ErrorCode::WriteProtected);
    EXPECT_EQ(EnglishText(refused), "The file is write-protected");
    EXPECT_EQ(testing::readBytes(path), (std::vector<std::uint8_t>{1, 2}));
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0444u);
    EXPECT_EQ(folderNames(dir.path()), std::vector<std::string>{"kept.tvk"});

    // Any write bit is enough: the owner's own protection is what is respected.
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const Error written = WriteFileSafely(path, "new", 3);
    ASSERT_FALSE(written) << EnglishText(written);
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

// A writer killed before commit leaves nothing beside the target: the file it writes has
// no name until it is complete.
TEST(SafeFile, AKilledWriterLeavesNoTemporaryFile) {
    testing::TempDir dir;
    const std::string path = dir.file("target.tvk");
    testing::writeBytes(path, {1});
    for (bool existing : {true, false}) {
        if (!existing) std::filesystem::remove(path);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            SafeFileWriter w(path);
            const std::vector<char> big(1 << 20, 'x');
            if (!w.open() && !w.write(big.data(), big.size())) raise(SIGKILL);
            _exit(1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(folderNames(dir.path()),
                  existing ? std::vector<std::string>{"target.tvk"} : std::vector<std::string>{});
    }
}

TEST(SafeFile, StaleTemporariesOfDeadWritersAreRemovedAndNothingElse) {
    testing::TempDir dir;
    const auto make = [&](const std::string& name, bool old) {
        testing::writeBytes(dir.file(name), {1});
        if (old) {
            const timespec times[2] = {{0, UTIME_OMIT}, {std::time(nullptr) - 3600, 0}};
            utimensat(AT_FDCWD, dir.file(name).c_str(), times, 0);
        }
    };
    make(".a.tvk.~tvk-abc123", true);   // a dead writer's: goes
    make(".a.tvk.~tvk-def456", true);   // a live writer's (locked below): stays
    make(".b.dxf.~tvk-ghi789", false);  // too fresh to judge: stays
    make(".a.tvk.~tvk-ab", true);       // not our name: stays
    make("a.tvk.~tvk-abc123", true);    // not our name: stays
    make("drawing.tvk", true);
    const int held = ::open(dir.file(".a.tvk.~tvk-def456").c_str(), O_RDONLY);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX), 0);
    // A lock of this process on another descriptor counts like another process's.
    EXPECT_EQ(RemoveStaleTemporaries(dir.path()), 1);
    ::close(held);
    EXPECT_EQ(folderNames(dir.path()),
              (std::vector<std::string>{".a.tvk.~tvk-ab", ".a.tvk.~tvk-def456",
                                        ".b.dxf.~tvk-ghi789", "a.tvk.~tvk-abc123", "drawing.tvk"}));
}

}  // namespace
}  // namespace tervasko

namespace tervasko {
namespace {

TEST(DataFolder, InstalledOrUnwritableProgramsUseTheUsersConfigurationFolder) {
    const struct {
        bool writable, installed;
        const char* config;
        const char* expected;
    } cases[] = {
        {true, false, "/home/u/.config/tervasko/", "/opt/t/bin/"},  // build folder, portable copy
        {false, false, "/home/u/.config/tervasko/", "/home/u/.config/tervasko/"},
        {true, true, "/home/u/.config/tervasko", "/home/u/.config/tervasko/"},  // root, /usr/bin
        {false, true, "", "/opt/t/bin/"},  // no home at all: the table opens read-only there
    };
    for (const auto& c : cases)
        EXPECT_EQ(ChooseDataDir("/opt/t/bin", c.writable, c.installed, c.config), c.expected)
            << c.writable << c.installed << c.config;
}

TEST(DataFolder, ConfigurationFolderFollowsXdgConfigHomeThenHome) {
    const char* oldXdg = std::getenv("XDG_CONFIG_HOME");
    const char* oldHome = std::getenv("HOME");
    const std::string savedXdg = oldXdg ? oldXdg : "", savedHome = oldHome ? oldHome : "";
    const struct {
        const char* xdg;   // nullptr: unset
        const char* home;  // nullptr: unset
        const char* expected;
    } cases[] = {
        {"/x/conf", "/home/u", "/x/conf/tervasko/"},
        {"/x/conf/", "/home/u", "/x/conf/tervasko/"},
        {"", "/home/u", "/home/u/.config/tervasko/"},          // empty counts as unset
        {"relative", "/home/u", "/home/u/.config/tervasko/"},  // only absolute paths count
        {nullptr, "/home/u/", "/home/u/.config/tervasko/"},
        {nullptr, nullptr, ""},
    };
    for (const auto& c : cases) {
        if (c.xdg)
            setenv("XDG_CONFIG_HOME", c.xdg, 1);
        else
            unsetenv("XDG_CONFIG_HOME");
        if (c.home)
            setenv("HOME", c.home, 1);
        else
            unsetenv("HOME");
        EXPECT_EQ(UserConfigDir(), c.expected) << (c.xdg ? c.xdg : "(unset)");
    }
    if (oldXdg)
        setenv("XDG_CONFIG_HOME", savedXdg.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    if (oldHome)
        setenv("HOME", savedHome.c_str(), 1);
    else
        unsetenv("HOME");
}

TEST(DataFolder, SharedFilesAreFoundBesideTheProgramsBinFolderOnly) {
    testing::TempDir root;
    std::filesystem::create_directories(root.file("usr/bin"));
    EXPECT_EQ(SharedDataDir(root.file("usr/bin")), "");
    std::filesystem::create_directories(root.file("usr/share/tervasko"));
    EXPECT_EQ(SharedDataDir(root.file("usr/bin") + "/"), root.file("usr/share/tervasko/"));
}

}  // namespace
}  // namespace tervasko
