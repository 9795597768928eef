#pragma once

#include "document/drawmodel.h"
#include "tools/gesturestate.h"
#include "tools/toolhost.h"

namespace tervasko {

// Whether a gesture is under way: a curve after one to three clicks, or a drag (an
// instrument slid, turned or spread, a line, mark or arc being drawn, a pencil or eraser
// stroke, an element or text carried, the sheets panned).
bool GestureInProgress(const GestureState& g);

// Escape: ends the gesture under way without storing anything; every tool with a gesture
// under way cancels its own. The instruments go back to
// where the drag found them, a stroke's segments are taken away again, a curve's clicks and
// a carried element or text are forgotten (they stay where they were); then the sheets are
// drawn afresh. The button may still be held: the moves and the release that follow find no
// gesture and do what they do without one. False when there was nothing to cancel.
bool CancelGesture(ToolHost& host, TDrawing& drawing, GestureState& g);

}  // namespace tervasko
