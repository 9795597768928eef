#include "document/recovery.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <mutex>
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

    EXPECT_FALSE(RemoveRecoveryCopy(orphans[0].path));
    EXPECT_TRUE(FindOrphanedRecoveryCopies(folder).empty());
    EXPECT_FALSE(RemoveRecoveryCopy(orphans[0].path));  // gone already: nothing to do
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

// What the writer told, from its own thread.
struct Told {
    std::mutex mutex;
    std::vector<Error> errors;
    RecoveryStore::WrittenHandler handler() {
        return [this](const Error& failure) {
            std::lock_guard lock(mutex);
            errors.push_back(failure);
        };
    }
};

TEST(RecoveryStore, EveryCopyTriedIsToldWithTheReasonWhenItFailed) {
    testing::TempDir dir;
    RecoveryStore store(dir.path() + "/state/");
    ASSERT_TRUE(store.Active());
    Told told;
    store.SetWrittenHandler(told.handler());
    // A folder where the copy belongs: the safe write cannot put its file there.
    ASSERT_TRUE(std::filesystem::create_directory(store.CopyPath()));
    store.Submit({1, 2});
    const Error failed = store.Flush();
    EXPECT_EQ(failed.Lead, ErrorLead::CannotWrite);
    EXPECT_EQ(failed.File, store.CopyPath());
    EXPECT_EQ(failed.SystemError, EISDIR);
    // Told before Flush returns, so that a waiting window finds the word in its queue.
    ASSERT_EQ(told.errors.size(), 1u);
    EXPECT_EQ(told.errors[0].SystemError, EISDIR);

    std::filesystem::remove(store.CopyPath());
    store.Submit({3});
    EXPECT_FALSE(store.Flush());
    ASSERT_EQ(told.errors.size(), 2u);
    EXPECT_FALSE(told.errors[1]);
    EXPECT_EQ(testing::readBytes(store.CopyPath()), (std::vector<std::uint8_t>{3}));
}

// Without a folder the store is not active, but it does not keep quiet: each copy handed over
// tries again and fails with the reason, until the folder can be made.
TEST(RecoveryStore, AFolderThatCannotBeMadeFailsEveryCopyUntilItCan) {
    testing::TempDir dir;
    const std::string file = dir.path() + "/file";
    const struct {
        const char* name;
        std::string folder;
        ErrorLead lead;
        ErrorCode code;
        int systemError;
        std::string failedPath;
    } cases[] = {
        {"no folder known", "", ErrorLead::None, ErrorCode::NoStateFolder, 0, ""},
        {"a file named as the folder", file, ErrorLead::CannotCreate, ErrorCode::System, ENOTDIR,
         file + "/"},
        {"a file named as a parent", file + "/tervasko", ErrorLead::CannotCreate, ErrorCode::System,
         ENOTDIR, file + "/tervasko"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(file);  // the folder the case before made
        testing::writeBytes(file, {'x'});
        RecoveryStore store(c.folder);
        EXPECT_FALSE(store.Active());
        Told told;
        store.SetWrittenHandler(told.handler());
        for (int attempt = 0; attempt < 2; ++attempt) {
            store.Submit({1});
            const Error failed = store.Flush();
            EXPECT_EQ(failed.Lead, c.lead);
            EXPECT_EQ(failed.Code, c.code);
            EXPECT_EQ(failed.SystemError, c.systemError);
            EXPECT_EQ(failed.File, c.failedPath);
        }
        EXPECT_EQ(told.errors.size(), 2u);
        if (c.folder.empty()) continue;
        // The way is free: the next copy makes the folder, takes the lock and is written.
        std::filesystem::remove(file);
        store.Submit({7});
        EXPECT_FALSE(store.Flush());
        EXPECT_TRUE(store.Active());
        EXPECT_EQ(testing::readBytes(store.CopyPath()), (std::vector<std::uint8_t>{7}));
        ASSERT_EQ(told.errors.size(), 3u);
        EXPECT_FALSE(told.errors[2]);
    }
}

TEST(RecoveryCopy, ACopyThatCannotBeSetAsideOrDeletedStaysAndSaysWhy) {
    testing::TempDir dir;
    const std::string copy = dir.path() + "/recovery-1-x.tvr";
    testing::writeBytes(copy, {1, 2, 3});
    testing::writeBytes(dir.path() + "/recovery-1-x.lock", {});
    // Its new name is taken by a folder that is not empty.
    std::filesystem::create_directories(copy + ".damaged/inside");
    const Result<std::string> stuck = SetRecoveryCopyAside(copy);
    ASSERT_FALSE(stuck.ok());
    EXPECT_EQ(stuck.error().Lead, ErrorLead::CannotSetAside);
    EXPECT_EQ(stuck.error().File, copy);
    EXPECT_EQ(testing::readBytes(copy), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_TRUE(std::filesystem::exists(dir.path() + "/recovery-1-x.lock"));

    std::filesystem::remove_all(copy + ".damaged");
    const Result<std::string> aside = SetRecoveryCopyAside(copy);
    ASSERT_TRUE(aside.ok()) << EnglishText(aside.error());
    EXPECT_EQ(*aside, copy + ".damaged");
    EXPECT_EQ(testing::readBytes(*aside), (std::vector<std::uint8_t>{1, 2, 3}));
    EXPECT_FALSE(std::filesystem::exists(copy));
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/recovery-1-x.lock"));

    // A folder cannot be unlinked like a copy.
    std::filesystem::create_directory(copy);
    const Error failed = RemoveRecoveryCopy(copy);
    EXPECT_EQ(failed.Lead, ErrorLead::CannotDelete);
    EXPECT_EQ(failed.File, copy);
    EXPECT_TRUE(std::filesystem::exists(copy));
}

}  // namespace
}  // namespace tervasko
