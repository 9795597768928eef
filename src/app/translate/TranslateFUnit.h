#pragma once

// The translation editor: a grid over every row and column of "translate.dbf", a record
// navigator, a wide field for the source text of the current row and a search that narrows
// the grid to the rows containing a word. It works on the program's own table object, so a
// translation posted here is what the next lookup reads.

#include <QAbstractTableModel>
#include <QDialog>
#include <QTableView>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/error.h"

class QLineEdit;
class QPushButton;
class QStatusBar;
class QToolButton;

namespace tervasko {

class TranslationTable;

// The German texts the editor shows itself; they pass through the table like every text.
inline constexpr const char* kTableReadOnlyText =
    "Die Übersetzungstabelle ist schreibgeschützt. Änderungen sind nicht möglich.";
inline constexpr const char* kCannotStoreText =
    "Der Text kann nicht gespeichert werden: Er ist länger als 255 Zeichen oder enthält "
    "Zeichen, die die Übersetzungstabelle nicht aufnehmen kann.";
inline constexpr const char* kDeleteRowQuestion = "Zeile löschen?";

// Search texts compare in upper case of the letters a to z only: "speich" finds "Speichern",
// "über" does not find "Übersetzen...".
std::string UpperAtoZ(std::string text);

// The rows of the table as the grid shows them: one column per language column the table
// has, the rows in record order. A change is kept in the row until it is posted; posting
// writes the changed cells to the file. Rows whose cells are all empty are not shown (that is
// what deleting leaves of a row), nor rows flagged deleted in the file, which no lookup finds.
class TTranslationModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };
    enum class Outcome { Done, ReadOnly, CannotStore };

    explicit TTranslationModel(TranslationTable& table, QObject* parent = nullptr);

    // Reads the table anew, from the first row; while a search is set, only the rows that
    // contain it in any column. A pending change is dropped: post it first.
    void Reload();
    // The search; empty = every row. Takes effect at the next Reload.
    void SetFilterText(const std::string& needle);
    bool Filtered() const { return !needle_.empty(); }

    bool ReadOnly() const;
    State EditState() const { return state_; }
    int PendingRow() const { return state_ == State::Browse ? -1 : pendingRow_; }
    int RecNo(int row) const;
    // Language of a grid column (0 = language1).
    int Language(int column) const;
    // The grid column of a language, or -1 when the table has no such column.
    int Column(int language) const;
    std::string Text(int row, int language) const;

    // Starts changing a row; a pending change of another row is posted first.
    Outcome Edit(int row);
    // Changes one cell of a row (starting the change).
    Outcome SetText(int row, int language, const std::string& text);
    // A new empty row at the end; a pending change is posted first. Its row on success.
    Outcome Insert(int* row);
    Outcome Post();
    void Cancel();
    // Empties every cell of the row in the file, so no lookup can find it after the next
    // start, and takes it off the grid.
    Outcome Delete(int row);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

signals:
    void stateChanged();
    // A change the table refused (an Outcome), made through the grid.
    void refused(int outcome);

private:
    using Cells = std::array<std::string, 19>;
    struct Row {
        int recNo = 0;  // 0: inserted, not yet posted
        Cells cells;
    };
    bool matches(const Cells& cells) const;
    void setState(State state);
    void rowChanged(int row);
    // The outcome of a change the table refused.
    Outcome failure(const Error& refused) const;

    TranslationTable& table_;
    std::vector<int> languages_;  // the table's language columns, in order
    std::vector<Row> rows_;
    std::string needle_;  // upper case; empty = no search
    State state_ = State::Browse;
    int pendingRow_ = -1;
    Cells pending_;
};

// The record navigator: first, previous, next, last, insert, delete, edit, post, cancel,
// refresh. Flat glyph buttons without hints.
class TDBNavigator : public QWidget {
    Q_OBJECT
public:
    enum Button { First, Prior, Next, Last, Insert, Delete, Edit, Post, Cancel, Refresh, Count };
    explicit TDBNavigator(QWidget* parent = nullptr);
    QToolButton* button(Button b) const { return buttons_[b]; }

signals:
    void clicked(int button);

private:
    std::array<QToolButton*, Count> buttons_{};
};

// The data grid: a table view that can commit the cell being edited on request, as a data
// grid posts its in-place editor before the row is posted.
class TDBGrid : public QTableView {
    Q_OBJECT
public:
    explicit TDBGrid(QWidget* parent = nullptr);
    // Hands the text of an open cell editor to the model and closes the editor.
    void CommitEditor();
    // Closes an open cell editor without keeping its text.
    void RevertEditor();
    // The open cell editor, or nullptr.
    QWidget* Editor() const;

signals:
    // A cell editor opened: the row is being changed from now on.
    void editingStarted(const QModelIndex& index);

private:
    class Delegate;
    Delegate* delegate_;
};

class TTranslateForm : public QDialog {
    Q_OBJECT
public:
    explicit TTranslateForm(TranslationTable& table, QWidget* parent = nullptr);

    // A message the user must read (a refused change); a message box unless replaced.
    std::function<void(const std::string& text)> ShowMessage;
    // A yes/no question; a message box unless replaced.
    std::function<bool(const std::string& question)> Confirm;

    QWidget* Panel1 = nullptr;
    TDBNavigator* DBNavigator1 = nullptr;
    QPushButton* BackBtn = nullptr;
    QLineEdit* DBEdit1 = nullptr;
    QWidget* Panel2 = nullptr;
    QLineEdit* FilterEdit = nullptr;
    QPushButton* FilterBtn = nullptr;
    TDBGrid* DBGrid1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    TTranslationModel* DataSource1 = nullptr;

    // The table's filtered mode: on while a search narrows the grid.
    bool Filtered() const { return DataSource1->Filtered(); }
    // The grid's current row, or -1.
    int CurrentRow() const;
    void SetCurrentRow(int row);

    // Reads the table anew and shows it from the first row (done each time the window opens).
    void OpenTable();

    void BackBtnClick();
    void FilterBtnClick();
    void NavigatorClick(int button);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    bool postPending();
    bool refuseWhenReadOnly();
    void report(TTranslationModel::Outcome outcome);
    void showCurrentSource();
    void updateNavigator();
    void keepColumnWidths(const std::function<void()>& reload);

    TranslationTable& table_;
};

}  // namespace tervasko
