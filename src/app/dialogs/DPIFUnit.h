#pragma once

#include <QDialog>
#include <functional>

#include "app/dialogs/outputmessages.h"
#include "app/dialogs/savedialog.h"
#include "document/drawmodel.h"
#include "export/output/sheetrender.h"

class QLabel;
class QPushButton;
class QSpinBox;

namespace tervasko {

// The picture export's window: resolution and sheet. Fixed size, centred on the screen.
// The values stay from one export to the next.
class TDPIForm : public QDialog {
    Q_OBJECT
public:
    explicit TDPIForm(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QSpinBox* DPIED = nullptr;       // dots per inch, 10 .. 4000
    QSpinBox* SeiteEd = nullptr;     // sheet, counted from 1
    QPushButton* BitBtn1 = nullptr;  // OK

    // Shows the window modally and returns its result; exec() unless replaced.
    std::function<int()> Exec;

protected:
    void showEvent(QShowEvent* event) override;
};

// The picture file dialog of the main window: BMP by default, PNG and SVG offered beside it.
inline constexpr const char* kPictureFilter =
    "BMP-Dateien (*.bmp)|*.bmp|PNG-Dateien (*.png)|*.png|SVG-Dateien (*.svg)|*.svg";
TSaveDialog* MakeSaveDialog2(QWidget* owner);

// "Als Bild exportieren...": asks for the resolution and the sheet (form), checks that the
// sheet exists and that the picture can be made, then asks for the file (saveDialog) and
// writes the sheet there as a BMP or, for a ".png" or ".svg" name, a PNG or SVG file. Refusals and
// failures are shown through showMessage; an existing file is replaced only by a complete picture.
// True when the picture was written.
bool RunPictureExport(TDPIForm& form, TSaveDialog& saveDialog, TDrawing& drawing, int pageCount,
                      const SheetInstruments& instruments, const ShowMessageFn& showMessage);

}  // namespace tervasko
