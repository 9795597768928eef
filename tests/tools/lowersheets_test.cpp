// The pointer means the same on every sheet: what a tool stores from a pointer position is
// drawn by the next paint cycle on that very pixel, and what is drawn on a pixel is found
// there, on lower sheets too, whose true tops lie a fraction of a pixel away from the
// rounded sheet pitch.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/fakewindow.h"
#include "view/drawobjects.h"

namespace tervasko::tooltest {
namespace {

using T = ToolItem;
using Op = RecordingCanvas::Op;

struct Place {
    int sheet, zoom;
};

// The second and the tenth sheet at a small, the usual and a large zoom. At zoom 100 the
// pitch of 1123 pixels is 0.48 pixels longer than a sheet, so the tenth sheet starts 4.3
// pixels below where dividing stack pixels by the scale would put it.
const Place kPlaces[] = {{1, 10}, {1, 100}, {1, 150}, {9, 10}, {9, 100}, {9, 150}};

class LowerSheets : public ToolTest {
protected:
    Place at{};

    void on(Place place) {
        at = place;
        host.zoom = place.zoom;
        host.pages = 10;
        drawing.NewAll();  // frees the texts' strings too
        host.screen.clear();
        g = GestureState{};
    }
    ViewTransform view() const {
        return {host.PixelsPerMm(), host.SheetHeightPx(), drawing.PageHeightInch};
    }
    // Paint-box position of pixel (px, py) of the sheet under test. At zoom 10 a sheet is 79
    // by 112 pixels: every pixel of these tests lies inside it.
    int X(int px) const { return 5 + px; }
    int Y(int py) const { return 5 + at.sheet * host.SheetHeightPx() + py; }
    // The element as the paint cycle draws it on the sheet under test, in sheet pixels.
    RecordingCanvas::Entry drawn(const TDrawElement& e) const {
        RecordingCanvas sheet;
        DrawElement(sheet, e, view().SheetTopMm(at.sheet), host.PixelsPerMm());
        EXPECT_EQ(sheet.entries().size(), 1u);
        return sheet.entries().empty() ? RecordingCanvas::Entry{} : sheet.entries().front();
    }
};

TEST_F(LowerSheets, PencilAndEraserStrokesShowOnThePixelsThePointerPassedOver) {
    for (const Place place : kPlaces) {
        for (const T tool : {T::Bleistift1, T::Radierer1}) {
            SCOPED_TRACE(::testing::Message() << "sheet " << place.sheet << ", zoom " << place.zoom
                                              << (tool == T::Radierer1 ? ", eraser" : ""));
            on(place);
            host.choose({tool});
            const int sheetH = host.SheetHeightPx();
            // The stroke goes down to the last row of the sheet.
            const IntPoint path[] = {{40, 30}, {61, 47}, {70, sheetH - 1}};
            press(X(path[0].x), Y(path[0].y));
            move(X(path[1].x), Y(path[1].y));
            move(X(path[2].x), Y(path[2].y));
            release(X(7), Y(9));  // the release adds nothing
            ASSERT_EQ(drawing.Elements.Count(), 2u);
            for (std::uint32_t i = 0; i < 2; ++i) {
                const auto line = drawn(element(i));
                EXPECT_EQ(line.op, Op::Line);
                EXPECT_EQ(line.points[0], path[i]);
                EXPECT_EQ(line.points[1], path[i + 1]);
            }
            // What the stroke drew on the screen at once is what the sheet shows.
            const auto onScreen = host.screen.entriesOf(Op::Line);
            ASSERT_EQ(onScreen.size(), 2u);
            EXPECT_EQ(onScreen[1].points[1], (IntPoint{X(70), Y(sheetH - 1)}));
        }
    }
}

TEST_F(LowerSheets, TextsLandUnderThePressAndArePickedAndMovedWhereTheyShow) {
    for (const Place place : kPlaces) {
        SCOPED_TRACE(::testing::Message() << "sheet " << place.sheet << ", zoom " << place.zoom);
        on(place);
        host.choose({T::Text1, T::TextTexthinzufgen1});
        host.dialog.text = u"Punkt A";
        press(X(50), Y(60));
        ASSERT_EQ(drawing.Texts.Count(), 1u);
        const ViewTransform v = view();
        EXPECT_EQ(v.SheetBufferPixel({text(0).X1, text(0).Y1}, place.sheet), (IntPoint{50, 60}));
        // The renderer measures the box; here it is 12 by 8 pixels.
        TTextElement& t = *drawing.Texts.Select(0);
        t.X2 = t.X1 + 12 / s();
        t.Y2 = t.Y1 + 8 / s();

        host.choose({T::Text1, T::TextVerschieben1});
        move(X(61), Y(67));  // the box's bottom-right pixel
        EXPECT_TRUE(g.Hover.Found);
        move(X(50), Y(59));  // one row above it
        EXPECT_FALSE(g.Hover.Found);
        move(X(50), Y(60));
        ASSERT_TRUE(g.Hover.Found);
        press(X(50), Y(60));
        move(X(70), Y(90));
        release(X(70), Y(90));
        EXPECT_EQ(v.SheetBufferPixel({text(0).X1, text(0).Y1}, place.sheet), (IntPoint{70, 90}));
    }
}

TEST_F(LowerSheets, LinesAndArcsDrawnThereArePickedMovedAndDeletedThere) {
    for (const Place place : kPlaces) {
        SCOPED_TRACE(::testing::Message() << "sheet " << place.sheet << ", zoom " << place.zoom);
        on(place);
        // A line along the ruler, laid horizontally 40 pixels down the sheet.
        const double s = host.PixelsPerMm();
        drawing.Placement.LinealX = 0;
        drawing.Placement.LinealY = 40 / s;
        drawing.Placement.LinealAngle = 0;
        host.choose({T::Lineal1, T::LinealAnLinealentlangzeichnen1});
        press(X(20), Y(40));
        move(X(90), Y(40));
        release(X(90), Y(40));
        ASSERT_EQ(drawing.Elements.Count(), 1u);
        const auto line = drawn(element(0));
        ASSERT_EQ(line.points.size(), 2u);
        EXPECT_EQ(line.points[0].y, 40);

        // A quarter arc of the compass, swept counter-clockwise, radius 20 pixels.
        drawing.Placement.ZirkelX = 40 / s;
        drawing.Placement.ZirkelY = 70 / s;
        drawing.Placement.ZirkelSpan = 20 / s;
        host.choose({T::Zirkel1, T::ZirkelKreisbogenzeichnen1});
        press(X(60), Y(70));
        move(X(54), Y(56));
        move(X(40), Y(50));
        release(X(40), Y(50));
        ASSERT_EQ(drawing.Elements.Count(), 2u);
        const auto arc = drawn(element(1));
        EXPECT_EQ(arc.op, Op::Arc);
        EXPECT_EQ(arc.points[0], (IntPoint{20, 50}));  // the box as the needle's sheet has it
        EXPECT_EQ(arc.points[1], (IntPoint{60, 90}));

        host.choose({T::Objekte1, T::ObjekteVerschieben1});
        move(X(55), Y(42));  // two pixels below the line
        ASSERT_TRUE(g.Hover.Found);
        EXPECT_EQ(g.Hover.Index, 0);
        move(X(40), Y(90));  // on the arc's circle, straight below the needle
        ASSERT_TRUE(g.Hover.Found);
        EXPECT_EQ(g.Hover.Index, 1);
        press(X(40), Y(90));
        move(X(50), Y(100));
        release(X(50), Y(100));
        const auto moved = drawn(element(1));
        EXPECT_EQ(moved.points[0], (IntPoint{30, 60}));

        host.choose({T::Objekte1, T::ObjekteLschen1});
        move(X(55), Y(38));  // two pixels above the line
        ASSERT_TRUE(g.Hover.Found);
        press(X(55), Y(38));
        ASSERT_EQ(drawing.Elements.Count(), 1u);
        EXPECT_EQ(element(0).Kind, ekArc);
    }
}

TEST_F(LowerSheets, TheReadoutShowsTheMillimetresOfALineDrawnThroughThePixel) {
    for (const Place place : kPlaces) {
        SCOPED_TRACE(::testing::Message() << "sheet " << place.sheet << ", zoom " << place.zoom);
        on(place);
        drawing.Placement.LinealAngle = 30;  // no fallback: the foot is worked out
        host.choose({T::Lineal1, T::LinealQuerzumLinealzeichnen1});
        move(X(61), Y(83));
        ASSERT_TRUE(host.readout.has_value());
        const PointD shown = *host.readout;
        press(X(61), Y(83));
        release(X(61), Y(83));
        ASSERT_EQ(drawing.Elements.Count(), 1u);
        // A line across, begun and ended at the pixel, is the press point after the guide's
        // truncation to thousandths of a millimetre.
        EXPECT_NEAR(element(0).X1, shown.x, 2e-3);
        EXPECT_NEAR(element(0).Y1, shown.y, 2e-3);
    }
}

}  // namespace
}  // namespace tervasko::tooltest
