#pragma once

#include "tools/pointer.h"

namespace tervasko {

// The compass's modes: move, open to a span, swing an arc; and the full circle command.

void CompassMovePress(PointerContext& p);
void CompassMoveMove(PointerContext& p);
void CompassMoveRelease(PointerContext& p);

void SpanPress(PointerContext& p);
void SpanMove(PointerContext& p);
void SpanRelease(PointerContext& p);

void ArcHover(PointerContext& p);
void ArcPress(PointerContext& p);
void ArcExtend(PointerContext& p);
void ArcRelease(PointerContext& p);

// "Kreis zeichnen": a full circle at the compass on the sheet of the last press.
void AddCompassCircle(ToolHost& host, TDrawing& drawing, const GestureState& g);

}  // namespace tervasko
