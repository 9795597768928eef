#include "app/dialogs/recoverycopiesdialog.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/dialogs/messagebox.h"
#include "i18n/messagetable.h"

namespace tervasko {
namespace {

constexpr std::string_view kIntro =
    "Das Programm wurde nicht ordnungsgemäß beendet. Diese Wiederherstellungskopien "
    "ungespeicherter Arbeit sind zurückgeblieben:";
constexpr std::string_view kHint =
    "Nur eine Zeichnung kann wiederhergestellt werden. Behaltene Kopien werden beim nächsten "
    "Start wieder angezeigt, beschädigte werden beiseitegelegt.";
constexpr std::string_view kDrawingColumn = "Zeichnung";
constexpr std::string_view kTimeColumn = "Stand der Kopie";
constexpr std::string_view kStateColumn = "Zustand";
constexpr std::string_view kRestorable = "wiederherstellbar";
constexpr std::string_view kDamaged = "beschädigt";
constexpr std::string_view kRestore = "Wiederherstellen";
constexpr std::string_view kDiscard = "Verwerfen";
constexpr std::string_view kKeep = "Behalten";

QString translated(std::string_view german) {
    return QString::fromStdString(TranslateText(german));
}

enum Column { DrawingColumn, TimeColumn, StateColumn, ChoiceColumn, ColumnCount };

QTableWidgetItem* cell(const QString& text, const QString& tip = {}) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled);
    item->setToolTip(tip);
    return item;
}

}  // namespace

TRecoveryCopiesDialog::TRecoveryCopiesDialog(const std::vector<LeftoverCopy>& copies,
                                             QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("TRecoveryCopiesDialog"));
    std::string caption;
    GetMessageText(2, caption);
    setWindowTitle(QString::fromStdString(caption));
    setFont(InterfaceFont());

    auto* intro = new QLabel(translated(kIntro), this);
    intro->setWordWrap(true);
    CopiesTable = new QTableWidget(static_cast<int>(copies.size()), ColumnCount, this);
    CopiesTable->setObjectName(QStringLiteral("CopiesTable"));
    CopiesTable->setHorizontalHeaderLabels(
        {translated(kDrawingColumn), translated(kTimeColumn), translated(kStateColumn), QString()});
    CopiesTable->verticalHeader()->hide();
    CopiesTable->setSelectionMode(QAbstractItemView::NoSelection);
    CopiesTable->setWordWrap(false);
    CopiesTable->setTextElideMode(Qt::ElideMiddle);  // a long path keeps its file name

    bool restoreProposed = false;
    for (std::size_t i = 0; i < copies.size(); ++i) {
        const LeftoverCopy& copy = copies[i];
        const int row = static_cast<int>(i);
        const QString path = QString::fromStdString(copy.copyPath);
        // A copy whose head cannot be read names no drawing; its own file is what is left.
        const QString name =
            copy.drawingName.empty() ? path : QString::fromStdString(copy.drawingName);
        CopiesTable->setItem(row, DrawingColumn, cell(name, path));
        CopiesTable->setItem(
            row, TimeColumn,
            cell(QDateTime::fromSecsSinceEpoch(copy.time).toString("yyyy-MM-dd HH:mm:ss")));
        const bool damaged = !copy.damage.empty();
        CopiesTable->setItem(row, StateColumn,
                             cell(translated(damaged ? kDamaged : kRestorable),
                                  QString::fromStdString(copy.damage)));

        auto* choice = new QComboBox(CopiesTable);
        choice->setObjectName(QStringLiteral("Choice%1").arg(row));
        if (!damaged) choice->addItem(translated(kRestore), int(LeftoverChoice::Restore));
        choice->addItem(translated(kDiscard), int(LeftoverChoice::Discard));
        choice->addItem(translated(kKeep), int(LeftoverChoice::Keep));
        // Newest first: the first restorable row is the newest work.
        const bool restore = !damaged && !restoreProposed;
        restoreProposed = restoreProposed || restore;
        choice->setCurrentIndex(
            choice->findData(int(restore ? LeftoverChoice::Restore : LeftoverChoice::Keep)));
        connect(choice, &QComboBox::currentIndexChanged, this, [this, row] { chosen(row); });
        CopiesTable->setCellWidget(row, ChoiceColumn, choice);
        choices_.push_back(choice);
    }
    CopiesTable->resizeColumnsToContents();
    QHeaderView* header = CopiesTable->horizontalHeader();
    header->setSectionResizeMode(DrawingColumn, QHeaderView::Stretch);
    for (int c = TimeColumn; c < ColumnCount; ++c)
        header->setSectionResizeMode(c, QHeaderView::ResizeToContents);

    auto* hint = new QLabel(translated(kHint), this);
    hint->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(translated("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(translated("Abbrechen"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addWidget(CopiesTable, 1);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    resize(720, 360);
}

std::vector<LeftoverChoice> TRecoveryCopiesDialog::Choices() const {
    std::vector<LeftoverChoice> result;
    for (const QComboBox* choice : choices_)
        result.push_back(static_cast<LeftoverChoice>(choice->currentData().toInt()));
    return result;
}

bool TRecoveryCopiesDialog::Choose(int row, LeftoverChoice choice) {
    if (row < 0 || row >= static_cast<int>(choices_.size())) return false;
    const int index = choices_[row]->findData(int(choice));
    if (index < 0) return false;
    choices_[row]->setCurrentIndex(index);
    return true;
}

void TRecoveryCopiesDialog::chosen(int row) {
    if (choices_[row]->currentData().toInt() != int(LeftoverChoice::Restore)) return;
    for (std::size_t i = 0; i < choices_.size(); ++i) {
        QComboBox* other = choices_[i];
        if (static_cast<int>(i) != row &&
            other->currentData().toInt() == int(LeftoverChoice::Restore))
            other->setCurrentIndex(other->findData(int(LeftoverChoice::Keep)));
    }
}

}  // namespace tervasko
