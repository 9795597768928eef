#include "app/recentfiles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

#include "app/settingsfile.h"
#include "i18n/messagetable.h"

namespace tervasko {
namespace {

const QString kKey = QStringLiteral("RecentFiles/Files");

QString normalised(const QString& path) {
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

// "&1 /home/anna/circle.tvk": a mnemonic digit, and the name's own '&' shown as written.
QString itemCaption(int index, const QString& path) {
    QString shown = QDir::toNativeSeparators(path);
    shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
    return QStringLiteral("&%1 %2").arg(index + 1).arg(shown);
}

}  // namespace

QStringList WithRecentFile(QStringList list, const QString& path) {
    const QString file = normalised(path);
    list.removeIf([&](const QString& entry) { return normalised(entry) == file; });
    list.prepend(file);
    while (list.size() > kMaxRecentFiles) list.removeLast();
    return list;
}

TRecentFiles::TRecentFiles(RecentFilesClient client, QMenu* menu)
    : QObject(menu), client_(std::move(client)), menu_(menu) {
    separator_ = menu_->addSeparator();
    ClearItem = menu_->addAction(QString::fromUtf8("Liste leeren"));
    ClearItem->setObjectName("ZuletztgeffnetListeleeren1");
    connect(ClearItem, &QAction::triggered, this, &TRecentFiles::Clear);
    connect(menu_, &QMenu::aboutToShow, this, [this] {
        if (!loaded_) return;
        readStored();
        rebuild();
    });
    menu_->menuAction()->setEnabled(false);
}

void TRecentFiles::Load() {
    loaded_ = true;
    readStored();
    rebuild();
}

// Another window of the program may have changed the list since: the file is read again
// whenever it is about to change or to be shown. Where it cannot be written, the list of
// this run stands.
void TRecentFiles::readStored() {
    const auto settings = OpenSettings(client_.DataDir);
    settings->sync();
    if (loaded_ && !files_.isEmpty() && !settings->isWritable()) return;
    files_.clear();
    for (const QString& path : settings->value(kKey).toStringList())
        if (!path.isEmpty() && files_.size() < kMaxRecentFiles) files_.append(path);
}

void TRecentFiles::Note(const std::string& path) {
    loaded_ = true;
    readStored();
    files_ = WithRecentFile(files_, QString::fromStdString(path));
    store();
    rebuild();
}

QAction* TRecentFiles::Item(int index) const {
    return index >= 0 && index < items_.size() ? items_[index] : nullptr;
}

void TRecentFiles::OpenRecent(const QString& path) {
    if (!QFileInfo::exists(path)) {
        client_.ShowError(
            TranslateText("Die Zeichnung gibt es nicht mehr; sie wird aus der Liste entfernt.") +
            "\n\n" + path.toStdString());
        files_.removeAll(path);
        store();
        rebuild();
        return;
    }
    client_.OpenPath(path.toStdString());
}

void TRecentFiles::Clear() {
    files_.clear();
    store();
    rebuild();
}

void TRecentFiles::store() {
    const auto settings = OpenSettings(client_.DataDir);
    settings->setValue(kKey, files_);
}

void TRecentFiles::rebuild() {
    for (QAction* item : items_) {
        menu_->removeAction(item);
        item->deleteLater();  // it may be the item whose command is running
    }
    items_.clear();
    for (int i = 0; i < files_.size(); ++i) {
        auto* item = new QAction(itemCaption(i, files_[i]), menu_);
        item->setObjectName(QStringLiteral("ZuletztgeffnetDatei%1").arg(i + 1));
        const QString path = files_[i];
        connect(item, &QAction::triggered, this, [this, path] { OpenRecent(path); });
        menu_->insertAction(separator_, item);
        items_.append(item);
    }
    separator_->setVisible(!files_.isEmpty());
    menu_->menuAction()->setEnabled(!files_.isEmpty());
}

}  // namespace tervasko
