#include "platform/safefile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace tervasko {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;

std::string systemReason(int err) { return std::strerror(err); }

}  // namespace

SafeFileWriter::SafeFileWriter(std::string targetPath) : target_(std::move(targetPath)) {}

SafeFileWriter::~SafeFileWriter() { discard(); }

bool SafeFileWriter::fail(const std::string& reason) {
    if (!failed_) error_ = reason;
    failed_ = true;
    discard();
    return false;
}

void SafeFileWriter::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty() && !committed_) {
        ::unlink(temp_.c_str());
        temp_.clear();
    }
}

bool SafeFileWriter::open() {
    if (target_.empty()) return fail("No file name");
    std::error_code ec;
    // A link is followed: the file it names is replaced, the link stays.
    if (std::filesystem::is_symlink(target_, ec)) {
        const auto resolved = std::filesystem::weakly_canonical(target_, ec);
        if (!ec) target_ = resolved.string();
    }
    const auto status = std::filesystem::status(target_, ec);
    if (std::filesystem::is_directory(status)) return fail(systemReason(EISDIR));
    // Renaming over a device or a pipe would put a plain file in its place.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return fail("Not a regular file");
    std::string pattern = target_ + ".XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return fail(systemReason(errno));
    fd_ = fd;
    temp_ = name.data();
    // mkstemp makes the file private; give it the mode an ordinary new file would get, or
    // the mode of the file it replaces.
    struct stat old {};
    mode_t mode;
    if (::stat(target_.c_str(), &old) == 0) {
        mode = old.st_mode & 07777;
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    ::fchmod(fd_, mode);
    buffer_.reserve(kBufferSize);
    return true;
}

bool SafeFileWriter::flushBuffer() {
    std::size_t done = 0;
    while (done < buffer_.size()) {
        const ssize_t n = ::write(fd_, buffer_.data() + done, buffer_.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return fail(systemReason(errno));
        }
        done += static_cast<std::size_t>(n);
    }
    buffer_.clear();
    return true;
}

bool SafeFileWriter::write(const void* data, std::size_t size) {
    if (failed_ || fd_ < 0) return fail(error_.empty() ? "File is not open" : error_);
    const char* p = static_cast<const char*>(data);
    if (buffer_.size() + size > kBufferSize) {
        if (!flushBuffer()) return false;
        if (size >= kBufferSize) {
            buffer_.assign(p, p + size);
            return flushBuffer();
        }
    }
    buffer_.insert(buffer_.end(), p, p + size);
    return true;
}

bool SafeFileWriter::commit() {
    if (failed_ || fd_ < 0) return fail(error_.empty() ? "File is not open" : error_);
    if (!flushBuffer()) return false;
    if (::fsync(fd_) != 0) return fail(systemReason(errno));
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return fail(systemReason(errno));
    if (::rename(temp_.c_str(), target_.c_str()) != 0) return fail(systemReason(errno));
    committed_ = true;
    temp_.clear();
    return true;
}

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::string* error) {
    out.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = systemReason(errno);
        return false;
    }
    struct stat st {};
    int err = 0;
    if (::fstat(fd, &st) != 0) err = errno;
    else if (S_ISDIR(st.st_mode)) err = EISDIR;
    // The size is a hint; the loop reads until the end whatever the file turns out to hold.
    std::size_t filled = 0;
    out.resize(err == 0 && st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 4096);
    while (err == 0) {
        if (filled == out.size()) out.resize(out.size() * 2);
        const ssize_t n = ::read(fd, out.data() + filled, out.size() - filled);
        if (n < 0) {
            if (errno != EINTR) err = errno;
            continue;
        }
        if (n == 0) break;
        filled += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (err != 0) {
        out.clear();
        if (error) *error = systemReason(err);
        return false;
    }
    out.resize(filled);
    return true;
}

}  // namespace tervasko
