#pragma once

#include <memory>
#include <string>

#include "app/mainUnit.h"

namespace tervasko {

// The main window's parts as the tests and benchmarks reach them. The window keeps them
// private and hands its collaborators only the narrow interfaces they need; this friend is the
// one way around that, and only tests and benchmarks include it.
struct TMainFormParts {
    explicit TMainFormParts(TMainForm& f)
        : Session(f.Session),
          View(f.View),
          Gesture(f.Gesture),
          FileCommands(f.FileCommands),
          DPIForm(f.DPIForm),
          SaveDialog2(f.SaveDialog2),
          Tools(f.Tools),
          Translations(f.Translations),
          Recovery(f.Recovery),
          RecentFiles(f.RecentFiles),
          AddTextForm(f.AddTextForm),
          FontDialog1(f.FontDialog1),
          ProgramDir(f.ProgramDir),
          Worksheets(f.Worksheets) {}

    std::unique_ptr<DrawingSession>& Session;
    SheetView& View;
    GestureState& Gesture;
    TFileCommands*& FileCommands;
    TDPIForm*& DPIForm;
    TSaveDialog*& SaveDialog2;
    std::unique_ptr<TMainToolHost>& Tools;
    std::unique_ptr<TranslationTable>& Translations;
    std::unique_ptr<TRecoveryKeeper>& Recovery;
    TRecentFiles*& RecentFiles;
    TAddTextForm*& AddTextForm;
    TextFontChoice& FontDialog1;
    std::string& ProgramDir;
    TWorksheetCommands*& Worksheets;
};

inline TMainFormParts Parts(TMainForm& form) {
    return TMainFormParts(form);
}

}  // namespace tervasko
