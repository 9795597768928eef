#pragma once

#include "tools/pointer.h"

namespace tervasko {

// Pencil and eraser: while a button is held, every pointer move adds one line from the
// previous pointer position and draws it on the screen at once, without a paint cycle. The
// eraser's lines are white, with the eraser's width; they hide what lies below them.

void StrokePress(PointerContext& p);
void StrokeSegment(PointerContext& p);
void StrokeRelease(PointerContext& p);

}  // namespace tervasko
