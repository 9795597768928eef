#pragma once

#include <QMainWindow>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/sheetview.h"
#include "app/translate/languagecommands.h"
#include "document/drawingfile.h"
#include "document/drawmodel.h"
#include "export/output/sheetrender.h"
#include "session/placemententry.h"
#include "tools/gesturestate.h"
#include "tools/toolhost.h"

class QAction;
class QActionGroup;
class QDoubleSpinBox;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QScrollArea;
class QSpinBox;
class QStatusBar;
class QToolBar;

namespace tervasko {

class TranslationTable;
class TPaintBox;
class TFileCommands;
class TDPIForm;
class TSeiteEinrichtenForm;
class TSaveDialog;
class TPrintCommands;
class TTranslateForm;
class TMainToolHost;
class TAddTextForm;
class DrawingSession;
class TRecentFiles;
class TRecoveryKeeper;
class TWorksheetCommands;
struct StartRequest;

// The colour swatch of the settings panel: shows the pen colour; a press with any button
// asks for a new one.
class TShape : public QWidget {
    Q_OBJECT
public:
    explicit TShape(QWidget* parent = nullptr);
    Color BrushColor() const { return color_; }
    void SetBrushColor(Color c);

signals:
    void pressed();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    Color color_ = kBlack;
};

// The main window: holds the drawing, the view and every control, and wires the menus to
// their commands.
class TMainForm : public QMainWindow {
    Q_OBJECT
    // The tests' and benchmarks' way to the window's parts (tests/support/mainformparts.h);
    // the program itself reaches them only through the narrow interfaces it hands out.
    friend struct TMainFormParts;

public:
    // programDir: where "options.dat" and "translate.dbf" live; empty = the program's folder.
    explicit TMainForm(std::string programDir = {}, QWidget* parent = nullptr);
    ~TMainForm() override;

private:
    // The session beneath the window: the drawing, its history, its settings, the gesture
    // state and the file commands' work.
    std::unique_ptr<DrawingSession> Session;
    // The session's drawing, for the window's own code.
    TDrawing& Drawing;

    std::string ProgramDir;
    // The window's own state (declared here to keep the order of construction).
    std::string TitleBase;
    bool FormShown = false;
    bool TranslationReadOnly = false;
    int LanguageIndex = 0;
    bool UpdatingEds = false;
    bool LoadingOptions = false;

    SheetView View;
    GestureState& Gesture;  // the session's
    // The windows and commands of the menus, made with the main window in this order.
    TFileCommands* FileCommands = nullptr;
    TDPIForm* DPIForm = nullptr;
    TSeiteEinrichtenForm* SeiteEinrichtenForm = nullptr;

    TSaveDialog* SaveDialog2 = nullptr;
    std::unique_ptr<TPrintCommands> Printing;
    TTranslateForm* TranslateForm = nullptr;
    LanguageDialogs LanguageUi;

public:
    // Whether "Fangen" is on: points of the drawing catch the pointer.
    bool SnapOn() const;
    // Escape: ends the gesture under way without storing anything; false when there was none.
    bool CancelGestureUnderWay();

private:
    std::unique_ptr<TMainToolHost> Tools;
    std::unique_ptr<TranslationTable> Translations;
    // The recovery copy of unsaved work.
    std::unique_ptr<TRecoveryKeeper> Recovery;

public:
    void SetChanged();
    void SetUnChanged();
    bool Changed() const;

    // The paint cycle.
    void PaintBox1Paint();
    // The numeric fields take the placement.
    void UpdateEds();

    // The values the drawing file stores from the controls.
    DrawingSettings CurrentSettings() const;
    void ApplySettings(const DrawingSettings& settings);
    int PageCount() const;
    double PixelsPerMm() const { return View.Geometry.PixelsPerMm; }
    Color PenColor() const;
    double PenWidth() const;
    double EraserWidth() const;

    // The window's modal questions, each a function object that tests replace with their
    // answers so that nothing blocks. The file commands' questions are FileCommands->Dialogs.
    struct WindowHooks {
        // Asks for a colour (the colour dialog); nullopt when cancelled.
        std::function<std::optional<Color>(Color current)> ChooseColor;
        // Shows a failure the user must know of (a message box).
        std::function<void(const std::string& text)> ShowError;
        // Runs the text dialog modally (exec); true on OK.
        std::function<bool(TAddTextForm& dialog)> RunTextDialog;
    };
    WindowHooks& Hooks() { return hooks_; }
    // Shows a failure the user must know of, through Hooks().ShowError.
    void ShowError(const std::string& text) { hooks_.ShowError(text); }

