#include "document/elementindex.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <vector>

#include "document/drawingedit.h"
#include "document/drawingfile.h"

namespace tervasko {
namespace {

constexpr double kH = 297;

struct Box {
    double top, bottom;
};

// The rows an element may reach with half its pen; nullopt-like `drawn` false for kinds that
// are never drawn.
bool reach(const TDrawElement& e, Box& b) {
    const int used = e.Kind == ekCurve ? 4 : e.Kind <= ekCircle ? 2 : 0;
    if (!used) return false;
    const double ys[4] = {e.Y1, e.Y2, e.Y3, e.Y4};
    if (std::any_of(ys, ys + used, [](double y) { return std::isnan(y); })) {
        b.top = b.bottom = std::nan("");
        return true;
    }
    b.top = *std::min_element(ys, ys + used) - std::fabs(e.Width) / 2;
    b.bottom = *std::max_element(ys, ys + used) + std::fabs(e.Width) / 2;
    return true;
}

// Everything that reaches the stripe is listed, in order, and nothing listed lies far away
// (an element left behind where it was before a move, or a stale number after a removal).
void expectIndexAgrees(TDrawing& d, double top, double bottom) {
    const std::vector<std::uint32_t>* near = d.ElementsNear(top, bottom);
    ASSERT_NE(near, nullptr) << top << ".." << bottom;
    EXPECT_TRUE(std::is_sorted(near->begin(), near->end()));
    EXPECT_EQ(std::adjacent_find(near->begin(), near->end()), near->end());
    std::vector<bool> listed(d.Elements.Count());
    for (std::uint32_t i : *near) {
        ASSERT_LT(i, d.Elements.Count());
        listed[i] = true;
        Box b;
        ASSERT_TRUE(reach(d.Elements.At(i), b)) << i;
        const double far = ElementIndex::kReachMm + kH;
        // Elements without a usable extent or reaching over many sheets are listed for all.
        if (std::isnan(b.top) || std::isnan(b.bottom) || b.bottom - b.top > 3 * kH) continue;
        EXPECT_TRUE(b.bottom >= top - far && b.top <= bottom + far)
            << "element " << i << " at " << b.top << ".." << b.bottom << " listed for " << top
            << ".." << bottom;
    }
    for (std::uint32_t i = 0; i < d.Elements.Count(); ++i) {
        Box b;
        if (reach(d.Elements.At(i), b) && b.bottom >= top && b.top <= bottom) {
            EXPECT_TRUE(listed[i]) << "element " << i << " missing for " << top << ".." << bottom;
        }
    }
}

// Every element's box holds the points its kind uses, widened by half its pen, exactly:
// rounded to floats outwards, never inwards.
void expectBoxesHold(TDrawing& d) {
    const std::vector<ElementIndex::Box>& boxes = d.ElementBoxes();
    ASSERT_EQ(boxes.size(), d.Elements.Count());
    for (std::uint32_t i = 0; i < d.Elements.Count(); ++i) {
        const TDrawElement& e = d.Elements.At(i);
        const ElementIndex::Box& b = boxes[i];
        const int used = e.Kind == ekCurve ? 4 : e.Kind <= ekCircle ? 2 : 0;
        if (!used) {
            EXPECT_TRUE(std::isnan(b.left) && std::isnan(b.bottom)) << i;
            continue;
        }
        const double xs[4] = {e.X1, e.X2, e.X3, e.X4}, ys[4] = {e.Y1, e.Y2, e.Y3, e.Y4};
        const double half = std::fabs(e.Width) / 2;
        for (int k = 0; k < used; ++k) {
            if (std::isnan(xs[k]) || std::isnan(ys[k])) {
                EXPECT_TRUE(std::isinf(b.left) && std::isinf(b.bottom) && b.left < b.right) << i;
                break;
            }
            EXPECT_LE(b.left, xs[k] - half) << i;
            EXPECT_GE(b.right, xs[k] + half) << i;
            EXPECT_LE(b.top, ys[k] - half) << i;
            EXPECT_GE(b.bottom, ys[k] + half) << i;
        }
    }
}

void expectAllStripesAgree(TDrawing& d) {
    expectBoxesHold(d);
    for (int a = 0; a < 5; ++a) {
        expectIndexAgrees(d, a * kH - 1, (a + 1) * kH + 1);  // a sheet with a little margin
        expectIndexAgrees(d, a * kH + 140, a * kH + 150);    // a narrow stripe
    }
    expectIndexAgrees(d, 250, 340);  // across a border
}

TDrawElement lineAt(double x, double y, double width = 0.5) {
    TDrawElement e{};
    e.Kind = ekLine;
    e.Width = width;
    e.X1 = x, e.Y1 = y, e.X2 = x + 3, e.Y2 = y + 2;
    return e;
}

struct Random {
    std::uint32_t seed = 99;
    double operator()() {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24);
    }
};

TEST(ElementIndex, FollowsEveryKindOfChangeOfTheList) {
    TDrawing d;
    d.PageHeightInch = kH / MmPerInch;
    Random rnd;
    for (int i = 0; i < 400; ++i) *d.AppendElement() = lineAt(rnd() * 200, rnd() * 5 * kH);
    expectAllStripesAgree(d);

    std::vector<std::unique_ptr<DrawingEdit>> done;
    for (int step = 0; step < 300; ++step) {
        const auto n = static_cast<std::int32_t>(d.Elements.Count());
        const auto pick = static_cast<std::int32_t>(rnd() * n);
        switch (step % 8) {
            case 0: {  // a stroke: appended, written after the append
                const std::uint32_t first = d.Elements.Count();
                for (int k = 0; k < 3; ++k) *d.AppendElement() = lineAt(rnd() * 200, rnd() * 1500);
                done.push_back(ElementsAppended(first, 3));
                break;
            }
            case 1: {  // removed from the middle
                const TDrawElement removed = d.Elements.At(pick);
                d.Elements.Delete(pick);
                done.push_back(ElementRemoved(static_cast<std::uint32_t>(pick), removed));
                break;
            }
            case 2: {  // moved across a sheet border
                TDrawElement* e = d.Elements.Select(pick);
                const TDrawElement before = *e;
                e->Y1 += 300, e->Y2 += 300;
                done.push_back(ElementChanged(static_cast<std::uint32_t>(pick), before, *e));
                break;
            }
            case 3:  // the last change taken back
            case 4:
                if (!done.empty()) {
                    ASSERT_TRUE(done.back()->Undo(d));
                    if (step % 8 == 4) {
                        ASSERT_TRUE(done.back()->Redo(d));
                    } else {
                        done.pop_back();
                    }
                }
                break;
            case 5: {  // a curve, a wide pen, a kind never drawn, a coordinate that is no number
                TDrawElement e = lineAt(rnd() * 200, rnd() * 1500, 40);
                e.Kind = ekCurve;
                e.Y3 = e.Y1 - 100, e.Y4 = e.Y1 + 20;
                *d.AppendElement() = e;
                e.Kind = 7;
                *d.AppendElement() = e;
                e = lineAt(0, 0);
                e.Y2 = std::nan("");
                *d.Elements.Insert(pick) = e;
                break;
            }
            case 6:  // two records exchanged
                d.Elements.Exchange(pick, n - 1 - pick);
                break;
            default: {  // an element reaching over every sheet, then shortened
                TDrawElement* e = d.Elements.Select(pick);
                e->Y1 = -50, e->Y2 = 6 * kH;
                expectAllStripesAgree(d);
                e = d.Elements.Select(pick);
                e->Y2 = 10;
                break;
            }
        }
        expectAllStripesAgree(d);
        if (HasFailure()) {
            ADD_FAILURE() << "after step " << step;
            return;
        }
    }

    // A new sheet height, a load and a new drawing start the index afresh.
    d.PageHeightInch = 210 / MmPerInch;
    const double h = 210;
    for (int a = 0; a < 7; ++a) expectIndexAgrees(d, a * h, (a + 1) * h);
    d.PageHeightInch = kH / MmPerInch;
    const std::vector<std::uint8_t> file = EncodeDrawing(d, DrawingSettings{});
    TDrawing loaded;
    *loaded.AppendElement() = lineAt(5, 5);
    expectAllStripesAgree(loaded);
    DrawingSettings settings;
    ASSERT_FALSE(ReadDrawingBytes(file.data(), file.size(), "x", loaded, settings));
    ASSERT_EQ(loaded.Elements.Count(), d.Elements.Count());
    expectAllStripesAgree(loaded);
    loaded.NewAll();
    expectAllStripesAgree(loaded);
    EXPECT_TRUE(loaded.ElementsNear(0, kH)->empty());
}

// A sheet height of no size (a broken file's page setup) must not make band numbers out of
// NaN or infinity: the elements are taken in and the whole list counts as changed.
TEST(ElementIndex, TakesInElementsUnderASheetHeightOfNoSize) {
    for (const double height : {0.0, -5.0, std::nan(""), HUGE_VAL, 1e-300}) {
        SCOPED_TRACE(height);
        TDrawing d;
        *d.AppendElement() = lineAt(10, 20);
        *d.AppendElement() = lineAt(-1e308, 1e308);
        d.Index.Sync(height);
        std::vector<ElementIndex::Area> areas;
        EXPECT_TRUE(d.Index.TakeChanges(areas));
        // The boxes are kept all the same, and follow a change.
        d.PageHeightInch = height / MmPerInch;
        expectBoxesHold(d);
        d.Elements.Select(0)->X2 = 1e30;
        d.Elements.Delete(1);
        expectBoxesHold(d);
    }
}

TEST(ElementIndex, ReportsWhereElementsWereAndAreAfterAChange) {
    TDrawing d;
    d.PageHeightInch = kH / MmPerInch;
    for (int i = 0; i < 10; ++i) *d.AppendElement() = lineAt(10 * i, 400 + 10 * i);
    std::vector<ElementIndex::Area> areas;
    d.Index.Sync(d.SheetHeightMm());
    EXPECT_TRUE(d.Index.TakeChanges(areas));  // a list the index has not seen: all of it
    d.Index.Sync(d.SheetHeightMm());
    EXPECT_FALSE(d.Index.TakeChanges(areas));
    EXPECT_TRUE(areas.empty());

    const auto covers = [&](double x, double y) {
        return std::any_of(areas.begin(), areas.end(), [&](const ElementIndex::Area& a) {
            return a.left <= x && x <= a.right && a.top <= y && y <= a.bottom;
        });
    };
    // Looking at a record without writing it changes nothing.
    d.Elements.Select(3);
    d.Index.Sync(d.SheetHeightMm());
    EXPECT_FALSE(d.Index.TakeChanges(areas));
    EXPECT_TRUE(areas.empty());

    // Written after the index took it in: seen all the same.
    TDrawElement* late = d.AppendElement();
    d.Index.Sync(d.SheetHeightMm());
    *late = lineAt(100, 900);
    d.Index.Sync(d.SheetHeightMm());
    EXPECT_FALSE(d.Index.TakeChanges(areas));
    EXPECT_TRUE(covers(101, 901));
    expectAllStripesAgree(d);

    d.Elements.Select(0)->Y1 = std::nan("");
    d.Index.Sync(d.SheetHeightMm());
    EXPECT_TRUE(d.Index.TakeChanges(areas));  // no area to speak of: everything
}

TEST(ElementIndex, ReportsBothPlacesOfAMovedElementAndARemovedOne) {
    TDrawing d;
    d.PageHeightInch = kH / MmPerInch;
    for (int i = 0; i < 10; ++i) *d.AppendElement() = lineAt(10 * i, 400 + 10 * i);
    d.Index.Sync(d.SheetHeightMm());
    std::vector<ElementIndex::Area> areas;
    d.Index.TakeChanges(areas);
    TDrawElement* e = d.Elements.Select(3);  // (30, 430) .. (33, 432)
    e->X1 += 50, e->X2 += 50, e->Y1 += 300, e->Y2 += 300;
    d.Elements.Delete(7);  // (70, 470) .. (73, 472)
    d.Index.Sync(d.SheetHeightMm());
    EXPECT_FALSE(d.Index.TakeChanges(areas));
    const auto covers = [&](double x, double y) {
        return std::any_of(areas.begin(), areas.end(), [&](const ElementIndex::Area& a) {
            return a.left <= x && x <= a.right && a.top <= y && y <= a.bottom;
        });
    };
    EXPECT_TRUE(covers(30 - 0.25, 430 - 0.25));  // with half the pen
    EXPECT_TRUE(covers(83, 732));
    EXPECT_TRUE(covers(72, 471));
    EXPECT_FALSE(covers(50, 450));  // an element that stayed
}

}  // namespace
}  // namespace tervasko
