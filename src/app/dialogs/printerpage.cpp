#include "app/dialogs/printerpage.h"

#include <QPrinter>
#include <QPrinterInfo>

namespace tervasko {

std::optional<PrintablePage> PrintablePageOf(QPrinter& printer) {
    if (printer.outputFormat() != QPrinter::NativeFormat || printer.printerName().isEmpty())
        return std::nullopt;
    const int dpi = printer.resolution();
    const QRect area = printer.pageLayout().paintRectPixels(dpi);
    if (dpi <= 0 || area.isEmpty()) return std::nullopt;
    return PrintablePage{dpi, area.width(), area.height()};
}

std::optional<PrintablePage> DefaultPrinterPage() {
    const QPrinterInfo info = QPrinterInfo::defaultPrinter();
    if (info.isNull()) return std::nullopt;
    QPrinter printer(info, QPrinter::HighResolution);
    return PrintablePageOf(printer);
}

}  // namespace tervasko
