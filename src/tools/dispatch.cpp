// The pointer dispatch: for each of press, move and release, the ordered list of conditions
// and the branch that runs for the first one that holds. The branches live with their tools.
// Reordering rows changes what the program does: the order is part of its behaviour.
#include "tools/dispatch.h"

#include <iterator>

#include "tools/cancel.h"
#include "tools/compass.h"
#include "tools/curves.h"
#include "tools/elements.h"
#include "tools/handzoom.h"
#include "tools/pencil.h"
#include "tools/pointer.h"
#include "tools/protractor.h"
#include "tools/ruler.h"
#include "tools/texts.h"

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
// before the instruments; a begun curve takes every press whatever tool is chosen.
const Row kPressRows[] = {
    {[](const PointerContext& p) { return p.g.CurveAwaitControl2; }, CurveSecondControlPress},
    {[](const PointerContext& p) { return p.g.CurveAwaitControl1; }, CurveFirstControlPress},
    {[](const PointerContext& p) { return p.g.CurveAwaitEnd; }, CurveEndPress},
    {[](const PointerContext& p) { return p.checked(T::Kurven1); }, CurveStartPress},
    {[](const PointerContext& p) { return both(p, T::Text1, T::TextVerschieben1); }, TextDragPress},
    {[](const PointerContext& p) { return both(p, T::Text1, T::TextTextlschen1); },
     TextDeletePress},
    {[](const PointerContext& p) { return both(p, T::Text1, T::TextTexthinzufgen1); },
     TextAddPress},
    {[](const PointerContext& p) { return p.checked(T::Bleistift1) || p.checked(T::Radierer1); },
     StrokePress},
    {[](const PointerContext& p) { return both(p, T::Text1, T::TextTextndern1); }, TextChangePress},
    {[](const PointerContext& p) { return both(p, T::Objekte1, T::ObjekteVerschieben1); },
     ElementDragPress},
    {[](const PointerContext& p) { return both(p, T::Objekte1, T::ObjekteLschen1); },
     ElementDeletePress},
    {[](const PointerContext& p) { return p.checked(T::Hand1); }, PanPress},
    {[](const PointerContext& p) { return p.checked(T::Zoom1); }, ZoomPress},
    {[](const PointerContext& p) { return both(p, T::Zirkel1, T::ZirkelKreisbogenzeichnen1); },
     ArcPress},
    {[](const PointerContext& p) { return both(p, T::Zirkel1, T::ZirkelZirkelspanne1); },
     SpanPress},
    {[](const PointerContext& p) { return both(p, T::Zirkel1, T::ZirkelVerschieben1); },
     CompassMovePress},
    {[](const PointerContext& p) { return both(p, T::Lineal1, T::LinealVerschieben1); },
     RulerSlidePress},
    {[](const PointerContext& p) { return both(p, T::Lineal1, T::LinealDrehen1); }, RulerTurnPress},
    {[](const PointerContext& p) {
         return both(p, T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1);
     },
     MarkPress},
    {[](const PointerContext& p) { return both(p, T::Lineal1, T::LinealQuerzumLinealzeichnen1); },
     AcrossPress},
    {[](const PointerContext& p) { return both(p, T::Lineal1, T::LinealAnLinealentlangzeichnen1); },
     AlongPress},
    {[](const PointerContext& p) { return both(p, T::Winkelmesser1, T::WinkelmesserVerschieben1); },
     ProtractorSlidePress},
    {[](const PointerContext& p) { return both(p, T::Winkelmesser1, T::WinkelmesserDrehen1); },
     ProtractorTurnPress},
};

