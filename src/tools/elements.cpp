#include "tools/elements.h"

#include <algorithm>
#include <cmath>

#include "tools/gesturestate.h"
#include "tools/pointer.h"

namespace tervasko {
namespace {

bool namesElement(const PointerContext& p, std::int32_t i) {
    return p.g.Hover.Kind == HoverState::List::Elements && i >= 0 &&
           static_cast<std::uint32_t>(i) < p.drawing.Elements.Count();
}

// The highlighted element, or nullptr when the index no longer names one (the drawing was
// replaced or shortened since the scan).
TDrawElement* hoveredElement(PointerContext& p) {
    return namesElement(p, p.g.Hover.Index) ? p.drawing.Elements.Select(p.g.Hover.Index) : nullptr;
}

// The element in red, as the renderer draws it, shifted by (dx, dy) paint-box pixels.
void drawHighlight(PointerContext& p, const TDrawElement& e, int dx, int dy) {
    const double s = p.s();
    const int sheet = p.g.Hover.Sheet;
    const auto at = [&](double x, double y) {
        const IntPoint q = ScreenPointOn(p, {x, y}, sheet);
        return IntPoint{q.x + dx, q.y + dy};
    };
    Canvas& c = p.host.ScreenCanvas();
    c.setPen(kRed, HighlightPenWidth(e.Width, s));
    c.setBrushHollow();
    const IntPoint p1 = at(e.X1, e.Y1), p2 = at(e.X2, e.Y2);
    switch (e.Kind) {
        case ekLine:
            c.moveTo(p1.x, p1.y);
            c.lineTo(p2.x, p2.y);
            break;
        case ekArc: {
            const IntPoint p3 = at(e.X3, e.Y3), p4 = at(e.X4, e.Y4);
            c.arc(p1.x, p1.y, p2.x, p2.y, p3.x, p3.y, p4.x, p4.y);
            break;
        }
        case ekCircle:
            c.ellipse(p1.x, p1.y, p2.x, p2.y);
            break;
        default:
            break;  // never picked
    }
}

}  // namespace

bool ElementHit(const TDrawElement& e, double s, double qx, double qy, double sheetTopMm) {
    switch (e.Kind) {
        case ekLine: {
            // Every hit lies within 3 pixels of the segment between the rounded end points,
            // so within 4 of the unrounded box: most elements of a large drawing stop here,
            // before any rounding. The test runs in the scale of the whole stack, where the
            // pointer moves by the sheet's top once rather than every element by it.
            const double qyStack = qy + sheetTopMm * s;
            if (qx < std::min(e.X1, e.X2) * s - 4 || qx > std::max(e.X1, e.X2) * s + 4 ||
                qyStack < std::min(e.Y1, e.Y2) * s - 4 || qyStack > std::max(e.Y1, e.Y2) * s + 4)
                return false;
            const double ax = std::nearbyint(e.X1 * s),
                         ay = std::nearbyint((e.Y1 - sheetTopMm) * s);
            const double bx = std::nearbyint(e.X2 * s),
                         by = std::nearbyint((e.Y2 - sheetTopMm) * s);
            const double ll = (bx - ax) * (bx - ax) + (by - ay) * (by - ay);
            const double qa = (qx - ax) * (qx - ax) + (qy - ay) * (qy - ay);
            const double qb = (qx - bx) * (qx - bx) + (qy - by) * (qy - by);
            // Written so that coordinates that are not numbers miss.
            if (!(qa <= ll && qb <= ll)) return false;
            const double l = std::sqrt(ll);
            if (!(l > 0)) return false;  // no normal to a line of no length
            const double nx = (ay - by) / l, ny = (bx - ax) / l;
            return std::fabs((qx - ax) * nx + (qy - ay) * ny) < kElementHitPx;
        }
        case ekArc:
        case ekCircle: {
            const double y1 = e.Y1 - sheetTopMm, y2 = e.Y2 - sheetTopMm;
            const double cx = (e.X1 + (e.X2 - e.X1) / 2) * s, cy = (y1 + (y2 - y1) / 2) * s;
            // Half the box width, whichever way round the box is stored.
            const double r = std::fabs((e.X2 - e.X1) / 2 * s);
            return std::fabs(std::hypot(qx - cx, qy - cy) - r) < kElementHitPx;
        }
        default:
            return false;
    }
}

int HighlightPenWidth(double widthMm, double s) {
    const double w = std::nearbyint(2 * widthMm * s);
    if (!(w >= 2)) return 2;
    return w > 1 << 20 ? 1 << 20 : static_cast<int>(w);
}

void ElementTool::HoverScan(PointerContext& p) {
    GestureState& g = p.g;
    const double s = p.s();
    g.Hover.Found = false;
    // Elements are hit where the sheet under the pointer shows them, in its pixels.
    const int sheet = p.sheetHere();
    const PointD q = p.sheetPixel(sheet);
    const double top = p.view.SheetTopMm(sheet);
    const TDynaArray<TDrawElement>& list = p.drawing.Elements;
    // The element drawn last lies on top: it is tested first.
    for (std::int32_t i = static_cast<std::int32_t>(list.Count()) - 1; i >= 0; --i) {
        if (!ElementHit(list.At(static_cast<std::uint32_t>(i)), s, q.x, q.y, top)) continue;
        const TDrawElement& e = *p.drawing.Elements.Select(i);
        p.host.Paint();
        g.Hover.Sheet = sheet;
        drawHighlight(p, e, 0, 0);
        g.Hover.Found = true;
        g.Hover.Valid = true;
        g.Hover.Index = i;
        g.Hover.Kind = HoverState::List::Elements;
        return;
    }
    if (g.Hover.Valid) {
        g.Hover.Valid = false;
        p.host.Paint();  // takes the highlight away
    }
}

void ElementTool::DeletePress(PointerContext& p) {
    if (!p.g.Hover.Valid || !namesElement(p, p.g.Hover.Index)) return;
    p.g.Hover.Valid = false;
    const TDrawElement removed = p.drawing.Elements.At(static_cast<std::uint32_t>(p.g.Hover.Index));
    p.drawing.Elements.Delete(p.g.Hover.Index);
    p.host.RecordEdit(ElementRemoved(static_cast<std::uint32_t>(p.g.Hover.Index), removed),
                      "Objekt löschen");
    p.host.Paint();
}

void ElementTool::DragPress(PointerContext& p) {
    if (!p.g.Hover.Valid || !namesElement(p, p.g.Hover.Index)) return;
    Dragging = true;
    p.g.Hover.Valid = false;
    p.g.AnchorX = p.x;
    p.g.AnchorY = p.y;
}

void ElementTool::DragPreview(PointerContext& p) {
    p.host.Paint();
    // The element at its old place stays visible under the red copy.
    if (const TDrawElement* e = hoveredElement(p))
        drawHighlight(p, *e, p.x - p.g.AnchorX, p.y - p.g.AnchorY);
}

void ElementTool::PutDown(PointerContext& p) {
    Dragging = false;
    if (TDrawElement* e = hoveredElement(p)) {
        // A whole number of pixels at the zoom of the moment; every point moves, whatever the
        // kind uses.
        const double dx = p.view.LengthMm(p.x - p.g.AnchorX);
        const double dy = p.view.LengthMm(p.y - p.g.AnchorY);
        const TDrawElement before = *e;
        e->X1 += dx, e->X2 += dx, e->X3 += dx, e->X4 += dx;
        e->Y1 += dy, e->Y2 += dy, e->Y3 += dy, e->Y4 += dy;
        p.host.RecordEdit(ElementChanged(static_cast<std::uint32_t>(p.g.Hover.Index), before, *e),
                          "Objekt verschieben");
    }
    p.host.Paint();
}

bool ElementTool::HoverMeasure(const PointerContext& p, Measurement& m) const {
    if (!p.checked(ToolItem::Objekte1) ||
        !(p.checked(ToolItem::ObjekteLschen1) || p.checked(ToolItem::ObjekteVerschieben1)))
        return false;
    const HoverState& h = p.g.Hover;
    if (!h.Found || h.Kind != HoverState::List::Elements || h.Index < 0 ||
        static_cast<std::uint32_t>(h.Index) >= p.drawing.Elements.Count()) {
        m = Measurement{};
        return true;
    }
    m = MeasureElement(p.drawing.Elements.At(static_cast<std::uint32_t>(h.Index)));
    return true;
}

void DeleteLastElement(ToolHost& host, TDrawing& drawing) {
    if (drawing.Elements.Count() == 0) return;
    const std::uint32_t last = drawing.Elements.Count() - 1;
    const TDrawElement removed = drawing.Elements.At(last);
    drawing.Elements.Delete(static_cast<std::int32_t>(last));
    host.RecordEdit(ElementRemoved(last, removed), "Letzes Objekt löschen");
    host.Paint();
}

}  // namespace tervasko
