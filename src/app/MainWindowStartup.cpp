// The run of the main window: the program's entry, the window's creation, its first
// activation with the settings and the command-line parameters ("/#" and a line
// number, then a file name), the events of the panes, and closing and shutdown.
// The window is never destroyed by closing it: closing sets the break flag and ends
// the message loop, and the window is destroyed only after the loop has returned,
// so a command-line run or a nested message loop still on the stack never finds
// its window gone.
#include "app/MainWindow.h"
#include "app/LockWaits.h"

#include "app/AutoSave.h"
#include "app/BackupBrowser.h"
#include "app/CommandLanguage.h"
#include "app/DebuggerDialog.h"
#include "app/Documents.h"
#include "app/HelpServices.h"
#include "app/KeyRouting.h"
#include "app/MacroDialog.h"
#include "app/MainWindowHost.h"
#include "app/MainWindowMenus.h"
#include "app/PreferenceDialogs.h"
#include "app/Printing.h"
#include "app/SecondEditor.h"
#include "app/SessionEnd.h"
#include "app/Settings.h"
#include "app/SmallTools.h"
#include "app/Spelling.h"
#include "app/StatusThread.h"
#include "app/ToolHost.h"
#include "app/UserTools.h"
#include "components/AutoButton.h"
#include "components/RecentFiles.h"
#include "components/TextRuler.h"
#include "language/AppState.h"
#include "language/CommandLines.h"
#include "language/Macros.h"
#include "language/StatusLine.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/Locale.h"
#include "platform/posix/SafeFile.h"
#include "platform/ProgramFolder.h"
#include "platform/ScreenFit.h"
#include "platform/TextConvert.h"
#include "shared/FileFolder.h"
#include "shared/NumberScan.h"
#include "tools/SpeechDialog.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QTimer>
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cmath>
#include <sys/stat.h>
#include <unistd.h>

namespace narvo {

TForm1* Form1 = nullptr;

namespace {

// The first number anywhere in S, truncated; 0 when there is none or it is no number.
std::int64_t LineNumberParam(const std::string& S)
{
    double V = 0;
    try {
        V = StrToFloatLoose(S);
    } catch (const EConvertError&) {
        return 0;
    }
    if (!std::isfinite(V))
        return 0;
    return static_cast<std::int64_t>(std::clamp(std::trunc(V), -9.0e18, 9.0e18));
}

void ChangeFolder(const std::string& Folder)
{
    if (::chdir(Folder.c_str()) != 0)
        throw EFileError(FileErrorText("Cannot change to the folder", Folder, errno));
}

void EnablePasteButton(TForm1* Form) { Form->PasteBtn->setEnabled(ClipboardHasText()); }

}  // namespace

void SetWindowTitle(const std::string& Name)
{
    const std::size_t Slash = Name.rfind('/');
    const std::string Title = "Narvo - " + (Slash == std::string::npos ? Name : Name.substr(Slash + 1));
    if (Form1)
        Form1->setWindowTitle(FileNameToQString(Title));
}

// --- creation ------------------------------------------------------------------------------

TForm1::TForm1(std::vector<std::string> Params, QWidget* Parent) : QMainWindow(Parent), FParams(std::move(Params))
{
    Form1 = this;
    FStartFolder = GetCurrentFolder();
    CreateControls();
    ConnectStatusControls();
    ConnectPaneEvents();
    ConnectKeyRouting(*this);
    Menus = new TMainMenus(*this);
    FormCreate();
}

void TForm1::FormCreate()
{
    // From here on each window and dialog of the program opens within the screen.
    InstallScreenFit();
    FCmdControlHeight = CmdControl->minimumHeight();
    MainEditor->UpdatesEnabled = true;
    MainEditor->SetShadowLine(true);
    ActiveEditor = MainEditor;
    Editor2->UpdatesEnabled = true;
    Editor2->ShareBuffer(MainEditor);
    Editor3->UpdatesEnabled = true;
    CreateTextRegister();
    ShowScoopFreeSpace();
    SyncRulerScale(MainEditor);
    TextRuler->SetGutter(MainEditor->GutterSize());
    CmdEditor->SetEditorStyle(esSingleLine);
    connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState State) {
        if (State == Qt::ApplicationActive)
            EnablePasteButton(this);
    });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] { EnablePasteButton(this); });
    CommandLines().Running = false;
    RulerGuideColumn = -1;
    LoadCurrentMacros();
    ReopenMenu().LoadFromIni();
    FFirstActivation = true;
    HelpFileName = ProgramFolder() + "/NARVO.chm";
    StartStatusThread(*this);
    StartAutoSave(*this);
    StartSessionEnd(*this);
    InstallLockWaits();
    MainEditorChange();
    LayoutSplitEditors(0, true);
    EnablePasteButton(this);
}

