#include "document/recovery.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>

#include "document/bytes.h"
#include "platform/safefile.h"

namespace tervasko {
namespace {

constexpr char kMagic[] = "TVKRECOVERY1\n";
constexpr std::size_t kMagicSize = sizeof kMagic - 1;
constexpr const char* kCopyPrefix = "recovery-";
constexpr const char* kCopySuffix = ".tvr";
constexpr const char* kLockSuffix = ".lock";

bool endsWith(const std::string& s, const std::string& end) {
    return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

std::string lockPathOf(const std::string& copyPath) {
    return copyPath.substr(0, copyPath.size() - std::strlen(kCopySuffix)) + kLockSuffix;
}

// mkdir -p with private folders; the reason when the folder is not there in the end.
Error makeFolder(const std::string& folder) {
    std::string path;
    std::size_t from = 0;
    while (from < folder.size()) {
        const std::size_t slash = folder.find('/', from + 1);
        path = folder.substr(0, slash == std::string::npos ? folder.size() : slash);
        from = slash == std::string::npos ? folder.size() : slash;
        if (path.empty()) continue;
        if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
            return WithLead(SystemFailure(errno), ErrorLead::CannotCreate, path);
    }
    struct stat st {};
    if (::stat(folder.c_str(), &st) != 0)
        return WithLead(SystemFailure(errno), ErrorLead::CannotCreate, folder);
    // A file of that name is in the way.
    if (!S_ISDIR(st.st_mode))
        return WithLead(SystemFailure(ENOTDIR), ErrorLead::CannotCreate, folder);
    return {};
}

std::string instanceName() {
    std::random_device device;
    std::mt19937_64 random(device() ^ static_cast<std::uint64_t>(::getpid()) << 20);
    constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    // The process number alone comes back after a restart; the random part does not.
    std::string s = std::to_string(::getpid()) + "-";
    for (int i = 0; i < 8; ++i) s += kLetters[random() % (sizeof kLetters - 1)];
    return s;
}

// Lock files whose program ended without a copy to leave (it never had unsaved work, or
// it was killed before its first copy) are of no use to anyone.
void removeLoneLocks(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind(kCopyPrefix, 0) != 0 || !endsWith(name, kLockSuffix)) continue;
        const std::string lock = folder + name;
        const std::string copy =
            lock.substr(0, lock.size() - std::strlen(kLockSuffix)) + kCopySuffix;
        struct stat st {};
        if (::lstat(copy.c_str(), &st) == 0) continue;  // offered at start, removed with it
        const int fd = ::open(lock.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) ::unlink(lock.c_str());
        ::close(fd);
    }
    ::closedir(dir);
}

}  // namespace

std::vector<std::uint8_t> EncodeRecoveryCopy(const std::string& fileName, const TDrawing& drawing,
                                             const DrawingSettings& settings) {
    std::vector<std::uint8_t> bytes(kMagic, kMagic + kMagicSize);
    ByteWriter w(bytes);
    WriteAnsiString(w, fileName);
    AppendDrawing(bytes, drawing, settings);
    return bytes;
}

Result<RecoveryHead> DecodeRecoveryHead(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < kMagicSize || std::memcmp(bytes.data(), kMagic, kMagicSize) != 0)
        return Failure(ErrorCode::NotARecoveryCopy);
    ByteReader in(bytes.data() + kMagicSize, bytes.size() - kMagicSize);
    RecoveryHead head;
    if (!ReadAnsiString(in, head.fileName)) return Failure(ErrorCode::EndsInDrawingName);
    if (head.fileName.find('\0') != std::string::npos) return Failure(ErrorCode::DrawingNameBroken);
    head.drawingOffset = bytes.size() - in.remaining();
    return head;
}

std::string RecoveryFolder() {
    const char* state = std::getenv("XDG_STATE_HOME");
    if (state && state[0] == '/') return std::string(state) + "/tervasko/";
    const char* home = std::getenv("HOME");
    if (home && home[0] == '/') return std::string(home) + "/.local/state/tervasko/";
    return {};
}

