#pragma once

#include "document/drawmodel.h"
#include "tools/gesturestate.h"
#include "tools/toolhost.h"

namespace tervasko {

// The three pointer handlers of the paint box. Positions are paint-box pixels. What an
// event does is decided by the tool menu's check marks and the gesture flags alone, in the
// fixed order of dispatch.cpp; the first row that applies runs, and only it.
void PaintBox1MouseDown(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button,
                        int X, int Y);
void PaintBox1MouseMove(ToolHost& host, TDrawing& drawing, GestureState& g, int X, int Y);
void PaintBox1MouseUp(ToolHost& host, TDrawing& drawing, GestureState& g, MouseButton button, int X,
                      int Y);

}  // namespace tervasko
