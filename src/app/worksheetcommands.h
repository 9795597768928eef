#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string>

class QAction;
class QMenu;
class QWidget;

namespace tervasko {

class DrawingSession;

// What the worksheet commands need of their window.
struct WorksheetClient {
    QWidget* Window = nullptr;  // parent of the dialog; its translation finds the filter
    DrawingSession* Session = nullptr;
    std::function<void()> Repaint;        // the paint cycle
    std::function<void()> CancelGesture;  // ends every gesture under way
    std::function<void(const std::string& text)> ShowError;
};

// "Arbeitsblatt einfügen...", "Arbeitsblatt entfernen" and the view switch "Arbeitsblatt":
// a PDF file chosen, read and checked, then put beneath the sheets as one step.
class TWorksheetCommands : public QObject {
    Q_OBJECT
public:
    // Adds the two file commands after `after` in `file`, and the switch to `view` after
    // `viewAfter`.
    TWorksheetCommands(WorksheetClient client, QMenu* file, QAction* after, QMenu* view,
                       QAction* viewAfter);

    // The open dialog for PDF files: the chosen path, nullopt when cancelled. Tests replace it.
    std::function<std::optional<std::string>()> OpenDialog;

    // "Arbeitsblatt einfügen...": the dialog, then InsertPath.
    void Insert();
    // Reads the PDF file at `path` and puts it beneath the sheets; a file that cannot be is
    // told, and nothing changes. A PDF of more pages than sheets is told too, after it is in.
    bool InsertPath(const std::string& path);
    // "Arbeitsblatt entfernen".
    void Remove();

    QAction* InsertItem() const { return insert_; }
    QAction* RemoveItem() const { return remove_; }
    QAction* ViewItem() const { return view_; }

private:
    // The items as the drawing and the switch stand.
    void showState();

    WorksheetClient client_;
    QAction *insert_ = nullptr, *remove_ = nullptr, *view_ = nullptr;
};

}  // namespace tervasko
