#pragma once

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

namespace tervasko::benchsupport {

// A field of /proc/self/status in KiB ("VmRSS", "VmHWM"), or -1.
inline long StatusKiB(const char* field) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return -1;
    char line[256];
    long kib = -1;
    const std::size_t n = std::strlen(field);
    while (std::fgets(line, sizeof line, f))
        if (std::strncmp(line, field, n) == 0 && line[n] == ':') {
            kib = std::strtol(line + n + 1, nullptr, 10);
            break;
        }
    std::fclose(f);
    return kib;
}

// Sets the peak (VmHWM) back to what is resident now.
inline bool ResetPeak() {
    std::ofstream clear("/proc/self/clear_refs");
    clear << "5";
    return static_cast<bool>(clear.flush());
}

}  // namespace tervasko::benchsupport
