#include "app/sheetview.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <functional>
#include <memory>

#include "document/drawingedit.h"

namespace tervasko {
namespace {

constexpr int kPages = 3;

TDrawElement line(double x1, double y1, double x2, double y2, double width, Color color) {
    TDrawElement e{};
    e.Kind = ekLine;
    e.Width = width;
    e.X1 = x1, e.Y1 = y1, e.X2 = x2, e.Y2 = y2;
    e.Color = color;
    return e;
}

// Sheet pictures kept by a view after one whole paint of the three sheets, then brought up
// to date after a change, against pictures drawn afresh.
class SheetPictures : public ::testing::Test {
protected:
    TDrawing d;
    SheetView view;

    SheetScene scene() {
        SheetScene s;
        s.drawing = &d;
        s.pages = kPages;
        s.ruler = s.protractor = s.compass = false;
        return s;
    }

    static void paintAll(SheetView& v, const SheetScene& s) {
        const IntPoint size = ViewGeometry::Compute(s.zoom, s.dpi, s.drawing->PageWidthInch,
                                                    s.drawing->PageHeightInch)
                                  .PaintBoxSize(s.pages);
        v.Cycle(
            s, QSize(size.x, size.y), [](int, int) {}, [] {});
        QImage screen(size.x, size.y, QImage::Format_RGB32);
        QPainter p(&screen);
        v.Paint(p, screen.rect());
    }

    QImage sheetOf(SheetView& v, int a) {
        QImage image(v.Geometry.SheetWidthPx, v.Geometry.SheetHeightPx, QImage::Format_RGB32);
        v.RenderSheet(image, a);
        return image;
    }

    void SetUp() override {
        // Crossing lines of several pens over the second sheet, a circle, a curve and texts.
        for (int i = 0; i < 60; ++i) {
            const double y = 297 + 20 + i * 4;
            *d.AppendElement() =
                line(10, y, 190, y + 30, i % 3 ? 0.2 : 1.5, i % 2 ? kBlack : 0xAA3300);
            *d.AppendElement() = line(20 + i * 3, 290, 25 + i * 3, 600, 0.5, 0x008800);
        }
        TDrawElement c = line(60, 400, 120, 460, 0.8, kRed);
        c.Kind = ekCircle;
        *d.AppendElement() = c;
        TDrawElement b = line(30, 500, 90, 520, 0.4, kBlack);
        b.Kind = ekCurve;
        b.X3 = 150, b.Y3 = 420, b.X4 = 170, b.Y4 = 560;
        *d.AppendElement() = b;
        for (int i = 0; i < 3; ++i) {
            TTextElement* t = d.AppendText();
            t->X1 = 40 + 30 * i, t->Y1 = 380 + 20 * i;
            t->Text = NewWideBuffer(u"Umkreis");
            t->FontName = NewAnsiBuffer("Arial");
            t->FontSize = 14;
        }
        paintAll(view, scene());
        view.InvalidateDrawing();  // the first catching up takes everything
        paintAll(view, scene());
    }

