#include "tools/compass.h"

#include <cmath>

namespace tervasko {
namespace {

PointD needlePx(const PointerContext& p) {
    return p.instrumentPx(p.placement().ZirkelX, p.placement().ZirkelY);
}

// Corners of the circle's bounding square in drawing millimetres.
void boundingSquare(const InstrumentPlacement& pl, double sheetTopMm, PointD& b1, PointD& b2) {
    b1 = {pl.ZirkelX - pl.ZirkelSpan, pl.ZirkelY - pl.ZirkelSpan + sheetTopMm};
    b2 = {pl.ZirkelX + pl.ZirkelSpan, pl.ZirkelY + pl.ZirkelSpan + sheetTopMm};
}

void moveTo(PointerContext& p) {
    FollowDrag(p, p.placement().ZirkelX, p.placement().ZirkelY, p.g.ZirkelPressX, p.g.ZirkelPressY,
               p.g.ZirkelXAtPress, p.g.ZirkelYAtPress);
}

// The pencil point jumps to the pointer; on the needle itself the direction stays.
void spanStep(PointerContext& p) {
    p.g.InstrPointerX = p.x;
    p.g.InstrPointerY = p.y;
    InstrumentPlacement& pl = p.placement();
    if (const auto a = LegAngle({double(p.x), double(p.y)}, needlePx(p)))
        p.drawing.ZirkelAngle = *a;
    const PointD q = p.Q();
    const double dx = q.x - pl.ZirkelX;
    const double dy = q.y - (p.sheetTopMm() + pl.ZirkelY);
    pl.ZirkelSpan = std::sqrt(dx * dx + dy * dy);
    p.host.Paint();
    p.host.UpdateEds();
}

// Turns the compass toward the pointer; false on the needle itself.
bool followPointer(PointerContext& p) {
    const auto a = LegAngle({double(p.x), double(p.y)}, needlePx(p));
    if (!a) return false;
    p.g.InstrPointerX = p.x;
    p.g.InstrPointerY = p.y;
    p.drawing.ZirkelAngle = *a;
    return true;
}

}  // namespace

void CompassMovePress(PointerContext& p) {
    p.g.ZirkelMoving = true;
    p.g.ZirkelPressX = p.x;
    p.g.ZirkelPressY = p.y;
    p.g.ZirkelXAtPress = p.placement().ZirkelX;
    p.g.ZirkelYAtPress = p.placement().ZirkelY;
}

void CompassMoveMove(PointerContext& p) {
    moveTo(p);
}

void CompassMoveRelease(PointerContext& p) {
    p.g.ZirkelMoving = false;
    moveTo(p);
}

void SpanPress(PointerContext& p) {
    p.g.SpanDragging = true;
    spanStep(p);
}

void SpanMove(PointerContext& p) {
    spanStep(p);
}

void SpanRelease(PointerContext& p) {
    p.g.SpanDragging = false;
    spanStep(p);
}

void ArcHover(PointerContext& p) {
    if (!followPointer(p)) return;
    p.host.Paint();
}

void ArcPress(PointerContext& p) {
    // A press on the needle gives no direction to start from: no arc is begun. Straight
    // above it the leg points up; the sweep is judged by wrapped angle changes, so 270
    // serves as well as -90 there.
    const PointD needle = needlePx(p);
    const PointD at{double(p.x), double(p.y)};
    if (at == needle) return;
    p.g.InstrPointerX = p.x;
    p.g.InstrPointerY = p.y;
    p.drawing.ZirkelAngle = LegAngle(at, needle).value_or(270.0);
    p.g.ArcDragging = true;
    const PointD q = p.Q();
    p.g.ArcStartX = q.x;
    p.g.ArcStartY = q.y;
    p.g.ArcStartAngle = p.drawing.ZirkelAngle;
    p.g.ArcDirectionSet = false;
    p.host.Paint();
}

void ArcExtend(PointerContext& p) {
    GestureState& g = p.g;
    if (!followPointer(p)) return;
    const PointD q = p.Q();
    g.ArcEndX = q.x;
    g.ArcEndY = q.y;
    // The sense of the first turn, from the change wrapped into (-180, 180]: the leg angle
    // itself jumps from 270 to -90 straight above the needle.
    const double turned = WrapDegrees(p.drawing.ZirkelAngle - g.ArcStartAngle);
    if (!g.ArcDirectionSet && turned != 0) {
        g.ArcClockwise = turned > 0 ? 1 : 0;
        g.ArcDirectionSet = true;
    }
    p.host.Paint();
    Canvas& c = p.host.ScreenCanvas();
    c.setPen(kRed, 1);
    if (!g.ArcDirectionSet) return;
    const InstrumentPlacement& pl = p.placement();
    const ViewTransform view = p.view();
    const IntPoint topLeft = view.PaintBoxPixelOfSheetRelative(
        {pl.ZirkelX - pl.ZirkelSpan, pl.ZirkelY - pl.ZirkelSpan}, g.PointerSheet);
    const IntPoint bottomRight = view.PaintBoxPixelOfSheetRelative(
        {pl.ZirkelX + pl.ZirkelSpan, pl.ZirkelY + pl.ZirkelSpan}, g.PointerSheet);
    const IntPoint e = ScreenPoint(p, {g.ArcEndX, g.ArcEndY});
    const IntPoint st = ScreenPoint(p, {g.ArcStartX, g.ArcStartY});
    if (g.ArcClockwise == 1)
        c.arc(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y, e.x, e.y, st.x, st.y);
    else
        c.arc(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y, st.x, st.y, e.x, e.y);
}

void ArcRelease(PointerContext& p) {
    GestureState& g = p.g;
    g.ArcDragging = false;
    if (!g.ArcDirectionSet) return;
    TDrawElement* e = AddPenElement(p.host, p.drawing, "Kreisbogen zeichnen");
    if (e) {
        PointD b1, b2;
        boundingSquare(p.placement(), p.sheetTopMm(), b1, b2);
        e->Kind = ekArc;
        e->X1 = b1.x, e->Y1 = b1.y, e->X2 = b2.x, e->Y2 = b2.y;
        const PointD start{g.ArcStartX, g.ArcStartY}, end{g.ArcEndX, g.ArcEndY};
        const PointD p3 = g.ArcClockwise == 1 ? end : start;
        const PointD p4 = g.ArcClockwise == 1 ? start : end;
        e->X3 = p3.x, e->Y3 = p3.y, e->X4 = p4.x, e->Y4 = p4.y;
    }
    p.host.Paint();
}

void AddCompassCircle(ToolHost& host, TDrawing& drawing, const GestureState& g) {
    if (TDrawElement* e = AddPenElement(host, drawing, "Kreis zeichnen")) {
        PointD b1, b2;
        boundingSquare(
            drawing.Placement,
            ViewTransform{host.PixelsPerMm(), host.SheetHeightPx(), drawing.PageHeightInch}
                .SheetTopMm(g.PointerSheet),
            b1, b2);
        e->Kind = ekCircle;
        e->X1 = b1.x, e->Y1 = b1.y, e->X2 = b2.x, e->Y2 = b2.y;
    }
    host.Paint();
}

}  // namespace tervasko
