#pragma once

#include <QObject>
#include <QStringList>
#include <functional>
#include <string>

class QAction;
class QMenu;

namespace tervasko {

// What the recent files need of their window.
struct RecentFilesClient {
    std::string DataDir;  // the folder of the settings file
    std::function<void(const std::string& text)> ShowError;
    // Asks about unsaved work as "Öffnen..." does, then reads the drawing.
    std::function<void(const std::string& path)> OpenPath;
};

// The drawings last opened or saved, newest first, each once, at most kMaxRecentFiles.
inline constexpr int kMaxRecentFiles = 8;
// `path` at the front of `list`; an earlier mention of the same file goes, and so does what
// falls beyond the limit. Paths are compared as absolute, cleaned paths.
QStringList WithRecentFile(QStringList list, const QString& path);

// The "Zuletzt geöffnet" submenu of "Datei": one item per drawing, then "Liste leeren". The
// list is kept in the settings file in the window's data folder, so every window and every
// later run sees it. Its items are made only after the first show: file names are never
// translated.
class TRecentFiles : public QObject {
    Q_OBJECT
public:
    TRecentFiles(RecentFilesClient client, QMenu* menu);

    // Reads the list from the settings file and fills the submenu; the window calls it once
    // it has been translated.
    void Load();
    // A drawing was opened or saved under `path`.
    void Note(const std::string& path);
    const QStringList& Files() const { return files_; }
    // The item of the menu that opens files[index] (after Load).
    QAction* Item(int index) const;

    // Opens a drawing of the list, asking about unsaved work first as "Öffnen..." does. A file
    // that no longer exists is reported and leaves the list.
    void OpenRecent(const QString& path);
    void Clear();

    QAction* ClearItem = nullptr;  // "Liste leeren"

private:
    void readStored();
    void store();
    void rebuild();

    RecentFilesClient client_;
    QMenu* menu_;
    QAction* separator_ = nullptr;
    QList<QAction*> items_;
    QStringList files_;
    bool loaded_ = false;
};

}  // namespace tervasko
