#include "tools/compass.h"

#include <cmath>

#include "tools/gesturestate.h"
#include "tools/pointer.h"
#include "tools/toolmeasures.h"

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

// The pencil point jumps to the pointer; on the needle itself the direction stays.
void spanStep(PointerContext& p) {
    p.g.NoteInstrumentPointer(p.x, p.y);
    InstrumentPlacement& pl = p.placement();
    // A snap point near the pointer catches the pencil leg: the span reaches it exactly.
    const auto caught = CatchPoint(p, p.Q());
    const PointD q = caught ? *caught : p.Q();
    const PointD at =
        caught ? p.instrumentPx(q.x, q.y - p.sheetTopMm()) : PointD{double(p.x), double(p.y)};
    if (const auto a = LegAngle(at, needlePx(p))) p.drawing.ZirkelAngle = *a;
    const double dx = q.x - pl.ZirkelX;
    const double dy = q.y - (p.sheetTopMm() + pl.ZirkelY);
    pl.ZirkelSpan = std::sqrt(dx * dx + dy * dy);
    p.host.Paint();
    if (caught) DrawCatchMarker(p, *caught);
    p.host.UpdateEds();
}

// Turns the compass toward the pointer; false on the needle itself.
bool followPointer(PointerContext& p) {
    const auto a = LegAngle({double(p.x), double(p.y)}, needlePx(p));
    if (!a) return false;
    p.g.NoteInstrumentPointer(p.x, p.y);
    p.drawing.ZirkelAngle = *a;
    return true;
}

}  // namespace

void CompassTool::MovePress(PointerContext& p) {
    Drag.BeginSlide(p, p.placement().ZirkelX, p.placement().ZirkelY);
}

void CompassTool::MoveMove(PointerContext& p) {
    Drag.SlideTo(p, p.placement().ZirkelX, p.placement().ZirkelY);
}

void CompassTool::MoveRelease(PointerContext& p) {
    Drag.EndSlide(p, p.placement().ZirkelX, p.placement().ZirkelY);
}

void CompassTool::SpanPress(PointerContext& p) {
    SpanAtPress = p.placement().ZirkelSpan;
    LegAngleAtPress = p.drawing.ZirkelAngle;
    SpanDragging = true;
    spanStep(p);
}

void CompassTool::SpanMove(PointerContext& p) {
    spanStep(p);
}

void CompassTool::SpanRelease(PointerContext& p) {
    SpanDragging = false;
    spanStep(p);
}

void CompassTool::ArcHover(PointerContext& p) {
    if (!followPointer(p)) return;
    p.host.Paint();
}

void CompassTool::ArcPress(PointerContext& p) {
    // A press on the needle gives no direction to start from: no arc is begun. Straight
    // above it the leg points up; the sweep is judged by wrapped angle changes, so 270
    // serves as well as -90 there.
    const PointD needle = needlePx(p);
    const PointD at{double(p.x), double(p.y)};
    if (at == needle) return;
    SpanAtPress = p.placement().ZirkelSpan;
    LegAngleAtPress = p.drawing.ZirkelAngle;
    p.g.NoteInstrumentPointer(p.x, p.y);
    p.drawing.ZirkelAngle = LegAngle(at, needle).value_or(270.0);
    ArcDragging = true;
    const PointD q = p.Q();
    ArcStartX = q.x;
    ArcStartY = q.y;
    ArcStartAngle = p.drawing.ZirkelAngle;
    ArcDirectionSet = false;
    p.host.Paint();
}

void CompassTool::ArcExtend(PointerContext& p) {
    if (!followPointer(p)) return;
    const PointD q = p.Q();
    ArcEndX = q.x;
    ArcEndY = q.y;
    // The sense of the first turn, from the change wrapped into (-180, 180]: the leg angle
    // itself jumps from 270 to -90 straight above the needle.
    const double turned = WrapDegrees(p.drawing.ZirkelAngle - ArcStartAngle);
    if (!ArcDirectionSet && turned != 0) {
        ArcClockwise = turned > 0 ? 1 : 0;
        ArcDirectionSet = true;
    }
    p.host.Paint();
    DrawOverlay(p);
}

// The arc swept so far, in red over the sheets, once its sense is known.
void CompassTool::DrawOverlay(const PointerContext& p) const {
    if (!ArcDragging) return;
    Canvas& c = p.host.ScreenCanvas();
    c.setPen(kRed, 1);
    if (!ArcDirectionSet) return;
    const InstrumentPlacement& pl = p.placement();
    const ViewTransform& view = p.view;
    const IntPoint topLeft = view.PaintBoxPixelOfSheetRelative(
        {pl.ZirkelX - pl.ZirkelSpan, pl.ZirkelY - pl.ZirkelSpan}, p.g.PointerSheet);
    const IntPoint bottomRight = view.PaintBoxPixelOfSheetRelative(
        {pl.ZirkelX + pl.ZirkelSpan, pl.ZirkelY + pl.ZirkelSpan}, p.g.PointerSheet);
    const IntPoint e = ScreenPoint(p, {ArcEndX, ArcEndY});
    const IntPoint st = ScreenPoint(p, {ArcStartX, ArcStartY});
    if (ArcClockwise == 1)
        c.arc(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y, e.x, e.y, st.x, st.y);
    else
        c.arc(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y, st.x, st.y, e.x, e.y);
}

void CompassTool::ArcRelease(PointerContext& p) {
    ArcDragging = false;
    if (!ArcDirectionSet) return;
    TDrawElement* e = AddPenElement(p.host, p.drawing, "Kreisbogen zeichnen");
    if (e) {
        PointD b1, b2;
        boundingSquare(p.placement(), p.sheetTopMm(), b1, b2);
        e->Kind = ekArc;
        e->X1 = b1.x, e->Y1 = b1.y, e->X2 = b2.x, e->Y2 = b2.y;
        const PointD start{ArcStartX, ArcStartY}, end{ArcEndX, ArcEndY};
        const PointD p3 = ArcClockwise == 1 ? end : start;
        const PointD p4 = ArcClockwise == 1 ? start : end;
        e->X3 = p3.x, e->Y3 = p3.y, e->X4 = p4.x, e->Y4 = p4.y;
    }
    p.host.Paint();
}

void CompassTool::Cancel(ToolHost& host, TDrawing& drawing) {
    InstrumentPlacement& pl = drawing.Placement;
    double keep = 0;
    Drag.Undo(pl.ZirkelX, pl.ZirkelY, keep);
    if (SpanDragging || ArcDragging) {
        pl.ZirkelSpan = SpanAtPress;
        drawing.ZirkelAngle = LegAngleAtPress;
    }
    host.UpdateEds();
    Forget();
}

bool CompassTool::HoverMeasure(const PointerContext& p, Measurement& m) const {
    if (p.checked(ToolItem::Zirkel1) && (p.checked(ToolItem::ZirkelZirkelspanne1) ||
                                         p.checked(ToolItem::ZirkelKreisbogenzeichnen1))) {
        m = Measurement{Measurement::Kind::CompassSpan, p.placement().ZirkelSpan, 0};
        return true;
    }
    return false;
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
