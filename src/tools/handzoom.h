#pragma once

#include "tools/tool.h"
#include "tools/toolhost.h"
#include "tools/toolparts.h"

namespace tervasko {

// Hand, zoom tool and mouse wheel: the ways besides the scroll bars and the zoom field to
// change what part of the sheets is in view.

inline constexpr double kZoomStep = 1.5;  // factor per click
inline constexpr int kWheelStepPx = 20;   // per notch

// The hand drags the view: the drawing follows the pointer. The anchor stays where the press
// was; since the pointer's paint-box position moves with the view, the view lands where it
// was at the press plus the pointer's travel on the screen, reversed.
struct PanTool final : Tool {
    bool Panning = false;

    // The view stays where the drag has taken it.
    bool Busy() const override { return Panning; }
    void Cancel(ToolHost&, TDrawing&) override { Forget(); }
    void Forget() override { Panning = false; }

    void Press(PointerContext& p);
    void Move(PointerContext& p);
    void Release(PointerContext& p);
};

// Zoom in (left button), out (right) or neither (middle), then centre the scroll box on the
// pressed point at the new zoom.
void ZoomPress(PointerContext& p);

// What the zoom field makes of a value it is given: limited to 1 .. 300 percent, then
// rounded to a whole number, halves to even.
int ZoomFieldValue(double percent);

// One notch of the mouse wheel: the view moves 20 pixels up or down.
void WheelNotch(ToolHost& host, bool down);

}  // namespace tervasko
