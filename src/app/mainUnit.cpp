#include "app/mainUnit.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "app/AddTextFUnit.h"
#include "app/commandline.h"
#include "app/decimalfield.h"
#include "app/dialogs/DPIFUnit.h"
#include "app/dialogs/SeiteeinrichtenFUnit.h"
#include "app/dialogs/messagebox.h"
#include "app/dialogs/printcommands.h"
#include "app/dialogs/savedialog.h"
#include "app/dialogs/workprogress.h"
#include "app/dropopen.h"
#include "app/filecommands.h"
#include "app/paintbox.h"
#include "app/recentfiles.h"
#include "app/recovery.h"
#include "app/settingsfile.h"
#include "app/shortcuts.h"
#include "app/toolhostqt.h"
#include "app/translate/TranslateFUnit.h"
#include "app/translate/qttranslations.h"
#include "app/translate/translateunit.h"
#include "app/worksheetcommands.h"
#include "app/wraprow.h"
#include "document/options.h"
#include "i18n/messagetable.h"
#include "i18n/translationtable.h"
#include "platform/programdir.h"
#include "platform/qt/qtcanvas.h"
#include "session/drawingsession.h"
#include "session/placemententry.h"
#include "session/placementkeys.h"
#include "tools/cancel.h"
#include "tools/compass.h"
#include "tools/dispatch.h"
#include "tools/elements.h"
#include "tools/handzoom.h"

namespace tervasko {
namespace {

QString q(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// 16 x 16 icons of the tools that carry one: a curve, a hand, a magnifier.
QIcon toolIcon(const char* which) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(Qt::black, 1.4));
    const std::string w = which;
    if (w == "curve") {
        QPainterPath path(QPointF(1.5, 13.5));
        path.cubicTo(QPointF(4, 0), QPointF(11, 16), QPointF(14.5, 2.5));
        p.drawPath(path);
    } else if (w == "hand") {
        p.setBrush(QColor(255, 224, 189));
        p.drawRoundedRect(QRectF(3.5, 7, 9, 7.5), 2, 2);
        for (int i = 0; i < 4; ++i)
            p.drawRoundedRect(QRectF(3.5 + i * 2.3, 2 + (i % 3 == 0), 2, 7), 1, 1);
    } else {
        p.setBrush(QColor(220, 235, 255));
        p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
        p.setPen(QPen(Qt::black, 2.2));
        p.drawLine(QPointF(9.5, 9.5), QPointF(14.5, 14.5));
    }
    return QIcon(pm);
}

QDoubleSpinBox* decimalField(QWidget* parent, const char* name, double min, double max, double step,
                             double value) {
    auto* f = new DecimalField(parent);
    f->setObjectName(name);
    f->setRange(min, max);
    f->setSingleStep(step);
    f->setValue(value);
    return f;
}

}  // namespace

// --- the colour swatch -------------------------------------------------------------------

TShape::TShape(QWidget* parent) : QWidget(parent) {
    setObjectName("Shape1");
    setFixedSize(25, 25);
}

void TShape::SetBrushColor(Color c) {
    color_ = c;
    update();
}

void TShape::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setPen(Qt::black);
    p.setBrush(ToQColor(color_));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TShape::mousePressEvent(QMouseEvent*) {
    emit pressed();
}

// --- creation and the first show ----------------------------------------------------------

