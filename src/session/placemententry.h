#pragma once

#include "document/drawmodel.h"

namespace tervasko {

// The numeric entry panel's fields, in the panel's order, each showing one value of the
// instruments' placement (sheet-relative millimetres, rotations in degrees).
enum class PlacementField {
    LinealX,
    LinealY,
    LinealAngle,
    WinkelX,
    WinkelY,
    WinkelAngle,
    ZirkelX,
    ZirkelY,
    ZirkelSpan,
    GeoX,
    GeoY,
    GeoAngle,
};
inline constexpr PlacementField kPlacementFields[] = {
    PlacementField::LinealX, PlacementField::LinealY, PlacementField::LinealAngle,
    PlacementField::WinkelX, PlacementField::WinkelY, PlacementField::WinkelAngle,
    PlacementField::ZirkelX, PlacementField::ZirkelY, PlacementField::ZirkelSpan,
    PlacementField::GeoX,    PlacementField::GeoY,    PlacementField::GeoAngle,
};

// The value a field shows.
double PlacementValue(const InstrumentPlacement& placement, PlacementField field);

// A number typed into a field goes straight into the placement; the drawing is not marked
// changed (instruments are tools, not content). Returns whether every field is to be written
// again from the placement afterwards, which the protractor's rotation asks for.
bool EnterPlacement(InstrumentPlacement& placement, PlacementField field, double value);

}  // namespace tervasko