// Move. Rows 1 to 8 (text hover, curve previews, strokes, drags, element hover, panning)
// come before the instruments.
const Row kMoveRows[] = {
    {[](const PointerContext& p) {
         return p.checked(T::Text1) &&
                (p.checked(T::TextTextndern1) || p.checked(T::TextTextlschen1) ||
                 (p.checked(T::TextVerschieben1) && !p.g.TextDragging));
     },
     TextHoverScan},
    {[](const PointerContext& p) { return p.g.CurveAwaitControl1 || p.g.CurveAwaitControl2; },
     CurvePreview},
    {[](const PointerContext& p) { return p.g.CurveAwaitEnd; }, CurvePreview},
    {[](const PointerContext& p) { return p.g.Stroking; }, StrokeSegment},
    {[](const PointerContext& p) { return p.g.TextDragging; }, TextDragPreview},
    {[](const PointerContext& p) { return p.g.ElementDragging; }, ElementDragPreview},
    {[](const PointerContext& p) {
         return p.checked(T::Objekte1) &&
                (p.checked(T::ObjekteLschen1) || p.checked(T::ObjekteVerschieben1));
     },
     ElementHoverScan},
    {[](const PointerContext& p) { return p.g.Panning; }, PanMove},
    {[](const PointerContext& p) {
         return !p.g.DrawingAcross && both(p, T::Lineal1, T::LinealQuerzumLinealzeichnen1);
     },
     AcrossHover},
    {[](const PointerContext& p) { return p.g.DrawingAcross; }, AcrossExtend},
    {[](const PointerContext& p) { return p.g.ArcDragging; }, ArcExtend},
    {[](const PointerContext& p) { return both(p, T::Zirkel1, T::ZirkelKreisbogenzeichnen1); },
     ArcHover},
    {[](const PointerContext& p) { return p.g.SpanDragging; }, SpanMove},
    {[](const PointerContext& p) { return p.g.MarkingDegree; }, MarkExtend},
    {[](const PointerContext& p) {
         return both(p, T::Winkelmesser1, T::WinkelmesserGradzahlmitBleistiftmarkieren1);
     },
     MarkHover},
    {[](const PointerContext& p) {
         return both(p, T::Lineal1, T::LinealAnLinealentlangzeichnen1) || p.g.DrawingAlong;
     },
     AlongHoverOrExtend},
    {[](const PointerContext& p) { return p.g.ZirkelMoving; }, CompassMoveMove},
    {[](const PointerContext& p) { return p.g.LinealMoving; }, RulerSlideMove},
    {[](const PointerContext& p) { return p.g.WinkelMoving; }, ProtractorSlideMove},
    {[](const PointerContext& p) { return p.g.LinealTurning; }, RulerTurnMove},
    {[](const PointerContext& p) { return p.g.WinkelTurning; }, ProtractorTurnMove},
};

// Release: only the gesture flags count, the first set flag wins. Rows 1 to 4 (strokes,
// element and text drags, panning) come first.
const Row kReleaseRows[] = {
    {[](const PointerContext& p) { return p.g.Stroking; }, StrokeRelease},
    {[](const PointerContext& p) { return p.g.ElementDragging; }, ElementPutDown},
    {[](const PointerContext& p) { return p.g.TextDragging; }, TextPutDown},
    {[](const PointerContext& p) { return p.g.Panning; }, PanRelease},
    {[](const PointerContext& p) { return p.g.ArcDragging; }, ArcRelease},
    {[](const PointerContext& p) { return p.g.SpanDragging; }, SpanRelease},
    {[](const PointerContext& p) {
         return p.g.MarkingDegree || p.g.DrawingAlong || p.g.DrawingAcross;
     },
     [](PointerContext& p) {
         if (p.g.MarkingDegree)
             MarkRelease(p);
         else if (p.g.DrawingAlong)
             AlongRelease(p);
         else
             AcrossRelease(p);
     }},
    {[](const PointerContext& p) { return p.g.ZirkelMoving; }, CompassMoveRelease},
    {[](const PointerContext& p) { return p.g.LinealMoving; }, RulerSlideRelease},
    {[](const PointerContext& p) { return p.g.WinkelMoving; }, ProtractorSlideRelease},
    {[](const PointerContext& p) { return p.g.LinealTurning; }, RulerTurnRelease},
    {[](const PointerContext& p) { return p.g.WinkelTurning; }, ProtractorTurnRelease},
};

PointerContext context(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button,
                       int X, int Y) {
    const IntPoint stack = ViewTransform::StackFromPaintBox(X, Y);
    return {host, drawing, g, X, Y, stack.x, stack.y, button};
}

}  // namespace

void PaintBox1MouseDown(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button,
                        int X, int Y) {
    PointerContext p = context(host, drawing, g, button, X, Y);
    g.PointerSheet = p.view().SheetAt(p.y);
    g.PointerSheetTop = p.view().SheetTopPx(g.PointerSheet);
    NoteGestureStart(drawing, g);
    dispatch(kPressRows, p);
}

void PaintBox1MouseMove(ToolHost& host, TDrawing& drawing, GestureState& g, int X, int Y) {
    if (host.PixelsPerMm() != 0) host.ShowPointerPosition(X, Y);
    PointerContext p = context(host, drawing, g, MouseButton::Left, X, Y);
    dispatch(kMoveRows, p);
}

void PaintBox1MouseUp(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button, int X,
                      int Y) {
    PointerContext p = context(host, drawing, g, button, X, Y);
    dispatch(kReleaseRows, p);
}

}  // namespace tervasko