TMainForm::TMainForm(std::string programDir, QWidget* parent)
    : QMainWindow(parent),
      Session(std::make_unique<DrawingSession>()),
      Drawing(Session->Drawing()),
      ProgramDir(std::move(programDir)),
      Gesture(Session->Gesture) {
    setObjectName("TMainForm");
    // The folder is known before any part that keeps it is made.
    if (ProgramDir.empty()) ProgramDir = tervasko::ProgramDir();
    if (ProgramDir.back() != '/') ProgramDir.push_back('/');
    // The start size, or the screen's room where that is less (a large scale factor): a
    // window reaching past the screen's edge would hide the ends of its rows.
    const QSize room = screen() ? screen()->availableGeometry().size() : QSize(780, 560);
    resize(std::min(780, room.width()), std::min(560, room.height()));
    QFont f = font();
    f.setFamily(q("MS Sans Serif"));
    f.setPointSize(8);
    setFont(f);
    hooks_.ChooseColor = [this](Color current) -> std::optional<Color> {
        // Qt's own dialog, which speaks the program's language (the desktop's speaks its own).
        const QColor c = QColorDialog::getColor(ToQColor(current), this, QString(),
                                                QColorDialog::DontUseNativeDialog);
        if (!c.isValid()) return std::nullopt;
        return FromQColor(c);
    };
    hooks_.ShowError = [this](const std::string& text) {
        std::string caption;
        GetMessageText(2, caption);
        ShowMessageBox(this, QMessageBox::Warning, caption, text);
    };

    ControlBar1 = new QWidget(this);
    ControlBar1->setObjectName("ControlBar1");
    auto* bars = new QVBoxLayout(ControlBar1);
    bars->setContentsMargins(0, 0, 0, 0);
    bars->setSpacing(0);
    buildCommandMenus();
    buildSettingsPanel();
    buildToolMenu();
    auto* row1 = new QHBoxLayout;
    row1->setSpacing(0);
    row1->addWidget(MenuBar20002);
    row1->addWidget(CommandItems);
    row1->addStretch(1);
    bars->addLayout(row1);
    bars->addWidget(Panel1);
    bars->addWidget(MenuBar20001);
    setMenuWidget(ControlBar1);

    auto* central = new QWidget(this);
    auto* body = new QHBoxLayout(central);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    buildNumericPanel();
    body->addWidget(Panel2);
    Panel3 = new QWidget(central);
    Panel3->setObjectName("Panel3");
    auto* p3 = new QVBoxLayout(Panel3);
    p3->setContentsMargins(0, 0, 0, 0);
    ScrollBox1 = new QScrollArea(Panel3);
    ScrollBox1->setObjectName("ScrollBox1");
    ScrollBox1->setBackgroundRole(QPalette::Dark);  // the application workspace colour
    ScrollBox1->setWidgetResizable(false);
    PaintBox1 = new TPaintBox(
        {[this](QPainter& p, const QRect& r) {
             // The paint box paints all it shows, beside the sheets the scroll box's own
             // background, so the scroll box need not paint beneath it first.
             const QWidget* under = ScrollBox1->viewport();
             const QBrush beside = under->palette().brush(under->backgroundRole());
             View.Paint(p, r, &beside);
         },
         [this](MouseButton b, int x, int y) { PaintBox1MouseDown(b, x, y); },
         [this](int x, int y) { PaintBox1MouseMove(x, y); },
         [this](MouseButton b, int x, int y) { PaintBox1MouseUp(b, x, y); },
         [this](int key, Qt::KeyboardModifiers m) { return PaintBox1KeyDown(key, m); }});
    PaintBox1->setAttribute(Qt::WA_OpaquePaintEvent);
    ScrollBox1->setWidget(PaintBox1);
    p3->addWidget(ScrollBox1);
    body->addWidget(Panel3, 1);
    setCentralWidget(central);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(true);
    setStatusBar(StatusBar1);

    Tools = std::make_unique<TMainToolHost>(ToolWindow{
        Session.get(), &View, PaintBox1, ScrollBox1, StatusBar1, [this] { PaintBox1Paint(); },
        [this] { UpdateEds(); }, [this] { SetChangedOnScreen(); }, [this] { CatchUpSheets(); },
        [this](PointD mm) { ShowPointerPosition(mm); },
        [this](const TextInput* preset, TextInput& result) { return AskText(preset, result); }});
    // Fingers and pen: the fingers hold the shown instruments and move the view, the pen
    // acts as the mouse and draws along an instrument the fingers hold.
    PaintBox1->SetTouchClient(
        {[this](std::span<const TouchPoint> points, bool penNear, bool penDown) {
             const SheetInstruments shown = ShownInstruments();
             TouchFrame(*Tools, Drawing, Gesture,
                        {penNear,
                         penDown,
                         {shown.ruler, shown.protractor, shown.setSquare, shown.compass}},
                        points);
         },
         [this] { TouchCancelled(*Tools, Drawing, Gesture); },
         [this](MouseButton b, int x, int y) { PenDown(*Tools, Drawing, Gesture, b, x, y); },
         [this](int x, int y) { PenMove(*Tools, Drawing, Gesture, x, y); },
         [this](MouseButton b, int x, int y) { PenUp(*Tools, Drawing, Gesture, b, x, y); }});
    connect(ZirkelKreiszeichnen1, &QAction::triggered, this, &TMainForm::ZirkelKreiszeichnen1Click);
    connect(ObjekteLetzesObjektlschen1, &QAction::triggered, this,
            &TMainForm::ObjekteLetzesObjektlschen1Click);
    AddTextForm = new TAddTextForm(this);
    AddTextForm->Font = &FontDialog1;
    hooks_.RunTextDialog = [](TAddTextForm& dialog) { return dialog.exec() == QDialog::Accepted; };
    qApp->installEventFilter(this);  // the wheel, wherever the focus is
    FileCommands =
        new TFileCommands({this, Session.get(), [this] { UpdateEds(); }, [this] { SetUnChanged(); },
                           [this] { PaintBox1Paint(); }, [this] { CancelGestureUnderWay(); },
                           [this](const std::string& text) { ShowError(text); }});
    connect(Neu1, &QAction::triggered, FileCommands, &TFileCommands::Neu1Click);
    connect(ffnen1, &QAction::triggered, FileCommands, &TFileCommands::ffnen1Click);
    connect(Speichern1, &QAction::triggered, FileCommands, &TFileCommands::Speichern1Click);
    connect(Speichernunter1, &QAction::triggered, FileCommands,
            &TFileCommands::Speichernunter1Click);
    connect(DXFExportAction, &QAction::triggered, FileCommands,
            &TFileCommands::DXFExportActionClick);
    // The worksheet's two commands after the DXF export, its view switch after the set square.
    Worksheets = new TWorksheetCommands(
        {this, Session.get(), [this] { PaintBox1Paint(); }, [this] { CancelGestureUnderWay(); },
         [this](const std::string& text) { ShowError(text); }},
        qobject_cast<QMenu*>(DXFExportAction->associatedObjects().value(0)), DXFExportAction,
        qobject_cast<QMenu*>(Geodreieck2->associatedObjects().value(0)), Geodreieck2);
    RecentFiles =
        new TRecentFiles({ProgramDir, [this](const std::string& text) { ShowError(text); },
                          [this](const std::string& path) { FileCommands->OpenPath(path); }},
                         DateiZuletztgeffnet1);
    FileCommands->Flow().FileUsed = [this](const std::string& path) { RecentFiles->Note(path); };
    new TDropOpener(*this, [this](const std::string& path) { FileCommands->OpenPath(path); });
    DPIForm = new TDPIForm(this);
    SeiteEinrichtenForm = new TSeiteEinrichtenForm(this);
    SaveDialog2 = MakeSaveDialog2(this);
    Printing = std::make_unique<TPrintCommands>(this);
    SeiteEinrichtenForm->PrinterPage = [this] { return Printing->CurrentPrinterPage(); };
    SeiteEinrichtenForm->ShowMessage = [this](const std::string& text) { ShowError(text); };
    Printing->ShowMessage = [this](const std::string& text) { ShowError(text); };
    connect(DateiSeiteeinrichten1, &QAction::triggered, this,
            &TMainForm::DateiSeiteeinrichten1Click);
    connect(Druckereinrichten1, &QAction::triggered, this, &TMainForm::Druckereinrichten1Click);
    connect(DateiDrucken1, &QAction::triggered, this, &TMainForm::DateiDrucken1Click);
    connect(DateiAlsBildexportieren1, &QAction::triggered, this,
            &TMainForm::DateiAlsBildexportieren1Click);
    FormCreate();
    TranslateForm = new TTranslateForm(*Translations, this);
    const struct {
        QAction* item;
        int language;
    } languages[] = {
        {SpracheDeutsch1, kGerman}, {SpracheEnglish1, kEnglish}, {SpracheItaliano1, kItalian}};
    for (const auto& l : languages)
        connect(l.item, &QAction::triggered, this, [this, l] {
            LanguageCommand(l.language, l.item, LoadingOptions, *Translations, ProgramDir, this,
                            LanguageUi);
        });
    connect(Sprachebersetzen1, &QAction::triggered, this,
            [this] { TranslateCommand(*TranslateForm, *Translations, this, LanguageUi); });
    InstallShortcuts(*this, [this] { CancelGestureUnderWay(); });
}

bool TMainForm::OfferRecovery(const std::string& folder) {
    return tervasko::OfferRecovery(*Recovery, folder.empty() ? RecoveryFolder() : folder);
}