std::vector<RecoveryCopyInfo> FindOrphanedRecoveryCopies(const std::string& folder) {
    std::vector<RecoveryCopyInfo> copies;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return copies;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.rfind(kCopyPrefix, 0) != 0 || !endsWith(name, kCopySuffix)) continue;
        const std::string path = folder + (endsWith(folder, "/") ? "" : "/") + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        // A program that still runs holds the lock; a missing lock file means nobody does.
        const int lock = ::open(lockPathOf(path).c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        bool orphaned = lock < 0;
        if (lock >= 0) {
            orphaned = ::flock(lock, LOCK_SH | LOCK_NB) == 0;
            ::close(lock);
        }
        if (orphaned) copies.push_back({path, st.st_mtime});
    }
    ::closedir(dir);
    std::sort(copies.begin(), copies.end(),
              [](const RecoveryCopyInfo& a, const RecoveryCopyInfo& b) { return a.time > b.time; });
    return copies;
}

Error RemoveRecoveryCopy(const std::string& copyPath) {
    if (::unlink(copyPath.c_str()) != 0 && errno != ENOENT)
        return WithLead(SystemFailure(errno), ErrorLead::CannotDelete, copyPath);
    // A lock file left behind goes with the next start.
    ::unlink(lockPathOf(copyPath).c_str());
    return {};
}

Result<std::string> SetRecoveryCopyAside(const std::string& copyPath) {
    const std::string aside = copyPath + ".damaged";
    if (std::rename(copyPath.c_str(), aside.c_str()) != 0)
        return WithLead(SystemFailure(errno), ErrorLead::CannotSetAside, copyPath);
    ::unlink(lockPathOf(copyPath).c_str());
    return aside;
}

RecoveryStore::RecoveryStore(std::string folder) : folder_(std::move(folder)) {
    if (folder_.empty()) return;
    if (!endsWith(folder_, "/")) folder_ += "/";
    const std::string base = folder_ + kCopyPrefix + instanceName();
    lockPath_ = base + kLockSuffix;
    copyPath_ = base + kCopySuffix;
    // Told when the first copy is due, not now: a program that never has unsaved work
    // has nothing to protect.
    (void)setUp();
}

Error RecoveryStore::setUp() {
    if (folder_.empty()) return Failure(ErrorCode::NoStateFolder);
    if (Error failed = makeFolder(folder_)) return failed;
    RemoveStaleTemporaries(folder_);
    removeLoneLocks(folder_);
    const int fd = ::open(lockPath_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) return WithLead(SystemFailure(errno), ErrorLead::CannotCreate, lockPath_);
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        Error failed = WithLead(SystemFailure(errno), ErrorLead::CannotCreate, lockPath_);
        ::close(fd);
        ::unlink(lockPath_.c_str());
        return failed;
    }
    lockFd_ = fd;
    return {};
}

RecoveryStore::~RecoveryStore() {
    {
        std::unique_lock lock(mutex_);
        stop_ = true;
        pending_.reset();
    }
    wake_.notify_all();
    if (thread_.joinable()) thread_.join();
    if (!Active()) return;
    ::unlink(copyPath_.c_str());
    ::unlink(lockPath_.c_str());
    ::close(lockFd_);
}

void RecoveryStore::Submit(std::vector<std::uint8_t> bytes) {
    {
        std::unique_lock lock(mutex_);
        pending_ = std::move(bytes);
        if (!thread_.joinable()) thread_ = std::thread([this] { run(); });
    }
    wake_.notify_one();
}

Error RecoveryStore::Flush() {
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !busy_; });
    return lastError_;
}

void RecoveryStore::Remove() {
    std::unique_lock lock(mutex_);
    pending_.reset();
    idle_.wait(lock, [this] { return !busy_; });
    if (Active()) ::unlink(copyPath_.c_str());
}

void RecoveryStore::run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || pending_; });
        if (stop_) break;
        std::vector<std::uint8_t> bytes = std::move(*pending_);
        pending_.reset();
        busy_ = true;
        lock.unlock();
        Error written = Active() ? Error{} : setUp();
        if (!written) {
            written = WriteFileSafely(copyPath_, bytes.data(), bytes.size());
            if (written) written = WithLead(std::move(written), ErrorLead::CannotWrite, copyPath_);
        }
        // The copy's memory goes back before the lock is taken again, so that the next
        // copy handed over never waits for it.
        std::vector<std::uint8_t>().swap(bytes);
        // Told before the store is idle: whoever waited in Flush() finds it told.
        if (written_) written_(written);
        lock.lock();
        busy_ = false;
        lastError_ = std::move(written);
        idle_.notify_all();
    }
    busy_ = false;
    idle_.notify_all();
}

}  // namespace tervasko
