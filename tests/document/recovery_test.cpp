#include "document/recovery.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "support/tempdir.h"

namespace tervasko {
namespace {

TEST(RecoveryStore, AKilledProgramLeavesItsCopyAndALivingOneHidesIt) {
    testing::TempDir dir;
    const std::string folder = dir.path() + "/state/tervasko/";
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RecoveryStore store(folder);
        TDrawing d;
        TDrawElement* e = d.AppendElement();
        e->Kind = ekLine;
        e->X2 = 42;
        store.Submit(EncodeRecoveryCopy("/x/plan.tvk", d, DrawingSettings{}));
        if (store.Active() && store.Flush()) raise(SIGKILL);
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child could not write its copy";

    RecoveryStore living(folder);
    ASSERT_TRUE(living.Active());
    living.Submit({1, 2, 3});
    ASSERT_TRUE(living.Flush());
    EXPECT_EQ(testing::readBytes(living.CopyPath()), (std::vector<std::uint8_t>{1, 2, 3}));

    const std::vector<RecoveryCopyInfo> orphans = FindOrphanedRecoveryCopies(folder);
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_NE(orphans[0].path, living.CopyPath());
    const std::vector<std::uint8_t> bytes = testing::readBytes(orphans[0].path);
    std::string name;
    Error error;
    std::size_t offset = 0;
    ASSERT_TRUE(DecodeRecoveryHead(bytes, name, offset, &error)) << EnglishText(error);
    EXPECT_EQ(name, "/x/plan.tvk");
    DecodedDrawing decoded;
    Error failure;
    ASSERT_TRUE(DecodeDrawing(bytes.data() + offset, bytes.size() - offset, decoded, &failure))
        << EnglishText(failure);
    EXPECT_EQ(decoded.drawing.Elements.At(0).X2, 42);

    RemoveRecoveryCopy(orphans[0].path);
    EXPECT_TRUE(FindOrphanedRecoveryCopies(folder).empty());
    // A lock left without a copy goes with the next start; a living program's stays.
    testing::writeBytes(folder + "recovery-7-lonely.lock", {});
    RecoveryStore next(folder);
    EXPECT_FALSE(std::filesystem::exists(folder + "recovery-7-lonely.lock"));
    EXPECT_TRUE(std::filesystem::exists(living.CopyPath()));
    living.Remove();
    EXPECT_FALSE(std::filesystem::exists(living.CopyPath()));
    struct stat st {};
    ASSERT_EQ(stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);  // other users cannot read unsaved work
}

}  // namespace
}  // namespace tervasko