void TMainForm::RunStartRequest(const StartRequest& request) {
    tervasko::RunStartRequest({[this](const std::string& path) { FileCommands->LoadDrawing(path); },
                               [this](const std::string& text) { ShowError(text); },
                               [this](const std::string& path) { Worksheets->InsertPath(path); }},
                              request);
}

void TMainForm::closeEvent(QCloseEvent* event) {
    // Long work (opening, exporting, printing) still reads the drawing: it is cancelled in
    // its own dialog, not by closing the window under it.
    if (WorkProgress::Busy()) {
        event->ignore();
        return;
    }
    if (FileCommands->FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

SheetInstruments TMainForm::ShownInstruments() const {
    const SettingsModel& settings = Session->Settings;
    SheetInstruments shown{settings.Values().RulerShown, settings.Values().ProtractorShown,
                           settings.Values().CompassShown, settings.Inches(),
                           settings.Values().SetSquareShown};
    shown.worksheet = settings.WorksheetShown();
    return shown;
}

void TMainForm::DateiSeiteeinrichten1Click() {
    // The dialog fills a sheet of its own; the session makes the step.
    TDrawing sheet;
    sheet.PageWidthInch = Drawing.PageWidthInch;
    sheet.PageHeightInch = Drawing.PageHeightInch;
    if (RunPageSetup(*SeiteEinrichtenForm, sheet, {}) &&
        Session->SetSheetSize(sheet.PageWidthInch, sheet.PageHeightInch))
        PaintBox1Paint();
}

void TMainForm::Druckereinrichten1Click() {
    Printing->RunPrinterSetup();
    PaintBox1Paint();
}

void TMainForm::DateiDrucken1Click() {
    Printing->RunPrint(Drawing, PageCount(), ShownInstruments());
}

void TMainForm::DateiAlsBildexportieren1Click() {
    RunPictureExport(*DPIForm, *SaveDialog2, Drawing, PageCount(), ShownInstruments(),
                     [this](const std::string& text) { ShowError(text); });
}

TMainForm::~TMainForm() {
    FormDestroy();
    // The session outlives the window's other members and its history still signals as it
    // goes (its stack leaves the clean state): nobody of the window may listen then.
    Session->History().disconnect();
    Session->Settings.disconnect();
    Session->disconnect();
}

void TMainForm::FormCreate() {
    if (ProgramDir.empty()) ProgramDir = tervasko::ProgramDir();
    if (ProgramDir.back() != '/') ProgramDir.push_back('/');
    setUpHistory();
    bindSettings();
    // The placement, the lists and the sheet size start as TDrawing sets them.
    UpdateEds();
    Translations = std::make_unique<TranslationTable>();
    // Problems of the table are told once the window is up, in its language; those that
    // come later (a row that cannot be written) at once.
    Translations->SetProblemHandler([this](const TableProblem& problem) {
        if (FormShown) ShowError(Translations->Describe(problem));
    });
    Translations->Open(ProgramDir);
    TranslationReadOnly = Translations->ReadOnly();
    SetProgramTranslations(Translations.get());
    Recovery = std::make_unique<TRecoveryKeeper>(RecoveryWindow{
        this, Session.get(), [this] { return CurrentSettings(); },
        [this](const DrawingSettings& s) { ApplySettings(s); }, [this] { UpdateEds(); },
        [this] { SetChanged(); }, [this] { PaintBox1Paint(); }, [this] { return Changed(); },
        [this](const std::string& text) { ShowError(text); }, StatusBar1});
}

void TMainForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TMainForm::FormShow() {
    if (FormShown) return;
    LanguageIndex = LoadOptions(ProgramDir);
    LoadingOptions = true;
    SpracheDeutsch1->setChecked(true);
    if (LanguageIndex == 1) SpracheEnglish1->setChecked(true);
    if (LanguageIndex == 2) SpracheItaliano1->setChecked(true);
    LoadingOptions = false;
    Translations->PrimeMessages();
    Translations->SetActiveLanguage(LanguageIndex);
    LoadQtTranslations(LanguageIndex);
    if (LanguageIndex != 0) {
        // Every window made so far is owned by this one, so one walk reaches them all.
        TranslateApplication({this}, *Translations);
        AnsichtZollAngabenfrdasLineal1->setChecked(true);
    }
    FormShown = true;
    GetMessageText(2, TitleBase);
    QApplication::setApplicationDisplayName(QString());
    QApplication::setApplicationName(QString::fromStdString(TitleBase));
    SetUnChanged();
    RecentFiles->Load();  // after the translation: file names are not texts to translate
    Session->Settings.SetSnap(OpenSettings(ProgramDir)->value(kSnapKey, false).toBool());
    PaintBox1Paint();
    for (const TableProblem& problem : Translations->Problems())
        ShowError(Translations->Describe(problem));
}

void TMainForm::FormDestroy() {
    Drawing.NewAll();
    View.SheetBuffer = QImage();
    if (ProgramTranslations() == Translations.get()) SetProgramTranslations(nullptr);
}

// --- title --------------------------------------------------------------------------------

bool TMainForm::Changed() const {
    return Session->Changed();
}

// The mark itself is the history's: these two only bring the sheets and the title up to
// date with a drawing that changed or was saved, loaded or replaced.
void TMainForm::SetChanged() {
    View.InvalidateDrawing();
    showTitle();
}

void TMainForm::SetUnChanged() {
    View.InvalidateDrawing();
    showTitle();
}

// The session's title, with the untitled drawing's name in the active language.
void TMainForm::showTitle() {
    std::string untitled;
    GetMessageText(6, untitled);
    Session->SetTitleTexts(TitleBase, untitled);
    setWindowTitle(QString::fromStdString(Session->Title()));
}

// --- menus and panels ----------------------------------------------------------------------

void TMainForm::buildCommandMenus() {
    MenuBar20002 = new QMenuBar(ControlBar1);
    MenuBar20002->setObjectName("MenuBar20002");
    MenuBar20002->setNativeMenuBar(false);
    auto action = [this](QMenu* menu, const char* name, const char* caption) {
        QAction* a = menu->addAction(q(caption));
        a->setObjectName(name);
        return a;
    };

    QMenu* datei = MenuBar20002->addMenu(q("Datei"));
    datei->setObjectName("Datei1");
    datei->menuAction()->setObjectName("Datei1");
    Neu1 = action(datei, "Neu1", "Neu");
    datei->addSeparator();
    ffnen1 = action(datei, "ffnen1", "Öffnen...");
    Speichern1 = action(datei, "Speichern1", "Speichern");
    Speichernunter1 = action(datei, "Speichernunter1", "Speichern unter...");
    DateiAlsBildexportieren1 = action(datei, "DateiAlsBildexportieren1", "Als Bild exportieren...");
    DXFExportAction = action(datei, "DXFExportAction", "Als DXF Datei exportieren...");
    datei->addSeparator();
    DateiSeiteeinrichten1 = action(datei, "DateiSeiteeinrichten1", "Seite einrichten...");
    DateiDrucken1 = action(datei, "DateiDrucken1", "Drucken...");
    Druckereinrichten1 = action(datei, "Druckereinrichten1", "Drucker einrichten...");
    DateiZuletztgeffnet1 = datei->addMenu(q("Zuletzt geöffnet"));
    DateiZuletztgeffnet1->setObjectName("DateiZuletztgeffnet1");
    DateiZuletztgeffnet1->menuAction()->setObjectName("DateiZuletztgeffnet1");
    datei->addSeparator();
    Beenden1 = action(datei, "Beenden1", "Beenden");
    connect(Beenden1, &QAction::triggered, this, &QWidget::close);

    buildEditMenu(MenuBar20002);

    QMenu* ansicht = MenuBar20002->addMenu(q("Ansicht"));
    ansicht->setObjectName("Ansicht1");
    LeistefrZahleneingabe1 = action(ansicht, "LeistefrZahleneingabe1", "Leiste für Zahleneingabe");
    Lineal2 = action(ansicht, "Lineal2", "Lineal");
    Winkelmesser2 = action(ansicht, "Winkelmesser2", "Winkelmesser");
    Zirkel2 = action(ansicht, "Zirkel2", "Zirkel");
    Geodreieck2 = action(ansicht, "Geodreieck2", "Geodreieck");
    ansicht->addSeparator();
    AnsichtZollAngabenfrdasLineal1 =
        action(ansicht, "AnsichtZollAngabenfrdasLineal1", "Zoll Angaben für das Lineal");
    for (QAction* a : {LeistefrZahleneingabe1, Lineal2, Winkelmesser2, Zirkel2, Geodreieck2,
                       AnsichtZollAngabenfrdasLineal1})
        a->setCheckable(true);
    Lineal2->setChecked(true);
    Winkelmesser2->setChecked(true);
    Zirkel2->setChecked(true);
    // The check mark flips before the handler runs, as a click on a checkable item does.
    connect(LeistefrZahleneingabe1, &QAction::triggered, this,
            &TMainForm::LeistefrZahleneingabe1Click);
    connect(Lineal2, &QAction::triggered, this, &TMainForm::Lineal2Click);
    connect(Winkelmesser2, &QAction::triggered, this, &TMainForm::Winkelmesser2Click);
    connect(Zirkel2, &QAction::triggered, this, &TMainForm::Zirkel2Click);
    connect(Geodreieck2, &QAction::triggered, this, [this] { PaintBox1Paint(); });
    connect(AnsichtZollAngabenfrdasLineal1, &QAction::triggered, this,
            &TMainForm::AnsichtZollAngabenfrdasLineal1Click);
    ansicht->addSeparator();
    AnsichtFangen1 = action(ansicht, "AnsichtFangen1", "Fangen");
    AnsichtFangen1->setCheckable(true);
    connect(AnsichtFangen1, &QAction::triggered, this, &TMainForm::AnsichtFangen1Click);

    QMenu* sprache = MenuBar20002->addMenu(q("Sprache"));
    sprache->setObjectName("Sprache1");
    auto* languages = new QActionGroup(this);
    SpracheDeutsch1 = action(sprache, "SpracheDeutsch1", "Deutsch");
    SpracheEnglish1 = action(sprache, "SpracheEnglish1", "English");
    SpracheItaliano1 = action(sprache, "SpracheItaliano1", "Italiano");
    for (QAction* a : {SpracheDeutsch1, SpracheEnglish1, SpracheItaliano1}) {
        a->setCheckable(true);
        languages->addAction(a);
    }
    SpracheDeutsch1->setChecked(true);
    sprache->addSeparator();
    Sprachebersetzen1 = action(sprache, "Sprachebersetzen1", "Übersetzen...");

    // The icon-only twins of the file commands, with their hints.
    CommandItems = new QToolBar(ControlBar1);
    CommandItems->setObjectName("CommandItems");
    CommandItems->setIconSize(QSize(16, 16));
    CommandItems->setMovable(false);
    const struct {
        QAction** item;
        const char* name;
        const char* hint;
        QStyle::StandardPixmap icon;
        QAction* twin;
    } twins[] = {
        {&N5, "N5", "Neu", QStyle::SP_FileIcon, Neu1},
        {&N6, "N6", "Öffnen...", QStyle::SP_DialogOpenButton, ffnen1},
        {&N7, "N7", "Speichern", QStyle::SP_DialogSaveButton, Speichern1},
        {&N8, "N8", "Speichern unter...", QStyle::SP_DriveFDIcon, Speichernunter1},
        {&MenuItem1, "MenuItem1", "Seite einrichten", QStyle::SP_FileDialogDetailedView,
         DateiSeiteeinrichten1},
        {&N9, "N9", "Drucken...", QStyle::SP_ComputerIcon, DateiDrucken1},
        {&N10, "N10", "Drucker einrichten...", QStyle::SP_DriveNetIcon, Druckereinrichten1},
        {&N11, "N11", "Beenden", QStyle::SP_DialogCloseButton, Beenden1},
    };
    for (const auto& t : twins) {
        QAction* a = CommandItems->addAction(style()->standardIcon(t.icon), QString());
        a->setObjectName(t.name);
        a->setToolTip(q(t.hint));
        a->setStatusTip(q(t.hint));
        connect(a, &QAction::triggered, t.twin, &QAction::trigger);
        *t.item = a;
    }
}

void TMainForm::buildSettingsPanel() {
    // 48 px high while the groups fit on one line; a narrow window (a large font or scale,
    // a longer translation) puts them on more lines rather than cut a label. The gap between
    // groups (a 12 px gap and the layout spacing on both sides of it) gives way first.
    auto* row = new WrapRow(48, QMargins(6, 2, 6, 2), 24, 6, ControlBar1);
    Panel1 = row;
    Panel1->setObjectName("Panel1");
    auto label = [this](const char* text) {
        auto* l = new QLabel(q(text), Panel1);
        return l;
    };

    zoomed = new QSpinBox(Panel1);
    zoomed->setObjectName("zoomed");
    zoomed->setRange(1, 300);
    zoomed->setSingleStep(10);
    zoomed->setValue(100);
    StrichEd = decimalField(Panel1, "StrichEd", 0.01, 100, 0.1, 0.1);
    Shape1 = new TShape(Panel1);
    FarbeBtn = new QPushButton(q("Farbe..."), Panel1);
    FarbeBtn->setObjectName("FarbeBtn");
    RadierEd = decimalField(Panel1, "RadierEd", 0.01, 100, 0.1, 2);
    PageAnz = new QSpinBox(Panel1);
    PageAnz->setObjectName("PageAnz");
    PageAnz->setRange(1, 10);
    PageAnz->setValue(1);

    const auto group = [row](std::initializer_list<QWidget*> parts) {
        auto* g = new QWidget(row);
        auto* line = new QHBoxLayout(g);
        line->setContentsMargins(0, 0, 0, 0);
        for (QWidget* part : parts) line->addWidget(part);
        row->AddGroup(g);
    };
    group({label("Zoom:"), zoomed});
    group({label("Strichstärke:"), StrichEd, label("mm")});
    group({label("Stiftfarbe:"), Shape1, FarbeBtn});
    group({label("Radiergummi:"), RadierEd, label("mm")});
    group({label("Seitenanzahl:"), PageAnz});

    connect(FarbeBtn, &QPushButton::clicked, this, &TMainForm::FarbeBtnClick);
    connect(Shape1, &TShape::pressed, this, &TMainForm::Shape1MouseDown);
}

QAction* TMainForm::modeItem(QMenu* menu, QActionGroup* group, const char* name,
                             const char* caption) {
    QAction* a = menu->addAction(q(caption));
    a->setObjectName(name);
    a->setCheckable(true);
    group->addAction(a);
    return a;
}

// A gesture holding the pointer (begun before a key chose the tool) ends first, as Escape ends
// it; a curve waiting for its next click goes on taking the presses.
void TMainForm::chooseTool(ToolItem item) {
    if (Gesture.Busy()) CancelGestureUnderWay();
    Session->Tool.Choose(item);
    showToolChoice();  // the click may have flipped a mark the choice keeps
    PaintBox1Paint();
}

// The check marks show the session's choice; each group keeps its marks exclusive.
void TMainForm::showToolChoice() {
    const ToolChoice& choice = Session->Tool;
    for (int i = 0; i <= static_cast<int>(kLastToolItem); ++i) {
        const auto item = static_cast<ToolItem>(i);
        if (!choice.Checked(item)) ToolAction(item)->setChecked(false);
    }
    for (int i = 0; i <= static_cast<int>(kLastToolItem); ++i) {
        const auto item = static_cast<ToolItem>(i);
        if (choice.Checked(item)) ToolAction(item)->setChecked(true);
    }
}

bool TMainForm::CancelGestureUnderWay() {
    if (!CancelGesture(*Tools, Drawing, Gesture)) return false;
    // A stroke taken back leaves the drawing as the history has it: the changed mark follows
    // the history again.
    if (Session->History().isClean()) SetUnChanged();
    return true;
}

void TMainForm::buildToolMenu() {
    MenuBar20001 = new QToolBar(ControlBar1);
    MenuBar20001->setObjectName("MenuBar20001");
    MenuBar20001->setMovable(false);
    MenuBar20001->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    MenuBar20001->setIconSize(QSize(16, 16));
    auto* tools = new QActionGroup(this);  // exactly one tool is active

    // A tool with a submenu of modes: checked only through one of its modes.
    auto submenuTool = [&](const char* name, const char* caption) {
        auto* menu = new QMenu(q(caption), MenuBar20001);
        menu->setObjectName(QString(name) + "Menu");
        QAction* tool = menu->menuAction();
        tool->setObjectName(name);
        tool->setCheckable(true);
        tools->addAction(tool);
        MenuBar20001->addAction(tool);
        if (auto* button = qobject_cast<QToolButton*>(MenuBar20001->widgetForAction(tool)))
            button->setPopupMode(QToolButton::InstantPopup);
        return std::pair{tool, menu};
    };
    auto plainTool = [&](const char* name, const char* caption, const char* icon) {
        QAction* tool = MenuBar20001->addAction(q(caption));
        tool->setObjectName(name);
        tool->setCheckable(true);
        if (icon) tool->setIcon(toolIcon(icon));
        tools->addAction(tool);
        return tool;
    };
    auto command = [&](QMenu* menu, const char* name, const char* caption) {
        QAction* a = menu->addAction(q(caption));
        a->setObjectName(name);
        return a;
    };

    auto [lineal, linealMenu] = submenuTool("Lineal1", "Lineal");
    Lineal1 = lineal;
    auto* linealModes = new QActionGroup(this);
    LinealVerschieben1 = modeItem(linealMenu, linealModes, "LinealVerschieben1", "Verschieben");
    LinealDrehen1 = modeItem(linealMenu, linealModes, "LinealDrehen1", "Drehen");
    LinealAnLinealentlangzeichnen1 = modeItem(
        linealMenu, linealModes, "LinealAnLinealentlangzeichnen1", "An Lineal entlang zeichnen");
    LinealQuerzumLinealzeichnen1 = modeItem(linealMenu, linealModes, "LinealQuerzumLinealzeichnen1",
                                            "Quer zum Lineal zeichnen");

    auto [winkel, winkelMenu] = submenuTool("Winkelmesser1", "Winkelmesser");
    Winkelmesser1 = winkel;
    auto* winkelModes = new QActionGroup(this);
    WinkelmesserVerschieben1 =
        modeItem(winkelMenu, winkelModes, "WinkelmesserVerschieben1", "Verschieben");
    WinkelmesserDrehen1 = modeItem(winkelMenu, winkelModes, "WinkelmesserDrehen1", "Drehen");
    WinkelmesserGradzahlmitBleistiftmarkieren1 =
        modeItem(winkelMenu, winkelModes, "WinkelmesserGradzahlmitBleistiftmarkieren1",
                 "Gradzahl mit Bleistift markieren");

    auto [zirkel, zirkelMenu] = submenuTool("Zirkel1", "Zirkel");
    Zirkel1 = zirkel;
    auto* zirkelModes = new QActionGroup(this);
    ZirkelVerschieben1 = modeItem(zirkelMenu, zirkelModes, "ZirkelVerschieben1", "Verschieben");
    ZirkelZirkelspanne1 = modeItem(zirkelMenu, zirkelModes, "ZirkelZirkelspanne1", "Zirkelspanne");
    ZirkelKreisbogenzeichnen1 =
        modeItem(zirkelMenu, zirkelModes, "ZirkelKreisbogenzeichnen1", "Kreisbogen zeichnen");
    ZirkelKreiszeichnen1 = command(zirkelMenu, "ZirkelKreiszeichnen1", "Kreis zeichnen");

    Kurven1 = plainTool("Kurven1", "Kurven", "curve");
    Bleistift1 = plainTool("Bleistift1", "Bleistift", nullptr);
    Radierer1 = plainTool("Radierer1", "Radierer", nullptr);

    auto [text, textMenu] = submenuTool("Text1", "Text");
    Text1 = text;
    auto* textModes = new QActionGroup(this);
    TextTexthinzufgen1 = modeItem(textMenu, textModes, "TextTexthinzufgen1", "Text hinzufügen");
    TextTextndern1 = modeItem(textMenu, textModes, "TextTextndern1", "Ändern...");
    TextTextlschen1 = modeItem(textMenu, textModes, "TextTextlschen1", "Löschen");
    TextVerschieben1 = modeItem(textMenu, textModes, "TextVerschieben1", "Verschieben");

    auto [objekte, objekteMenu] = submenuTool("Objekte1", "Objekte");
    Objekte1 = objekte;
    auto* objekteModes = new QActionGroup(this);
    ObjekteLschen1 = modeItem(objekteMenu, objekteModes, "ObjekteLschen1", "Löschen");
    ObjekteLetzesObjektlschen1 =
        command(objekteMenu, "ObjekteLetzesObjektlschen1", "Letzes Objekt löschen");
    // The command sits between the two modes.
    objekteMenu->removeAction(ObjekteLetzesObjektlschen1);
    ObjekteVerschieben1 = modeItem(objekteMenu, objekteModes, "ObjekteVerschieben1", "Verschieben");
    objekteMenu->insertAction(ObjekteVerschieben1, ObjekteLetzesObjektlschen1);

    Hand1 = plainTool("Hand1", "Hand", "hand");
    Zoom1 = plainTool("Zoom1", "Zoom", "zoom");

    auto [geo, geoMenu] = submenuTool("Geodreieck1", "Geodreieck");
    Geodreieck1 = geo;
    auto* geoModes = new QActionGroup(this);
    GeodreieckVerschieben1 = modeItem(geoMenu, geoModes, "GeodreieckVerschieben1", "Verschieben");
    GeodreieckDrehen1 = modeItem(geoMenu, geoModes, "GeodreieckDrehen1", "Drehen");
    GeodreieckAnderlangenKanteentlangzeichnen1 =
        modeItem(geoMenu, geoModes, "GeodreieckAnderlangenKanteentlangzeichnen1",
                 "An der langen Kante entlang zeichnen");
    GeodreieckAndenkurzenKantenentlangzeichnen1 =
        modeItem(geoMenu, geoModes, "GeodreieckAndenkurzenKantenentlangzeichnen1",
                 "An den kurzen Kanten entlang zeichnen");
    GeodreieckWinkelmarkieren1 =
        modeItem(geoMenu, geoModes, "GeodreieckWinkelmarkieren1", "Winkel markieren");

    for (int i = 0; i <= static_cast<int>(kLastToolItem); ++i) {
        const auto item = static_cast<ToolItem>(i);
        if (!ToolChoice::HasModes(item))
            connect(ToolAction(item), &QAction::triggered, this,
                    [this, item] { chooseTool(item); });
    }
    connect(&Session->Tool, &ToolChoice::Changed, this, &TMainForm::showToolChoice);
    showToolChoice();
}

void TMainForm::buildNumericPanel() {
    Panel2 = new QWidget(this);
    Panel2->setObjectName("Panel2");
    // 121 px wide unless a label needs more; the fields take what the labels leave.
    Panel2->setMinimumWidth(121);
    Panel2->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* col = new QVBoxLayout(Panel2);
    col->setContentsMargins(4, 4, 4, 4);
    const double big = 1e9;  // the fields have no range of their own
    const struct {
        QDoubleSpinBox** field;
        const char* name;
        const char* label;
        const char* unit;
        void (TMainForm::*handler)();
    } fields[] = {
        {&LinXEd, "LinXEd", "Lineal x:", "mm", &TMainForm::LinXEdChange},
        {&Linyed, "Linyed", "Lineal y:", "mm", &TMainForm::LinyedChange},
        {&linwed, "linwed", "Lineal Rotation:", "°", &TMainForm::linwedChange},
        {&WinkXed, "WinkXed", "Winkelmesser x:", "mm", &TMainForm::WinkXedChange},
        {&WinkYEd, "WinkYEd", "Winkelmesser y:", "mm", &TMainForm::WinkYEdChange},
        {&WinkWEd, "WinkWEd", "Winkelmesser Rotation:", "°", &TMainForm::WinkWEdChange},
        {&ZirkXed, "ZirkXed", "Zirkel x:", "mm", &TMainForm::ZirkXedChange},
        {&ZirkYed, "ZirkYed", "Zirkel y:", "mm", &TMainForm::ZirkYedChange},
        {&ZirksEd, "ZirksEd", "Zirkelspanne:", "mm", &TMainForm::ZirksEdChange},
        {&GeoXEd, "GeoXEd", "Geodreieck x:", "mm", &TMainForm::GeoXEdChange},
        {&GeoYEd, "GeoYEd", "Geodreieck y:", "mm", &TMainForm::GeoYEdChange},
        {&GeoWEd, "GeoWEd", "Geodreieck Rotation:", "°", &TMainForm::GeoWEdChange},
    };
    for (const auto& f : fields) {
        col->addWidget(new QLabel(q(f.label), Panel2));
        auto* line = new QHBoxLayout;
        *f.field = decimalField(Panel2, f.name, -big, big, 1, 0);
        (*f.field)->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
        (*f.field)->setMinimumWidth(40);
        line->addWidget(*f.field, 1);
        line->addWidget(new QLabel(q(f.unit), Panel2));
        col->addLayout(line);
        connect(*f.field, &QDoubleSpinBox::valueChanged, this, f.handler);
    }
    PlacementEds = {LinXEd,  Linyed,  linwed,  WinkXed, WinkYEd, WinkWEd,
                    ZirkXed, ZirkYed, ZirksEd, GeoXEd,  GeoYEd,  GeoWEd};
    col->addStretch(1);
    Panel2->hide();
}

// --- settings and the drawing file's values -------------------------------------------------

int TMainForm::PageCount() const {
    return Session->Settings.PageCount();
}
Color TMainForm::PenColor() const {
    return Session->Settings.Values().PenColor;
}
double TMainForm::PenWidth() const {
    return Session->Settings.Values().PenWidth;
}
double TMainForm::EraserWidth() const {
    return Session->Settings.Values().EraserWidth;
}

DrawingSettings TMainForm::CurrentSettings() const {
    return Session->Settings.Values();
}

// The fields take the values first, without their change events, so that each keeps them
// within its range; the model then takes what the fields hold, at once.
void TMainForm::ApplySettings(const DrawingSettings& s) {
    {
        const QSignalBlocker quiet[] = {QSignalBlocker(zoomed), QSignalBlocker(StrichEd),
                                        QSignalBlocker(RadierEd), QSignalBlocker(PageAnz)};
        zoomed->setValue(static_cast<int>(s.Zoom));
        StrichEd->setValue(s.PenWidth);
        RadierEd->setValue(s.EraserWidth);
        PageAnz->setValue(static_cast<int>(s.PageCount));
    }
    DrawingSettings held = s;
    held.Zoom = zoomed->value();
    held.PenWidth = StrichEd->value();
    held.EraserWidth = RadierEd->value();
    held.PageCount = PageAnz->value();
    Session->Settings.Assign(held);
}

// --- the paint cycle -------------------------------------------------------------------------

void TMainForm::PaintBox1Paint() {
    CatchUpSheets();
    SheetScene scene;
    scene.drawing = &Drawing;
    scene.pages = PageCount();
    scene.zoom = Session->Settings.Zoom();
    scene.dpi = PaintBox1->logicalDpiX();
    const SettingsModel& settings = Session->Settings;
    scene.ruler = settings.Values().RulerShown;
    scene.protractor = settings.Values().ProtractorShown;
    scene.compass = settings.Values().CompassShown;
    scene.setSquare = settings.Values().SetSquareShown;
    scene.inches = settings.Inches();
    scene.worksheet = settings.WorksheetShown();
    View.Cycle(
        scene, PaintBox1->size(), [this](int w, int h) { PaintBox1->resize(w, h); },
        [this] { PaintBox1->update(); }, [this](const QRegion& r) { PaintBox1->update(r); });
}

QAction* TMainForm::ToolAction(ToolItem item) const {
    switch (item) {
        case ToolItem::Lineal1:
            return Lineal1;
        case ToolItem::LinealVerschieben1:
            return LinealVerschieben1;
        case ToolItem::LinealDrehen1:
            return LinealDrehen1;
        case ToolItem::LinealAnLinealentlangzeichnen1:
            return LinealAnLinealentlangzeichnen1;
        case ToolItem::LinealQuerzumLinealzeichnen1:
            return LinealQuerzumLinealzeichnen1;
        case ToolItem::Winkelmesser1:
            return Winkelmesser1;
        case ToolItem::WinkelmesserVerschieben1:
            return WinkelmesserVerschieben1;
        case ToolItem::WinkelmesserDrehen1:
            return WinkelmesserDrehen1;
        case ToolItem::WinkelmesserGradzahlmitBleistiftmarkieren1:
            return WinkelmesserGradzahlmitBleistiftmarkieren1;
        case ToolItem::Zirkel1:
            return Zirkel1;
        case ToolItem::ZirkelVerschieben1:
            return ZirkelVerschieben1;
        case ToolItem::ZirkelZirkelspanne1:
            return ZirkelZirkelspanne1;
        case ToolItem::ZirkelKreisbogenzeichnen1:
            return ZirkelKreisbogenzeichnen1;
        case ToolItem::Kurven1:
            return Kurven1;
        case ToolItem::Bleistift1:
            return Bleistift1;
        case ToolItem::Radierer1:
            return Radierer1;
        case ToolItem::Text1:
            return Text1;
        case ToolItem::TextTexthinzufgen1:
            return TextTexthinzufgen1;
        case ToolItem::TextTextndern1:
            return TextTextndern1;
        case ToolItem::TextTextlschen1:
            return TextTextlschen1;
        case ToolItem::TextVerschieben1:
            return TextVerschieben1;
        case ToolItem::Objekte1:
            return Objekte1;
        case ToolItem::ObjekteLschen1:
            return ObjekteLschen1;
        case ToolItem::ObjekteVerschieben1:
            return ObjekteVerschieben1;
        case ToolItem::Hand1:
            return Hand1;
        case ToolItem::Zoom1:
            return Zoom1;
        case ToolItem::Geodreieck1:
            return Geodreieck1;
        case ToolItem::GeodreieckVerschieben1:
            return GeodreieckVerschieben1;
        case ToolItem::GeodreieckDrehen1:
            return GeodreieckDrehen1;
        case ToolItem::GeodreieckAnderlangenKanteentlangzeichnen1:
            return GeodreieckAnderlangenKanteentlangzeichnen1;
        case ToolItem::GeodreieckAndenkurzenKantenentlangzeichnen1:
            return GeodreieckAndenkurzenKantenentlangzeichnen1;
        case ToolItem::GeodreieckWinkelmarkieren1:
            return GeodreieckWinkelmarkieren1;
    }
    return Lineal1;
}

void TMainForm::PaintBox1MouseDown(MouseButton button, int x, int y) {
    tervasko::PaintBox1MouseDown(*Tools, Drawing, Gesture, button, x, y);
}

void TMainForm::PaintBox1MouseMove(int x, int y) {
    tervasko::PaintBox1MouseMove(*Tools, Drawing, Gesture, x, y);
}

void TMainForm::PaintBox1MouseUp(MouseButton button, int x, int y) {
    tervasko::PaintBox1MouseUp(*Tools, Drawing, Gesture, button, x, y);
}

// Like a typed number, a key moves the instrument without a step in the history; the fields
// follow. While a drag holds the pointer the instrument is the drag's: the key does nothing,
// and does not scroll the sheets under the drag either.
bool TMainForm::PaintBox1KeyDown(int key, Qt::KeyboardModifiers modifiers) {
    InstrumentPlacement moved = Drawing.Placement;
    if (!NudgeInstrument(Session->Tool.Tool(), key, modifiers, moved)) return false;
    if (Gesture.Busy() || moved == Drawing.Placement) return true;
    Drawing.Placement = moved;
    PaintBox1Paint();
    UpdateEds();
    return true;
}

void TMainForm::ZirkelKreiszeichnen1Click() {
    AddCompassCircle(*Tools, Drawing, Gesture);
}

void TMainForm::ShowPointerPosition(PointD mm) {
    const QString decimal = QLocale().decimalPoint();
    const char separator = decimal.isEmpty() ? '.' : static_cast<char>(decimal.at(0).toLatin1());
    const std::string text = PointerReadout(mm, separator ? separator : '.');
    StatusBar1->showMessage(QString::fromStdString(text));
}

void TMainForm::zoomedChange() {
    PaintBox1Paint();
}

// The session has made the step by now.
void TMainForm::PageAnzChange() {
    PaintBox1Paint();
}

// --- numeric entry panel ---------------------------------------------------------------------

void TMainForm::UpdateEds() {
    UpdatingEds = true;
    // A field is handed its value only when it holds another one, or while the user may be
    // typing in it: setting a spin box's value re-parses its text, which costs a drag move
    // more than painting the instrument does.
    const auto show = [](QDoubleSpinBox* field, double value) {
        if (field->value() != value || field->hasFocus()) field->setValue(value);
    };
    for (const PlacementField f : kPlacementFields)
        show(placementEdit(f), PlacementValue(Drawing.Placement, f));
    UpdatingEds = false;
}

// While a field's text is not a number (empty, a lone minus sign) the field keeps reporting
// the last number it held, and no change reaches the placement.
void TMainForm::placementFieldChanged(PlacementField field) {
    if (UpdatingEds) return;
    const bool rewriteFields =
        EnterPlacement(Drawing.Placement, field, placementEdit(field)->value());
    PaintBox1Paint();
    if (rewriteFields) UpdateEds();
}

QDoubleSpinBox* TMainForm::placementEdit(PlacementField field) const {
    return PlacementEds[static_cast<std::size_t>(field)];
}

void TMainForm::LinXEdChange() {
    placementFieldChanged(PlacementField::LinealX);
}
void TMainForm::LinyedChange() {
    placementFieldChanged(PlacementField::LinealY);
}
void TMainForm::linwedChange() {
    placementFieldChanged(PlacementField::LinealAngle);
}
void TMainForm::WinkXedChange() {
    placementFieldChanged(PlacementField::WinkelX);
}
void TMainForm::WinkYEdChange() {
    placementFieldChanged(PlacementField::WinkelY);
}
void TMainForm::WinkWEdChange() {
    placementFieldChanged(PlacementField::WinkelAngle);
}
void TMainForm::ZirkXedChange() {
    placementFieldChanged(PlacementField::ZirkelX);
}
void TMainForm::ZirkYedChange() {
    placementFieldChanged(PlacementField::ZirkelY);
}
void TMainForm::ZirksEdChange() {
    placementFieldChanged(PlacementField::ZirkelSpan);
}
void TMainForm::GeoXEdChange() {
    placementFieldChanged(PlacementField::GeoX);
}
void TMainForm::GeoYEdChange() {
    placementFieldChanged(PlacementField::GeoY);
}
void TMainForm::GeoWEdChange() {
    placementFieldChanged(PlacementField::GeoAngle);
}

// --- view switches and pen colour ---------------------------------------------------------------

void TMainForm::LeistefrZahleneingabe1Click() {
    Panel2->setVisible(LeistefrZahleneingabe1->isChecked());
}
void TMainForm::Lineal2Click() {
    PaintBox1Paint();
}
void TMainForm::Winkelmesser2Click() {
    PaintBox1Paint();
}
void TMainForm::Zirkel2Click() {
    PaintBox1Paint();
}
// Only the user's choice is written: the value read at start is already there.
void TMainForm::AnsichtFangen1Click() {
    OpenSettings(ProgramDir)->setValue(kSnapKey, Session->Settings.Snap());
}

bool TMainForm::SnapOn() const {
    return Session->Settings.Snap();
}

void TMainForm::AnsichtZollAngabenfrdasLineal1Click() {
    PaintBox1Paint();
}

void TMainForm::FarbeBtnClick() {
    if (const auto c = hooks_.ChooseColor(PenColor())) Session->Settings.SetPenColor(*c);
}

void TMainForm::Shape1MouseDown() {
    FarbeBtnClick();
}

// --- drawing tools ------------------------------------------------------------------------------

bool TMainForm::AskText(const TextInput* preset, TextInput& result) {
    if (preset) {
        AddTextForm->SetText(preset->text);
        FontDialog1 = preset->font;
    }
    if (!hooks_.RunTextDialog(*AddTextForm)) return false;
    result.text = AddTextForm->Text();
    result.font = FontDialog1;
    return true;
}

// The mark waits for the step, which the tool makes when the stroke ends.
void TMainForm::SetChangedOnScreen() {
    SheetsBehindScreen = true;
}

void TMainForm::CatchUpSheets() {
    if (!SheetsBehindScreen) return;
    SheetsBehindScreen = false;
    View.InvalidateDrawing();
}

void TMainForm::FormMouseWheelUp() {
    WheelNotch(*Tools, false);
}
void TMainForm::FormMouseWheelDown() {
    WheelNotch(*Tools, true);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* event) {
    if (isHistoryKey(watched, event)) return true;  // not taken by the field: the shortcut fires
    if (event->type() == QEvent::Wheel) {
        auto* widget = qobject_cast<QWidget*>(watched);
        const auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        // Vertical turns anywhere in this window scroll the sheets and do nothing else.
        if (widget && widget->window() == this && delta != 0) {
            WheelRemainder += delta;
            for (; WheelRemainder >= 120; WheelRemainder -= 120) FormMouseWheelUp();
            for (; WheelRemainder <= -120; WheelRemainder += 120) FormMouseWheelDown();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TMainForm::ObjekteLetzesObjektlschen1Click() {
    DeleteLastElement(*Tools, Drawing);
}

}  // namespace tervasko
