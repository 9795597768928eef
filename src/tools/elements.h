#pragma once

#include "document/drawmodel.h"
#include "tools/tool.h"
#include "tools/toolhost.h"
#include "tools/toolparts.h"

namespace tervasko {

// Picking drawn elements: the element under the pointer is highlighted in red as the pointer
// moves (the hover scan); a press deletes it or starts dragging it. Only lines, arcs and
// circles can be picked.

// Hit tolerance in pixels; a distance must be strictly less.
inline constexpr double kElementHitPx = 3;

// Whether the pointer at pixel (qx, qy) of a sheet hits the element as that sheet draws it at
// s pixels per mm; the sheet begins at `sheetTopMm` in drawing millimetres.
// A line: the band of half-width 3 around its straight line, within its length of both end
// points; a zero-length line is never hit. Arcs and circles: the whole circle whose radius is
// half the box width. Curves and other kinds: never.
bool ElementHit(const TDrawElement& e, double s, double qx, double qy, double sheetTopMm = 0);

// Pen width in pixels of the highlight and the drag preview: twice the element's, at least 2.
int HighlightPenWidth(double widthMm, double s);

// The highlighted element is the gesture state's Hover.
struct ElementTool final : Tool {
    bool Dragging = false;

    // A carried element stays where it was.
    bool Busy() const override { return Dragging; }
    void Cancel(ToolHost&, TDrawing&) override { Forget(); }
    void Forget() override { Dragging = false; }
    // In the object tools' modes: the kind and size of the element under the pointer.
    bool HoverMeasure(const PointerContext& p, Measurement& m) const override;

    void HoverScan(PointerContext& p);
    void DeletePress(PointerContext& p);
    void DragPress(PointerContext& p);
    void DragPreview(PointerContext& p);
    void PutDown(PointerContext& p);
};

// "Letzes Objekt löschen": removes the last element, if any.
void DeleteLastElement(ToolHost& host, TDrawing& drawing);

}  // namespace tervasko
