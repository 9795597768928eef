#include "tools/snapindex.h"

#include <algorithm>
#include <cmath>

namespace tervasko {

namespace {

bool finite(const TDrawElement& e) {
    for (double v : {e.X1, e.Y1, e.X2, e.Y2, e.X3, e.Y3, e.X4, e.Y4})
        if (!std::isfinite(v)) return false;
    return true;
}

// Where the ray from the centre of the ellipse in box (x1,y1)-(x2,y2) through (px,py)
// leaves the ellipse; nullopt when the box or the direction is degenerate.
std::optional<PointD> rayOnEllipse(double x1, double y1, double x2, double y2, double px,
                                   double py) {
    const double cx = (x1 + x2) / 2, cy = (y1 + y2) / 2;
    const double a = std::fabs(x2 - x1) / 2, b = std::fabs(y2 - y1) / 2;
    const double dx = px - cx, dy = py - cy;
    if (a <= 0 || b <= 0 || (dx == 0 && dy == 0)) return std::nullopt;
    const double q = (dx / a) * (dx / a) + (dy / b) * (dy / b);
    if (!(q > 0) || !std::isfinite(q)) return std::nullopt;
    const double t = 1 / std::sqrt(q);
    return PointD{cx + t * dx, cy + t * dy};
}

double distSq(PointD a, PointD b) {
    return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y);
}

template <typename S>
double segmentDistSq(const S& s, PointD p) {
    const double dx = s.x2 - s.x1, dy = s.y2 - s.y1;
    const double len = dx * dx + dy * dy;
    double t = len > 0 ? ((p.x - s.x1) * dx + (p.y - s.y1) * dy) / len : 0;
    t = std::clamp(t, 0.0, 1.0);
    return distSq(p, {s.x1 + t * dx, s.y1 + t * dy});
}

// Where two segments cross, ends included; nullopt for parallel ones.
template <typename S>
std::optional<PointD> crossing(const S& a, const S& b) {
    const double rx = a.x2 - a.x1, ry = a.y2 - a.y1;
    const double sx = b.x2 - b.x1, sy = b.y2 - b.y1;
    const double den = rx * sy - ry * sx;
    const double scale = std::sqrt((rx * rx + ry * ry) * (sx * sx + sy * sy));
    if (!(std::fabs(den) > 1e-12 * scale)) return std::nullopt;
    const double qx = b.x1 - a.x1, qy = b.y1 - a.y1;
    const double t = (qx * sy - qy * sx) / den;
    const double u = (qx * ry - qy * rx) / den;
    const double eps = 1e-9;
    if (t < -eps || t > 1 + eps || u < -eps || u > 1 + eps) return std::nullopt;
    return PointD{a.x1 + t * rx, a.y1 + t * ry};
}

}  // namespace

std::vector<PointD> ElementSnapPoints(const TDrawElement& e) {
    std::vector<PointD> out;
    if (!finite(e)) return out;
    switch (e.Kind) {
        case ekLine:
            out = {{e.X1, e.Y1}, {e.X2, e.Y2}};
            break;
        case ekCircle:
            out = {{(e.X1 + e.X2) / 2, (e.Y1 + e.Y2) / 2}};
            break;
        case ekArc:
            out = {{(e.X1 + e.X2) / 2, (e.Y1 + e.Y2) / 2}};
            if (auto p = rayOnEllipse(e.X1, e.Y1, e.X2, e.Y2, e.X3, e.Y3)) out.push_back(*p);
            if (auto p = rayOnEllipse(e.X1, e.Y1, e.X2, e.Y2, e.X4, e.Y4)) out.push_back(*p);
            break;
        case ekCurve:
            out = {{e.X1, e.Y1}, {e.X4, e.Y4}};
            break;
        default:
            break;
    }
    return out;
}