    // The recent files' menu part.

private:
    TRecentFiles* RecentFiles = nullptr;
    // "Arbeitsblatt einfügen...", "Arbeitsblatt entfernen" and the switch "Arbeitsblatt".
    TWorksheetCommands* Worksheets = nullptr;

public:
    // What the command line asked for, once the window has been shown: the drawing is read as
    // "Öffnen..." reads it, or the mistake is told.
    void RunStartRequest(const StartRequest& request);
    // Lists the recovery copies in `folder` that programs ended without closing left behind
    // (empty: the user's recovery folder); true when a drawing was restored.
    bool OfferRecovery(const std::string& folder = {});

    // Which instruments the sheets show, for printing and pictures as on screen.
    SheetInstruments ShownInstruments() const;

    // Pointer events on the paint box (paint-box pixels).
    void PaintBox1MouseDown(MouseButton button, int x, int y);
    void PaintBox1MouseMove(int x, int y);
    void PaintBox1MouseUp(MouseButton button, int x, int y);
    // A key pressed on the focused paint box; true when it moved the active tool's instrument
    // (or would have, but a gesture holds the pointer and has the instrument).
    bool PaintBox1KeyDown(int key, Qt::KeyboardModifiers modifiers);
    // The status bar's pointer readout of a point in drawing millimetres.
    void ShowPointerPosition(PointD mm);

public slots:
    void zoomedChange();
    void PageAnzChange();
    void LinXEdChange();
    void LinyedChange();
    void linwedChange();
    void WinkXedChange();
    void WinkYEdChange();
    void WinkWEdChange();
    void ZirkXedChange();
    void ZirkYedChange();
    void ZirksEdChange();
    void GeoXEdChange();
    void GeoYEdChange();
    void GeoWEdChange();
    void LeistefrZahleneingabe1Click();
    void Lineal2Click();
    void Winkelmesser2Click();
    void Zirkel2Click();
    void AnsichtZollAngabenfrdasLineal1Click();
    void AnsichtFangen1Click();
    void FarbeBtnClick();
    void Shape1MouseDown();
    void ZirkelKreiszeichnen1Click();
    void DateiSeiteeinrichten1Click();
    void Druckereinrichten1Click();
    void DateiDrucken1Click();
    void DateiAlsBildexportieren1Click();

    // --- drawing tools: the text dialog, the font chooser, the wheel, the last element ---

private:
    TAddTextForm* AddTextForm = nullptr;  // created with the window, reused
    TextFontChoice FontDialog1;           // the font chooser's current font

public:
    // The text dialog for the tools: with a preset, memo and chooser take it first.
    bool AskText(const TextInput* preset, TextInput& result);

    // A change already drawn over the sheets (a pencil segment): the sheets are drawn again
    // only at the next cycle or CatchUpSheets. The star comes with the stroke's step.
    void SetChangedOnScreen();
    void CatchUpSheets();

private:
    bool SheetsBehindScreen = false;

public:
    // One notch of the mouse wheel, wherever the focus is.
    void FormMouseWheelUp();
    void FormMouseWheelDown();

private:
    int WheelRemainder = 0;  // wheel rotation short of a notch, in 1/120 notch

public slots:
    void ObjekteLetzesObjektlschen1Click();
    void Rueckgaengig1Click();
    void Wiederholen1Click();

protected:
    void showEvent(QShowEvent* event) override;
    // FormCloseQuery: unsaved work is asked about before the window closes.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    WindowHooks hooks_;
    // Controls, named as their objectName (tests find them by it).
    QWidget* ControlBar1 = nullptr;
    QMenuBar* MenuBar20002 = nullptr;  // command menus
    QToolBar* CommandItems = nullptr;  // the icon-only command items beside them
    QWidget* Panel1 = nullptr;         // settings panel
    QToolBar* MenuBar20001 = nullptr;  // tool menu
    QWidget* Panel2 = nullptr;         // numeric entry panel
    QWidget* Panel3 = nullptr;
    QScrollArea* ScrollBox1 = nullptr;
    TPaintBox* PaintBox1 = nullptr;
    QStatusBar* StatusBar1 = nullptr;

    QSpinBox* zoomed = nullptr;
    QDoubleSpinBox* StrichEd = nullptr;
    TShape* Shape1 = nullptr;
    QPushButton* FarbeBtn = nullptr;
    QDoubleSpinBox* RadierEd = nullptr;
    QSpinBox* PageAnz = nullptr;

