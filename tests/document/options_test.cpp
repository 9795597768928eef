#include "document/options.h"

#include <gtest/gtest.h>

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
        {{2, 0, 0, 0}, 2},  {{5, 0, 0, 0}, 5},        {{18, 0, 0, 0}, 18},
        {{19, 0, 0, 0}, 0}, {{0xFF, 0xFF, 0xFF, 0xFF}, 0}, {{1, 0}, 0}, {{}, 0},
        {{1, 0, 0, 0, 9}, 1},
    };
    for (const auto& c : cases) {
        writeBytes(prefix + "options.dat", c.bytes);
        EXPECT_EQ(LoadOptions(prefix), c.language) << c.bytes.size() << " bytes";
    }
}

TEST(Options, SaveWritesFourBytesAndAFailureKeepsTheOldFile) {
    TempDir dir;
    const std::string prefix = dir.path() + "/";
    ASSERT_TRUE(SaveOptions(prefix, 1));
    EXPECT_EQ(readBytes(prefix + "options.dat"), (std::vector<std::uint8_t>{1, 0, 0, 0}));
    EXPECT_FALSE(SaveOptions(prefix + "missing/", 2));
    EXPECT_EQ(LoadOptions(prefix), 1);
}

TEST(Options, ProgramDirIsTheFolderOfTheProgramWhateverTheWorkingDirectory) {
    TempDir dir;
    const auto before = std::filesystem::current_path();
    const std::string expected = std::filesystem::canonical("/proc/self/exe").parent_path().string() + "/";
    std::filesystem::current_path(dir.path());
    EXPECT_EQ(ProgramDir(), expected);
    std::filesystem::current_path(before);
}

}  // namespace
}  // namespace tervasko
