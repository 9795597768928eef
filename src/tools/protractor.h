#pragma once

#include "tools/pointer.h"

namespace tervasko {

// The protractor's modes: slide, turn about its centre, mark a degree with the pencil.

void ProtractorSlidePress(PointerContext& p);
void ProtractorSlideMove(PointerContext& p);
void ProtractorSlideRelease(PointerContext& p);

void ProtractorTurnPress(PointerContext& p);
void ProtractorTurnMove(PointerContext& p);
void ProtractorTurnRelease(PointerContext& p);

void MarkHover(PointerContext& p);
void MarkPress(PointerContext& p);
void MarkExtend(PointerContext& p);
void MarkRelease(PointerContext& p);

}  // namespace tervasko
