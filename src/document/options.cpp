#include "document/options.h"

#include <vector>

#include "platform/safefile.h"

namespace tervasko {

std::int32_t LoadOptions(const std::string& programDir) {
    // Only the four bytes the file holds, and only from a regular file: a pipe or a device
    // in its place must neither hold up the start nor fill the memory.
    const Result<std::vector<std::uint8_t>> head = ReadFileHead(programDir + kOptionsFileName, 4);
    if (!head.ok() || head->size() < 4) return 0;
    const std::vector<std::uint8_t>& bytes = *head;
    const auto value = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
        static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24);
    return value >= 0 && value < kLanguageCount ? value : 0;
}

Error SaveOptions(const std::string& programDir, std::int32_t language) {
    const auto v = static_cast<std::uint32_t>(language);
    const std::uint8_t bytes[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                                   static_cast<std::uint8_t>(v >> 16),
                                   static_cast<std::uint8_t>(v >> 24)};
    return WriteFileSafely(programDir + kOptionsFileName, bytes, sizeof bytes);
}

}  // namespace tervasko
