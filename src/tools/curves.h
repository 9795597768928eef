#pragma once

#include <cstdint>

#include "tools/tool.h"
#include "tools/toolparts.h"

namespace tervasko {

// Cubic curves from four presses: start, end, first and second control point. Once begun, a
// curve takes the next presses whatever tool is chosen meanwhile, until it is stored or
// cancelled (Escape, a new or loaded drawing). Between the presses a preview on the sheet of
// the last press follows the pointer.

struct CurveTool final : Tool {
    bool AwaitEnd = false, AwaitControl1 = false, AwaitControl2 = false;
    // The points given so far in stack pixels.
    std::int32_t EndX = 0, EndY = 0, CtrlX = 0, CtrlY = 0;
    // The same three points in drawing millimetres, each taken at its own click: a change of
    // zoom or scroll between the clicks leaves the points already given where they were.
    double StartMmX = 0, StartMmY = 0, EndMmX = 0, EndMmY = 0;
    double CtrlMmX = 0, CtrlMmY = 0;

    bool Active() const { return AwaitEnd || AwaitControl1 || AwaitControl2; }

    bool Busy() const override { return false; }
    bool Waiting() const override { return Active(); }
    void Cancel(ToolHost&, TDrawing&) override { Forget(); }
    void Forget() override { AwaitEnd = AwaitControl1 = AwaitControl2 = false; }

    void StartPress(PointerContext& p);          // the start point
    void EndPress(PointerContext& p);            // the end point
    void FirstControlPress(PointerContext& p);   // the first control point
    void SecondControlPress(PointerContext& p);  // the second control point: stores the curve

    // The line from the start (end point awaited) or the curve with the pointer as the next
    // control point.
    void Preview(PointerContext& p);
};

}  // namespace tervasko
