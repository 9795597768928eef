// The drawing reader and the sheet renderer: any drawing is drawn onto a small picture
// without fault, however huge, tiny or broken its numbers (the sheet size included, which
// output checks only before it makes a picture of the sheet's size).
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdint>

#include "document/drawingfile.h"
#include "export/output/sheetrender.h"

using namespace tervasko;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    static char name[] = "fuzz_render";
    static char platform[] = "-platform";
    static char offscreen[] = "offscreen";
    static char* argv[] = {name, platform, offscreen, nullptr};
    static int argc = 3;
    // Kept to the end of the process and never destroyed: a static one would be destroyed
    // before the leak check at exit, which would then take its font caches for leaks.
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodedDrawing in;
    if (DecodeDrawing(data, size, in)) return 0;
    static QImage image(64, 90, QImage::Format_RGB32);
    QPainter painter(&image);
    const SheetInstruments all{true, true, true, (size & 1) != 0};
    const int sheets = static_cast<int>(in.settings.PageCount);
    // 20 dpi: an A4 sheet is about 165 x 234 pixels, of which the picture shows a corner.
    RenderSheet(painter, 20, in.drawing, sheets - 1, all, QRect(0, 0, 64, 90));
    return 0;
}