void TForm1::ConnectPaneEvents()
{
    MainEditor->OnFocus = [this](QObject*) { ActiveEditor = MainEditor; };
    for (TScrollEditor* Pane : {Editor2, Editor3}) {
        Pane->OnFocus = [this, Pane](QObject*) { ActiveEditor = Pane; };
        Pane->OnChange = [this, Pane] { Editor2Change(Pane); };
    }
    MainEditor->OnChange = [this] { MainEditorChange(); };
    MainEditor->OnScaleChange = [this](double S) { MainEditorScaleChange(S); };
    CmdEditor->OnChange = [this] { UpdateStatus(); };
    CmdEditor->OnScaleChange = [this](double S) { CmdEditorScaleChange(S); };
    ExecCmdBtn->OnClick = [this](QObject*) {
        ShowOk();
        ActiveEditor->setFocus();
        RunCurrentCommandLine(SingleStepChk->isChecked());
    };
    CmdSpinUp->OnClick = [this](QObject*) {
        StepCurrentCommandLine(1);
        UpdateStatus();
    };
    CmdSpinDown->OnClick = [this](QObject*) {
        StepCurrentCommandLine(-1);
        UpdateStatus();
    };
    connect(SingleStepChk, &QCheckBox::clicked, this, [this] { ActiveEditor->setFocus(); });
    TextRuler->OnMarkerChange = [this](QObject*) {
        LeftMargin = TextRuler->Marker1();
        RightMargin = TextRuler->Marker2();
        // A marker left where a far-off margin put it may lie a whole int range
        // from the other; the difference is taken in 64 bits and kept in range.
        ParaIndent = static_cast<std::int32_t>(std::clamp<std::int64_t>(
            std::int64_t{TextRuler->Marker3()} - TextRuler->Marker1(), INT32_MIN, INT32_MAX));
    };
}

// --- activation and the command line -----------------------------------------------------

void TForm1::showEvent(QShowEvent* Event)
{
    QMainWindow::showEvent(Event);
    // A desktop without a window manager never activates the window, so the first
    // showing starts the first activation as well (once the window is on screen).
    if (FFirstActivation && !FActivationQueued) {
        FActivationQueued = true;
        QTimer::singleShot(0, this, [this] { RunGuarded([this] { FormActivate(); }); });
    }
}

void TForm1::changeEvent(QEvent* Event)
{
    QMainWindow::changeEvent(Event);
    if (Event->type() == QEvent::ActivationChange && isActiveWindow())
        RunGuarded([this] { FormActivate(); });
}

void TForm1::FormActivate()
{
    if (FFirstActivation) {
        // Cleared first: a message box shown below activates the window again.
        FFirstActivation = false;
        RunGuarded([] { ResetEditState(); });
        RunGuarded([] { LoadSettings(); });
        // The default folder comes from the settings, so it is applied after them.
        if (!DefaultFolder.empty())
            RunGuarded([] { ChangeFolder(DefaultFolder); });
        RunGuarded([] { LoadExternalPrograms(); });
        RunGuarded([this] { ProcessCommandLineParams(); });
        DropStartupFile();
        RunGuarded([] { ReportKeptDrafts(); });
        ActiveEditor->setFocus();
    }
    EnablePasteButton(this);
}

void TForm1::ProcessCommandLineParams()
{
    const TStartupParams Given = ParseStartupParams(FParams);
    if (!Given.File || Given.File->empty())
        return;
    std::string FileName = *Given.File;
    const std::int64_t Line = Given.Line ? LineNumberParam(*Given.Line) : 0;
    // A relative name means the folder the program was started in, also when the
    // default folder has been made current since.
    if (FileName[0] != '/' && !FStartFolder.empty())
        FileName = FStartFolder + "/" + FileName;
    // Only a name that does not exist is passed over in silence; for a folder, a
    // FIFO, a device or a loop of links the open says why, as File > Open does.
    struct stat St {};
    if (::stat(FileName.c_str(), &St) != 0 && errno == ENOENT)
        return;
    if (S_ISREG(St.st_mode))
        ChDirToFileFolder(FileName);
    if (OpenTextFile(FileName) && Line != 0)
        ActiveEditor->GotoLine(Line - 1);
}

// --- pane events ---------------------------------------------------------------------------

namespace {

// A pane's status code becomes the message, except while a command line runs: the
// run reads each command's status after the command, and a change in the middle
// of it (the insertion after a failed search) must not turn a failure into "Ok".
void ShowPaneStatus(TScrollEditor* Pane)
{
    if (!CommandLines().Running)
        ShowEditorStatus(Pane->Status);
}

}  // namespace