    QDoubleSpinBox *LinXEd = nullptr, *Linyed = nullptr, *linwed = nullptr;
    QDoubleSpinBox *WinkXed = nullptr, *WinkYEd = nullptr, *WinkWEd = nullptr;
    QDoubleSpinBox *ZirkXed = nullptr, *ZirkYed = nullptr, *ZirksEd = nullptr;
    QDoubleSpinBox *GeoXEd = nullptr, *GeoYEd = nullptr, *GeoWEd = nullptr;

    // Command menu items.
    QAction *Neu1 = nullptr, *ffnen1 = nullptr, *Speichern1 = nullptr, *Speichernunter1 = nullptr,
            *DateiAlsBildexportieren1 = nullptr, *DXFExportAction = nullptr,
            *DateiSeiteeinrichten1 = nullptr, *DateiDrucken1 = nullptr,
            *Druckereinrichten1 = nullptr, *Beenden1 = nullptr;
    QAction *LeistefrZahleneingabe1 = nullptr, *Lineal2 = nullptr, *Winkelmesser2 = nullptr,
            *Zirkel2 = nullptr, *Geodreieck2 = nullptr, *AnsichtZollAngabenfrdasLineal1 = nullptr;
    // "Fangen": points of the drawing catch the instruments and line ends; off at start,
    // remembered in the settings file.
    QAction* AnsichtFangen1 = nullptr;
    QAction *Rueckgaengig1 = nullptr, *Wiederholen1 = nullptr;
    QAction *SpracheDeutsch1 = nullptr, *SpracheEnglish1 = nullptr, *SpracheItaliano1 = nullptr,
            *Sprachebersetzen1 = nullptr;
    QMenu* DateiZuletztgeffnet1 = nullptr;  // "Zuletzt geöffnet", filled by RecentFiles
    QAction *N5 = nullptr, *N6 = nullptr, *N7 = nullptr, *N8 = nullptr, *MenuItem1 = nullptr,
            *N9 = nullptr, *N10 = nullptr, *N11 = nullptr;

    // Tool menu items.
    QAction *Lineal1 = nullptr, *LinealVerschieben1 = nullptr, *LinealDrehen1 = nullptr,
            *LinealAnLinealentlangzeichnen1 = nullptr, *LinealQuerzumLinealzeichnen1 = nullptr;
    QAction *Winkelmesser1 = nullptr, *WinkelmesserVerschieben1 = nullptr,
            *WinkelmesserDrehen1 = nullptr, *WinkelmesserGradzahlmitBleistiftmarkieren1 = nullptr;
    QAction *Zirkel1 = nullptr, *ZirkelVerschieben1 = nullptr, *ZirkelZirkelspanne1 = nullptr,
            *ZirkelKreisbogenzeichnen1 = nullptr, *ZirkelKreiszeichnen1 = nullptr;
    QAction *Kurven1 = nullptr, *Bleistift1 = nullptr, *Radierer1 = nullptr;
    QAction *Text1 = nullptr, *TextTexthinzufgen1 = nullptr, *TextTextndern1 = nullptr,
            *TextTextlschen1 = nullptr, *TextVerschieben1 = nullptr;
    QAction *Objekte1 = nullptr, *ObjekteLschen1 = nullptr, *ObjekteLetzesObjektlschen1 = nullptr,
            *ObjekteVerschieben1 = nullptr;
    QAction *Hand1 = nullptr, *Zoom1 = nullptr;
    QAction *Geodreieck1 = nullptr, *GeodreieckVerschieben1 = nullptr, *GeodreieckDrehen1 = nullptr,
            *GeodreieckAnderlangenKanteentlangzeichnen1 = nullptr,
            *GeodreieckAndenkurzenKantenentlangzeichnen1 = nullptr,
            *GeodreieckWinkelmarkieren1 = nullptr;

    void buildEditMenu(QMenuBar* bar);
    void setUpHistory();
    void bindSettings();
    void showTitle();
    bool isHistoryKey(QObject* watched, QEvent* event) const;

    void FormCreate();
    void FormShow();
    void FormDestroy();
    void buildCommandMenus();
    void buildSettingsPanel();
    void buildToolMenu();
    void buildNumericPanel();
    void placementFieldChanged(PlacementField field);
    QDoubleSpinBox* placementEdit(PlacementField field) const;
    std::array<QDoubleSpinBox*, std::size(kPlacementFields)> PlacementEds{};
    void chooseTool(ToolItem item);
    // The tool menu item of a tool or mode.
    QAction* ToolAction(ToolItem item) const;
    void showToolChoice();
    QAction* modeItem(QMenu* menu, QActionGroup* group, const char* name, const char* caption);
};

}  // namespace tervasko