void SnapIndex::addElement(const TDrawElement& e, std::vector<PointD>& points,
                           std::vector<Segment>& segments) const {
    if (!finite(e)) return;
    if (e.Kind == ekLine) {
        points.push_back({e.X1, e.Y1});
        points.push_back({e.X2, e.Y2});
        segments.push_back({e.X1, e.Y1, e.X2, e.Y2});
        return;
    }
    for (PointD p : ElementSnapPoints(e)) points.push_back(p);
}

void SnapIndex::cellRange(double lo, double hi, double origin, int cells, int& first,
                          int& last) const {
    const double f = std::floor((lo - origin) / cell_);
    const double l = std::floor((hi - origin) / cell_);
    first = f < 0 ? 0 : f >= cells ? cells : static_cast<int>(f);
    last = l < 0 ? -1 : l >= cells ? cells - 1 : static_cast<int>(l);
}

void SnapIndex::Build(const TDrawing& drawing) {
    points_.clear();
    segments_.clear();
    extraPoints_.clear();
    extraSegments_.clear();
    const std::uint32_t count = drawing.Elements.Count();
    points_.reserve(std::size_t(count) * 2);
    for (std::uint32_t i = 0; i < count; ++i)
        addElement(drawing.Elements.At(i), points_, segments_);

    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    for (PointD p : points_) {  // every segment's ends are points too
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    const double n = double(points_.size() + segments_.size()) + 1;
    if (points_.empty()) minX = minY = maxX = maxY = 0;
    const double w = maxX - minX, h = maxY - minY;
    cell_ = std::max({std::sqrt(w * h / n), std::max(w, h) / n, 1e-6}) * 4;
    if (!std::isfinite(cell_)) cell_ = std::max(w, h);
    if (!std::isfinite(cell_) || cell_ <= 0) cell_ = 1;
    originX_ = minX;
    originY_ = minY;
    cols_ = static_cast<int>(std::min(std::floor(w / cell_) + 1, 1e7));
    rows_ = static_cast<int>(std::min(std::floor(h / cell_) + 1, 1e7));
    const std::size_t cells = std::size_t(cols_) * std::size_t(rows_);

    // Counting pass, then filling pass, over the same walk of cells.
    auto walkSegment = [&](const Segment& s, auto&& visit) {
        int r0, r1;
        cellRange(std::min(s.y1, s.y2), std::max(s.y1, s.y2), originY_, rows_, r0, r1);
        for (int r = r0; r <= r1; ++r) {
            // The part of the segment within this row's band, a little wider for rounding.
            const double ya = originY_ + r * cell_, yb = ya + cell_;
            double xa = std::min(s.x1, s.x2), xb = std::max(s.x1, s.x2);
            if (s.y1 != s.y2 && r0 != r1) {
                const double ta = std::clamp((ya - s.y1) / (s.y2 - s.y1), 0.0, 1.0);
                const double tb = std::clamp((yb - s.y1) / (s.y2 - s.y1), 0.0, 1.0);
                const double x1 = s.x1 + ta * (s.x2 - s.x1), x2 = s.x1 + tb * (s.x2 - s.x1);
                xa = std::max(xa, std::min(x1, x2) - cell_ * 1e-6);
                xb = std::min(xb, std::max(x1, x2) + cell_ * 1e-6);
            }
            int c0, c1;
            cellRange(xa, xb, originX_, cols_, c0, c1);
            for (int c = c0; c <= c1; ++c) visit(std::size_t(r) * cols_ + c);
        }
    };
    auto cellOf = [&](PointD p) {
        int c, c1, r, r1;
        cellRange(p.x, p.x, originX_, cols_, c, c1);
        cellRange(p.y, p.y, originY_, rows_, r, r1);
        return std::size_t(std::min(r, rows_ - 1)) * cols_ + std::min(c, cols_ - 1);
    };

    pointStart_.assign(cells + 1, 0);
    segStart_.assign(cells + 1, 0);
    for (PointD p : points_) ++pointStart_[cellOf(p) + 1];
    for (const Segment& s : segments_) walkSegment(s, [&](std::size_t c) { ++segStart_[c + 1]; });
    for (std::size_t c = 0; c < cells; ++c) {
        pointStart_[c + 1] += pointStart_[c];
        segStart_[c + 1] += segStart_[c];
    }
    pointItems_.resize(pointStart_[cells]);
    segItems_.resize(segStart_[cells]);
    std::vector<std::uint32_t> fill(pointStart_.begin(), pointStart_.end() - 1);
    for (std::uint32_t i = 0; i < points_.size(); ++i) pointItems_[fill[cellOf(points_[i])]++] = i;
    fill.assign(segStart_.begin(), segStart_.end() - 1);
    for (std::uint32_t i = 0; i < segments_.size(); ++i)
        walkSegment(segments_[i], [&](std::size_t c) { segItems_[fill[c]++] = i; });
    valid_ = true;
}

void SnapIndex::Appended(const TDrawing& drawing, std::uint32_t first, std::uint32_t count) {
    if (!valid_) return;
    for (std::uint32_t i = first; i < first + count && i < drawing.Elements.Count(); ++i)
        addElement(drawing.Elements.At(i), extraPoints_, extraSegments_);
    // Searched one by one: past a few thousand a fresh build is cheaper.
    if (extraPoints_.size() > 4096) valid_ = false;
}

std::optional<PointD> SnapIndex::Find(const TDrawing& drawing, PointD at, double radiusMm) {
    if (!valid_) Build(drawing);
    return FindBuilt(at, radiusMm);
}

std::optional<PointD> SnapIndex::FindBuilt(PointD at, double radiusMm) const {
    if (!valid_ || !(radiusMm > 0) || !std::isfinite(at.x) || !std::isfinite(at.y))
        return std::nullopt;
    const double r2 = radiusMm * radiusMm;
    std::optional<PointD> best;
    double bestD = r2;
    auto consider = [&](PointD p) {
        const double d = distSq(p, at);
        if (d <= bestD) {
            if (best && d == bestD) return;  // the first of equals stays
            bestD = d;
            best = p;
        }
    };
    std::vector<const Segment*> near;
    int c0, c1, r0, r1;
    cellRange(at.x - radiusMm, at.x + radiusMm, originX_, cols_, c0, c1);
    cellRange(at.y - radiusMm, at.y + radiusMm, originY_, rows_, r0, r1);
    for (int r = r0; r <= r1; ++r)
        for (int c = c0; c <= c1; ++c) {
            const std::size_t cell = std::size_t(r) * cols_ + c;
            for (std::uint32_t k = pointStart_[cell]; k < pointStart_[cell + 1]; ++k)
                consider(points_[pointItems_[k]]);
            for (std::uint32_t k = segStart_[cell]; k < segStart_[cell + 1]; ++k) {
                const Segment& s = segments_[segItems_[k]];
                if (segmentDistSq(s, at) <= r2) near.push_back(&s);
            }
        }
    for (PointD p : extraPoints_) consider(p);
    for (const Segment& s : extraSegments_)
        if (segmentDistSq(s, at) <= r2) near.push_back(&s);
    std::sort(near.begin(), near.end());
    near.erase(std::unique(near.begin(), near.end()), near.end());
    // A crowd of lines under the pointer: the nearest ones decide.
    constexpr std::size_t kMaxNear = 48;
    if (near.size() > kMaxNear) {
        std::nth_element(near.begin(), near.begin() + kMaxNear, near.end(),
                         [&](const Segment* a, const Segment* b) {
                             return segmentDistSq(*a, at) < segmentDistSq(*b, at);
                         });
        near.resize(kMaxNear);
    }
    for (std::size_t i = 0; i < near.size(); ++i)
        for (std::size_t j = i + 1; j < near.size(); ++j)
            if (auto p = crossing(*near[i], *near[j])) consider(*p);
    return best;
}

}  // namespace tervasko
