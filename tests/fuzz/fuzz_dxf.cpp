// The drawing reader and the DXF writer: whatever a file holds, the DXF text is made
// without fault and complete.
#include <cstdint>
#include <cstdlib>

#include "document/drawingfile.h"
#include "export/dxfwriter.h"

using namespace tervasko;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodedDrawing in;
    if (DecodeDrawing(data, size, in)) return 0;
    const int pages = static_cast<int>(in.settings.PageCount);
    const std::string dxf = DxfText(in.drawing, pages);
    if (dxf.find("EOF") == std::string::npos) std::abort();  // the text is complete
    return 0;
}
