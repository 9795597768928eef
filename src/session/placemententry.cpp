#include "session/placemententry.h"

namespace tervasko {
namespace {

// Placement is InstrumentPlacement, const or not.
template <class Placement>
auto& valueOf(Placement& p, PlacementField field) {
    switch (field) {
        case PlacementField::LinealX:
            return p.LinealX;
        case PlacementField::LinealY:
            return p.LinealY;
        case PlacementField::LinealAngle:
            return p.LinealAngle;
        case PlacementField::WinkelX:
            return p.WinkelX;
        case PlacementField::WinkelY:
            return p.WinkelY;
        case PlacementField::WinkelAngle:
            return p.WinkelAngle;
        case PlacementField::ZirkelX:
            return p.ZirkelX;
        case PlacementField::ZirkelY:
            return p.ZirkelY;
        case PlacementField::ZirkelSpan:
            return p.ZirkelSpan;
        case PlacementField::GeoX:
            return p.GeoX;
        case PlacementField::GeoY:
            return p.GeoY;
        case PlacementField::GeoAngle:
            return p.GeoAngle;
    }
    return p.LinealX;
}

}  // namespace

double PlacementValue(const InstrumentPlacement& placement, PlacementField field) {
    return valueOf(placement, field);
}

bool EnterPlacement(InstrumentPlacement& placement, PlacementField field, double value) {
    valueOf(placement, field) = value;
    return field == PlacementField::WinkelAngle;
}

}  // namespace tervasko
