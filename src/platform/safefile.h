#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/error.h"

namespace tervasko {

// Replaces a file only once its new content is completely on disk. The bytes go to an
// unnamed file in the target's folder (O_TMPFILE), which gets a name only when it is
// complete; where the file system cannot make unnamed files, to a named temporary file
// beside the target. commit() puts it in place of the target with one rename. Until then,
// and whenever anything fails, the old file stays exactly as it was, and a destroyed writer
// that was not committed leaves nothing behind.
//
// A named temporary file is ".<target name>.~tvk-<random>" and stays locked (flock) while
// its writer lives; a process killed while writing can leave one, and
// RemoveStaleTemporaries clears them. A target without any write permission bit is
// refused, as an editor refuses to save over a write-protected file.
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::string targetPath);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    Error open();
    // Buffered; after the first failure every call fails with that failure's reason.
    Error write(const void* data, std::size_t size);
    Error write(const std::string& bytes) { return write(bytes.data(), bytes.size()); }
    Error commit();

    // The reason for the first failure, e.g. the system's "Permission denied"; empty when
    // none. For a caller that hands write() to code that only passes on success or not.
    const Error& failure() const { return error_; }
    const std::string& targetPath() const { return target_; }

private:
    Error flushBuffer();
    Error fail(const Error& reason);
    void discard();
    Error openNamed(const std::string& folder);
    Error giveName();

    std::string target_;
    std::string temp_;  // the temporary file's name, once it has one
    int fd_ = -1;
    bool failed_ = false;
    bool committed_ = false;
    Error error_;
    std::vector<char> buffer_;
};

// Writes `size` bytes as the whole new content of `path` through a SafeFileWriter: the
// file is replaced completely or not at all.
Error WriteFileSafely(const std::string& path, const void* data, std::size_t size);

// Removes the temporary files that writers killed while writing left in `folder`: only
// regular files named as SafeFileWriter names them, owned by this user, locked by no living
// writer and last changed at least `minAgeSeconds` ago. Returns how many were removed.
int RemoveStaleTemporaries(const std::string& folder, int minAgeSeconds = 60);

// The largest file ReadWholeFile takes unless told otherwise (bytes).
inline constexpr std::uint64_t kMaxReadSize = std::uint64_t{1} << 30;

// Reads a whole regular file with one allocation of its size. A pipe, a device, a folder or
// a file larger than maxSize is refused without reading (and without waiting for a writer),
// and a lack of memory is a failure like any other.
Result<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                std::uint64_t maxSize = kMaxReadSize);

// A regular file read front to back in parts, for a reader that puts each part where it
// belongs instead of holding the whole file first. Refuses what ReadWholeFile refuses; a
// file that ends before its measured size or grows beyond it while read is a failure.
class FileReader {
public:
    FileReader() = default;
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;
    ~FileReader();

    Error Open(const std::string& path, std::uint64_t maxSize = kMaxReadSize);
    std::uint64_t Size() const { return size_; }
    std::uint64_t Left() const { return size_ - done_; }
    // Reads exactly `count` bytes into `to`.
    Error Read(void* to, std::size_t count);
    // Reads what is left into `out`.
    Error ReadRest(std::vector<std::uint8_t>& out);
    // Succeeds when the file ends where it was measured to end; closes it.
    Error Finish();

private:
    Error fail(Error reason);
    int fd_ = -1;
    std::uint64_t size_ = 0, done_ = 0;
};

// Reads at most `count` bytes from the start of a regular file (fewer when it is shorter).
Result<std::vector<std::uint8_t>> ReadFileHead(const std::string& path, std::size_t count);

}  // namespace tervasko
