// The drawing reader on any bytes: it must refuse or read without fault, and what it reads
// (the chunk area's kept chunks too) must survive a save and a second read unchanged.
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
    for (const Error& note : first.dropped)
        if (EnglishText(note).empty()) std::abort();  // a dropped part is always named
    const std::vector<std::uint8_t> saved = EncodeDrawing(first.drawing, first.settings);
    DecodedDrawing second;
    if (DecodeDrawing(saved.data(), saved.size(), second)) std::abort();
    if (!second.hasExtension) std::abort();     // a save always writes the extension block
    if (!second.dropped.empty()) std::abort();  // a save writes only what reads back whole
    if (second.drawing.KeptChunks != first.drawing.KeptChunks) std::abort();
    if (EncodeDrawing(second.drawing, second.settings) != saved) std::abort();
    return 0;
}
