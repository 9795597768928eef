#include "app/translate/TranslateFUnit.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>
#include <map>

#include "app/dialogs/messagebox.h"
#include "i18n/dbftable.h"
#include "i18n/translationtable.h"

namespace tervasko {
namespace {

constexpr int kColumnWidth = 300;  // px, the grid's columns when the window opens

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The navigator's glyphs, 16 x 16, drawn rather than taken from a style so that every
// platform shows the same signs.
QIcon navigatorIcon(TDBNavigator::Button which) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor ink(32, 32, 32);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    auto triangle = [&p](QPointF a, QPointF b, QPointF c) {
        QPainterPath path(a);
        path.lineTo(b);
        path.lineTo(c);
        path.closeSubpath();
        p.drawPath(path);
    };
    switch (which) {
        case TDBNavigator::First:
            p.drawRect(QRectF(3, 3, 2, 10));
            triangle({12, 3}, {12, 13}, {6, 8});
            break;
        case TDBNavigator::Prior:
            triangle({11, 3}, {11, 13}, {5, 8});
            break;
        case TDBNavigator::Next:
            triangle({5, 3}, {5, 13}, {11, 8});
            break;
        case TDBNavigator::Last:
            triangle({4, 3}, {4, 13}, {10, 8});
            p.drawRect(QRectF(11, 3, 2, 10));
            break;
        case TDBNavigator::Insert:
            p.drawRect(QRectF(7, 2, 2, 12));
            p.drawRect(QRectF(2, 7, 12, 2));
            break;
        case TDBNavigator::Delete:
            p.drawRect(QRectF(2, 7, 12, 2));
            break;
        case TDBNavigator::Edit:
            triangle({3, 12}, {13, 12}, {8, 4});
            break;
        case TDBNavigator::Post: {
            p.setPen(QPen(QColor(0, 120, 0), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            QPainterPath tick(QPointF(3, 8.5));
            tick.lineTo(6.5, 12);
            tick.lineTo(13, 4);
            p.drawPath(tick);
            break;
        }
        case TDBNavigator::Cancel:
            p.setPen(QPen(QColor(170, 0, 0), 2.2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(4, 4), QPointF(12, 12));
            p.drawLine(QPointF(12, 4), QPointF(4, 12));
            break;
        case TDBNavigator::Refresh: {
            p.setPen(QPen(ink, 1.8, Qt::SolidLine, Qt::FlatCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(3, 3, 10, 10), 60 * 16, 270 * 16);
            p.setPen(Qt::NoPen);
            p.setBrush(ink);
            triangle({9, 1}, {14, 4.5}, {9, 7});
            break;
        }
        case TDBNavigator::Count:
            break;
    }
    return QIcon(pm);
}

// The rows flagged deleted in the table's file, by record number less one. Lookups never find
// them, so the editor does not offer them either. The table object keeps the flags to itself:
// they are read through a read-only handle of the editor's own. Empty when the file cannot
// be read, and then no row counts as deleted.
std::vector<bool> deletedRows(const std::string& path) {
    std::vector<bool> deleted;
    if (path.empty()) return deleted;
    const dbf::OpenResult opened = dbf::Table::Open(path, dbf::Access::ReadOnly);
    if (!opened.table) return deleted;
    deleted.resize(static_cast<std::size_t>(opened.table->RowCount()));
    for (int row = 0; row < opened.table->RowCount(); ++row) {
        const Result<bool> flagged = opened.table->IsDeleted(row);
        deleted[static_cast<std::size_t>(row)] = flagged.ok() && *flagged;
    }
    return deleted;
}

}  // namespace

std::string UpperAtoZ(std::string text) {
    for (char& c : text)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return text;
}

// --- the rows -------------------------------------------------------------------------------

TTranslationModel::TTranslationModel(TranslationTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {}

bool TTranslationModel::ReadOnly() const {
    return table_.ReadOnly();
}

void TTranslationModel::SetFilterText(const std::string& needle) {
    needle_ = UpperAtoZ(needle);
}

bool TTranslationModel::matches(const Cells& cells) const {
    return std::any_of(cells.begin(), cells.end(), [this](const std::string& cell) {
        return UpperAtoZ(cell).find(needle_) != std::string::npos;
    });
}

void TTranslationModel::Reload() {
    beginResetModel();
    languages_.clear();
    for (int k = 0; k < TranslationTable::kLanguageCount; ++k)
        if (table_.HasLanguageColumn(k)) languages_.push_back(k);
    rows_.clear();
    const int count = table_.RowCount();
    const std::vector<bool> deleted = count > 0 ? deletedRows(table_.Path()) : std::vector<bool>();
    for (int recNo = 1; recNo <= count; ++recNo) {
        if (static_cast<std::size_t>(recNo) <= deleted.size() &&
            deleted[static_cast<std::size_t>(recNo - 1)])
            continue;
        Row row;
        row.recNo = recNo;
        bool empty = true;
        for (int k : languages_) {
            row.cells[static_cast<std::size_t>(k)] = table_.Cell(recNo, k);
            if (!row.cells[static_cast<std::size_t>(k)].empty()) empty = false;
        }
        if (empty || (Filtered() && !matches(row.cells))) continue;
        rows_.push_back(std::move(row));
    }
    state_ = State::Browse;
    pendingRow_ = -1;
    endResetModel();
    emit stateChanged();
}

int TTranslationModel::RecNo(int row) const {
    return row >= 0 && row < static_cast<int>(rows_.size())
               ? rows_[static_cast<std::size_t>(row)].recNo
               : 0;
}

int TTranslationModel::Language(int column) const {
    return column >= 0 && column < static_cast<int>(languages_.size())
               ? languages_[static_cast<std::size_t>(column)]
               : -1;
}

int TTranslationModel::Column(int language) const {
    const auto it = std::find(languages_.begin(), languages_.end(), language);
    return it == languages_.end() ? -1 : static_cast<int>(it - languages_.begin());
}

std::string TTranslationModel::Text(int row, int language) const {
    if (row < 0 || row >= static_cast<int>(rows_.size()) || language < 0 ||
        language >= TranslationTable::kLanguageCount)
        return {};
    const Cells& cells = state_ != State::Browse && row == pendingRow_
                             ? pending_
                             : rows_[static_cast<std::size_t>(row)].cells;
    return cells[static_cast<std::size_t>(language)];
}

void TTranslationModel::setState(State state) {
    state_ = state;
    emit stateChanged();
}

void TTranslationModel::rowChanged(int row) {
    if (row < 0 || row >= rowCount() || columnCount() == 0) return;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, row, row);
}

TTranslationModel::Outcome TTranslationModel::failure(const Error& refused) const {
    // A failed write leaves the table read-only, and that is what the user can act on.
    return refused.Code == ErrorCode::TableReadOnly || table_.ReadOnly() ? Outcome::ReadOnly
                                                                         : Outcome::CannotStore;
}

TTranslationModel::Outcome TTranslationModel::Edit(int row) {
    if (ReadOnly()) return Outcome::ReadOnly;
    if (row < 0 || row >= static_cast<int>(rows_.size())) return Outcome::Done;
    if (state_ != State::Browse && pendingRow_ == row) return Outcome::Done;
    const Outcome posted = Post();
    if (posted != Outcome::Done) return posted;
    pendingRow_ = row;
    pending_ = rows_[static_cast<std::size_t>(row)].cells;
    setState(State::Edit);
    rowChanged(row);
    return Outcome::Done;
}

TTranslationModel::Outcome TTranslationModel::SetText(int row, int language,
                                                      const std::string& text) {
    if (Column(language) < 0) return Outcome::Done;
    const Outcome editing = Edit(row);
    if (editing != Outcome::Done) return editing;
    if (state_ == State::Browse || pendingRow_ != row) return Outcome::Done;
    pending_[static_cast<std::size_t>(language)] = text;
    rowChanged(row);
    return Outcome::Done;
}

TTranslationModel::Outcome TTranslationModel::Insert(int* row) {
    if (ReadOnly()) return Outcome::ReadOnly;
    const Outcome posted = Post();
    if (posted != Outcome::Done) return posted;
    const int at = static_cast<int>(rows_.size());
    beginInsertRows({}, at, at);
    rows_.push_back(Row{});
    endInsertRows();
    pendingRow_ = at;
    pending_ = Cells{};
    setState(State::Insert);
    if (row) *row = at;
    return Outcome::Done;
}

TTranslationModel::Outcome TTranslationModel::Post() {
    if (state_ == State::Browse) return Outcome::Done;
    if (ReadOnly()) return Outcome::ReadOnly;
    Row& row = rows_[static_cast<std::size_t>(pendingRow_)];
    if (state_ == State::Insert) {
        // A new row left empty is not kept: it would be an empty record in the file.
        if (std::all_of(pending_.begin(), pending_.end(),
                        [](const std::string& s) { return s.empty(); })) {
            Cancel();
            return Outcome::Done;
        }
        const Result<int> recNo =
            table_.AppendRow(std::vector<std::string>(pending_.begin(), pending_.end()));
        if (!recNo.ok()) return failure(recNo.error());
        row.recNo = *recNo;
    } else {
        for (int k : languages_) {
            const auto i = static_cast<std::size_t>(k);
            if (pending_[i] == row.cells[i]) continue;
            if (Error refused = table_.SetCell(row.recNo, k, pending_[i])) return failure(refused);
            row.cells[i] = pending_[i];
        }
    }
    // The table keeps texts as it stores them (without the control characters at the ends).
    for (int k : languages_) row.cells[static_cast<std::size_t>(k)] = table_.Cell(row.recNo, k);
    const int posted = pendingRow_;
    pendingRow_ = -1;
    setState(State::Browse);
    rowChanged(posted);
    return Outcome::Done;
}

void TTranslationModel::Cancel() {
    if (state_ == State::Browse) return;
    const int row = pendingRow_;
    const bool inserted = state_ == State::Insert;
    // Back to browsing before the views hear of it: removing the row moves their current row,
    // and whoever follows that must not find the change still pending.
    state_ = State::Browse;
    pendingRow_ = -1;
    if (inserted) {
        beginRemoveRows({}, row, row);
        rows_.erase(rows_.begin() + row);
        endRemoveRows();
    } else {
        rowChanged(row);
    }
    emit stateChanged();
}

TTranslationModel::Outcome TTranslationModel::Delete(int row) {
    if (ReadOnly()) return Outcome::ReadOnly;
    if (row < 0 || row >= static_cast<int>(rows_.size())) return Outcome::Done;
    if (state_ != State::Browse && pendingRow_ == row) {
        const bool inserted = state_ == State::Insert;
        Cancel();
        if (inserted) return Outcome::Done;
    }
    const Outcome posted = Post();
    if (posted != Outcome::Done) return posted;
    Row& victim = rows_[static_cast<std::size_t>(row)];
    for (int k : languages_) {
        const auto i = static_cast<std::size_t>(k);
        if (victim.cells[i].empty()) continue;
        if (Error refused = table_.SetCell(victim.recNo, k, "")) return failure(refused);
        victim.cells[i].clear();
    }
    beginRemoveRows({}, row, row);
    rows_.erase(rows_.begin() + row);
    endRemoveRows();
    return Outcome::Done;
}

int TTranslationModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int TTranslationModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(languages_.size());
}

QVariant TTranslationModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return QString::fromStdString(Text(index.row(), Language(index.column())));
}

QVariant TTranslationModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal) {
        const int language = Language(section);
        return language < 0 ? QVariant() : QVariant(QStringLiteral("language%1").arg(language + 1));
    }
    if (section < 0 || section >= static_cast<int>(rows_.size())) return {};
    // The record number; a row being changed is marked as a data grid marks it.
    if (state_ != State::Browse && section == pendingRow_) return QStringLiteral("*");
    return rows_[static_cast<std::size_t>(section)].recNo;
}

