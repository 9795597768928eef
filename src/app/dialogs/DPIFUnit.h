#pragma once

#include <QDialog>
#include <functional>

#include "app/dialogs/outputmessages.h"
#include "app/dialogs/savedialog.h"
#include "document/drawmodel.h"
#include "export/output/sheetpicture.h"
#include "export/output/sheetrender.h"

class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace tervasko {

// The picture export's window: file format, resolution and sheet. Fixed size, centred on the
// screen. The values stay from one export to the next. An SVG drawing has no resolution, so
// the resolution is greyed out while SVG is chosen.
class TDPIForm : public QDialog {
    Q_OBJECT
public:
    explicit TDPIForm(QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QComboBox* FormatCB = nullptr;   // BMP, PNG or SVG: the picture file dialog's order
    QSpinBox* DPIED = nullptr;       // dots per inch, 10 .. 4000
    QSpinBox* SeiteEd = nullptr;     // sheet, counted from 1
    QPushButton* BitBtn1 = nullptr;  // OK

    PictureFormat Format() const;
    void SetFormat(PictureFormat format);

    // Shows the window modally and returns its result; exec() unless replaced.
    std::function<int()> Exec;

protected:
    void showEvent(QShowEvent* event) override;
};

// The picture file dialog of the main window: BMP by default, PNG and SVG offered beside it.
inline constexpr const char* kPictureFilter =
    "BMP-Dateien (*.bmp)|*.bmp|PNG-Dateien (*.png)|*.png|SVG-Dateien (*.svg)|*.svg";
TSaveDialog* MakeSaveDialog2(QWidget* owner);

// "Als Bild exportieren...": asks for the format, the resolution and the sheet (form), checks
// that the sheet exists and, for a BMP or PNG picture, that it can be made at that
// resolution, then asks for the file (saveDialog, proposing the format chosen in the form)
// and writes the sheet there as a BMP or, for a ".png" or ".svg" name, a PNG or SVG file. An
// SVG drawing is never checked against a resolution; a BMP or PNG name chosen after SVG in
// the form is checked against the form's resolution once the file is known. Refusals and
// failures are shown through showMessage; an existing file is replaced only by a complete
// picture. True when the picture was written; the form then proposes its format next time.
bool RunPictureExport(TDPIForm& form, TSaveDialog& saveDialog, TDrawing& drawing, int pageCount,
                      const SheetInstruments& instruments, const ShowMessageFn& showMessage);

}  // namespace tervasko
