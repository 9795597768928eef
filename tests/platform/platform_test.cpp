#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

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
    } cases[] = {{0.5, 0, 0}, {1.5, 2, 1}, {2.5, 2, 2}, {-2.5, -2, -2}, {2.51, 3, 2}, {-1.7, -2, -1}};
    for (const auto& c : cases) {
        EXPECT_EQ(Round(c.v), c.round) << c.v;
        EXPECT_EQ(Trunc(c.v), c.trunc) << c.v;
    }
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
    EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16("Größe \xE6\xBC\xA2 \xF0\x9F\x98\x80")), "Größe \xE6\xBC\xA2 \xF0\x9F\x98\x80");
    EXPECT_EQ(Utf8ToUtf16("a\xFF" "b"), u"a\uFFFDb");  // broken UTF-8 never throws or stops
}

TEST(SafeFile, UncommittedWriterLeavesTheOldFileAndNoTemporary) {
    testing::TempDir dir;
    const std::string path = dir.file("a.bin");
    testing::writeBytes(path, {9, 9});
    {
        SafeFileWriter w(path);
        ASSERT_TRUE(w.open());
        ASSERT_TRUE(w.write("new", 3));
    }  // abandoned, e.g. after an error elsewhere
    EXPECT_EQ(testing::readBytes(path), (std::vector<std::uint8_t>{9, 9}));
    SafeFileWriter w(path);
    ASSERT_TRUE(w.open() && w.write("new", 3) && w.commit());
    EXPECT_EQ(testing::readBytes(path), (std::vector<std::uint8_t>{'n', 'e', 'w'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);

    SafeFileWriter folder(dir.path());
    EXPECT_FALSE(folder.open());
    EXPECT_FALSE(folder.error().empty());
    SafeFileWriter device("/dev/null");  // never replaced by a plain file
    EXPECT_FALSE(device.open());

    // A link keeps pointing at the file, which gets the new content.
    const std::string link = dir.file("link.bin");
    std::filesystem::create_symlink(path, link);
    SafeFileWriter viaLink(link);
    ASSERT_TRUE(viaLink.open() && viaLink.write("xy", 2) && viaLink.commit());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(testing::readBytes(path), (std::vector<std::uint8_t>{'x', 'y'}));
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
