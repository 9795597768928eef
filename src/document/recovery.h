#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "document/drawingfile.h"
#include "platform/error.h"

namespace tervasko {

// A recovery copy of unsaved work: a short head naming the drawing, then the drawing file
// itself.
//   "TVKRECOVERY1\n", u32 byte length of the drawing's file name in UTF-8 (0 = untitled),
//   the name, the drawing file's bytes.
std::vector<std::uint8_t> EncodeRecoveryCopy(const std::string& fileName, const TDrawing& drawing,
                                             const DrawingSettings& settings);

// What the head of a recovery copy says.
struct RecoveryHead {
    std::string fileName;           // the drawing's file, empty when untitled
    std::size_t drawingOffset = 0;  // where the drawing file's bytes begin
};

// Checks the head: its marker byte by byte, then the name.
Result<RecoveryHead> DecodeRecoveryHead(const std::vector<std::uint8_t>& bytes);

// Where recovery copies live: $XDG_STATE_HOME/tervasko/, or ~/.local/state/tervasko/ when
// that is not set (with a trailing slash). Empty when neither can be found.
std::string RecoveryFolder();

// A copy left by a program that ended without closing (killed, crashed, power lost).
struct RecoveryCopyInfo {
    std::string path;
    std::time_t time = 0;  // when it was written
};

// The copies in `folder` whose program no longer runs, newest first. A running program
// holds its lock file, so its copy is never listed.
std::vector<RecoveryCopyInfo> FindOrphanedRecoveryCopies(const std::string& folder);

// Takes an orphaned copy out of the folder for good, with its lock file. A copy already gone
// counts as removed; the reason when it is still there.
Error RemoveRecoveryCopy(const std::string& copyPath);

// Keeps a copy that cannot be used under another name ("<copy>.damaged"), so that nothing is
// thrown away and it is not offered again. The new path, or the reason why the copy is still
// where it was.
Result<std::string> SetRecoveryCopyAside(const std::string& copyPath);

// The recovery copy of this running program. Writes happen on a thread of their own, through
// the same safe path as a save, so the window never waits for the disk; a write that has not
// started yet is replaced by a newer one. The copy is named after a random instance name,
// and a lock file held for the store's lifetime tells other programs that it is in use.
class RecoveryStore {
public:
    // Called on the writer thread after every copy it tried: an empty Error when the copy is
    // on disk, the reason when it is not.
    using WrittenHandler = std::function<void(const Error& failure)>;

    // Makes the folder (private to the user) when needed and takes the lock. Without them
    // the store is not Active(); every copy handed over tries again first, and fails with
    // the reason while the folder or the lock still cannot be had.
    explicit RecoveryStore(std::string folder);
    // Removes the copy: the program ends normally. Only a program that never gets here (a
    // kill, a crash, a power cut) leaves its copy for the next start.
    ~RecoveryStore();
    RecoveryStore(const RecoveryStore&) = delete;
    RecoveryStore& operator=(const RecoveryStore&) = delete;

    bool Active() const { return lockFd_ >= 0; }
    // With a trailing slash; empty when no folder could be found.
    const std::string& Folder() const { return folder_; }
    const std::string& CopyPath() const { return copyPath_; }

    // Set before the first Submit.
    void SetWrittenHandler(WrittenHandler handler) { written_ = std::move(handler); }

    // Hands the bytes of a copy to the writer.
    void Submit(std::vector<std::uint8_t> bytes);
    // Waits until every submitted copy is written; the reason when the last one failed.
    Error Flush();
    // Drops a copy not yet written and deletes the one on disk.
    void Remove();

private:
    void run();
    // The folder and the lock; on the writer thread once it runs.
    Error setUp();

    std::string folder_;
    std::string copyPath_;
    std::string lockPath_;
    std::atomic<int> lockFd_ = -1;
    WrittenHandler written_;

    std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<std::vector<std::uint8_t>> pending_;
    bool busy_ = false;
    bool stop_ = false;
    Error lastError_;
    std::thread thread_;
};

}  // namespace tervasko
