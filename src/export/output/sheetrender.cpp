#include "export/output/sheetrender.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

#include "platform/numeric.h"
#include "platform/qt/qtcanvas.h"
#include "view/drawobjects.h"
#include "view/instruments.h"
#include "view/viewgeometry.h"

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

}  // namespace

bool SheetSizeUsable(const TDrawing& drawing) {
    return SheetSideUsable(drawing.PageWidthInch) && SheetSideUsable(drawing.PageHeightInch);
}

QSize SheetPixelSize(const TDrawing& drawing, int dpi) {
    const ViewGeometry g =
        ViewGeometry::Compute(100, dpi, drawing.PageWidthInch, drawing.PageHeightInch);
    return {std::max(1, g.SheetWidthPx), std::max(1, g.SheetHeightPx)};
}

void DrawSheetContents(Canvas& canvas, int dpi, TDrawing& drawing, int sheet,
                       const SheetInstruments& instruments, const IntRect& clip) {
    const ViewGeometry g =
        ViewGeometry::Compute(100, dpi, drawing.PageWidthInch, drawing.PageHeightInch);
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
    if (instruments.compass) DrawCompass(canvas, drawing.Placement, drawing.ZirkelAngle, s);
}

void RenderSheet(QPainter& painter, int dpi, TDrawing& drawing, int sheet,
                 const SheetInstruments& instruments, QRect area) {
    // Every output checks the sheet first; one no output takes is not drawn at all.
    if (!SheetSizeUsable(drawing)) return;
    const ViewGeometry g =
        ViewGeometry::Compute(100, dpi, drawing.PageWidthInch, drawing.PageHeightInch);
    const QRect sheetRect(0, 0, std::max(1, g.SheetWidthPx), std::max(1, g.SheetHeightPx));
    area = area.isEmpty() ? sheetRect : area.intersected(sheetRect);
    if (area.isEmpty()) return;

    painter.save();
    painter.setClipRect(area, Qt::IntersectClip);
    painter.fillRect(area, Qt::white);
    {
        QtCanvas canvas(painter, dpi);
        const IntRect clip{area.left(), area.top(), area.right() + 1, area.bottom() + 1};
        DrawSheetContents(canvas, dpi, drawing, sheet, instruments, clip);
    }
    painter.restore();
}

}  // namespace tervasko
