#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

#include "app/dialogs/filedialog.h"
#include "app/translate/translateunit.h"

class QWidget;

namespace tervasko {

// A save-file dialog kept as a component of the window that owns it. The filter is written
// in German as pairs of description and pattern separated by "|" ("BMP-Dateien (*.bmp)|*.bmp|
// PNG-Dateien (*.png)|*.png"); being a file filter of the window, it is translated as one text
// with the window's other filters, at the first show, and shown as it then stands.
class TSaveDialog : public TFileFilter {
    Q_OBJECT
public:
    TSaveDialog(QWidget* owner, const QString& objectName, const QString& filter,
                const QString& defaultExt);

    QString DefaultExt;   // without the dot
    QString FileName;     // the chosen file, also the one proposed next time
    int FilterIndex = 1;  // the chosen filter, counted from 1

    // Shows the dialog and on acceptance sets FileName and FilterIndex. Qt's file dialog
    // unless replaced (tests do). False when cancelled. A file in a folder that does not
    // exist is refused in the dialog, so FileName never names one.
    std::function<bool()> Execute;
    // How that file dialog runs and refuses.
    FileDialogRunner Runner;

    // The filter as the window shows it.
    QString ShownFilter() const { return Filter(); }
    // The filters as Qt writes them ("BMP-Dateien (*.bmp)"), in order.
    QStringList NameFilters() const;
    // The extension (without the dot) of filter `index` (from 1); DefaultExt when it names none.
    QString FilterExtension(int index) const;
    // FileName, with the chosen filter's extension added when it ends in none of the
    // filters' extensions.
    QString ChosenFileName() const;

private:
    bool runFileDialog();
    QWidget* owner_;
};

}  // namespace tervasko
