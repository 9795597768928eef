#include "platform/safefile.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <new>
#include <random>

#include "platform/writefaults.h"

namespace tervasko {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;
constexpr const char* kTempMark = ".~tvk-";
constexpr std::size_t kTempRandomLength = 6;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string baseOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string randomSuffix() {
    static thread_local std::mt19937_64 random{std::random_device{}() ^
                                               static_cast<std::uint64_t>(::getpid()) << 32};
    constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string s;
    for (std::size_t i = 0; i < kTempRandomLength; ++i)
        s += kLetters[random() % (sizeof kLetters - 1)];
    return s;
}

// ".<base>.~tvk-" followed by the random part, and nothing else.
bool isTemporaryName(const char* name) {
    const std::size_t length = std::strlen(name);
    if (name[0] != '.' || length < 1 + std::strlen(kTempMark) + kTempRandomLength) return false;
    const char* mark = name + length - kTempRandomLength - std::strlen(kTempMark);
    return mark > name && std::strncmp(mark, kTempMark, std::strlen(kTempMark)) == 0;
}

void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // a folder that cannot be synced still has the new name
    ::close(fd);
}

// Opens a file for reading without waiting for a writer at the other end of a pipe, and
// only when it is a regular file. Returns the descriptor, or -1 with the reason.
int openRegular(const std::string& path, struct stat& st, Error& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) {
        error = SystemFailure(errno);
        return -1;
    }
    int err = 0;
    if (::fstat(fd, &st) != 0)
        err = errno;
    else if (S_ISDIR(st.st_mode))
        err = EISDIR;
    if (err == 0 && !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = Failure(ErrorCode::NotRegularFile);
        return -1;
    }
    if (err != 0) {
        ::close(fd);
        error = SystemFailure(err);
        return -1;
    }
    return fd;
}

// Reads up to `size` bytes at the start of the file; returns the count read, or -1.
ssize_t readFully(int fd, std::uint8_t* data, std::size_t size, int& err) {
    std::size_t filled = 0;
    while (filled < size) {
        const ssize_t n = ::read(fd, data + filled, size - filled);
        if (n < 0) {
            if (errno == EINTR) continue;
            err = errno;
            return -1;
        }
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(filled);
}

}  // namespace

SafeFileWriter::SafeFileWriter(std::string targetPath) : target_(std::move(targetPath)) {}

SafeFileWriter::~SafeFileWriter() {
    discard();
}

Error SafeFileWriter::fail(const Error& reason) {
    if (!failed_) error_ = reason;
    failed_ = true;
    discard();
    return error_;
}

void SafeFileWriter::discard() {
    if (!temp_.empty() && !committed_) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
    if (fd_ >= 0) {
        ::close(fd_);  // an unnamed file vanishes with its last descriptor
        fd_ = -1;
    }
}

Error SafeFileWriter::open() {
    if (target_.empty()) return fail(Failure(ErrorCode::NoFileName));
    std::error_code ec;
    // A link is followed: the file it names is replaced, the link stays.
    if (std::filesystem::is_symlink(target_, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(target_, ec);
        if (!ec) target_ = resolved.string();
    }
    struct stat old {};
    const bool exists = ::stat(target_.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) return fail(SystemFailure(EISDIR));
    // Renaming over a device or a pipe would put a plain file in its place.
    if (exists && !S_ISREG(old.st_mode)) return fail(Failure(ErrorCode::NotRegularFile));
    // Decided by the mode bits: the file's owner (and root) could write it anyway, but a
    // file that somebody protected is not silently replaced.
    if (exists && (old.st_mode & 0222) == 0) return fail(Failure(ErrorCode::WriteProtected));
    // The mode an ordinary new file would get, or the mode of the file it replaces.
    mode_t mode;
    if (exists) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }

    const std::string folder = folderOf(target_);
    RemoveStaleTemporaries(folder);
    if (const int err = StepFault(WriteStep::Create)) return fail(SystemFailure(err));
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd_ < 0) {
        const int err = errno;
        // Older kernels and some file systems cannot make unnamed files.
        if (err != EOPNOTSUPP && err != EISDIR && err != EINVAL) return fail(SystemFailure(err));
        if (Error failed = openNamed(folder)) return failed;
    }
    // Taken before the file has a name, so no cleaner ever sees it unlocked while we write.
    ::flock(fd_, LOCK_EX | LOCK_NB);
    ::fchmod(fd_, mode);
    buffer_.reserve(kBufferSize);
    return {};
}