Qt::ItemFlags TTranslationModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (!ReadOnly()) f |= Qt::ItemIsEditable;
    return f;
}

bool TTranslationModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole) return false;
    const std::string text = value.toString().toStdString();
    if (text == Text(index.row(), Language(index.column()))) return true;
    const Outcome outcome = SetText(index.row(), Language(index.column()), text);
    if (outcome != Outcome::Done) emit refused(static_cast<int>(outcome));
    return outcome == Outcome::Done;
}

// --- navigator and grid ----------------------------------------------------------------------

TDBNavigator::TDBNavigator(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("DBNavigator1"));
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    static const char* const kNames[Count] = {"First",  "Prior", "Next", "Last",   "Insert",
                                              "Delete", "Edit",  "Post", "Cancel", "Refresh"};
    for (int b = 0; b < Count; ++b) {
        auto* button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(kNames[b]));
        button->setAccessibleName(QString::fromLatin1(kNames[b]));
        button->setIcon(navigatorIcon(static_cast<Button>(b)));
        button->setAutoRaise(true);
        button->setFixedSize(24, 24);
        connect(button, &QToolButton::clicked, this, [this, b] { emit clicked(b); });
        row->addWidget(button);
        buttons_[static_cast<std::size_t>(b)] = button;
    }
}

