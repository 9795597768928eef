#include "tools/snapindex.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace tervasko {

namespace {

bool finite(const TDrawElement& e) {
    // Zero times infinity or NaN is NaN, and NaN spreads through the sum.
    const double zero =
        0 * e.X1 + 0 * e.Y1 + 0 * e.X2 + 0 * e.Y2 + 0 * e.X3 + 0 * e.Y3 + 0 * e.X4 + 0 * e.Y4;
    return zero == 0;
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

// The snap points of an element into `out` (at most three); their number.
int snapPoints(const TDrawElement& e, PointD* out) {
    switch (e.Kind) {
        case ekLine:
            out[0] = {e.X1, e.Y1};
            out[1] = {e.X2, e.Y2};
            return 2;
        case ekCircle:
            out[0] = {(e.X1 + e.X2) / 2, (e.Y1 + e.Y2) / 2};
            return 1;
        case ekArc: {
            int n = 0;
            out[n++] = {(e.X1 + e.X2) / 2, (e.Y1 + e.Y2) / 2};
            if (auto p = rayOnEllipse(e.X1, e.Y1, e.X2, e.Y2, e.X3, e.Y3)) out[n++] = *p;
            if (auto p = rayOnEllipse(e.X1, e.Y1, e.X2, e.Y2, e.X4, e.Y4)) out[n++] = *p;
            return n;
        }
        case ekCurve:
            out[0] = {e.X1, e.Y1};
            out[1] = {e.X4, e.Y4};
            return 2;
        default:
            return 0;
    }
}

// The box around an element's snap points and segment: false for elements that offer none.
// An arc's points all lie in the box of its ellipse.
bool snapBox(const TDrawElement& e, double& x0, double& y0, double& x1, double& y1) {
    double ax, ay, bx, by;
    switch (e.Kind) {
        case ekLine:
        case ekArc:
            ax = e.X1, ay = e.Y1, bx = e.X2, by = e.Y2;
            break;
        case ekCircle:
            ax = bx = (e.X1 + e.X2) / 2;
            ay = by = (e.Y1 + e.Y2) / 2;
            break;
        case ekCurve:
            ax = e.X1, ay = e.Y1, bx = e.X4, by = e.Y4;
            break;
        default:
            return false;
    }
    if (!finite(e)) return false;
    x0 = std::min(ax, bx), x1 = std::max(ax, bx);
    y0 = std::min(ay, by), y1 = std::max(ay, by);
    return true;
}

// Boxes beyond this (mm) go to the list searched one by one, so the grids stay of a sane size.
constexpr double kFar = 1e15;

bool ordinary(double x0, double y0, double x1, double y1) {
    return x0 >= -kFar && y0 >= -kFar && x1 <= kFar && y1 <= kFar;
}

// The cells [first, last] of a row or column of `cells` cells of size 1 / `inverse` from `origin`
// that meet [lo, hi], the edge cell standing for everything beyond it.
void cellRange(double lo, double hi, double origin, double inverse, int cells, int& first,
               int& last) {
    const double f = (lo - origin) * inverse;
    const double l = (hi - origin) * inverse;
    first = f < 0 ? 0 : f >= cells ? cells - 1 : static_cast<int>(f);
    last = l < 0 ? 0 : l >= cells ? cells - 1 : static_cast<int>(l);
}

struct Segment {
    double x1, y1, x2, y2;
    double dist = 0;  // squared, from the point asked about
};

}  // namespace

std::vector<PointD> ElementSnapPoints(const TDrawElement& e) {
    if (!finite(e)) return {};
    PointD p[3];
    return std::vector<PointD>(p, p + snapPoints(e, p));
}

void SnapIndex::Grid::Build(const std::vector<ElementIndex::Box>& boxes, const std::uint32_t* ids,
                            std::uint32_t count, std::vector<std::uint32_t>& keys) {
    const auto id = [ids](std::uint32_t k) { return ids ? ids[k] : k; };

    // The grids span the boxes of a few thousand elements spread over the drawing: one pass
    // over every element less. Elements beyond go to the edge cells, which a query beyond
    // the grid still searches; when too many land there, the grids span every box instead.
    auto bounds = [&](std::uint32_t step) {
        double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
        for (std::uint32_t i = 0; i < count; i += step) {
            const ElementIndex::Box& b = boxes[id(i)];
            // Boxes of elements that are not drawn are NaN and fail the test.
            if (!ordinary(b.left, b.top, b.right, b.bottom)) continue;
            minX = std::min(minX, double{b.left});
            maxX = std::max(maxX, double{b.right});
            minY = std::min(minY, double{b.top});
            maxY = std::max(maxY, double{b.bottom});
        }
        if (!(minX <= maxX)) minX = minY = maxX = maxY = 0;
        originX = minX;
        originY = minY;
        const double w = maxX - minX, h = maxY - minY;
        const double n = double(count) + 1;
        // About one element per cell of the finest grid; never more cells than a few per
        // element.
        double cell = std::max({std::sqrt(w * h / n) * 3, std::max(w, h) / n, 1e-9});
        levels.clear();
        std::uint32_t cells = 0;
        for (;;) {
            const int cols = static_cast<int>(std::floor(w / cell)) + 1;
            const int rows = static_cast<int>(std::floor(h / cell)) + 1;
            levels.push_back({cell, 1 / cell, cols, rows, cells});
            cells += std::uint32_t(cols) * std::uint32_t(rows);
            if (cols == 1 && rows == 1) break;
            cell *= 2;
        }
        return cells;
    };

    // The cell of each element, then the element numbers sorted by cell (a counting sort).
    constexpr std::uint32_t kNone = 0xFFFFFFFFu;
    keys.resize(count);
    auto assign = [&](std::uint32_t farCell) {
        std::uint32_t misfits = 0;
        start.assign(std::size_t(farCell) + 3, 0);
        const Level* const level = levels.data();
        const double topCell = levels.back().cell, inverse0 = levels.front().inverse;
        const auto lastLevel = static_cast<std::uint64_t>(levels.size() - 1);
        // Drawings hold their elements in no spatial order: the loop avoids branches that
        // depend on the element, which would be guessed wrong half of the time.
        for (std::uint32_t i = 0; i < count; ++i) {
            const ElementIndex::Box& b = boxes[id(i)];
            std::uint32_t key = kNone;
            if (!std::isnan(b.left)) {
                key = farCell;
                const double x0 = b.left, y0 = b.top, x1 = b.right, y1 = b.bottom;
                const double extent = std::max(x1 - x0, y1 - y0);
                if (ordinary(x0, y0, x1, y1) && extent <= topCell) {
                    // The finest level whose cell holds the extent: from the exponent of
                    // extent / cell0 rounded up, then put right where rounding misled it.
                    const double ratio = std::max(extent * inverse0, 1.0);
                    const auto bits = std::bit_cast<std::uint64_t>(ratio);
                    std::uint64_t k = (bits >> 52) - 1023 + ((bits & 0xFFFFFFFFFFFFFull) != 0);
                    k = std::min(k, lastLevel);
                    k += extent > level[k].cell && k < lastLevel;
                    const Level& l = level[k];
                    const double fc = ((x0 + x1) / 2 - originX) * l.inverse;
                    const double fr = ((y0 + y1) / 2 - originY) * l.inverse;
                    const double lastCol = l.cols - 1, lastRow = l.rows - 1;
                    const double cc = std::min(std::max(fc, 0.0), lastCol);
                    const double cr = std::min(std::max(fr, 0.0), lastRow);
                    misfits += (fc < 0) | (fc >= l.cols) | (fr < 0) | (fr >= l.rows);
                    key = l.base + std::uint32_t(cr) * std::uint32_t(l.cols) + std::uint32_t(cc);
                } else {
                    ++misfits;
                }
                ++start[std::size_t(key) + 2];
            }
            keys[i] = key;
        }
        return misfits;
    };
    const std::uint32_t step = std::max<std::uint32_t>(1, count / 4096);
    std::uint32_t farCell = bounds(step);
    if (assign(farCell) > std::max<std::uint32_t>(64, count / 64) && step > 1) {
        farCell = bounds(1);
        assign(farCell);
    }
    for (std::size_t c = 2; c < start.size(); ++c) start[c] += start[c - 1];
    items.resize(start.back());
    itemBoxes.resize(start.back());
    for (std::uint32_t i = 0; i < count; ++i) {
        if (keys[i] == kNone) continue;
        const std::uint32_t at = start[std::size_t(keys[i]) + 1]++;
        items[at] = id(i);
        itemBoxes[at] = boxes[id(i)];
    }
    start.pop_back();
    built = true;
}

void SnapIndex::Invalidate() {
    whole_.built = false;
    for (auto& [key, grid] : tiles_) grid.built = false;
    extra_.clear();
}

void SnapIndex::Build(TDrawing& drawing) {
    extra_.clear();
    for (auto& [key, grid] : tiles_) grid.built = false;
    const std::vector<ElementIndex::Box>& boxes = drawing.ElementBoxes();
    whole_.Build(boxes, nullptr, static_cast<std::uint32_t>(boxes.size()), keys_);
}

SnapIndex::Grid& SnapIndex::gridFor(TDrawing& drawing, PointD at, double radiusMm) {
    const double height = drawing.SheetHeightMm();
    if (!(height == bandHeight_)) {
        tiles_.clear();
        bandHeight_ = height;
    }
    // Tiles are numbered in 28 bits each way, so they end this far out; queries beyond, or
    // reaching over most of any drawing, use the grid of every element.
    constexpr double kFarthest = 1e9, kWidest = 1000;  // mm
    if (!(std::fabs(at.x) < kFarthest && std::fabs(at.y) < kFarthest && radiusMm <= kWidest)) {
        if (!whole_.built) Build(drawing);
        return whole_;
    }
    const auto keyOf = [](std::uint64_t kind, double column, double row) {
        constexpr std::uint64_t kBits = 0xFFFFFFF;
        return kind << 56 | (std::uint64_t(std::int64_t(column)) & kBits) << 28 |
               (std::uint64_t(std::int64_t(row)) & kBits);
    };
    // Everything within the radius of a point of a sheet band is listed for that band: such a
    // query's tile is cut from the band and picks from the band's elements. Wider queries (at
    // low zoom) use larger tiles, widened by at least the radius, that pick from every element.
    const std::optional<int> band =
        radiusMm <= ElementIndex::kReachMm ? drawing.BandAt(at.y) : std::nullopt;
    double size = kTileMm, reach = ElementIndex::kReachMm, top0 = 0, bottomEnd = INFINITY;
    std::uint64_t kind;
    if (band) {
        kind = std::uint64_t(*band + 1);  // 0 .. 65
        top0 = *band * height;
        bottomEnd = top0 + height;
    } else {
        kind = 0x80;
        while (reach < radiusMm) reach *= 2, ++kind;
        size = std::max(kTileMm, reach);
    }
    const double column = std::floor(at.x / size);
    const double row = std::max(band ? 0.0 : -INFINITY, std::floor((at.y - top0) / size));
    Grid& grid = tiles_[keyOf(kind, column, row)];
    if (!grid.built) {
        // Grids built before an append see the new elements in the side list; this one holds
        // them itself.
        const double left = column * size - reach, right = (column + 1) * size + reach;
        const double top = top0 + row * size - reach;
        const double bottom = std::min(top0 + (row + 1) * size, bottomEnd) + reach;
        const std::vector<ElementIndex::Box>& boxes = drawing.ElementBoxes();
        const std::vector<std::uint32_t>* ids = band ? &drawing.ElementsInBand(*band) : nullptr;
        const auto count = static_cast<std::uint32_t>(ids ? ids->size() : boxes.size());
        // A pass without branches on the elements: each is written, and kept when it meets
        // the tile (boxes of elements not drawn are NaN and never meet it).
        picked_.resize(count);
        std::size_t n = 0;
        for (std::uint32_t k = 0; k < count; ++k) {
            const std::uint32_t i = ids ? (*ids)[k] : k;
            const ElementIndex::Box& b = boxes[i];
            picked_[n] = i;
            n += (b.left <= right) & (b.right >= left) & (b.top <= bottom) & (b.bottom >= top);
        }
        grid.Build(boxes, picked_.data(), static_cast<std::uint32_t>(n), keys_);
    }
    return grid;
}

void SnapIndex::Prepare(TDrawing& drawing, PointD at, double radiusMm) {
    gridFor(drawing, at, radiusMm);
}

void SnapIndex::Appended(const TDrawing& drawing, std::uint32_t first, std::uint32_t count) {
    bool anyBuilt = whole_.built;
    for (const auto& [key, grid] : tiles_) anyBuilt = anyBuilt || grid.built;
    if (!anyBuilt) return;
    for (std::uint32_t i = first; i < first + count && i < drawing.Elements.Count(); ++i) {
        double x0, y0, x1, y1;
        if (snapBox(drawing.Elements.At(i), x0, y0, x1, y1)) extra_.push_back(i);
    }
    // Searched one by one: past a few thousand a fresh build is cheaper.
    if (extra_.size() > 2048) Invalidate();
}

std::optional<PointD> SnapIndex::Find(TDrawing& drawing, PointD at, double radiusMm) {
    if (!(radiusMm > 0) || !std::isfinite(at.x) || !std::isfinite(at.y)) return std::nullopt;
    return find(gridFor(drawing, at, radiusMm), drawing, at, radiusMm);
}

std::optional<PointD> SnapIndex::FindBuilt(const TDrawing& drawing, PointD at,
                                           double radiusMm) const {
    return find(whole_, drawing, at, radiusMm);
}

std::optional<PointD> SnapIndex::find(const Grid& grid, const TDrawing& drawing, PointD at,
                                      double radiusMm) const {
    if (!grid.built || !(radiusMm > 0) || !std::isfinite(at.x) || !std::isfinite(at.y))
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
    std::vector<Segment> near;
    const std::uint32_t elements = drawing.Elements.Count();
    auto visit = [&](std::uint32_t i) {
        if (i >= elements) return;
        const TDrawElement& e = drawing.Elements.At(i);
        if (!finite(e)) return;  // a broken record offers nothing
        if (e.Kind == ekLine) {
            const Segment s{e.X1, e.Y1, e.X2, e.Y2, 0};
            const double d = segmentDistSq(s, at);
            if (d > bestD) return;  // so are both its ends and its crossings
            consider({s.x1, s.y1});
            consider({s.x2, s.y2});
            // A segment too long to measure still offers its ends, but no crossings.
            if (d <= bestD) near.push_back(s);
            return;
        }
        PointD p[3];
        for (int k = 0, n = snapPoints(e, p); k < n; ++k) consider(p[k]);
    };
    // The boxes beside the numbers rule out, cell by cell in order, the elements that lie
    // farther than the best point so far (at first the radius), before their records are read.
    const auto visitCell = [&](std::size_t cell) {
        for (std::uint32_t k = grid.start[cell]; k < grid.start[cell + 1]; ++k) {
            const ElementIndex::Box& b = grid.itemBoxes[k];
            const double dx = std::max({double{b.left} - at.x, at.x - double{b.right}, 0.0});
            const double dy = std::max({double{b.top} - at.y, at.y - double{b.bottom}, 0.0});
            if (dx * dx + dy * dy > bestD) continue;  // a NaN distance (a broken box) is visited
            visit(grid.items[k]);
        }
    };
    for (const Level& l : grid.levels) {
        // An element's centre lies in its cell and its box reaches half a cell beyond.
        const double pad = radiusMm + l.cell * (0.5 + 1e-6);
        int c0, c1, r0, r1;
        cellRange(at.x - pad, at.x + pad, grid.originX, l.inverse, l.cols, c0, c1);
        cellRange(at.y - pad, at.y + pad, grid.originY, l.inverse, l.rows, r0, r1);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                visitCell(l.base + std::size_t(r) * std::size_t(l.cols) + std::size_t(c));
    }
    visitCell(grid.start.size() - 2);  // the elements too large or too far out for a grid
    for (std::uint32_t i : extra_) visit(i);
    // A crowd of lines under the pointer: the nearest ones decide. A crossing lies on both
    // its lines, so it is no nearer than the farther of them: taken nearest first, the pairs
    // end where that distance reaches the best point found.
    constexpr std::size_t kMaxNear = 48;
    const auto nearer = [](const Segment& a, const Segment& b) { return a.dist < b.dist; };
    for (Segment& n : near) n.dist = segmentDistSq(n, at);
    if (near.size() > kMaxNear) {
        std::nth_element(near.begin(), near.begin() + kMaxNear, near.end(), nearer);
        near.resize(kMaxNear);
    }
    std::sort(near.begin(), near.end(), nearer);
    for (std::size_t j = 1; j < near.size() && near[j].dist <= bestD; ++j)
        for (std::size_t i = 0; i < j; ++i)
            if (auto p = crossing(near[i], near[j])) consider(*p);
    return best;
}

}  // namespace tervasko
