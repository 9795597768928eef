#include "tools/pencil.h"

#include "tools/pointer.h"
#include "view/drawobjects.h"

namespace tervasko {

void StrokeTool::Press(PointerContext& p) {
    Stroking = true;
    FirstElement = p.drawing.Elements.Count();
    p.g.AnchorX = p.x;
    p.g.AnchorY = p.y;
}

void StrokeTool::Segment(PointerContext& p) {
    GestureState& g = p.g;
    // Tool, colour and width are read anew for every segment: they may change mid-stroke.
    const bool eraser = p.checked(ToolItem::Radierer1);
    if (TDrawElement* e = p.drawing.AppendElement()) {
        p.host.DrawnAheadOfSheets();
        e->Color = eraser ? kWhite : p.host.PenColor();
        e->Width = eraser ? p.host.EraserWidth() : p.host.PenWidth();
        e->Kind = ekLine;
        // Both ends measured on the sheet of the press, as the instruments measure.
        const int sheet = g.PointerSheet;
        const PointD from = p.view.StackToMm(g.AnchorX, g.AnchorY, sheet);
        const PointD to = p.Q();
        e->X1 = from.x, e->Y1 = from.y;
        e->X2 = to.x, e->Y2 = to.y;
        // The same pen and points as the paint cycle will use, so the next cycle shows the
        // stroke unchanged.
        Canvas& c = p.host.ScreenCanvas();
        c.setPen(e->Color, ElementPenWidth(e->Width, p.s()));
        const IntPoint a = ScreenPoint(p, from);
        const IntPoint b = ScreenPoint(p, to);
        c.moveTo(a.x, a.y);
        c.lineTo(b.x, b.y);
    }
    g.AnchorX = p.x;
    g.AnchorY = p.y;
}

void StrokeTool::Release(PointerContext& p) {
    Stroking = false;
    // The whole stroke, however many segments, is one step.
    const std::uint32_t first = FirstElement, count = p.drawing.Elements.Count();
    if (count > first)
        p.host.RecordEdit(ElementsAppended(first, count - first),
                          p.checked(ToolItem::Radierer1) ? "Radierer" : "Bleistift");
    // Nothing is drawn: the segments are on the screen already.
    p.host.SheetsCatchUp();
}

void StrokeTool::Cancel(ToolHost&, TDrawing& drawing) {
    while (drawing.Elements.Count() > FirstElement)
        drawing.Elements.Delete(static_cast<std::int32_t>(drawing.Elements.Count()) - 1);
    Forget();
}

}  // namespace tervasko
