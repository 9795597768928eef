#pragma once

#include <QDialog>
#include <functional>
#include <optional>

#include "app/dialogs/outputmessages.h"
#include "app/dialogs/printerpage.h"
#include "document/drawmodel.h"

class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace tervasko {

// The page setup window: sheet size in millimetres or inches, presets, the printer's
// printable size. Fixed size, centred on the screen when shown.
class TSeiteEinrichtenForm : public QDialog {
    Q_OBJECT
public:
    explicit TSeiteEinrichtenForm(QWidget* parent = nullptr);

    QRadioButton* mmcheck = nullptr;
    QRadioButton* zollcheck = nullptr;
    QLabel* BreiteLabel = nullptr;
    QLabel* HoeheLabel = nullptr;
    QDoubleSpinBox* breited = nullptr;
    QDoubleSpinBox* hoched = nullptr;
    QPushButton* BitBtnXP1 = nullptr;  // OK
    QPushButton* BitBtnXP2 = nullptr;  // A4 portrait
    QPushButton* BitBtnXP3 = nullptr;  // A4 landscape
    QPushButton* BitBtnXP4 = nullptr;  // A3 portrait
    QPushButton* BitBtnXP5 = nullptr;  // A3 landscape
    QPushButton* VonDruckerBtn = nullptr;

    // Shows the window modally and returns its result (QDialog::Accepted for OK). exec()
    // unless replaced: tests set the fields, click and return result().
    std::function<int()> Exec;
    // The current printer's printable page; nullopt when there is no printer. Unless
    // replaced, the system's default printer is asked.
    std::function<std::optional<PrintablePage>()> PrinterPage;
    // Tells that there is no printer (a message box unless replaced).
    ShowMessageFn ShowMessage;

public slots:
    // OK: closes the window unless the size shown is larger than any sheet may be.
    void accept() override;
    void BitBtnXP2Click();
    void BitBtnXP3Click();
    void BitBtnXP4Click();
    void BitBtnXP5Click();
    void VonDruckerBtnClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void preset(double widthMm, double heightMm);
};

// "Seite einrichten...": opens the window in millimetres with the drawing's sheet size and,
// when it is closed with OK, stores the size it shows (millimetres, or inches as they stand
// with "Zoll") in the drawing and calls setChanged. The caller repaints when this returns
// true. Closing the window any other way changes nothing.
bool RunPageSetup(TSeiteEinrichtenForm& form, TDrawing& drawing,
                  const std::function<void()>& setChanged);

}  // namespace tervasko
