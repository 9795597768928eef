// The drawing reader on any bytes: it must refuse or read without fault, and what it reads
// must survive a save and a second read unchanged.
#include <cstdint>
#include <cstdlib>

#include "document/drawingfile.h"

using namespace tervasko;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodedDrawing first;
    if (const Error error = DecodeDrawing(data, size, first)) {
        if (EnglishText(error).empty()) std::abort();  // a refusal always says why
        return 0;
    }
    const std::vector<std::uint8_t> saved = EncodeDrawing(first.drawing, first.settings);
    DecodedDrawing second;
    if (DecodeDrawing(saved.data(), saved.size(), second)) std::abort();
    if (!second.hasExtension) std::abort();  // a save always writes the extension block
    if (EncodeDrawing(second.drawing, second.settings) != saved) std::abort();
    return 0;
}
