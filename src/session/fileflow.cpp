#include "session/fileflow.h"

#include <QFileInfo>

#include "session/drawingsession.h"

namespace tervasko {
namespace {

bool folderExists(const std::string& path) {
    if (path.empty()) return false;
    return QFileInfo(QFileInfo(QString::fromStdString(path)).absolutePath()).isDir();
}

std::unique_ptr<Progress> progressOf(const FileQuestions& questions, FileQuestions::Failure what,
                                     const std::string& path) {
    return questions.ProgressOf ? questions.ProgressOf(what, path) : nullptr;
}

}  // namespace

FileFlow::FileFlow(DrawingSession& session, FileQuestions& questions)
    : session_(session), questions_(questions) {}

// The history has its state by now (saved, new or loaded): the window only shows it.
void FileFlow::settle() {
    if (Settled) Settled();
}

bool FileFlow::saveTo(const std::string& path) {
    // A file name whose folder is missing is never taken: the drawing keeps the name it had.
    if (!folderExists(path)) {
        questions_.Report(FileQuestions::Failure::SaveFolderMissing, path, Error{});
        return false;
    }
    Error error;
    if (!session_.SaveAs(path, &error)) {
        // The mark stays: the drawing is still unsaved.
        questions_.Report(FileQuestions::Failure::Save, path, error);
        return false;
    }
    settle();
    if (FileUsed) FileUsed(path);
    return true;
}

bool FileFlow::Save() {
    if (!session_.FileName().empty()) return saveTo(session_.FileName());
    const auto path = questions_.SaveDialog1();
    if (!path) return false;
    return saveTo(*path);
}

bool FileFlow::SaveAs() {
    const auto path = questions_.SaveDialog1();
    return path && saveTo(*path);
}

bool FileFlow::MayReplaceDrawing() {
    if (!session_.Changed()) return true;
    switch (questions_.AskSave()) {
        case FileQuestions::Answer::Yes:
            return Save();
        case FileQuestions::Answer::No:
            return true;
        case FileQuestions::Answer::Cancel:
            return false;
    }
    return false;
}

void FileFlow::New() {
    if (!MayReplaceDrawing()) return;
    // No gesture or highlight outlives the drawing it was made on.
    session_.Gesture.Forget();
    session_.New();
    settle();
}

bool FileFlow::Load(const std::string& path) {
    Error error;
    std::vector<Error> dropped;
    const auto progress = progressOf(questions_, FileQuestions::Failure::Open, path);
    if (!session_.Load(path, &error, progress.get(), &dropped)) {
        // The drawing and its file name stay as they were.
        if (error.Code != ErrorCode::Cancelled)
            questions_.Report(FileQuestions::Failure::Open, path, error);
        return false;
    }
    session_.Gesture.Forget();
    if (Replaced) Replaced();
    settle();
    if (FileUsed) FileUsed(path);
    // Told once the window shows the drawing, starred, that it is about.
    if (!dropped.empty() && questions_.Warn) questions_.Warn(path, dropped);
    return true;
}

// Unsaved work is asked about before the open dialog, as for "Neu".
bool FileFlow::Open() {
    if (!MayReplaceDrawing()) return false;
    const auto path = questions_.OpenDialog1();
    return path && Load(*path);
}

bool FileFlow::OpenPath(const std::string& path) {
    return MayReplaceDrawing() && Load(path);
}

bool FileFlow::ExportDxf() {
    const auto path = questions_.SaveDialog3();
    if (!path) return false;
    Error error;
    const auto progress = progressOf(questions_, FileQuestions::Failure::ExportDxf, *path);
    if (session_.ExportDxf(*path, &error, progress.get())) return true;
    if (error.Code != ErrorCode::Cancelled)
        questions_.Report(FileQuestions::Failure::ExportDxf, *path, error);
    return false;
}

}  // namespace tervasko
