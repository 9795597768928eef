// The options file: any content gives a language the program has.
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <string>

#include "document/options.h"
#include "scratch.h"

using namespace tervasko;

namespace {

std::string folder() {
    return fuzz::ScratchFolder();
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
