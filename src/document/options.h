#pragma once

#include <cstdint>
#include <string>

#include "platform/error.h"

namespace tervasko {

// "options.dat" in the program directory: the interface language as an i32 column index,
// 0 German, 1 English, 2 Italian, 3..18 further columns of the translation table.
inline constexpr const char* kOptionsFileName = "options.dat";
inline constexpr std::int32_t kLanguageCount = 19;

// The stored language, or 0 (German) when the file is missing, shorter than 4 bytes or
// holds a value outside 0..18.
std::int32_t LoadOptions(const std::string& programDir);

// Writes the language; an unwritable folder leaves the old file as it was. A failure holds
// the system's reason without naming the file.
Error SaveOptions(const std::string& programDir, std::int32_t language);

}  // namespace tervasko
