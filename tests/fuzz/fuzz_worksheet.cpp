// The worksheet: a drawing's PDF1 chunk, read from the file and handed to Qt PDF as the
// program does (checked, then its pages rendered small and drawn beneath a sheet), without
// fault however the PDF is broken.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>

#include "document/drawingfile.h"
#include "worksheet/worksheet.h"

using namespace tervasko;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static char name[] = "fuzz_worksheet";
    static char platform[] = "-platform";
    static char offscreen[] = "offscreen";
    static char* argv[] = {name, platform, offscreen, nullptr};
    static int argc = 3;
    static QGuiApplication app(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodedDrawing in;
    if (DecodeDrawing(data, size, in) || !in.drawing.Worksheet) return 0;
    const Result<WorksheetInfo> info = CheckWorksheet(*in.drawing.Worksheet);
    if (!info.ok()) return 0;
    WorksheetDocument document;
    if (!document.Open(in.drawing.Worksheet)) return 0;
    static QImage sheet(64, 90, QImage::Format_RGB32);
    QPainter painter(&sheet);
    // At 0.3 pixels a millimetre an A4 page is 63 × 89 pixels; a page of two metres 600.
    for (int page = 0; page < static_cast<int>(info->pages.size()); ++page)
        DrawWorksheetImage(painter, document.Render(page, 0.3), document, page, 0.3, sheet.rect());
    return 0;
}
