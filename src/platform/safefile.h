#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tervasko {

// Replaces a file only once its new content is completely on disk: the bytes go to a
// temporary file in the target's folder, which is renamed over the target on commit().
// Until then, and whenever anything fails, the old file stays exactly as it was, and a
// destroyed writer that was not committed removes its temporary file.
class SafeFileWriter {
public:
    explicit SafeFileWriter(std::string targetPath);
    ~SafeFileWriter();
    SafeFileWriter(const SafeFileWriter&) = delete;
    SafeFileWriter& operator=(const SafeFileWriter&) = delete;

    bool open();
    // Buffered; after the first failure every call returns false and error() keeps the reason.
    bool write(const void* data, std::size_t size);
    bool write(const std::string& bytes) { return write(bytes.data(), bytes.size()); }
    bool commit();

    // The system's reason for the first failure, e.g. "Permission denied"; empty when none.
    const std::string& error() const { return error_; }
    const std::string& targetPath() const { return target_; }

private:
    bool flushBuffer();
    bool fail(const std::string& reason);
    void discard();

    std::string target_;
    std::string temp_;
    int fd_ = -1;
    bool failed_ = false;
    bool committed_ = false;
    std::string error_;
    std::vector<char> buffer_;
};

// Reads a whole file. On failure returns false and sets *error to the system's reason.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& out, std::string* error);

}  // namespace tervasko
