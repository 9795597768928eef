#pragma once

// A scratch folder for targets that must go through real files, made on first use and
// removed when the fuzzer exits.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tervasko::fuzz {

inline char gScratch[] = "/tmp/tervasko-fuzz-XXXXXX";

inline std::string ScratchFolder() {
    static const bool made = [] {
        if (!mkdtemp(gScratch)) std::abort();
        std::atexit([] { std::filesystem::remove_all(gScratch); });
        return true;
    }();
    (void)made;
    return std::string(gScratch) + "/";
}

}  // namespace tervasko::fuzz
