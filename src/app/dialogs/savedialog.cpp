#include "app/dialogs/savedialog.h"

#include <QFileDialog>
#include <QFileInfo>

namespace tervasko {
namespace {

struct FilterPair {
    QString description, pattern;
};

QList<FilterPair> filterPairs(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QList<FilterPair> pairs;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) pairs.push_back({parts[i], parts[i + 1]});
    return pairs;
}

// "*.bmp" -> "bmp"; "*.*" or "*" -> empty.
QString patternExtension(const QString& pattern) {
    const QString first = pattern.split(QLatin1Char(';')).value(0).trimmed();
    if (!first.startsWith(QLatin1String("*."))) return {};
    const QString ext = first.mid(2);
    return ext.contains(QLatin1Char('*')) ? QString() : ext;
}

}  // namespace

TSaveDialog::TSaveDialog(QWidget* owner, const QString& objectName, const QString& filter,
                         const QString& defaultExt)
    : TFileFilter(objectName, filter, owner), DefaultExt(defaultExt), owner_(owner) {
    Execute = [this] { return runFileDialog(); };
}

QStringList TSaveDialog::NameFilters() const {
    QStringList filters;
    for (const FilterPair& p : filterPairs(ShownFilter())) {
        const QString patterns = QString(p.pattern).replace(QLatin1Char(';'), QLatin1Char(' '));
        // Qt reads the patterns from the last parentheses of the text.
        if (p.description.contains(QLatin1Char('(') + patterns + QLatin1Char(')')))
            filters << p.description;
        else
            filters << p.description + QLatin1String(" (") + patterns + QLatin1Char(')');
    }
    return filters;
}

QString TSaveDialog::FilterExtension(int index) const {
    const QList<FilterPair> pairs = filterPairs(ShownFilter());
    QString ext;
    if (index >= 1 && index <= pairs.size()) ext = patternExtension(pairs[index - 1].pattern);
    return ext.isEmpty() ? DefaultExt : ext;
}

QString TSaveDialog::ChosenFileName() const {
    if (FileName.isEmpty()) return FileName;
    const QString suffix = QFileInfo(FileName).suffix();
    if (!suffix.isEmpty()) {
        for (const FilterPair& p : filterPairs(ShownFilter()))
            if (suffix.compare(patternExtension(p.pattern), Qt::CaseInsensitive) == 0)
                return FileName;
    }
    const QString ext = FilterExtension(FilterIndex);
    return ext.isEmpty() ? FileName : FileName + QLatin1Char('.') + ext;
}

bool TSaveDialog::runFileDialog() {
    TFileDialog dialog(owner_, Runner);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters = NameFilters();
    dialog.setNameFilters(filters);
    const int index = FilterIndex >= 1 && FilterIndex <= filters.size() ? FilterIndex : 1;
    if (!filters.isEmpty()) dialog.selectNameFilter(filters[index - 1]);
    dialog.setDefaultSuffix(FilterExtension(index));
    // A name typed without an extension gets the chosen filter's before the dialog asks
    // whether to replace an existing file.
    connect(&dialog, &QFileDialog::filterSelected, &dialog,
            [this, &dialog, filters](const QString& f) {
                dialog.setDefaultSuffix(FilterExtension(static_cast<int>(filters.indexOf(f)) + 1));
            });
    if (!FileName.isEmpty()) dialog.selectFile(FileName);
    const std::optional<QString> chosen = RunFileDialog(dialog, Runner);
    if (!chosen) return false;
    FileName = *chosen;
    FilterIndex = std::max(1, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1);
    return true;
}

}  // namespace tervasko