void TForm1::MainEditorChange()
{
    ShowPaneStatus(MainEditor);
    if (HoldForRun(Editor2))
        return;
    UpdateStatus();
    if (Editor2->isVisible())
        Editor2->viewport()->update();
}

void TForm1::Editor2Change(TScrollEditor* Pane)
{
    ShowPaneStatus(Pane);
    TextRuler->SetShowNumbers(Pane->LeftColumn < 256);
    if (HoldForRun(MainEditor))
        return;
    UpdateStatus();
    MainEditor->viewport()->update();
}

void TForm1::MainEditorScaleChange(double)
{
    SyncRulerScale(MainEditor);
    UpdateStatus();
}

void TForm1::CmdEditorScaleChange(double Scale)
{
    CmdControl->setFixedHeight(static_cast<int>(std::lround(FCmdControlHeight * Scale)));
}

// --- closing and shutdown ---------------------------------------------------------------------

bool TForm1::FormCloseQuery()
{
    // The secondary text first: its answer leaves the document as it is, while the
    // document's close empties the main pane. A text the session's end already
    // settled (the logout's question was answered) is not asked about again.
    if (!SettledForSessionEnd(*Editor3) && !OfferToSaveSecondary(*this))
        return false;
    return SettledForSessionEnd(*MainEditor) || CloseTextFile();
}

void TForm1::CloseForSessionEnd(int ExitCode)
{
    FSessionEnding = true;
    BreakFlag = true;
    // A close already under way (its question still open) makes this close() do
    // nothing; the program's window ends the program all the same: every event loop,
    // the question's too, returns.
    close();
    if (QuitOnClose)
        QCoreApplication::exit(ExitCode);
}

void TForm1::closeEvent(QCloseEvent* Event)
{
    // A failed save refuses the close as a cancelled one does: nothing is lost.
    bool Allowed = FSessionEnding;
    if (!Allowed)
        RunGuarded([&] { Allowed = FormCloseQuery(); });
    if (!Allowed) {
        Event->ignore();
        return;
    }
    Event->accept();
    // A run waiting inside the message loop stops at its next command.
    BreakFlag = true;
    if (QuitOnClose && !FSessionEnding)
        QCoreApplication::quit();
}

void TForm1::FormDestroy()
{
    RunGuarded([] { StopSessionEnd(); });
    // At the session's end they were saved already, and a failure said without a box;
    // a second try now would fail with a box.
    if (!FSessionEnding) {
        RunGuarded([] { SaveCurrentMacros(); });
        // Written without another window's lock just now: said before the window goes.
        RunGuarded([] { ShowLockNotices(); });
    }
    RemoveLockWaits();
    RunGuarded([] { FreeTextRegister(); });
    RunGuarded([] { StopAutoSave(); });
    RunGuarded([] { StopStatusThread(); });
}

TForm1::~TForm1()
{
    FormDestroy();
    FDestroyed = true;
    // The panes' change events must not reach a window being taken apart.
    for (TScrollEditor* Pane : {MainEditor, Editor2, Editor3, CmdEditor})
        Pane->OnChange = nullptr;
    if (Form1 == this)
        Form1 = nullptr;
}

// --- the program -----------------------------------------------------------------------------

void InstallProgramModules()
{
    InstallCommandLanguage();
    InstallStatusThread();
    InstallTextTools();
}

void CreateStartupForms()
{
    // The help bridge first, so the dialogs' Help buttons find it from the start.
    // The print preview is made when first shown: its page at the printer's
    // resolution alone took longer than the rest of the start.
    for (void (*Create)() : {+[] { ProgramHelp(); }, CreateAutoBackupForms, +[] { DebugDlg(); },
                             CreatePreferenceDialogs, CreateSmallToolForms, CreateSpellForms, CreateUserToolForms,
                             CreateTextToolForms})
        RunGuarded(Create);
}

void FreeStartupForms()
{
    for (void (*Free)() : {FreeSpeechDlg, FreeTextToolForms, FreeUserToolForms, FreeSpellForms,
                           FreePreferenceDialogs, FreeDebugDlg, FreeAutoBackupForms})
        RunGuarded(Free);
}

int MainBlock(TNarvoApplication& App, std::vector<std::string> Params)
{
    SetLocaleSeparators(true);
    HelpFileName = "NARVO.chm";
    App.setQuitOnLastWindowClosed(false);
    InstallProgramModules();
    int Result = 0;
    try {
        TForm1 Form(std::move(Params));
        Form.QuitOnClose = true;
        CreateStartupForms();
        Form.show();
        Result = App.exec();
        FreeStartupForms();
    } catch (...) {
        // The window could not be created: say why instead of vanishing.
        ShowCurrentException();
        return 1;
    }
    return Result;
}

}  // namespace narvo
