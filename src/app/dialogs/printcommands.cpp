#include "app/dialogs/printcommands.h"

#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinter>
#include <algorithm>

#include "app/dialogs/errortext.h"
#include "app/dialogs/workprogress.h"
#include "export/output/sheetpages.h"
#include "i18n/messagetable.h"

namespace tervasko {

TPrintCommands::TPrintCommands(QWidget* parent) : parent_(parent) {
    PrinterSetupDialog1 = [this](QPrinter& printer) {
        QPageSetupDialog dialog(&printer, parent_.data());
        return dialog.exec() == QDialog::Accepted;
    };
    PrintDialog1 = [this](QPrinter& printer, int pageCount) {
        QPrintDialog dialog(&printer, parent_.data());
        dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setMinMax(1, pageCount);
        return dialog.exec() == QDialog::Accepted;
    };
    ShowMessage = MessageBoxOwnedBy(parent);
}

TPrintCommands::~TPrintCommands() = default;

QPrinter& TPrintCommands::Printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool TPrintCommands::RunPrinterSetup() {
    const bool accepted = PrinterSetupDialog1 && PrinterSetupDialog1(Printer());
    if (accepted) paperChosen_ = true;
    return accepted;
}

bool TPrintCommands::RunPrint(TDrawing& drawing, int pageCount,
                              const SheetInstruments& instruments) {
    QPrinter& printer = Printer();
    pageCount = std::max(1, pageCount);
    if (!paperChosen_) SetPaperToSheet(printer, drawing);
    printer.setPrintRange(QPrinter::AllPages);
    printer.setFromTo(0, 0);
    if (!PrintDialog1 || !PrintDialog1(printer, pageCount)) return false;

    int first = 0, last = pageCount - 1;
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = std::clamp(printer.fromPage(), 1, pageCount) - 1;
        last =
            std::clamp(printer.toPage() > 0 ? printer.toPage() : pageCount, first + 1, pageCount) -
            1;
    }
    const std::string target = printer.outputFileName().isEmpty()
                                   ? printer.printerName().toStdString()
                                   : printer.outputFileName().toStdString();
    WorkProgress progress(parent_.data(), "Drucken...", target);
    const OutputResult result = PrintDrawing(printer, drawing, first, last, instruments, &progress);
    if (result.ok()) return true;
    // A print the user stopped is not a failure to tell of.
    if (result.failure == OutputFailure::Cancelled) return false;
    if (ShowMessage) {
        if (result.failure == OutputFailure::SheetTooLarge)
            ShowMessage(TranslateText(kSheetTooLargeText));
        else if (result.failure == OutputFailure::CannotWrite)
            ShowMessage(TranslateText(kCannotSaveText) + "\n" +
                        printer.outputFileName().toStdString() + "\n" +
                        DescribeError(result.reason));
        else
            ShowMessage(TranslateText(kPrintFailedText) + "\n" + DescribeError(result.reason));
    }
    return false;
}

std::optional<PrintablePage> TPrintCommands::CurrentPrinterPage() {
    if (printer_) {
        if (auto page = PrintablePageOf(*printer_)) return page;
    }
    return DefaultPrinterPage();
}

}  // namespace tervasko
