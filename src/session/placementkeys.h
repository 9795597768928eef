#pragma once

#include <QtCore/qnamespace.h>

#include "document/drawmodel.h"
#include "tools/toolhost.h"

namespace tervasko {

// Keys pressed on the sheet move the instrument of the active tool (ruler, protractor, compass
// or set square, in any of its modes), through the placement as a typed number moves it:
// - the arrow keys slide it by 1 mm, with Shift by 0.1 mm; Up is towards the top of the sheet
//   (y grows downwards);
// - Page Up and Page Down turn the ruler about its reference corner and the protractor about
//   its centre, as their mouse turns do, and the set square about its zero mark, by 1°, with
//   Shift by 0.1°. Page Up raises the angle, as it raises the number in the rotation field:
//   the turn is clockwise on the screen, the sense in which every angle of the drawing grows.
//   For the compass they open and close the span by 1 mm (0.1 mm); the span never closes
//   below 0, the least a drag can give it.
// Keys held with Ctrl or Alt (or Meta) are not the instrument's, nor is any key while another
// tool is active. Returns whether the key is the instrument's; then `placement` has moved, or
// stays where it is when the compass is closed already.
bool NudgeInstrument(ToolItem activeTool, int key, Qt::KeyboardModifiers modifiers,
                     InstrumentPlacement& placement);

}  // namespace tervasko