Error SafeFileWriter::openNamed(const std::string& folder) {
    const std::string prefix = folder + "/." + baseOf(target_) + kTempMark;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = prefix + randomSuffix();
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd >= 0) {
            fd_ = fd;
            temp_ = name;
            return {};
        }
        if (errno != EEXIST) return fail(SystemFailure(errno));
    }
    return fail(SystemFailure(EEXIST));
}

// Links the unnamed file into the folder: straight to the target when there is none yet,
// otherwise under a temporary name that commit() renames over the target.
Error SafeFileWriter::giveName() {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    const auto link = [&](const std::string& name) {
        if (const int err = StepFault(WriteStep::Name)) return err;
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0)
            return 0;
        const int err = errno;
        if (err != ENOENT || ::access("/proc/self/fd", F_OK) == 0) return err;
        // Without /proc the descriptor itself is linked; that needs more privileges.
        return ::linkat(fd_, "", AT_FDCWD, name.c_str(), AT_EMPTY_PATH) == 0 ? 0 : errno;
    };
    struct stat st {};
    if (::lstat(target_.c_str(), &st) != 0 && errno == ENOENT) {
        const int err = link(target_);
        if (err == 0) {
            committed_ = true;
            return {};
        }
        if (err != EEXIST) return fail(SystemFailure(err));
    }
    const std::string prefix = folderOf(target_) + "/." + baseOf(target_) + kTempMark;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = prefix + randomSuffix();
        const int err = link(name);
        if (err == 0) {
            temp_ = name;
            return {};
        }
        if (err != EEXIST) return fail(SystemFailure(err));
    }
    return fail(SystemFailure(EEXIST));
}

Error SafeFileWriter::flushBuffer() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = WriteSome(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(SystemFailure(errno));
        }
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
    return {};
}

Error SafeFileWriter::write(const void* data, std::size_t size) {
    if (failed_ || fd_ < 0) return fail(error_ ? error_ : Failure(ErrorCode::FileNotOpen));
    const char* p = static_cast<const char*>(data);
    if (buffer_.size() + size > kBufferSize) {
        if (Error failed = flushBuffer()) return failed;
        if (size >= kBufferSize) {
            std::size_t done = 0;
            while (done < size) {
                const ssize_t n = WriteSome(fd_, p + done, size - done);
                if (n < 0) {
                    if (errno == EINTR) continue;
                    return fail(SystemFailure(errno));
                }
                done += static_cast<std::size_t>(n);
            }
            return {};
        }
    }
    buffer_.insert(buffer_.end(), p, p + size);
    return {};
}

Error SafeFileWriter::commit() {
    if (failed_ || fd_ < 0) return fail(error_ ? error_ : Failure(ErrorCode::FileNotOpen));
    if (Error failed = flushBuffer()) return failed;
    if (const int err = StepFault(WriteStep::Sync)) return fail(SystemFailure(err));
    if (::fsync(fd_) != 0) return fail(SystemFailure(errno));
    if (temp_.empty())
        if (Error failed = giveName()) return failed;
    if (!committed_) {
        if (const int err = StepFault(WriteStep::Name)) return fail(SystemFailure(err));
        if (::rename(temp_.c_str(), target_.c_str()) != 0) return fail(SystemFailure(errno));
        committed_ = true;
        temp_.clear();
    }
    syncFolder(folderOf(target_));
    const int fd = fd_;
    fd_ = -1;
    ::close(fd);  // the data was synced; nothing can fail here that the file would show
    return {};
}

Error WriteFileSafely(const std::string& path, const void* data, std::size_t size) {
    SafeFileWriter file(path);
    if (Error failed = file.open()) return failed;
    if (Error failed = file.write(data, size)) return failed;
    return file.commit();
}

