#include "view/viewgeometry.h"

#include <cstdio>

#include "platform/numeric.h"

namespace tervasko {

ViewGeometry ViewGeometry::Compute(double zoom, int dpi, double pageWidthInch,
                                   double pageHeightInch) {
    ViewGeometry g;
    g.PixelsPerMm = zoom * (dpi / MmPerInch) / 100;
    g.SheetWidthPx = DevicePixel(zoom * dpi * pageWidthInch / 100);
    g.SheetHeightPx = DevicePixel(zoom * dpi * pageHeightInch / 100);
    return g;
}

namespace {

std::string fixed2(double v, char separator) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    std::string s(buf);
    for (char& c : s)
        if (c == '.' || c == ',') c = separator;
    return s;
}

}  // namespace

std::string PointerReadout(PointD mm, char decimalSeparator) {
    return fixed2(mm.x, decimalSeparator) + " mm, " + fixed2(mm.y, decimalSeparator) + " mm";
}

}  // namespace tervasko
