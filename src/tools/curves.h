#pragma once

#include "tools/pointer.h"

namespace tervasko {

// Cubic curves from four presses: start, end, first and second control point. Once begun, a
// curve takes the next presses whatever tool is chosen meanwhile; there is no way to cancel
// it. Between the presses a preview on the sheet of the last press follows the pointer.

void CurveStartPress(PointerContext& p);          // the start point
void CurveEndPress(PointerContext& p);            // the end point
void CurveFirstControlPress(PointerContext& p);   // the first control point
void CurveSecondControlPress(PointerContext& p);  // the second control point: stores the curve

// The line from the start (end point awaited) or the curve with the pointer as the next
// control point.
void CurvePreview(PointerContext& p);

}  // namespace tervasko
