#include "tools/pencil.h"

#include "tools/pointer.h"
#include "tools/toolpixels.h"
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
    const double s = p.s();
    // Tool, colour and width are read anew for every segment: they may change mid-stroke.
    const bool eraser = p.checked(ToolItem::Radierer1);
    if (TDrawElement* e = p.drawing.AppendElement()) {
        p.host.SetChangedOnScreen();
        e->Color = eraser ? kWhite : p.host.PenColor();
        e->Width = eraser ? p.host.EraserWidth() : p.host.PenWidth();
        e->Kind = ekLine;
        e->X1 = g.AnchorX / s;
        e->Y1 = g.AnchorY / s;
        e->X2 = p.x / s;
        e->Y2 = p.y / s;
        // The same pen and points as the paint cycle will use, so the next cycle shows the
        // stroke unchanged.
        Canvas& c = p.host.ScreenCanvas();
        c.setPen(e->Color, ElementPenWidth(e->Width, s));
        const IntPoint a = PaintBoxPixel(e->X1, e->Y1, s);
        const IntPoint b = PaintBoxPixel(e->X2, e->Y2, s);
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

}  // namespace tervasko
