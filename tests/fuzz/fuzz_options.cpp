// The options file: any content gives a language the program has.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "document/options.h"

using namespace tervasko;

namespace {

// A scratch folder for the run, removed when the fuzzer exits.
char gFolder[] = "/tmp/fuzz-options-XXXXXX";

std::string folder() {
    static const bool made = [] {
        if (!mkdtemp(gFolder)) std::abort();
        std::atexit([] { std::filesystem::remove_all(gFolder); });
        return true;
    }();
    (void)made;
    return std::string(gFolder) + "/";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::ofstream(folder() + kOptionsFileName, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    const std::int32_t language = LoadOptions(folder());
    if (language < 0 || language >= kLanguageCount) std::abort();
    if (size < 4 && language != 0) std::abort();
    return 0;
}
