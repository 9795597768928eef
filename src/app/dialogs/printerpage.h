#pragma once

#include <optional>

class QPrinter;

namespace tervasko {

// What a printer driver tells of its paper: its horizontal resolution and the printable
// area in printer dots.
struct PrintablePage {
    int dpiX = 0;
    int widthDots = 0;
    int heightDots = 0;
};

// The printable page of the system's default printer; nullopt when there is none.
std::optional<PrintablePage> DefaultPrinterPage();
// The printable page of a printer; nullopt unless it is a real printer (not a PDF file).
std::optional<PrintablePage> PrintablePageOf(QPrinter& printer);

}  // namespace tervasko
