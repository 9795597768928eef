// The pointer dispatch: for each of press, move and release, the ordered list of conditions
// and the branch that runs for the first one that holds. The branches are member functions
// of the tool objects in the gesture state; the conditions read those objects' flags.
// Reordering rows changes what the program does: the order is part of its behaviour.
#include "tools/dispatch.h"

#include <iterator>

#include "tools/cancel.h"
#include "tools/pointer.h"

namespace tervasko {
namespace {

using T = ToolItem;

struct Row {
    bool (*when)(const PointerContext&);
    void (*run)(PointerContext&);
};

bool both(const PointerContext& p, T tool, T mode) {
    return p.checked(tool) && p.checked(mode);
}

template <std::size_t N>
void dispatch(const Row (&rows)[N], PointerContext& p) {
    for (const Row& row : rows) {
        if (row.when(p)) {
            row.run(p);
            return;
        }
    }
}

// Press. Rows 1 to 13 (curves, texts, pencil and eraser, elements, hand and zoom) come
// before the instruments; a begun curve takes every press whatever tool is chosen. The set
// square's rows come last: its tool is the newest, and no row before them holds while it is
// chosen.
const Row kPressRows[] = {
    {[](const PointerContext& p) { return p.g.Curve.AwaitControl2; },
     [](PointerContext& p) { p.g.Curve.SecondControlPress(p); }},
    {[](const PointerContext& p) { return p.g.Curve.AwaitControl1; },
     [](PointerContext& p) { p.g.Curve.FirstControlPress(p); }},
    {[](const PointerContext& p) { return p.g.Curve.AwaitEnd; },
     [](PointerContext& p) { p.g.Curve.EndPress(p); }},
    {[](const PointerContext& p) { return p.checked(T::Kurven1); },
     [](PointerContext& p) { p.g.Curve.StartPress(p); }},
    {[](const PointerContext& p) { return both(p, T::Text1, T::TextVerschieben1); },
     [](PointerContext& p) { p.g.Text.DragPress(p); }},
    {[](const PointerContext& p) { return both(p, T::Text1, T::TextTextlschen1); },
     [](PointerContext& p) { p.g.Text.DeletePress(p); }},
    {[](const PointerContext& p) { return both(p, T::Text1, T::TextTexthinzufgen1); },
     [](PointerContext& p) { p.g.Text.AddPress(p); }},
    {[](const PointerContext& p) { return p.checked(T::Bleistift1) || p.checked(T::Radierer1); },
     [](PointerContext& p) { p.g.Stroke.Press(p); }},
    {[](const PointerContext& p) { return both(p, T::Text1, T::TextTextndern1); },
     [](PointerContext& p) { p.g.Text.ChangePress(p); }},
    {[](const PointerContext& p) { return both(p, T::Objekte1, T::ObjekteVerschieben1); },
     [](PointerContext& p) { p.g.Elements.DragPress(p); }},
    {[](const PointerContext& p) { return both(p, T::Objekte1, T::ObjekteLschen1); },
     [](PointerContext& p) { p.g.Elements.DeletePress(p); }},
    {[](const PointerContext& p) { return p.checked(T::Hand1); },
     [](PointerContext& p) { p.g.Pan.Press(p); }},
    {[](const PointerContext& p) { return p.checked(T::Zoom1); }, ZoomPress},
    {[](const PointerContext& p) { return both(p, T::Zirkel1, T::ZirkelKreisbogenzeichnen1); },
     [](PointerContext& p) { p.g.Compass.ArcPress(p); }},
    {[](const PointerContext& p) { return both(p, T::Zirkel1, T::ZirkelZirkelspanne1); },
     [](PointerContext& p) { p.g.Compass.SpanPress(p); }},
    {[](const PointerContext& p) { return both(p, T::Zirkel1, T::ZirkelVerschieben1); },
     [](PointerContext& p) { p.g.Compass.MovePress(p); }},
    {[](const PointerContext& p) { return both(p, T::Lineal1, T::LinealVerschieben1); },
     [](PointerContext& p) { p.g.Ruler.SlidePress(p); }},
    {[](const PointerContext& p) { return both(p, T::Lineal1, T::LinealDrehen1); },
     [](PointerContext& p) { p.g.Ruler.TurnPress(p); }},
    {[](const PointerContext& p) {
         return both(p, T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1);
     },
     [](PointerContext& p) { p.g.Protractor.MarkPress(p); }},
    {[](const PointerContext& p) { return both(p, T::Lineal1, T::LinealQuerzumLinealzeichnen1); },
     [](PointerContext& p) { p.g.Ruler.AcrossPress(p); }},
    {[](const PointerContext& p) { return both(p, T::Lineal1, T::LinealAnLinealentlangzeichnen1); },
     [](PointerContext& p) { p.g.Ruler.AlongPress(p); }},
    {[](const PointerContext& p) { return both(p, T::Winkelmesser1, T::WinkelmesserVerschieben1); },
     [](PointerContext& p) { p.g.Protractor.SlidePress(p); }},
    {[](const PointerContext& p) { return both(p, T::Winkelmesser1, T::WinkelmesserDrehen1); },
     [](PointerContext& p) { p.g.Protractor.TurnPress(p); }},
    {[](const PointerContext& p) { return both(p, T::Geodreieck1, T::GeodreieckVerschieben1); },
     [](PointerContext& p) { p.g.SetSquare.SlidePress(p); }},
    {[](const PointerContext& p) { return both(p, T::Geodreieck1, T::GeodreieckDrehen1); },
     [](PointerContext& p) { p.g.SetSquare.TurnPress(p); }},
    {[](const PointerContext& p) {
         return both(p, T::Geodreieck1, T::GeodreieckAnderlangenKanteentlangzeichnen1);
     },
     [](PointerContext& p) { p.g.SetSquare.LongEdgePress(p); }},
    {[](const PointerContext& p) {
         return both(p, T::Geodreieck1, T::GeodreieckAndenkurzenKantenentlangzeichnen1);
     },
     [](PointerContext& p) { p.g.SetSquare.LegPress(p); }},
    {[](const PointerContext& p) { return both(p, T::Geodreieck1, T::GeodreieckWinkelmarkieren1); },
     [](PointerContext& p) { p.g.SetSquare.MarkPress(p); }},
};

// Move. Rows 1 to 8 (text hover, curve previews, strokes, drags, element hover, panning)
// come before the instruments.
const Row kMoveRows[] = {
    {[](const PointerContext& p) {
         return p.checked(T::Text1) &&
                (p.checked(T::TextTextndern1) || p.checked(T::TextTextlschen1) ||
                 (p.checked(T::TextVerschieben1) && !p.g.Text.Dragging));
     },
     [](PointerContext& p) { p.g.Text.HoverScan(p); }},
    {[](const PointerContext& p) { return p.g.Curve.AwaitControl1 || p.g.Curve.AwaitControl2; },
     [](PointerContext& p) { p.g.Curve.Preview(p); }},
    {[](const PointerContext& p) { return p.g.Curve.AwaitEnd; },
     [](PointerContext& p) { p.g.Curve.Preview(p); }},
    {[](const PointerContext& p) { return p.g.Stroke.Stroking; },
     [](PointerContext& p) { p.g.Stroke.Segment(p); }},
    {[](const PointerContext& p) { return p.g.Text.Dragging; },
     [](PointerContext& p) { p.g.Text.DragPreview(p); }},
    {[](const PointerContext& p) { return p.g.Elements.Dragging; },
     [](PointerContext& p) { p.g.Elements.DragPreview(p); }},
    {[](const PointerContext& p) {
         return p.checked(T::Objekte1) &&
                (p.checked(T::ObjekteLschen1) || p.checked(T::ObjekteVerschieben1));
     },
     [](PointerContext& p) { p.g.Elements.HoverScan(p); }},
    {[](const PointerContext& p) { return p.g.Pan.Panning; },
     [](PointerContext& p) { p.g.Pan.Move(p); }},
    {[](const PointerContext& p) {
         return !p.g.Ruler.DrawingAcross && both(p, T::Lineal1, T::LinealQuerzumLinealzeichnen1);
     },
     [](PointerContext& p) { p.g.Ruler.AcrossHover(p); }},
    {[](const PointerContext& p) { return p.g.Ruler.DrawingAcross; },
     [](PointerContext& p) { p.g.Ruler.AcrossExtend(p); }},
    {[](const PointerContext& p) { return p.g.Compass.ArcDragging; },
     [](PointerContext& p) { p.g.Compass.ArcExtend(p); }},
    {[](const PointerContext& p) { return both(p, T::Zirkel1, T::ZirkelKreisbogenzeichnen1); },
     [](PointerContext& p) { p.g.Compass.ArcHover(p); }},
    {[](const PointerContext& p) { return p.g.Compass.SpanDragging; },
     [](PointerContext& p) { p.g.Compass.SpanMove(p); }},
    {[](const PointerContext& p) { return p.g.Protractor.MarkingDegree; },
     [](PointerContext& p) { p.g.Protractor.MarkExtend(p); }},
    {[](const PointerContext& p) {
         return both(p, T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1);
     },
     [](PointerContext& p) { p.g.Protractor.MarkHover(p); }},
    {[](const PointerContext& p) {
         return both(p, T::Lineal1, T::LinealAnLinealentlangzeichnen1) || p.g.Ruler.DrawingAlong;
     },
     [](PointerContext& p) { p.g.Ruler.AlongHoverOrExtend(p); }},
    {[](const PointerContext& p) { return p.g.Compass.Drag.Sliding; },
     [](PointerContext& p) { p.g.Compass.MoveMove(p); }},
    {[](const PointerContext& p) { return p.g.Ruler.Drag.Sliding; },
     [](PointerContext& p) { p.g.Ruler.SlideMove(p); }},
    {[](const PointerContext& p) { return p.g.Protractor.Drag.Sliding; },
     [](PointerContext& p) { p.g.Protractor.SlideMove(p); }},
    {[](const PointerContext& p) { return p.g.Ruler.Drag.Turning; },
     [](PointerContext& p) { p.g.Ruler.TurnMove(p); }},
    {[](const PointerContext& p) { return p.g.Protractor.Drag.Turning; },
     [](PointerContext& p) { p.g.Protractor.TurnMove(p); }},
    {[](const PointerContext& p) { return p.g.SetSquare.DrawingAlong; },
     [](PointerContext& p) { p.g.SetSquare.AlongExtend(p); }},
    {[](const PointerContext& p) { return p.g.SetSquare.MarkingDegree; },
     [](PointerContext& p) { p.g.SetSquare.MarkExtend(p); }},
    {[](const PointerContext& p) { return p.g.SetSquare.Drag.Sliding; },
     [](PointerContext& p) { p.g.SetSquare.SlideMove(p); }},
    {[](const PointerContext& p) { return p.g.SetSquare.Drag.Turning; },
     [](PointerContext& p) { p.g.SetSquare.TurnMove(p); }},
    {[](const PointerContext& p) {
         return both(p, T::Geodreieck1, T::GeodreieckAnderlangenKanteentlangzeichnen1);
     },
     [](PointerContext& p) { p.g.SetSquare.LongEdgeHover(p); }},
    {[](const PointerContext& p) {
         return both(p, T::Geodreieck1, T::GeodreieckAndenkurzenKantenentlangzeichnen1);
     },
     [](PointerContext& p) { p.g.SetSquare.LegHover(p); }},
    {[](const PointerContext& p) { return both(p, T::Geodreieck1, T::GeodreieckWinkelmarkieren1); },
     [](PointerContext& p) { p.g.SetSquare.MarkHover(p); }},
};

// Release: only the gesture flags count, the first set flag wins. Rows 1 to 4 (strokes,
// element and text drags, panning) come first.
const Row kReleaseRows[] = {
    {[](const PointerContext& p) { return p.g.Stroke.Stroking; },
     [](PointerContext& p) { p.g.Stroke.Release(p); }},
    {[](const PointerContext& p) { return p.g.Elements.Dragging; },
     [](PointerContext& p) { p.g.Elements.PutDown(p); }},
    {[](const PointerContext& p) { return p.g.Text.Dragging; },
     [](PointerContext& p) { p.g.Text.PutDown(p); }},
    {[](const PointerContext& p) { return p.g.Pan.Panning; },
     [](PointerContext& p) { p.g.Pan.Release(p); }},
    {[](const PointerContext& p) { return p.g.Compass.ArcDragging; },
     [](PointerContext& p) { p.g.Compass.ArcRelease(p); }},
    {[](const PointerContext& p) { return p.g.Compass.SpanDragging; },
     [](PointerContext& p) { p.g.Compass.SpanRelease(p); }},
    {[](const PointerContext& p) {
         return p.g.Protractor.MarkingDegree || p.g.Ruler.DrawingAlong || p.g.Ruler.DrawingAcross;
     },
     [](PointerContext& p) {
         if (p.g.Protractor.MarkingDegree)
             p.g.Protractor.MarkRelease(p);
         else if (p.g.Ruler.DrawingAlong)
             p.g.Ruler.AlongRelease(p);
         else
             p.g.Ruler.AcrossRelease(p);
     }},
    {[](const PointerContext& p) { return p.g.Compass.Drag.Sliding; },
     [](PointerContext& p) { p.g.Compass.MoveRelease(p); }},
    {[](const PointerContext& p) { return p.g.Ruler.Drag.Sliding; },
     [](PointerContext& p) { p.g.Ruler.SlideRelease(p); }},
    {[](const PointerContext& p) { return p.g.Protractor.Drag.Sliding; },
     [](PointerContext& p) { p.g.Protractor.SlideRelease(p); }},
    {[](const PointerContext& p) { return p.g.Ruler.Drag.Turning; },
     [](PointerContext& p) { p.g.Ruler.TurnRelease(p); }},
    {[](const PointerContext& p) { return p.g.Protractor.Drag.Turning; },
     [](PointerContext& p) { p.g.Protractor.TurnRelease(p); }},
    {[](const PointerContext& p) { return p.g.SetSquare.MarkingDegree; },
     [](PointerContext& p) { p.g.SetSquare.MarkRelease(p); }},
    {[](const PointerContext& p) { return p.g.SetSquare.DrawingAlong; },
     [](PointerContext& p) { p.g.SetSquare.AlongRelease(p); }},
    {[](const PointerContext& p) { return p.g.SetSquare.Drag.Sliding; },
     [](PointerContext& p) { p.g.SetSquare.SlideRelease(p); }},
    {[](const PointerContext& p) { return p.g.SetSquare.Drag.Turning; },
     [](PointerContext& p) { p.g.SetSquare.TurnRelease(p); }},
};

PointerContext context(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button,
                       int X, int Y) {
    const IntPoint stack = ViewTransform::StackFromPaintBox(X, Y);
    const ViewTransform view{host.PixelsPerMm(), host.SheetHeightPx(), drawing.PageHeightInch};
    return {host, drawing, g, view, X, Y, stack.x, stack.y, button};
}

}  // namespace

void PaintBox1MouseDown(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button,
                        int X, int Y) {
    PointerContext p = context(host, drawing, g, button, X, Y);
    g.PointerSheet = p.view.SheetAt(p.y);
    g.PointerSheetTop = p.view.SheetTopPx(g.PointerSheet);
    dispatch(kPressRows, p);
    host.ShowMeasurement(MeasureGesture(p));
}

void PaintBox1MouseMove(ToolHost& host, TDrawing& drawing, GestureState& g, int X, int Y) {
    PointerContext p = context(host, drawing, g, MouseButton::Left, X, Y);
    if (p.s() != 0) host.ShowPointerPosition(p.here());
    // With no gesture under way, what a mode shows under the pointer (the dot on an edge, the
    // ray of a degree) belongs to the sheet the pointer is over, not to that of the last press.
    if (!g.Pending()) {
        g.PointerSheet = p.view.SheetAt(p.y);
        g.PointerSheetTop = p.view.SheetTopPx(g.PointerSheet);
    }
    dispatch(kMoveRows, p);
    host.ShowMeasurement(MeasureGesture(p));
}

void PaintBox1MouseUp(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button, int X,
                      int Y) {
    PointerContext p = context(host, drawing, g, button, X, Y);
    dispatch(kReleaseRows, p);
    host.ShowMeasurement(MeasureGesture(p));
}

}  // namespace tervasko
