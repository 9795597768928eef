#pragma once

// The interface translation: every window is designed with German texts; when the program
// starts in another language, TranslateApplication walks the windows once and replaces each
// caption, hint, list item and file filter by its translation.

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QWidget;

namespace tervasko {

class TranslationTable;

// Translates every window of the program and everything they own: a breadth-first walk over
// the QObject tree, the objects of one level taken from the last created to the first, which
// is the order in which unknown texts are appended to the table. `windows` are the program's
// windows in the order they were created; a window whose parent is among them (a dialog made
// with the main window as parent) is reached through it, so listing it too changes nothing.
void TranslateApplication(const QList<QWidget*>& windows, TranslationTable& table);

// The same walk from one object: for a window made later, when it should come up in the
// language the program started in. A window's own caption is translated first.
void TranslateComponents(QObject* root, TranslationTable& table);

// The filter of a file dialog that is made only when needed, kept as an object of the window
// so that the walk finds and translates it with the rest of the window. The filter is written
// as the translation table lists it, descriptions and patterns separated by '|':
// "Zeichnungen (*.tvk)|*.tvk". Create one per dialog with the window as owner, then build the
// dialog from NameFilters() (or QtFilter()) without translating it again.
class TFileFilter : public QObject {
    Q_OBJECT
public:
    TFileFilter(const QString& name, const QString& filter, QObject* owner);

    const QString& Filter() const { return filter_; }
    void SetFilter(const QString& filter) { filter_ = filter; }

    // The filter as QFileDialog::setNameFilters takes it: "Zeichnungen (*.tvk)".
    QStringList NameFilters() const;
    // The same joined with ";;", for the static QFileDialog functions.
    QString QtFilter() const;

private:
    QString filter_;
};

// "Text|*.a;*.b|Alle|*.*" as Qt's name filters: {"Text (*.a *.b)", "Alle (*)"}. A description
// that already ends with its patterns in parentheses is kept as it is. A trailing description
// without a pattern is dropped.
QStringList NameFiltersFrom(const QString& filter);

// The file filter called `name` among the objects of `window`, or nullptr.
TFileFilter* FindFileFilter(const QObject* window, const QString& name);

}  // namespace tervasko
