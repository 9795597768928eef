#pragma once

#include "document/drawmodel.h"
#include "platform/canvas.h"

namespace tervasko {

// Which instrument's body lies under a point, for the hands that take hold of them. Points are
// sheet-relative millimetres, as the placement is; the bodies are what the renderers draw.

enum class Instrument { None, Ruler, Protractor, SetSquare, Compass };

// The view switches of the instruments: a hidden instrument cannot be taken hold of.
struct VisibleInstruments {
    bool ruler = true, protractor = true, setSquare = true, compass = true;
};

// The ruler: 10 mm wide beyond its graduated edge, from its zero corner on as far as
// `lengthMm` (it is drawn as long as a sheet's width and height together).
bool RulerBodyContains(const InstrumentPlacement& placement, double lengthMm, PointD q);
// The protractor: its disc, rim included.
bool ProtractorBodyContains(const InstrumentPlacement& placement, double winkelDiameter, PointD q);
// The compass: within `reachMm` of the line from the needle to the pencil point (its head and
// diamond lie within 3 mm of it).
bool CompassBodyContains(const InstrumentPlacement& placement, double zirkelAngle, double reachMm,
                         PointD q);

// The topmost shown instrument under q in the order the sheets draw them (ruler, protractor,
// set square, compass: the last drawn lies on top). `pixelsPerMm` widens the compass's thin
// body to at least 8 screen pixels either side, so a finger can find it at any zoom.
Instrument InstrumentAt(const TDrawing& drawing, const VisibleInstruments& shown,
                        double pixelsPerMm, PointD q);

}  // namespace tervasko
