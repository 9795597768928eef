#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

#include "app/dialogs/outputmessages.h"
#include "app/dialogs/printerpage.h"
#include "document/drawmodel.h"
#include "export/output/sheetrender.h"

class QPrinter;
class QWidget;

namespace tervasko {

// "Drucker einrichten..." and "Drucken...": the window's current printer and its two
// dialogs. The printer is made at its first use.
//
// Printing puts each sheet on its own page at true scale (sheets larger than the paper in
// pieces, see PutSheetsOnPages) with the instruments that the caller passes. Unless paper was
// chosen in the printer setup, the paper proposed in the print dialog follows the sheet's
// size and orientation. Printing to a PDF file works without any printer and replaces the
// file only when it is complete.
class TPrintCommands {
public:
    explicit TPrintCommands(QWidget* parent);
    ~TPrintCommands();
    TPrintCommands(const TPrintCommands&) = delete;
    TPrintCommands& operator=(const TPrintCommands&) = delete;

    QPrinter& Printer();

    // The dialogs, replaceable in tests: each shows its dialog on the printer and returns
    // true when accepted. PrintDialog1 also gets the number of sheets for its page range.
    std::function<bool(QPrinter&)> PrinterSetupDialog1;
    std::function<bool(QPrinter&, int pageCount)> PrintDialog1;
    ShowMessageFn ShowMessage;

    // "Drucker einrichten...": runs the printer setup. The caller repaints afterwards,
    // whatever the result.
    bool RunPrinterSetup();

    // "Drucken...": runs the print dialog and prints sheets of the page range chosen there
    // (all `pageCount` sheets by default). False when cancelled or failed; a failure is shown.
    bool RunPrint(TDrawing& drawing, int pageCount, const SheetInstruments& instruments);

    // The current printer's printable page, or the default printer's while the current one
    // writes PDF files; for "Von Druckertreiber übernehmen".
    std::optional<PrintablePage> CurrentPrinterPage();

private:
    QPointer<QWidget> parent_;
    std::unique_ptr<QPrinter> printer_;
    bool paperChosen_ = false;
};

}  // namespace tervasko
