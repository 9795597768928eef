#pragma once

#include <optional>

#include "document/drawmodel.h"
#include "platform/canvas.h"

namespace tervasko {

// The set square's shape, in millimetres: a right isosceles triangle whose long edge is
// 160 mm, graduated from -70 to +70 mm about its middle, the zero mark. Its pose is the zero
// mark and the direction from it to the +70 end (degrees clockwise on screen, y down); the
// right-angle corner lies 80 mm from the zero mark, a quarter turn clockwise from that
// direction (below the long edge when the direction is 0). Any frame of millimetres will do
// (sheet-relative or the drawing's), as long as the pose and the points share it.

inline constexpr double kSetSquareHalfEdge = 80;  // zero mark to either end of the long edge
inline constexpr double kSetSquareScaleEnd = 70;  // the long edge's graduation, either side
inline constexpr double kSetSquareHeight = 80;    // zero mark to the right-angle corner

struct SetSquarePose {
    PointD zero;       // the zero mark
    double angle = 0;  // direction to the +70 end
};

// The pose of a placement, sheet-relative.
SetSquarePose SetSquarePoseOf(const InstrumentPlacement& placement);

// The triangle's corners: the ends of the long edge beyond -70 and beyond +70, and the
// right-angle corner.
struct SetSquareCorners {
    PointD minusEnd, plusEnd, rightAngle;
};
SetSquareCorners SetSquareCornersOf(const SetSquarePose& pose);

// The edges a line can be drawn along. A leg runs from its end of the long edge to the
// right-angle corner; its parameter is the distance from that end.
enum class SetSquareEdge { Long, MinusLeg, PlusLeg };

// The length of an edge: 160 mm for the long edge, 80 * sqrt(2) mm for a leg.
double SetSquareEdgeLength(SetSquareEdge edge);

// Where the perpendicular from q meets an edge: for the long edge the signed distance from
// the zero mark towards the +70 end, held to -80 .. 80; for a leg the distance from its end
// of the long edge, held to the leg. nullopt when a number is not finite.
std::optional<double> SetSquareProjection(const SetSquarePose& pose, SetSquareEdge edge, PointD q);

// The point at parameter t on an edge (not held to the edge).
PointD SetSquareEdgePoint(const SetSquarePose& pose, SetSquareEdge edge, double t);

// The leg nearer to q: that on q's side of the perpendicular through the zero mark, the
// plus leg on the perpendicular itself. Nearer as the whole leg goes, ends included; the
// triangle is symmetric about that perpendicular, so the side decides.
SetSquareEdge SetSquareNearerLeg(const SetSquarePose& pose, PointD q);

// The parameters a line drawn along an edge has reached, smallest and largest.
struct SetSquareSpan {
    double min = 0, max = 0;
    // The first projection sets both; later ones widen the span.
    void Reach(double t, bool first);
};

// The guide segment of a line along an edge from span.min to span.max, each coordinate
// rounded to the nearest 0.001 mm: the stored line is as short to write as the ruler's, and
// a leg's end still meets the corner where the sines leave a millionth short of it. nullopt
// when a number is not finite or too large.
struct SetSquareSegment {
    PointD from, to;
};
std::optional<SetSquareSegment> SetSquareGuideSegment(const SetSquarePose& pose, SetSquareEdge edge,
                                                      const SetSquareSpan& span);

// The direction (degrees clockwise on screen) from the zero mark to degree d of the
// semicircular scale: 0 at the -70 end of the long edge, 90 towards the right-angle corner,
// 180 at the +70 end. That is pose.angle + 180 - d.
double SetSquareDegreeDirection(const SetSquarePose& pose, double d);

// The degree of the scale in whose direction q lies from the zero mark, 0 .. 180; a point
// beyond the long edge takes the nearer of 0 and 180. nullopt on the zero mark itself and
// when a number is not finite.
std::optional<double> SetSquareDegreeAt(const SetSquarePose& pose, PointD q);

// Whether q lies inside the triangle or on its outline: grabbing the set square.
bool SetSquareContains(const SetSquarePose& pose, PointD q);

}  // namespace tervasko
