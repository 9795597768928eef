#include "document/recovery.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string_view>

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
        if (store.Active() && !store.Flush()) raise(SIGKILL);
        _exit(1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child could not write its copy";

    RecoveryStore living(folder);
    ASSERT_TRUE(living.Active());
    living.Submit({1, 2, 3});
    ASSERT_FALSE(living.Flush());
    EXPECT_EQ(testing::readBytes(living.CopyPath()), (std::vector<std::uint8_t>{1, 2, 3}));

    const std::vector<RecoveryCopyInfo> orphans = FindOrphanedRecoveryCopies(folder);
    ASSERT_EQ(orphans.size(), 1u);
    EXPECT_NE(orphans[0].path, living.CopyPath());
    const std::vector<std::uint8_t> bytes = testing::readBytes(orphans[0].path);
    const Result<RecoveryHead> head = DecodeRecoveryHead(bytes);
    ASSERT_TRUE(head.ok()) << EnglishText(head.error());
    EXPECT_EQ(head->fileName, "/x/plan.tvk");
    DecodedDrawing decoded;
    const Error failure = DecodeDrawing(bytes.data() + head->drawingOffset,
                                        bytes.size() - head->drawingOffset, decoded);
    ASSERT_FALSE(failure) << EnglishText(failure);
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

TEST(RecoveryCopy, AnAlteredMarkerOfTheRightLengthIsNoRecoveryCopy) {
    TDrawing d;
    d.AppendElement()->Kind = ekLine;
    const std::vector<std::uint8_t> copy = EncodeRecoveryCopy("/x/plan.tvk", d, DrawingSettings{});
    ASSERT_TRUE(DecodeRecoveryHead(copy).ok());
    const std::size_t markerSize = std::string_view("TVKRECOVERY1\n").size();
    // Every byte of the marker, its version digit and line end included: a reader that
    // trusts the length, or only the first letters, takes these for copies.
    for (std::size_t i = 0; i < markerSize; ++i) {
        std::vector<std::uint8_t> altered = copy;
        altered[i] ^= 0x20;
        EXPECT_EQ(DecodeRecoveryHead(altered).error().Code, ErrorCode::NotARecoveryCopy)
            << "byte " << i;
    }
}

}  // namespace
}  // namespace tervasko
