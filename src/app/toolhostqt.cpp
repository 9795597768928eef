#include "app/toolhostqt.h"

#include <QAction>
#include <QPainter>

#include "app/mainUnit.h"
#include "app/paintbox.h"
#include "platform/qt/qtcanvas.h"

namespace tervasko {

bool TMainToolHost::Checked(ToolItem item) const { return form_.ToolAction(item)->isChecked(); }
double TMainToolHost::PixelsPerMm() const { return form_.PixelsPerMm(); }
int TMainToolHost::SheetHeightPx() const { return form_.View.Geometry.SheetHeightPx; }
Color TMainToolHost::PenColor() const { return form_.PenColor(); }
double TMainToolHost::PenWidth() const { return form_.PenWidth(); }
double TMainToolHost::EraserWidth() const { return form_.EraserWidth(); }
void TMainToolHost::Paint() { form_.PaintBox1Paint(); }
void TMainToolHost::UpdateEds() { form_.UpdateEds(); }
void TMainToolHost::SetChanged() { form_.SetChanged(); }

Canvas& TMainToolHost::ScreenCanvas() {
    // What is drawn now shows at the next repaint, right after this event.
    form_.PaintBox1->update();
    return form_.View.Overlay();
}

void TMainToolHost::SingleSheetRefresh(int sheet, const std::function<void(Canvas&)>& preview) {
    SheetView& view = form_.View;
    view.SingleSheetPaint = true;
    view.PointerSheet = sheet;
    form_.PaintBox1Paint();
    view.SingleSheetPaint = false;
    {
        QPainter painter(&view.SheetBuffer);
        QtCanvas canvas(painter, form_.PaintBox1->logicalDpiX());
        preview(canvas);
    }
    view.ShowSheetBuffer();
    const ViewGeometry& g = view.Geometry;
    form_.PaintBox1->update(SheetMarginPx, SheetMarginPx + sheet * g.SheetHeightPx, g.SheetWidthPx,
                            g.SheetHeightPx);
}

void TMainToolHost::ShowPointerPosition(int x, int y) { form_.ShowPointerPosition(x, y); }

}  // namespace tervasko