class TDBGrid::Delegate : public QStyledItemDelegate {
public:
    explicit Delegate(TDBGrid* owner) : QStyledItemDelegate(owner), grid(owner) {}
    TDBGrid* grid;
    mutable QPointer<QWidget> editor;  // the open cell editor

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override {
        QWidget* made = QStyledItemDelegate::createEditor(parent, option, index);
        editor = made;
        if (made) emit grid->editingStarted(index);
        return made;
    }
    void destroyEditor(QWidget* e, const QModelIndex& index) const override {
        if (editor == e) editor = nullptr;
        QStyledItemDelegate::destroyEditor(e, index);
    }
};

TDBGrid::TDBGrid(QWidget* parent) : QTableView(parent), delegate_(new Delegate(this)) {
    setObjectName(QStringLiteral("DBGrid1"));
    setItemDelegate(delegate_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
}

void TDBGrid::CommitEditor() {
    if (QWidget* e = delegate_->editor) {
        commitData(e);
        closeEditor(e, QAbstractItemDelegate::NoHint);
    }
}

QWidget* TDBGrid::Editor() const {
    return delegate_->editor;
}

void TDBGrid::RevertEditor() {
    if (QWidget* e = delegate_->editor) closeEditor(e, QAbstractItemDelegate::NoHint);
}

// --- the window ------------------------------------------------------------------------------

TTranslateForm::TTranslateForm(TranslationTable& table, QWidget* parent)
    : QDialog(parent), table_(table) {
    setObjectName(QStringLiteral("TranslateForm"));
    setWindowTitle(q("Übersetzen"));
    resize(721, 489);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());

    ShowMessage = [this](const std::string& text) {
        std::string caption;
        table_.GetMessageText(2, caption);
        ShowMessageBox(this, QMessageBox::Warning, caption, text);
    };
    Confirm = [this](const std::string& question) {
        std::string caption;
        table_.GetMessageText(2, caption);
        return ShowMessageBox(this, QMessageBox::Question, caption, question,
                              QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
    };

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    auto* top = new QVBoxLayout(Panel1);
    top->setContentsMargins(4, 4, 4, 4);
    auto* buttons = new QHBoxLayout;
    DBNavigator1 = new TDBNavigator(Panel1);
    buttons->addWidget(DBNavigator1);
    buttons->addStretch(1);
    BackBtn = new QPushButton(q("Zurück..."), Panel1);
    BackBtn->setObjectName(QStringLiteral("BackBtn"));
    BackBtn->setAutoDefault(false);
    buttons->addWidget(BackBtn);
    top->addLayout(buttons);
    DBEdit1 = new QLineEdit(Panel1);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit1->setFixedWidth(673);
    top->addWidget(DBEdit1);
    layout->addWidget(Panel1);

    Panel2 = new QWidget(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    auto* search = new QHBoxLayout(Panel2);
    search->setContentsMargins(4, 0, 4, 4);
    FilterEdit = new QLineEdit(Panel2);
    FilterEdit->setObjectName(QStringLiteral("FilterEdit"));
    search->addWidget(FilterEdit, 1);
    FilterBtn = new QPushButton(q("Suchen"), Panel2);
    FilterBtn->setObjectName(QStringLiteral("FilterBtn"));
    FilterBtn->setAutoDefault(false);
    search->addWidget(FilterBtn);
    layout->addWidget(Panel2);

    DataSource1 = new TTranslationModel(table_, this);
    DataSource1->setObjectName(QStringLiteral("DataSource1"));
    DBGrid1 = new TDBGrid(this);
    DBGrid1->setModel(DataSource1);
    layout->addWidget(DBGrid1, 1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setSizeGripEnabled(false);
    layout->addWidget(StatusBar1);

    connect(BackBtn, &QPushButton::clicked, this, &TTranslateForm::BackBtnClick);
    connect(FilterBtn, &QPushButton::clicked, this, &TTranslateForm::FilterBtnClick);
    connect(FilterEdit, &QLineEdit::returnPressed, this, &TTranslateForm::FilterBtnClick);
    connect(DBNavigator1, &TDBNavigator::clicked, this, &TTranslateForm::NavigatorClick);
    connect(DBEdit1, &QLineEdit::textEdited, this, [this](const QString& text) {
        const int row = CurrentRow();
        if (row < 0) return;
        report(DataSource1->SetText(row, 0, text.toStdString()));
    });
    connect(DataSource1, &TTranslationModel::dataChanged, this,
            [this](const QModelIndex& from, const QModelIndex& to) {
                const int row = CurrentRow();
                if (row >= from.row() && row <= to.row()) showCurrentSource();
            });
    connect(DataSource1, &TTranslationModel::stateChanged, this, &TTranslateForm::updateNavigator);
    // Typing into a cell starts changing its row, so that Cancel can drop it.
    connect(DBGrid1, &TDBGrid::editingStarted, this,
            [this](const QModelIndex& index) { report(DataSource1->Edit(index.row())); });
    connect(DataSource1, &TTranslationModel::refused, this,
            [this](int outcome) { report(static_cast<TTranslationModel::Outcome>(outcome)); });
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current, const QModelIndex&) {
                // Leaving a changed row posts it, as a data grid does.
                const int pending = DataSource1->PendingRow();
                if (pending >= 0 && pending != current.row()) postPending();
                showCurrentSource();
                updateNavigator();
            });
    updateNavigator();
}

int TTranslateForm::CurrentRow() const {
    const QModelIndex current = DBGrid1->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TTranslateForm::SetCurrentRow(int row) {
    if (row < 0 || row >= DataSource1->rowCount()) {
        DBGrid1->setCurrentIndex({});
    } else {
        const QModelIndex current = DBGrid1->currentIndex();
        const int column = current.isValid() ? current.column() : 0;
        DBGrid1->setCurrentIndex(DataSource1->index(row, column));
    }
    showCurrentSource();
    updateNavigator();
}

void TTranslateForm::keepColumnWidths(const std::function<void()>& reload) {
    // Reading the table anew resets the grid's columns; the widths set for this opening stay.
    std::map<int, int> widths;
    for (int c = 0; c < DataSource1->columnCount(); ++c)
        widths[DataSource1->Language(c)] = DBGrid1->columnWidth(c);
    reload();
    for (int c = 0; c < DataSource1->columnCount(); ++c) {
        const auto it = widths.find(DataSource1->Language(c));
        DBGrid1->setColumnWidth(c, it != widths.end() ? it->second : kColumnWidth);
    }
}

void TTranslateForm::OpenTable() {
    DBGrid1->RevertEditor();
    keepColumnWidths([this] { DataSource1->Reload(); });
    SetCurrentRow(DataSource1->rowCount() > 0 ? 0 : -1);
    DBEdit1->setReadOnly(DataSource1->ReadOnly());
    if (DataSource1->ReadOnly())
        StatusBar1->showMessage(QString::fromStdString(table_.TranslateText(kTableReadOnlyText)));
    else
        StatusBar1->clearMessage();
}

void TTranslateForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Restoring a minimised window is no new opening.
    if (!event->spontaneous()) OpenTable();
}

void TTranslateForm::showCurrentSource() {
    const int row = CurrentRow();
    const QString text = row >= 0 ? QString::fromStdString(DataSource1->Text(row, 0)) : QString();
    if (DBEdit1->text() != text) DBEdit1->setText(text);
    DBEdit1->setEnabled(row >= 0 && DataSource1->Column(0) >= 0);
}

void TTranslateForm::updateNavigator() {
    const int row = CurrentRow();
    const int last = DataSource1->rowCount() - 1;
    const bool pending = DataSource1->PendingRow() >= 0;
    DBNavigator1->button(TDBNavigator::First)->setEnabled(row > 0);
    DBNavigator1->button(TDBNavigator::Prior)->setEnabled(row > 0);
    DBNavigator1->button(TDBNavigator::Next)->setEnabled(row >= 0 && row < last);
    DBNavigator1->button(TDBNavigator::Last)->setEnabled(row >= 0 && row < last);
    DBNavigator1->button(TDBNavigator::Delete)->setEnabled(row >= 0);
    DBNavigator1->button(TDBNavigator::Edit)->setEnabled(row >= 0 && !pending);
    DBNavigator1->button(TDBNavigator::Post)->setEnabled(pending);
    DBNavigator1->button(TDBNavigator::Cancel)->setEnabled(pending);
}

void TTranslateForm::report(TTranslationModel::Outcome outcome) {
    switch (outcome) {
        case TTranslationModel::Outcome::Done:
            return;
        case TTranslationModel::Outcome::ReadOnly:
            ShowMessage(table_.TranslateText(kTableReadOnlyText));
            return;
        case TTranslationModel::Outcome::CannotStore:
            ShowMessage(table_.TranslateText(kCannotStoreText));
            return;
    }
}

bool TTranslateForm::refuseWhenReadOnly() {
    if (!DataSource1->ReadOnly()) return false;
    report(TTranslationModel::Outcome::ReadOnly);
    return true;
}

bool TTranslateForm::postPending() {
    DBGrid1->CommitEditor();
    const TTranslationModel::Outcome outcome = DataSource1->Post();
    report(outcome);
    return outcome == TTranslationModel::Outcome::Done;
}

void TTranslateForm::NavigatorClick(int button) {
    const int row = CurrentRow();
    const int count = DataSource1->rowCount();
    switch (button) {
        case TDBNavigator::First:
        case TDBNavigator::Prior:
        case TDBNavigator::Next:
        case TDBNavigator::Last: {
            if (count == 0 || !postPending()) return;
            int target = row;
            if (button == TDBNavigator::First) target = 0;
            if (button == TDBNavigator::Prior) target = std::max(row - 1, 0);
            if (button == TDBNavigator::Next) target = std::min(row + 1, count - 1);
            if (button == TDBNavigator::Last) target = count - 1;
            SetCurrentRow(target);
            return;
        }
        case TDBNavigator::Insert: {
            if (refuseWhenReadOnly()) return;
            DBGrid1->CommitEditor();
            int inserted = -1;
            const TTranslationModel::Outcome outcome = DataSource1->Insert(&inserted);
            report(outcome);
            if (outcome != TTranslationModel::Outcome::Done) return;
            DBGrid1->setCurrentIndex(DataSource1->index(inserted, 0));
            DBGrid1->edit(DBGrid1->currentIndex());
            return;
        }
        case TDBNavigator::Delete: {
            if (refuseWhenReadOnly() || row < 0) return;
            if (!Confirm(table_.TranslateText(kDeleteRowQuestion))) return;
            DBGrid1->RevertEditor();
            report(DataSource1->Delete(row));
            SetCurrentRow(std::min(row, DataSource1->rowCount() - 1));
            return;
        }
        case TDBNavigator::Edit:
            if (refuseWhenReadOnly() || row < 0) return;
            report(DataSource1->Edit(row));
            DBGrid1->edit(DBGrid1->currentIndex());
            return;
        case TDBNavigator::Post:
            if (refuseWhenReadOnly()) return;
            postPending();
            return;
        case TDBNavigator::Cancel:
            DBGrid1->RevertEditor();
            DataSource1->Cancel();
            showCurrentSource();
            return;
        case TDBNavigator::Refresh: {
            if (!postPending()) return;
            const int recNo = DataSource1->RecNo(row);
            keepColumnWidths([this] { DataSource1->Reload(); });
            int again = DataSource1->rowCount() > 0 ? 0 : -1;
            for (int r = 0; r < DataSource1->rowCount(); ++r)
                if (DataSource1->RecNo(r) == recNo) again = r;
            SetCurrentRow(again);
            return;
        }
        default:
            return;
    }
}

void TTranslateForm::FilterBtnClick() {
    if (!postPending()) return;
    DataSource1->SetFilterText(FilterEdit->text().toStdString());
    keepColumnWidths([this] { DataSource1->Reload(); });
    SetCurrentRow(DataSource1->rowCount() > 0 ? 0 : -1);
}

void TTranslateForm::BackBtnClick() {
    if (!postPending()) return;
    DataSource1->SetFilterText({});
    accept();
}

void TTranslateForm::done(int result) {
    // However the window closes, what was typed is posted and the search ends. A change the
    // table refuses keeps the window open, with the reason shown, until it is corrected or
    // cancelled.
    if (!postPending()) return;
    DataSource1->SetFilterText({});
    QDialog::done(result);
}

}  // namespace tervasko
