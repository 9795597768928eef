#pragma once

namespace tervasko {

// A point of the DXF output frame: millimetres, y up, origin at the bottom-left corner of
// the last sheet.
struct DxfPoint {
    double x, y;
};

// Point of the cubic Bezier p0, p1 (control), p2 (control), p3 at parameter t, each
// coordinate computed on its own in Bernstein form. t = 0 and t = 1 give p0 and p3 exactly,
// so pieces that share a parameter share their end point bit for bit.
DxfPoint DxfBezierPoint(const DxfPoint& p0, const DxfPoint& p1, const DxfPoint& p2,
                        const DxfPoint& p3, double t);

// The apex candidates of a curve piece S -> E lie on the perpendicular bisector of the chord:
// A(n) = C + (n / 1000) * (h.y, -h.x) with C = (S + E) / 2, h = (E - S) / 2 and
// n = -999 ... 999. The apex is the candidate nearest to the piece's middle point M; of
// candidates at equal distance the one with the larger n wins.
DxfPoint DxfApexCandidate(DxfPoint s, DxfPoint e, int n);

// The n of the apex, found by trying every candidate from n = 999 down to -999.
int DxfApexIndexByScan(DxfPoint s, DxfPoint m, DxfPoint e);

// The same n, found by solving for the nearest point on the bisector and trying only the few
// candidates around it. Falls back to the full scan when rounding could let a candidate far
// from the solution tie with or beat the near ones (pieces that are tiny against their
// distance from the origin, non-finite input), so the result is always the scan's.
int DxfApexIndex(DxfPoint s, DxfPoint m, DxfPoint e);

// Bulge of the circular segment S -> E through apex candidate n: the tangent of a quarter of
// the included angle, positive when the segment turns counter-clockwise (y up). 0 when S, A
// and E are collinear, that is when twice the triangle's area is at most 1e-8 mm^2, which
// covers n = 0 and pieces of zero length. (In exact arithmetic the result is n / 1000: the
// candidates are spaced so that the sagitta is n thousandths of the half-chord.)
//
// The circle is computed relative to S, with A built from the chord rather than taken in
// absolute coordinates: on a stack of ten A3 sheets y reaches about 4,200 mm, where a double
// resolves only 1e-12 mm and the circle formula squares numbers of 1.8e7 mm^2; the sagitta
// of a short shallow piece is then lost to rounding and cancellation.
double DxfPieceBulge(DxfPoint s, DxfPoint e, int apex);

}  // namespace tervasko
