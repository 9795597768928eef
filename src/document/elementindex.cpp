#include "document/elementindex.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

namespace tervasko {
namespace {

constexpr std::size_t kMostAreas = 64;  // more are joined into one

struct Extent {
    bool drawn = false;  // kinds of later versions are not drawn
    bool usable = true;  // false: a coordinate or the pen is no number or endless
    double left = 0, top = 0, right = 0, bottom = 0;
};

// The box of the points an element's kind uses, widened by half its pen, as the renderer's
// test of what may reach a clip sees it.
Extent extentOf(const TDrawElement& e) {
    Extent x;
    if (e.Kind == ekLine) {  // most elements: two points
        double half = std::fabs(e.Width) / 2;
        if (std::isnan(half)) half = 0;
        x.drawn = true;
        // A sum is finite only when every term is (a sum too large counts as endless too).
        x.usable = std::isfinite(e.X1 + e.Y1 + e.X2 + e.Y2 + half);
        x.left = std::min(e.X1, e.X2) - half, x.right = std::max(e.X1, e.X2) + half;
        x.top = std::min(e.Y1, e.Y2) - half, x.bottom = std::max(e.Y1, e.Y2) + half;
        return x;
    }
    int used;
    switch (e.Kind) {
        case ekLine:
        case ekArc:
        case ekCircle:
            used = 2;
            break;
        case ekCurve:
            used = 4;
            break;
        default:
            return x;
    }
    x.drawn = true;
    const double xs[4] = {e.X1, e.X2, e.X3, e.X4};
    const double ys[4] = {e.Y1, e.Y2, e.Y3, e.Y4};
    double half = std::fabs(e.Width) / 2;
    if (std::isnan(half)) half = 0;  // drawn with the thinnest pen
    x.left = x.right = xs[0];
    x.top = x.bottom = ys[0];
    for (int i = 0; i < used; ++i) {
        if (!std::isfinite(xs[i]) || !std::isfinite(ys[i])) x.usable = false;
        x.left = std::min(x.left, xs[i]), x.right = std::max(x.right, xs[i]);
        x.top = std::min(x.top, ys[i]), x.bottom = std::max(x.bottom, ys[i]);
    }
    if (!std::isfinite(half)) x.usable = false;
    x.left -= half, x.right += half, x.top -= half, x.bottom += half;
    return x;
}

bool sameRecord(const TDrawElement& a, const TDrawElement& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

namespace {

// Floats a little below / above a finite v: v is widened by a few units in the float's last
// place (and by a tiny amount near zero) before it is rounded, so that the rounding never
// crosses it. Beyond the floats' range lie the infinities.
constexpr double kWiden = 1.0 / (1 << 22);
constexpr double kTiny = 1e-40;
constexpr double kFloatMax = FLT_MAX;

inline float floatDown(double v) {
    const double d = v - std::fabs(v) * kWiden - kTiny;
    return d < -kFloatMax ? -std::numeric_limits<float>::infinity()
                          : static_cast<float>(std::min(d, kFloatMax));
}

inline float floatUp(double v) {
    const double d = v + std::fabs(v) * kWiden + kTiny;
    return d > kFloatMax ? std::numeric_limits<float>::infinity()
                         : static_cast<float>(std::max(d, -kFloatMax));
}

inline ElementIndex::Box boxOf(const TDrawElement& e) {
    constexpr float inf = std::numeric_limits<float>::infinity();
    if (e.Kind == ekLine) {  // most elements: written out for speed, as extentOf has it
        double half = std::fabs(e.Width) / 2;
        if (std::isnan(half)) half = 0;
        if (!std::isfinite(e.X1 + e.Y1 + e.X2 + e.Y2 + half)) return {-inf, -inf, inf, inf};
        return {floatDown(std::min(e.X1, e.X2) - half), floatDown(std::min(e.Y1, e.Y2) - half),
                floatUp(std::max(e.X1, e.X2) + half), floatUp(std::max(e.Y1, e.Y2) + half)};
    }
    const Extent x = extentOf(e);
    if (!x.drawn) {
        const float nan = std::numeric_limits<float>::quiet_NaN();
        return {nan, nan, nan, nan};
    }
    if (!x.usable) return {-inf, -inf, inf, inf};
    return {floatDown(x.left), floatDown(x.top), floatUp(x.right), floatUp(x.bottom)};
}

}  // namespace

ElementIndex::Box ElementIndex::BoxOf(const TDrawElement& e) {
    return boxOf(e);
}

bool ElementIndex::bandsKept() const {
    return height_ > 0 && std::isfinite(height_);
}

ElementIndex::Placement ElementIndex::place(const Box& x) const {
    Placement p;
    if (std::isnan(x.top)) return p;  // not drawn
    // Band numbers held within -2 .. kLastBand + 1 before they are rounded down; a NaN (a
    // sheet height of no size) counts as before the first band. A box spanning everything
    // reaches over too many bands and is listed for all.
    const auto bandOf = [](double v) {
        // max with NaN second gives -2.
        v = std::min(std::max(-2.0, v), double{kLastBand + 1});
        const int t = static_cast<int>(v);
        return t - (v < t);
    };
    const int first = bandOf((double{x.top} - kReachMm) * perMm_);
    const int last = bandOf((double{x.bottom} + kReachMm) * perMm_);
    // Elements wholly outside the kept bands are found by the scan such stripes take.
    if (last < -1 || first > kLastBand) return p;
    const int a = first < -1 ? -1 : first;
    const int b = last > kLastBand ? kLastBand : last;
    if (b - a + 1 > kMostBands) {
        p.kind = Placement::Everywhere;
        return p;
    }
    p.kind = Placement::Bands;
    p.first = a, p.last = b;
    return p;
}

std::vector<std::uint32_t>& ElementIndex::band(int b) {
    const std::size_t at = static_cast<std::size_t>(b + 1);
    if (bands_.size() <= at) bands_.resize(at + 1);
    return bands_[at];
}

namespace {

void insertSorted(std::vector<std::uint32_t>& v, std::uint32_t i) {
    if (v.empty() || v.back() < i) {
        v.push_back(i);
        return;
    }
    v.insert(std::lower_bound(v.begin(), v.end(), i), i);
}

bool eraseSorted(std::vector<std::uint32_t>& v, std::uint32_t i) {
    const auto it = std::lower_bound(v.begin(), v.end(), i);
    if (it == v.end() || *it != i) return false;
    v.erase(it);
    return true;
}

// Every entry from `from` on changes by `by`.
void shift(std::vector<std::uint32_t>& v, std::uint32_t from, int by) {
    for (auto it = std::lower_bound(v.begin(), v.end(), from); it != v.end(); ++it)
        *it = static_cast<std::uint32_t>(static_cast<std::int64_t>(*it) + by);
}

}  // namespace

void ElementIndex::add(std::uint32_t i, const Placement& p) {
    if (p.kind == Placement::Everywhere) insertSorted(everywhere_, i);
    if (p.kind == Placement::Bands)
        for (int b = p.first; b <= p.last; ++b) insertSorted(band(b), i);
}

bool ElementIndex::remove(std::uint32_t i, const Placement& p) {
    bool found = true;
    if (p.kind == Placement::Everywhere) found = eraseSorted(everywhere_, i);
    if (p.kind == Placement::Bands)
        for (int b = p.first; b <= p.last; ++b) found = eraseSorted(band(b), i) && found;
    return found;
}

void ElementIndex::note(const TDrawElement& e) {
    if (allChanged_) return;
    const Extent x = extentOf(e);
    if (!x.drawn) return;
    if (!x.usable) {
        allChanged_ = true;
        changed_.clear();
        return;
    }
    changed_.push_back({x.left, x.top, x.right, x.bottom});
    if (changed_.size() > kMostAreas) {
        Area all = changed_.front();
        for (const Area& a : changed_) {
            all.left = std::min(all.left, a.left), all.top = std::min(all.top, a.top);
            all.right = std::max(all.right, a.right), all.bottom = std::max(all.bottom, a.bottom);
        }
        changed_.assign(1, all);
    }
}

void ElementIndex::clearAll() {
    bands_.clear();
    boxes_.clear();
    everywhere_.clear();
    pending_.clear();
    indexed_ = 0;
    lastValid_ = false;
    broken_ = false;
    allChanged_ = true;
    changed_.clear();
}

void ElementIndex::resolvePending() {
    for (const Pending& p : pending_) {
        if (p.index >= indexed_) continue;
        const TDrawElement& now = list_.At(p.index);
        Box& box = boxes_[p.index];
        if (p.hadRecord) {
            if (sameRecord(p.before, now)) continue;
            if (bandsKept() && !remove(p.index, place(box))) broken_ = true;
            note(p.before);
        }
        box = boxOf(now);
        if (bandsKept()) add(p.index, place(box));
        note(now);
    }
    pending_.clear();
}

void ElementIndex::Touching(std::uint32_t i, const void* record) {
    dropAhead();
    if (i >= indexed_) return;  // not taken in yet
    for (const Pending& p : pending_)
        if (p.index == i) return;  // the first look is the one the index holds
    Pending p{i, true, {}};
    std::memcpy(&p.before, record, sizeof p.before);
    pending_.push_back(p);
}

void ElementIndex::Removing(std::uint32_t i, const void* record) {
    dropAhead();
    if (i >= indexed_) return;
    resolvePending();  // the records are still where the pending entries say
    TDrawElement e;
    std::memcpy(&e, record, sizeof e);
    if (bandsKept() && !remove(i, place(boxes_[i]))) broken_ = true;
    note(e);
    boxes_.erase(boxes_.begin() + i);
    for (auto& b : bands_) shift(b, i + 1, -1);
    shift(everywhere_, i + 1, -1);
    --indexed_;
    lastValid_ = false;
}

void ElementIndex::Inserting(std::uint32_t i) {
    dropAhead();
    if (i >= indexed_) return;  // among the records not taken in yet
    resolvePending();
    for (auto& b : bands_) shift(b, i, +1);
    shift(everywhere_, i, +1);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    boxes_.insert(boxes_.begin() + i, Box{nan, nan, nan, nan});  // set when resolved
    ++indexed_;
    pending_.push_back({i, false, {}});
    lastValid_ = false;
}

void ElementIndex::Reset() {
    clearAll();
}

void ElementIndex::setHeight(double sheetHeightMm) {
    // The boxes do not depend on the height: they stay, as boxes worked out ahead, unless a
    // record may have changed since.
    std::vector<Box> boxes;
    if (pending_.empty() && !broken_ && !lastValid_) boxes.swap(boxes_);
    clearAll();
    boxes_.swap(boxes);
    height_ = sheetHeightMm;
    perMm_ = 1 / height_;
}

void ElementIndex::dropAhead() {
    if (boxes_.size() > indexed_) boxes_.resize(indexed_);
}

void ElementIndex::takeIn(std::uint32_t upTo) {
    if (upTo <= indexed_) return;
    // Records taken in now lie behind every listed one: they go to the ends of the lists.
    const bool banding = bandsKept();
    if (banding && bands_.size() < kLastBand + 2) bands_.resize(kLastBand + 2);
    const bool noting = !allChanged_;
    if (boxes_.size() > upTo) boxes_.resize(upTo);
    const auto ahead = static_cast<std::uint32_t>(boxes_.size());
    boxes_.reserve(upTo);
    for (std::uint32_t i = ahead; i < upTo; ++i) boxes_.push_back(boxOf(list_.At(i)));
    if (noting)
        for (std::uint32_t i = indexed_; i < upTo; ++i) note(list_.At(i));
    if (banding) {
        for (std::uint32_t i = indexed_; i < upTo; ++i) {
            // Most elements lie well inside one band of the kept ones (a NaN fails the test).
            const Box& x = boxes_[i];
            const double lo = (double{x.top} - kReachMm) * perMm_ + 2;
            const double hi = (double{x.bottom} + kReachMm) * perMm_ + 2;
            if (lo >= 1 && hi < kLastBand + 3) {
                const int a = static_cast<int>(lo), b = static_cast<int>(hi);
                if (a == b) {
                    bands_[static_cast<std::size_t>(a - 1)].push_back(i);
                    continue;
                }
            }
            const Placement p = place(x);
            if (p.kind == Placement::Bands) {
                for (int b = p.first; b <= p.last; ++b)
                    bands_[static_cast<std::size_t>(b + 1)].push_back(i);
            } else if (p.kind == Placement::Everywhere) {
                everywhere_.push_back(i);
            }
        }
    }
    indexed_ = upTo;
}

void ElementIndex::TakeInBoxes(std::uint32_t upTo) {
    upTo = std::min(upTo, list_.Count());
    if (boxes_.size() < indexed_) return;  // cannot happen: every listed record has one
    boxes_.reserve(list_.Count());
    for (auto i = static_cast<std::uint32_t>(boxes_.size()); i < upTo; ++i)
        boxes_.push_back(boxOf(list_.At(i)));
}

void ElementIndex::SwapWith(ElementIndex& other) {
    std::swap(height_, other.height_);
    std::swap(perMm_, other.perMm_);
    std::swap(indexed_, other.indexed_);
    bands_.swap(other.bands_);
    boxes_.swap(other.boxes_);
    everywhere_.swap(other.everywhere_);
    pending_.swap(other.pending_);
    std::swap(lastValid_, other.lastValid_);
    std::swap(lastIndex_, other.lastIndex_);
    std::swap(last_, other.last_);
    std::swap(broken_, other.broken_);
    for (ElementIndex* i : {this, &other}) {
        i->allChanged_ = true;
        i->changed_.clear();
    }
}

void ElementIndex::Sync(double sheetHeightMm) {
    if (!sameHeight(sheetHeightMm) || broken_) setHeight(sheetHeightMm);
    const std::uint32_t count = list_.Count();
    if (indexed_ > count) {  // cannot happen while every removal is told; start afresh
        clearAll();
    }
    if (lastValid_ && lastIndex_ < indexed_) {
        bool pending = false;
        for (const Pending& p : pending_) pending = pending || p.index == lastIndex_;
        if (!pending) pending_.push_back({lastIndex_, true, last_});
    }
    resolvePending();
    if (broken_) clearAll();
    takeIn(count);
    indexed_ = count;
    lastValid_ = count > 0;
    if (lastValid_) {
        lastIndex_ = count - 1;
        last_ = list_.At(lastIndex_);
    }
}

const std::vector<std::uint32_t>* ElementIndex::Near(double top, double bottom) {
    if (!bandsKept() || indexed_ != list_.Count()) return nullptr;
    if (!(bottom >= top) || !std::isfinite(top) || !std::isfinite(bottom)) return nullptr;
    // Every element reaching the stripe is listed in the bands that meet the stripe narrowed
    // by kReachMm at both ends (or, for a narrow stripe, in the band of its middle).
    double first, last;
    if (bottom - top < 2 * kReachMm) {
        first = last = std::floor((top + bottom) / 2 / height_);
    } else {
        first = std::floor((top + kReachMm) / height_);
        last = std::floor((bottom - kReachMm) / height_);
    }
    if (first < -1 || last > kLastBand || last - first > 2) return nullptr;
    const int a = static_cast<int>(first), b = static_cast<int>(last);
    if (a == b && everywhere_.empty()) return &band(a);
    merged_ = everywhere_;
    std::vector<std::uint32_t> both;
    for (int k = a; k <= b; ++k) {
        const std::vector<std::uint32_t>& list = band(k);
        both.clear();
        both.reserve(merged_.size() + list.size());
        std::set_union(merged_.begin(), merged_.end(), list.begin(), list.end(),
                       std::back_inserter(both));
        merged_.swap(both);
    }
    return &merged_;
}

std::optional<int> ElementIndex::BandAt(double y) const {
    if (!bandsKept()) return std::nullopt;
    const double b = std::floor(y / height_);
    if (!(b >= -1 && b <= kLastBand)) return std::nullopt;  // NaN too
    return static_cast<int>(b);
}

const std::vector<std::uint32_t>& ElementIndex::InBand(int b) {
    if (everywhere_.empty()) return band(b);
    const std::vector<std::uint32_t>& list = band(b);
    merged_.clear();
    merged_.reserve(everywhere_.size() + list.size());
    std::set_union(everywhere_.begin(), everywhere_.end(), list.begin(), list.end(),
                   std::back_inserter(merged_));
    return merged_;
}

bool ElementIndex::TakeChanges(std::vector<Area>& areas) {
    const bool all = allChanged_;
    areas.clear();
    if (!all) areas.swap(changed_);
    changed_.clear();
    allChanged_ = false;
    return all;
}

}  // namespace tervasko
