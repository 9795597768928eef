#pragma once

#include <optional>

#include "platform/canvas.h"

namespace tervasko {

// The computations by which the ruler, protractor and compass turn pointer positions into
// placements and lines. Angles in degrees, clockwise on screen (y down). A computation that
// would divide by zero or leave the numbers (an "arithmetic error") gives nullopt; each
// caller has its fallback.

// The parameter t of the point on the guide line through a with direction phi where the
// line through q with direction psi meets it. Callers pass psi = phi +- 90 degrees; t is
// then the signed distance from a along the guide to the foot of the perpendicular from q.
// The formula divides by sin(psi), which is exactly zero only for psi exactly 0.
std::optional<double> GuideParameter(PointD a, double phi, double psi, PointD q);

// The point at parameter t on the guide line through a with direction phi, each coordinate
// truncated toward zero to a multiple of 0.001 mm.
std::optional<PointD> GuidePoint(PointD a, double phi, double t);

// 180 degrees minus the direction of p seen from the pivot, in -270 .. 90 (stack pixels).
// nullopt on the pivot itself and level with it on its right, where the formula's value
// would jump by 180 degrees: a turn keeps its previous angle there.
std::optional<double> TurnAngle(PointD p, PointD pivot);

// TurnAngle of the press that starts a turn, which has no previous angle to keep: level with
// the pivot on its right it is -180, the value just above and just below it.
std::optional<double> TurnAngleAtPress(PointD p, PointD pivot);

// Direction of a degree mark through p from the protractor's centre c.
std::optional<double> MarkAngle(PointD p, PointD c);

// Direction of p from the compass needle n: clockwise from the x axis, -90 .. 270.
// nullopt on the needle and straight above it, where the formula's value would point the
// leg down between -90 (just right) and 270 (just left): the compass keeps its direction.
std::optional<double> LegAngle(PointD p, PointD n);

// An angle difference brought into (-180, 180] degrees.
double WrapDegrees(double d);

}  // namespace tervasko
