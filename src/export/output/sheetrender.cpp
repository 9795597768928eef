#include "export/output/sheetrender.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "platform/numeric.h"
#include "platform/qt/qtcanvas.h"
#include "view/drawobjects.h"
#include "view/instruments.h"
#include "view/viewgeometry.h"
#include "view/viewtransform.h"
#include "worksheet/worksheet.h"

namespace tervasko {
namespace {

// DrawObjects stores every text's measured corner at the resolution it draws at; the screen
// measures the same texts at its own, so the printer's measure must not stay behind.
class TextCornersKept {
public:
    explicit TextCornersKept(TDrawing& drawing) : drawing_(drawing) {
        drawing_.Texts.Rewind();
        while (drawing_.Texts.Next())
            corners_.push_back({drawing_.CurText->X2, drawing_.CurText->Y2});
    }
    ~TextCornersKept() {
        std::size_t i = 0;
        drawing_.Texts.Rewind();
        while (drawing_.Texts.Next() && i < corners_.size()) {
            drawing_.CurText->X2 = corners_[i].x;
            drawing_.CurText->Y2 = corners_[i].y;
            ++i;
        }
    }
    TextCornersKept(const TextCornersKept&) = delete;
    TextCornersKept& operator=(const TextCornersKept&) = delete;

private:
    struct Corner {
        double x, y;
    };
    TDrawing& drawing_;
    std::vector<Corner> corners_;
};

// Passes the drawing on to a canvas and counts it. Once the progress says stop, the drawing
// goes nowhere: the renderers have no way out of their walk, but a walk that draws nothing
// is quick. Measures still answer, from the canvas, as they decide nothing drawn any more.
class CountingCanvas final : public Canvas {
public:
    CountingCanvas(Canvas& canvas, ProgressCounter& progress)
        : canvas_(canvas), progress_(progress) {}

    void setPen(Color color, int width, PenStyle style) override {
        canvas_.setPen(color, width, style);
    }
    void setBrush(Color color) override { canvas_.setBrush(color); }
    void setBrushHollow() override { canvas_.setBrushHollow(); }
    void setFont(const FontSpec& font) override { canvas_.setFont(font); }
    void setTransparentBackground(bool transparent) override {
        canvas_.setTransparentBackground(transparent);
    }
    void moveTo(int x, int y) override { canvas_.moveTo(x, y); }
    void lineTo(int x, int y) override {
        if (step()) canvas_.lineTo(x, y);
    }
    void rectangle(int left, int top, int right, int bottom) override {
        if (step()) canvas_.rectangle(left, top, right, bottom);
    }
    void ellipse(int left, int top, int right, int bottom) override {
        if (step()) canvas_.ellipse(left, top, right, bottom);
    }
    void arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4) override {
        if (step()) canvas_.arc(left, top, right, bottom, x3, y3, x4, y4);
    }
    void lines(const IntLine* lines, std::size_t count) override {
        // One pen's lines arrive in one call, the lines of a whole sheet if need be: they
        // go on in parts, so that the progress hears of them and can stop them.
        constexpr std::size_t kPart = 4096;
        for (std::size_t at = 0; at < count && !progress_.Stopped(); at += kPart) {
            const std::size_t n = std::min(kPart, count - at);
            canvas_.lines(lines + at, n);
            progress_.Advance(n);
        }
    }
    void bezierTo(IntPoint c1, IntPoint c2, IntPoint end) override {
        if (step()) canvas_.bezierTo(c1, c2, end);
    }
    void textOut(int x, int y, std::u16string_view text) override {
        if (step()) canvas_.textOut(x, y, text);
    }
    int textWidth(std::u16string_view text) override { return canvas_.textWidth(text); }
    IntRect drawText(IntRect r, std::u16string_view text, bool measureOnly) override {
        // Every text is measured once before it is drawn: that is where it counts.
        if (measureOnly) {
            step();
            return canvas_.drawText(r, text, true);
        }
        return progress_.Stopped() ? r : canvas_.drawText(r, text, false);
    }
    int logicalDpiX() const override { return canvas_.logicalDpiX(); }
    int logicalDpiY() const override { return canvas_.logicalDpiY(); }
    std::optional<IntRect> shownArea() const override { return canvas_.shownArea(); }

private:
    bool step() { return !progress_.Stopped() && progress_.Advance(); }

    Canvas& canvas_;
    ProgressCounter& progress_;
};

}  // namespace