    // After `change`, the kept pictures are drawn again in part only and equal fresh ones.
    void expectPartialEqualsWhole(const std::function<void()>& change) {
        const SheetView::LayerStats before = view.Stats();
        change();
        view.InvalidateDrawing();
        paintAll(view, scene());
        EXPECT_EQ(view.Stats().whole, before.whole);
        EXPECT_GT(view.Stats().partial, before.partial);
        SheetView fresh;
        paintAll(fresh, scene());
        for (int a = 0; a < kPages; ++a) EXPECT_TRUE(sheetOf(view, a) == sheetOf(fresh, a)) << a;
    }
};

TEST_F(SheetPictures, AStrokeOnTheSecondSheetIsDrawnInPlace) {
    expectPartialEqualsWhole([&] {
        for (int k = 0; k < 8; ++k) {
            TDrawElement* e = d.AppendElement();
            *e = line(50 + 5 * k, 430 + 3 * k, 55 + 5 * k, 433 + 3 * k, 1, 0x0000CC);
        }
    });
}

TEST_F(SheetPictures, ADeletionUncoversWhatLayUnderneath) {
    // A wide white stroke over the crossing lines, drawn whole first.
    *d.AppendElement() = line(30, 420, 160, 470, 6, kWhite);
    view.InvalidateDrawing();
    paintAll(view, scene());
    std::unique_ptr<DrawingEdit> removed;
    expectPartialEqualsWhole([&] {
        const std::uint32_t last = d.Elements.Count() - 1;
        removed = ElementRemoved(last, d.Elements.At(last));
        d.Elements.Delete(static_cast<std::int32_t>(last));
    });
    expectPartialEqualsWhole([&] { ASSERT_TRUE(removed->Undo(d)); });  // and covered again
}

TEST_F(SheetPictures, AMovedElementLeavesItsPlaceAndShowsAtTheNew) {
    std::unique_ptr<DrawingEdit> moved;
    expectPartialEqualsWhole([&] {
        // From the second sheet over the border onto the third, under later lines.
        TDrawElement* e = d.Elements.Select(10);
        const TDrawElement before = *e;
        e->Y1 += 280, e->Y2 += 280, e->X1 += 7;
        moved = ElementChanged(10, before, *e);
    });
    expectPartialEqualsWhole([&] { ASSERT_TRUE(moved->Undo(d)); });
}

TEST_F(SheetPictures, ATextChangeDrawsTheSheetsWhole) {
    const SheetView::LayerStats before = view.Stats();
    d.Texts.Select(1)->X1 += 20;
    view.InvalidateDrawing();
    paintAll(view, scene());
    EXPECT_GT(view.Stats().whole, before.whole);
    SheetView fresh;
    paintAll(fresh, scene());
    EXPECT_TRUE(sheetOf(view, 1) == sheetOf(fresh, 1));
}

// On a screen at twice the size the paint copies kept pictures already scaled: the pixels are
// those the painter's own scaling of the sheet pictures gives, whole, in an odd part, and
// after a change drawn in part.
TEST_F(SheetPictures, AtTwiceTheSizeThePaintShowsWhatScalingTheSheetPicturesGives) {
    const SheetScene s = scene();
    const IntPoint size = ViewGeometry::Compute(s.zoom, s.dpi, d.PageWidthInch, d.PageHeightInch)
                              .PaintBoxSize(kPages);
    const auto screen = [&](const QRect& exposed, SheetView* painted) {
        QImage image(size.x * 2, size.y * 2, QImage::Format_RGB32);
        image.setDevicePixelRatio(2);
        image.fill(Qt::darkGray);
        QPainter p(&image);
        if (painted) {
            painted->Paint(p, exposed);
            return image;
        }
        p.setClipRect(exposed);
        const int w = view.Geometry.SheetWidthPx, h = view.Geometry.SheetHeightPx;
        for (int a = 0; a < kPages; ++a) {
            const IntRect r = ViewTransform{view.Geometry.PixelsPerMm, h, 0}.SheetRect(a, w);
            p.drawImage(QPoint(r.left, r.top), sheetOf(view, a));
        }
        return image;
    };
    const QRect whole(0, 0, size.x, size.y);
    const QRect odd(101, view.Geometry.SheetHeightPx - 37, 333, 211);  // over a sheet's edge
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_TRUE(screen(whole, &view) == screen(whole, nullptr));
        EXPECT_TRUE(screen(odd, &view) == screen(odd, nullptr));
        // A stroke over the second sheet: the kept pictures catch up in part.
        for (int k = 0; k < 8; ++k)
            *d.AppendElement() = line(50 + 5 * k, 430 + 3 * k, 55 + 5 * k, 433 + 3 * k, 1, 0xCC);
        view.InvalidateDrawing();
        paintAll(view, s);
    }
}

}  // namespace
}  // namespace tervasko
