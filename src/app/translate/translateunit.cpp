#include "app/translate/translateunit.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QCalendarWidget>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QErrorMessage>
#include <QFileDialog>
#include <QFontDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>
#include <iterator>

#include "document/dynaarray.h"
#include "i18n/translationtable.h"

namespace tervasko {
namespace {

// A separator is a menu item whose caption is "-"; the table lists it like any text.
constexpr const char* kSeparatorCaption = "-";

class Translator {
public:
    explicit Translator(TranslationTable& table) : table_(table) {}

    QString operator()(const QString& text) {
        if (text.isEmpty()) return text;
        return QString::fromStdString(table_.TranslateText(text.toStdString()));
    }

private:
    TranslationTable& table_;
};

// --- what each kind of object shows ------------------------------------------------------

// A widget's hint: its tool tip, and its status tip where it has one of its own.
void translateHint(QWidget* w, Translator& tr) {
    const QString tip = w->toolTip();
    const QString status = w->statusTip();
    QString translatedTip;
    if (!tip.isEmpty()) {
        translatedTip = tr(tip);
        if (translatedTip != tip) w->setToolTip(translatedTip);
    }
    if (!status.isEmpty()) {
        const QString translated = status == tip ? translatedTip : tr(status);
        if (translated != status) w->setStatusTip(translated);
    }
}

// The tool tip a QAction shows for this text when none was set.
QString impliedToolTip(const QString& text) {
    QAction probe;
    probe.setText(text);
    return probe.toolTip();
}

// A menu item: caption, then hint. The hint is the status tip, which the tool tip repeats
// where it was set to the same text; an action without a status tip may still carry a tool
// tip of its own. A tool tip that only mirrors the caption follows the caption by itself.
void translateAction(QAction* a, Translator& tr) {
    if (a->isSeparator()) {
        tr(QString::fromLatin1(kSeparatorCaption));
        return;
    }
    const QString text = a->text();
    const QString tip = a->toolTip();
    const QString status = a->statusTip();
    const bool ownTip = !tip.isEmpty() && tip != impliedToolTip(text);

    const QString translatedText = tr(text);
    if (translatedText != text) a->setText(translatedText);
    if (!status.isEmpty()) {
        const QString translated = tr(status);
        if (translated != status) {
            a->setStatusTip(translated);
            if (tip == status) a->setToolTip(translated);
        }
    }
    if (ownTip && tip != status) {
        const QString translated = tr(tip);
        if (translated != tip) a->setToolTip(translated);
    }
}

void translateWindow(QObject* o, Translator& tr) {
    auto* w = static_cast<QWidget*>(o);
    const QString title = w->windowTitle();
    const QString translated = tr(title);
    if (translated != title) w->setWindowTitle(translated);
}

void translateLabel(QObject* o, Translator& tr) {
    auto* l = static_cast<QLabel*>(o);
    const QString text = l->text();
    const QString translated = tr(text);
    if (translated != text) l->setText(translated);
}

void translateButtonText(QAbstractButton* b, Translator& tr) {
    const QString text = b->text();
    const QString translated = tr(text);
    if (translated != text) b->setText(translated);
}

void translateCheckable(QObject* o, Translator& tr) {
    translateButtonText(static_cast<QAbstractButton*>(o), tr);
}

void translateButton(QObject* o, Translator& tr) {
    auto* b = static_cast<QAbstractButton*>(o);
    translateButtonText(b, tr);
    translateHint(b, tr);
}

void translateGroupBox(QObject* o, Translator& tr) {
    auto* g = static_cast<QGroupBox*>(o);
    const QString title = g->title();
    const QString translated = tr(title);
    if (translated != title) g->setTitle(translated);
    translateHint(g, tr);
}

void translateTabs(QObject* o, Translator& tr) {
    auto* t = static_cast<QTabWidget*>(o);
    for (int i = 0; i < t->count(); ++i) {
        const QString text = t->tabText(i);
        const QString translated = tr(text);
        if (translated != text) t->setTabText(i, translated);
    }
}

void translateMenuAction(QObject* o, Translator& tr) {
    translateAction(static_cast<QAction*>(o), tr);
}

// A menu's caption is its own action's, which is visited among the menu's objects; only a
// menu whose action lives elsewhere is translated here.
void translateMenu(QObject* o, Translator& tr) {
    auto* m = static_cast<QMenu*>(o);
    QAction* item = m->menuAction();
    if (item && item->parent() != m) translateAction(item, tr);
}

void translateHintOnly(QObject* o, Translator& tr) {
    translateHint(static_cast<QWidget*>(o), tr);
}

void translateNothing(QObject*, Translator&) {}

void translateComboBox(QObject* o, Translator& tr) {
    auto* c = static_cast<QComboBox*>(o);
    const int selected = c->currentIndex();
    for (int i = 0; i < c->count(); ++i) {
        const QString text = c->itemText(i);
        const QString translated = tr(text);
        if (translated != text) c->setItemText(i, translated);
        c->setCurrentIndex(selected);
    }
}

void translateTableHeader(QObject* o, Translator& tr) {
    auto* t = static_cast<QTableWidget*>(o);
    for (int col = 0; col < t->columnCount(); ++col) {
        QTableWidgetItem* item = t->horizontalHeaderItem(col);
        if (!item) continue;
        const QString text = item->text();
        const QString translated = tr(text);
        if (translated != text) item->setText(translated);
    }
}

void translateTreeHeader(QObject* o, Translator& tr) {
    auto* t = static_cast<QTreeWidget*>(o);
    QTreeWidgetItem* header = t->headerItem();
    if (!header) return;
    for (int col = 0; col < header->columnCount(); ++col) {
        const QString text = header->text(col);
        const QString translated = tr(text);
        if (translated != text) header->setText(col, translated);
    }
}

void translateFileDialog(QObject* o, Translator& tr) {
    auto* d = static_cast<QFileDialog*>(o);
    const QString filter = d->nameFilters().join(QStringLiteral(";;"));
    const QString translated = tr(filter);
    if (translated != filter) d->setNameFilters(translated.split(QStringLiteral(";;")));
}

void translateFileFilter(QObject* o, Translator& tr) {
    auto* f = static_cast<TFileFilter*>(o);
    f->SetFilter(tr(f->Filter()));
}

// Every line, first to last.
QString translateLines(const QString& text, Translator& tr) {
    QStringList lines = text.split(QLatin1Char('\n'));
    for (QString& line : lines) line = tr(line);
    return lines.join(QLatin1Char('\n'));
}

void translatePlainTextEdit(QObject* o, Translator& tr) {
    auto* e = static_cast<QPlainTextEdit*>(o);
    const QString text = e->toPlainText();
    const QString translated = translateLines(text, tr);
    if (translated != text) e->setPlainText(translated);
}

void translateTextEdit(QObject* o, Translator& tr) {
    auto* e = static_cast<QTextEdit*>(o);
    const QString text = e->toPlainText();
    const QString translated = translateLines(text, tr);
    if (translated != text) e->setPlainText(translated);
}

void translateLineEdit(QObject* o, Translator& tr) {
    auto* e = static_cast<QLineEdit*>(o);
    const QString text = e->text();
    const QString translated = tr(text);
    if (translated != text) e->setText(translated);
}

// --- the class table ------------------------------------------------------------------------

template <typename T>
bool is(const QObject* o) {
    return qobject_cast<const T*>(o) != nullptr;
}

bool isQtDialog(const QObject* o) {
    return is<QFileDialog>(o) || is<QColorDialog>(o) || is<QFontDialog>(o) || is<QMessageBox>(o) ||
           is<QInputDialog>(o) || is<QProgressDialog>(o) || is<QErrorMessage>(o) ||
           o->inherits("QAbstractPrintDialog") || o->inherits("QPageSetupDialog") ||
           o->inherits("QPrintPreviewDialog");
}

bool isWindow(const QObject* o) {
    const auto* w = qobject_cast<const QWidget*>(o);
    return w && w->isWindow() && !is<QMenu>(o) && !isQtDialog(o);
}

// A tool button made for an action shows the action's texts; the action is translated.
bool isActionButton(const QObject* o) {
    const auto* b = qobject_cast<const QToolButton*>(o);
    return b && b->defaultAction();
}

// The colour swatch of the settings panel: a plain widget with a hint.
bool isShape(const QObject* o) {
    return o->inherits("tervasko::TShape");
}

struct ClassRow {
    bool (*matches)(const QObject*);
    void (*translate)(QObject*, Translator&);
};

// The first row whose class the object is, or inherits from, decides.
const ClassRow kClassTable[] = {
    {is<QLabel>, translateLabel},
    {is<QCheckBox>, translateCheckable},
    {is<QRadioButton>, translateCheckable},
    {is<QTabWidget>, translateTabs},
    {isWindow, translateWindow},
    {isActionButton, translateNothing},
    {is<QAbstractButton>, translateButton},
    {is<QGroupBox>, translateGroupBox},
    {is<QAction>, translateMenuAction},
    {is<QMenu>, translateMenu},
    {is<QAbstractSpinBox>, translateHintOnly},
    {isShape, translateHintOnly},
    {is<QComboBox>, translateComboBox},
    {is<QTableWidget>, translateTableHeader},
    {is<QTreeWidget>, translateTreeHeader},
    {is<QFileDialog>, translateFileDialog},
    {is<TFileFilter>, translateFileFilter},
    {is<QPlainTextEdit>, translatePlainTextEdit},
    {is<QTextEdit>, translateTextEdit},
    {is<QLineEdit>, translateLineEdit},
};

void translateByClass(QObject* o, Translator& tr) {
    for (const ClassRow& row : kClassTable) {
        if (row.matches(o)) {
            row.translate(o, tr);
            return;
        }
    }
}

// Whether the walk goes on into an object's own objects. Qt's composite widgets and dialogs
// are made of parts of Qt's own (the edit inside a spin box, the buttons of a file dialog,
// the editors and headers of a view, the standard buttons of a button box) whose texts are not
// the program's; Qt's own translation gives them the program's language.
bool walksInto(const QObject* o) {
    return !(is<QAbstractSpinBox>(o) || is<QComboBox>(o) || is<QLineEdit>(o) || is<QTextEdit>(o) ||
             is<QPlainTextEdit>(o) || is<QAbstractItemView>(o) || is<QTabBar>(o) ||
             is<QCalendarWidget>(o) || is<QDialogButtonBox>(o) || isQtDialog(o));
}

// A window listed together with one of its owners is reached through that owner; walking it
// twice would look its translated texts up as new ones.
bool ownedByListed(const QWidget* w, const QList<QWidget*>& windows) {
    for (const QObject* o = w->parent(); o; o = o->parent())
        for (const QWidget* listed : windows)
            if (o == listed) return true;
    return false;
}

using WorkQueue = TDynaArray<QObject*>;

// root == nullptr stands for the application, which owns the windows.
void walk(QObject* root, const QList<QWidget*>& windows, TranslationTable& table) {
    Translator tr(table);
    WorkQueue work;
    WorkQueue children;
    QObject** first = work.Append();
    if (!first) return;
    *first = root;
    if (root && isWindow(root)) translateWindow(root, tr);

    while (work.Count() > 0) {
        children.Clear();
        QObject* owner = work.At(0);
        QObjectList owned;
        if (owner)
            owned = owner->children();
        else
            for (QWidget* w : windows)
                if (w && !owned.contains(w) && !ownedByListed(w, windows)) owned.append(w);
        for (auto it = owned.crbegin(); it != owned.crend(); ++it) {
            QObject* c = *it;
            if (walksInto(c)) {
                if (QObject** slot = children.Append()) *slot = c;
            }
            translateByClass(c, tr);
        }
        work.Delete(0);
        for (std::uint32_t i = 0; i < children.Count(); ++i) {
            if (QObject** slot = work.Append()) *slot = children.At(i);
        }
        children.Clear();
    }
}

}  // namespace

void TranslateApplication(const QList<QWidget*>& windows, TranslationTable& table) {
    walk(nullptr, windows, table);
}

void TranslateComponents(QObject* root, TranslationTable& table) {
    if (root) walk(root, {}, table);
}

// --- file filters -----------------------------------------------------------------------------

TFileFilter::TFileFilter(const QString& name, const QString& filter, QObject* owner)
    : QObject(owner), filter_(filter) {
    setObjectName(name);
}

QStringList TFileFilter::NameFilters() const {
    return NameFiltersFrom(filter_);
}

QString TFileFilter::QtFilter() const {
    return NameFilters().join(QStringLiteral(";;"));
}

QStringList NameFiltersFrom(const QString& filter) {
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        QStringList patterns;
        for (const QString& p : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = p.trimmed();
            if (pattern.isEmpty()) continue;
            // "*.*" meant every file; on this side that is "*".
            patterns.append(pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
        }
        if (patterns.isEmpty()) patterns.append(QStringLiteral("*"));
        const QString joined = patterns.join(QLatin1Char(' '));
        const QString suffix = QLatin1Char('(') + joined + QLatin1Char(')');
        if (description.isEmpty())
            result.append(suffix);
        else if (description.endsWith(suffix))
            result.append(description);
        else
            result.append(description + QLatin1Char(' ') + suffix);
    }
    return result;
}

TFileFilter* FindFileFilter(const QObject* window, const QString& name) {
    return window ? window->findChild<TFileFilter*>(name) : nullptr;
}

}  // namespace tervasko