bool SheetSizeUsable(const TDrawing& drawing) {
    return SheetSideUsable(drawing.PageWidthInch) && SheetSideUsable(drawing.PageHeightInch);
}

QSize SheetPixelSize(const TDrawing& drawing, int dpi) {
    const ViewGeometry g =
        ViewGeometry::Compute(100, dpi, drawing.PageWidthInch, drawing.PageHeightInch);
    return {std::max(1, g.SheetWidthPx), std::max(1, g.SheetHeightPx)};
}

std::uint64_t SheetWorkUnits(TDrawing& drawing, int dpi, int sheet, const IntRect& clip) {
    const ViewGeometry g =
        ViewGeometry::Compute(100, dpi, drawing.PageWidthInch, drawing.PageHeightInch);
    const double scale = g.PixelsPerMm;
    // The stripe DrawObjects asks the index for.
    const double off = ViewTransform{scale, 0, drawing.PageHeightInch}.SheetTopMm(sheet);
    const std::vector<std::uint32_t>* near =
        scale > 0
            ? drawing.ElementsNear(off + (clip.top - 3) / scale, off + (clip.bottom + 3) / scale)
            : nullptr;
    return (near ? near->size() : drawing.Elements.Count()) + std::uint64_t{drawing.Texts.Count()};
}

void DrawSheetContents(Canvas& target, int dpi, TDrawing& drawing, int sheet,
                       const SheetInstruments& instruments, const IntRect& clip,
                       ProgressCounter* progress) {
    const ViewGeometry g =
        ViewGeometry::Compute(100, dpi, drawing.PageWidthInch, drawing.PageHeightInch);
    std::optional<CountingCanvas> counting;
    if (progress && progress->Reporting()) counting.emplace(target, *progress);
    Canvas& canvas = counting ? static_cast<Canvas&>(*counting) : target;
    TextCornersKept keep(drawing);
    // Font sizes stay as given: at the device's resolution a point is a point on paper.
    DrawObjects(canvas, drawing, sheet, g.PixelsPerMm, 1.0, &clip);
    canvas.setPen(kGrey, 1);
    canvas.setBrushHollow();
    const double s = g.PixelsPerMm;
    if (instruments.ruler)
        DrawRuler(canvas, drawing.Placement, s, g.SheetWidthPx, g.SheetHeightPx,
                  instruments.inchRuler);
    if (instruments.protractor)
        DrawProtractor(canvas, drawing.Placement, drawing.WinkelDiameter, s);
    if (instruments.setSquare) DrawSetSquare(canvas, drawing.Placement, s);
    if (instruments.compass) DrawCompass(canvas, drawing.Placement, drawing.ZirkelAngle, s);
}

namespace {

QRect shownPart(const TDrawing& drawing, int dpi, QRect area) {
    // Every output checks the sheet first; one no output takes is not drawn at all.
    if (!SheetSizeUsable(drawing)) return QRect();
    const ViewGeometry g =
        ViewGeometry::Compute(100, dpi, drawing.PageWidthInch, drawing.PageHeightInch);
    const QRect sheetRect(0, 0, std::max(1, g.SheetWidthPx), std::max(1, g.SheetHeightPx));
    return area.isEmpty() ? sheetRect : area.intersected(sheetRect);
}

}  // namespace

IntRect SheetArea(const TDrawing& drawing, int dpi, QRect area) {
    area = shownPart(drawing, dpi, area);
    if (area.isEmpty()) return {};
    return {area.left(), area.top(), area.right() + 1, area.bottom() + 1};
}

void RenderSheet(QPainter& painter, int dpi, TDrawing& drawing, int sheet,
                 const SheetInstruments& instruments, QRect area, ProgressCounter* progress) {
    area = shownPart(drawing, dpi, area);
    if (area.isEmpty()) return;

    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    painter.fillRect(area, Qt::white);
    if (instruments.worksheet && drawing.Worksheet)
        DrawWorksheetPage(
            painter, drawing, sheet,
            ViewGeometry::Compute(100, dpi, drawing.PageWidthInch, drawing.PageHeightInch)
                .PixelsPerMm,
            area);
    {
        QtCanvas canvas(painter, dpi);
        const IntRect clip{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
        DrawSheetContents(canvas, dpi, drawing, sheet, instruments, clip, progress);
    }
    painter.restore();
}

}  // namespace tervasko