int RemoveStaleTemporaries(const std::string& folder, int minAgeSeconds) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return 0;
    const int dirFd = ::dirfd(dir);
    const std::time_t now = std::time(nullptr);
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        if (!isTemporaryName(entry->d_name)) continue;
        struct stat st {};
        if (::fstatat(dirFd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (!S_ISREG(st.st_mode) || st.st_uid != ::geteuid() || now - st.st_mtime < minAgeSeconds)
            continue;
        const int fd =
            ::openat(dirFd, entry->d_name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        // A writer that still lives holds the lock.
        struct stat opened {};
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &opened) == 0 &&
            opened.st_ino == st.st_ino && opened.st_dev == st.st_dev &&
            ::unlinkat(dirFd, entry->d_name, 0) == 0)
            ++removed;
        ::close(fd);
    }
    ::closedir(dir);
    return removed;
}

Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path, std::uint64_t maxSize) {
    struct stat st {};
    Error opening;
    const int fd = openRegular(path, st, opening);
    if (fd < 0) return opening;
    const auto size = static_cast<std::uint64_t>(st.st_size);
    const auto failWith = [&](Error reason) {
        ::close(fd);
        return reason;
    };
    if (size > maxSize)
        return failWith(Failure(ErrorCode::FileTooLarge,
                                {maxSize % (1 << 20) == 0 ? std::to_string(maxSize >> 20) + " MB"
                                                          : std::to_string(maxSize) + " bytes"}));
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        return failWith(SystemFailure(ENOMEM));
    }
    int err = 0;
    const ssize_t got = readFully(fd, bytes.data(), bytes.size(), err);
    if (got < 0) return failWith(SystemFailure(err));
    // A file that grows while it is read is not what fstat measured.
    std::uint8_t probe = 0;
    if (static_cast<std::size_t>(got) == bytes.size() && readFully(fd, &probe, 1, err) != 0)
        return failWith(err ? SystemFailure(err) : Failure(ErrorCode::FileChanged));
    ::close(fd);
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
}

FileReader::~FileReader() {
    if (fd_ >= 0) ::close(fd_);
}

Error FileReader::fail(Error reason) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    return reason;
}

Error FileReader::Open(const std::string& path, std::uint64_t maxSize) {
    if (fd_ >= 0) ::close(fd_);
    struct stat st {};
    Error opening;
    fd_ = openRegular(path, st, opening);
    if (fd_ < 0) return opening;
    size_ = static_cast<std::uint64_t>(st.st_size);
    done_ = 0;
    if (size_ > maxSize)
        return fail(Failure(ErrorCode::FileTooLarge,
                            {maxSize % (1 << 20) == 0 ? std::to_string(maxSize >> 20) + " MB"
                                                      : std::to_string(maxSize) + " bytes"}));
    return {};
}

Error FileReader::Read(void* to, std::size_t count) {
    if (fd_ < 0) return fail(Failure(ErrorCode::FileNotOpen));
    if (count > Left()) return fail(Failure(ErrorCode::FileChanged));
    int err = 0;
    const ssize_t got = readFully(fd_, static_cast<std::uint8_t*>(to), count, err);
    if (got < 0) return fail(SystemFailure(err));
    if (static_cast<std::size_t>(got) != count) return fail(Failure(ErrorCode::FileChanged));
    done_ += count;
    return {};
}

Error FileReader::ReadRest(std::vector<std::uint8_t>& out) {
    try {
        out.resize(static_cast<std::size_t>(Left()));
    } catch (const std::bad_alloc&) {
        return fail(SystemFailure(ENOMEM));
    }
    return Read(out.data(), out.size());
}

Error FileReader::Finish() {
    if (fd_ < 0) return fail(Failure(ErrorCode::FileNotOpen));
    if (Left() != 0) return fail(Failure(ErrorCode::FileChanged));
    std::uint8_t probe = 0;
    int err = 0;
    if (readFully(fd_, &probe, 1, err) != 0)
        return fail(err ? SystemFailure(err) : Failure(ErrorCode::FileChanged));
    ::close(fd_);
    fd_ = -1;
    return {};
}

Result<std::vector<std::uint8_t>> ReadFileHead(const std::string& path, std::size_t count) {
    struct stat st {};
    Error opening;
    const int fd = openRegular(path, st, opening);
    if (fd < 0) return opening;
    std::vector<std::uint8_t> out(count);
    int err = 0;
    const ssize_t got = readFully(fd, out.data(), count, err);
    ::close(fd);
    if (got < 0) return SystemFailure(err);
    out.resize(static_cast<std::size_t>(got));
    return out;
}

}  // namespace tervasko
