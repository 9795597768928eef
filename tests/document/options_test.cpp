#include "document/options.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/programdir.h"
#include "support/tempdir.h"

namespace tervasko {
namespace {

using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

TEST(Options, StoredLanguageOrGerman) {
    TempDir dir;
    const std::string prefix = dir.path() + "/";
    EXPECT_EQ(LoadOptions(prefix), 0);  // no file

    const struct {
        std::vector<std::uint8_t> bytes;
        std::int32_t language;
    } cases[] = {
        {{2, 0, 0, 0}, 2},
        {{5, 0, 0, 0}, 5},
        {{18, 0, 0, 0}, 18},
        {{19, 0, 0, 0}, 0},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 0},
        {{1, 0}, 0},
        {{}, 0},
        {{1, 0, 0, 0, 9}, 1},
    };
    for (const auto& c : cases) {
        writeBytes(prefix + "options.dat", c.bytes);
        EXPECT_EQ(LoadOptions(prefix), c.language) << c.bytes.size() << " bytes";
    }
}

// Neither a pipe nor a device in the file's place holds up the start or fills the memory.
TEST(Options, OnlyFourBytesOfARegularFileAreRead) {
    TempDir dir;
    const std::string prefix = dir.path() + "/";
    const std::string path = prefix + "options.dat";
    ASSERT_EQ(mkfifo(path.c_str(), 0600), 0);
    EXPECT_EQ(LoadOptions(prefix), 0);
    std::filesystem::remove(path);
    for (const char* device : {"/dev/zero", "/dev/urandom"}) {
        std::filesystem::create_symlink(device, path);
        EXPECT_EQ(LoadOptions(prefix), 0) << device;
        std::filesystem::remove(path);
    }
    std::vector<std::uint8_t> longFile(1 << 20, 0);  // a long file: its first four bytes count
    longFile[0] = 2;
    writeBytes(path, longFile);
    EXPECT_EQ(LoadOptions(prefix), 2);
}

TEST(Options, SaveWritesFourBytesAndAFailureKeepsTheOldFile) {
    TempDir dir;
    const std::string prefix = dir.path() + "/";
    ASSERT_FALSE(SaveOptions(prefix, 1));
    EXPECT_EQ(readBytes(prefix + "options.dat"), (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_EQ(SaveOptions(prefix + "missing/", 2).SystemError, ENOENT);
    EXPECT_EQ(LoadOptions(prefix), 1);
}

TEST(Options, ProgramDirIsTheFolderOfTheProgramWhateverTheWorkingDirectory) {
    TempDir dir;
    const auto before = std::filesystem::current_path();
    const std::string expected =
        std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(ProgramDir(), expected);
    std::filesystem::current_path(before);
}

}  // namespace
}  // namespace tervasko
