#pragma once

#include <QDialog>
#include <ctime>
#include <string>
#include <vector>

class QComboBox;
class QTableWidget;

namespace tervasko {

// A recovery copy that a program ended without closing left behind, as the start lists it.
struct LeftoverCopy {
    std::string copyPath;
    std::string drawingName;  // the drawing's file, or the untitled name; empty when unreadable
    std::time_t time = 0;     // when the copy was written
    std::string damage;       // why it cannot be restored, in the user's language; empty if it can
};

// What becomes of a leftover copy. A damaged copy that is kept is set aside, so that it is not
// listed at every start; a restorable one that is kept is listed again at the next start.
enum class LeftoverChoice { Restore, Discard, Keep };

// All copies left behind in one list: the drawing, the time of the copy, whether it can be
// restored, and a choice for each. The window holds one drawing, so at most one copy is
// restored: choosing it for a row turns the row that had it to "Behalten". The newest copy
// that can be restored is proposed for restoring and every other one is kept; nothing is
// discarded that the user did not choose to discard.
class TRecoveryCopiesDialog : public QDialog {
    Q_OBJECT
public:
    explicit TRecoveryCopiesDialog(const std::vector<LeftoverCopy>& copies,
                                   QWidget* parent = nullptr);

    // One choice per row, in the order of the copies.
    std::vector<LeftoverChoice> Choices() const;
    // Chooses for a row as its list does; false (and nothing changes) when the row does not
    // offer that choice (a damaged copy cannot be restored).
    bool Choose(int row, LeftoverChoice choice);

    QTableWidget* CopiesTable = nullptr;

private:
    void chosen(int row);
    std::vector<QComboBox*> choices_;
};

}  // namespace tervasko
