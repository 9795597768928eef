#include <gtest/gtest.h>

#include "platform/numeric.h"
#include "view/viewgeometry.h"

namespace tervasko {
namespace {

const double kA4W = 210 / MmPerInch, kA4H = 297 / MmPerInch;

TEST(ViewGeometry, SheetAndPaintBoxSizesFollowZoomResolutionAndPageCount) {
    const struct {
        double zoom;
        int pages;
        int sheetW, sheetH, boxW, boxH;
    } cases[] = {
        {100, 1, 794, 1123, 804, 1133},
        {100, 2, 794, 1123, 1608, 2256},
        {50, 1, 397, 561, 407, 571},
        {300, 1, 2381, 3368, 2391, 3378},
    };
    for (const auto& c : cases) {
        const ViewGeometry g = ViewGeometry::Compute(c.zoom, 96, kA4W, kA4H);
        EXPECT_EQ(g.SheetWidthPx, c.sheetW) << c.zoom;
        EXPECT_EQ(g.SheetHeightPx, c.sheetH) << c.zoom;
        EXPECT_EQ(g.PaintBoxSize(c.pages), (IntPoint{c.boxW, c.boxH})) << c.zoom << " " << c.pages;
    }
    EXPECT_NEAR(ViewGeometry::Compute(100, 96, kA4W, kA4H).PixelsPerMm, 3.7795350, 1e-7);
}

TEST(ViewGeometry, SheetUnderThePointerAndItsReadout) {
    const ViewGeometry g = ViewGeometry::Compute(100, 96, kA4W, kA4H);
    EXPECT_EQ(g.SheetAt(0), 0);  // the margin strip belongs to the first sheet
    EXPECT_EQ(g.SheetAt(5 + 1122), 0);
    EXPECT_EQ(g.SheetAt(5 + 1123), 1);
    EXPECT_EQ(PointerReadout({100 / g.PixelsPerMm, 0}, ','), "26,46 mm, 0,00 mm");
    EXPECT_EQ(PointerReadout({100 / g.PixelsPerMm, 297}, '.'), "26.46 mm, 297.00 mm");
}

}  // namespace
}  // namespace tervasko
