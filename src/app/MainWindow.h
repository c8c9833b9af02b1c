// TForm1: the editor's one main window and the owner of the run. From top to
// bottom it holds the tool bar, the main pane with the second pane (a split view of
// the same text) and the third pane (a file of its own) hidden beside it, the
// column ruler, the command panel with the one-line command editor, and the two
// status bars. Every other module reaches it through the single instance Form1.
//
// The members are implemented by concern: MainWindowLayout.cpp (the controls and
// the extra panes' layout), MainWindowToolBar.cpp (the tool bar's buttons),
// MainWindowStatus.cpp (putting the status fields on the bars, the on/off
// indicators), MainWindowStartup.cpp (program entry, creation,
// first activation with the command line, pane events, closing and shutdown).
#pragma once

#include "editor/ScrollEditor.h"

#include <QMainWindow>
#include <chrono>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QSplitter;
class QToolButton;
class QWidget;

namespace narvo {

class TAutoButton;
class TMainMenus;
class TNarvoApplication;
class TOnOffBox;
class TTextRuler;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    // Params: the program's parameters after its own name. The window is created
    // hidden; show() starts its first activation.
    explicit TForm1(std::vector<std::string> Params = {}, QWidget* Parent = nullptr);
    ~TForm1() override;

    // --- controls, top to bottom ---------------------------------------------------------
    QWidget* ToolBar = nullptr;
    TAutoButton* OpenBtn = nullptr;
    TAutoButton* SaveBtn = nullptr;
    TAutoButton* PrintBtn = nullptr;
    TAutoButton* CutBtn = nullptr;
    TAutoButton* CopyBtn = nullptr;
    TAutoButton* PasteBtn = nullptr;
    TAutoButton* MarginBtn = nullptr;
    TAutoButton* SpellBtn = nullptr;
    TAutoButton* BackSearchBtn = nullptr;
    TAutoButton* ForeSearchBtn = nullptr;
    TAutoButton* DropMarkBtn = nullptr;
    TAutoButton* GoMarkBtn = nullptr;
    TAutoButton* Toggle2ndEditBtn = nullptr;
    TAutoButton* ToggleTopRightBtn = nullptr;
    TAutoButton* EncloseBtn = nullptr;
    TAutoButton* EncloseDlgBtn = nullptr;
    TAutoButton* ShowStatusBtn = nullptr;
    TAutoButton* HideStatus1Btn = nullptr;  // on StatusBar
    TAutoButton* HideStatus2Btn = nullptr;  // on StatusBar2
    QCheckBox* SingleStepChk = nullptr;
    QSplitter* ScreenDivider = nullptr;  // holds the main pane and the extra panes
    TScrollEditor* MainEditor = nullptr;
    TScrollEditor* Editor2 = nullptr;
    TScrollEditor* Editor3 = nullptr;
    TTextRuler* TextRuler = nullptr;
    QWidget* CmdControl = nullptr;
    TAutoButton* ExecCmdBtn = nullptr;
    QLabel* CmdNumberDis = nullptr;
    TAutoButton* CmdSpinUp = nullptr;
    TAutoButton* CmdSpinDown = nullptr;
    TScrollEditor* CmdEditor = nullptr;
    QWidget* StatusBar = nullptr;
    QLabel* StatusDis = nullptr;
    QWidget* ScoopPnl = nullptr;
    QLabel* ScoopDis = nullptr;
    QLabel* ScoopStatusDis = nullptr;
    QLabel* ModifiedDis = nullptr;
    TOnOffBox* SrchCaseOnOff = nullptr;
    TOnOffBox* SrchDirOnOff = nullptr;
    TOnOffBox* OverWriteOnOff = nullptr;
    TOnOffBox* WrapOnOff = nullptr;
    TOnOffBox* FileTypeOnOff = nullptr;
    TOnOffBox* WordSearchOnOff = nullptr;
    QLabel* BoxCharDis = nullptr;
    QLabel* CharHexDis = nullptr;
    QLabel* InfoDis = nullptr;
    QWidget* StatusBar2 = nullptr;
    QLabel* LineNumDis = nullptr;
    QLabel* ColumnDis = nullptr;
    QLabel* LocationDis = nullptr;
    QLabel* SizeDis = nullptr;
    QLabel* HighlightDis = nullptr;
    QLabel* ZoomDis = nullptr;

    // The menus, pop-ups and the handlers of the buttons (MainWindowMenus.h).
    TMainMenus* Menus = nullptr;

    // --- module state -----------------------------------------------------------------------
    // The text pane that last received the focus.
    TScrollEditor* ActiveEditor = nullptr;
    // The column of the guide line drawn while a ruler marker is dragged; -1: none.
    int RulerGuideColumn = -1;
    bool FirstActivation() const { return FFirstActivation; }
    // Set by the program's entry: closing the window ends the message loop.
    bool QuitOnClose = false;
    const std::vector<std::string>& Params() const { return FParams; }

    // --- status line (MainWindowStatus.cpp) ------------------------------------------------
    // Everything but the location and size fields, which the polling thread writes.
    void UpdateStatus();
    // The message field alone.
    void ShowStatusText();
    // The command editor while it has the focus, else the active pane.
    TScrollEditor* FocusedEditor() const;
    void EnableCopyCutButtons();
    void ShowScoopFreeSpace();
    void SyncRulerScale(TScrollEditor* Editor);
    // Written by the status polling thread through the user-interface thread.
    void ShowLocation(std::int64_t Location);
    void ShowTextSize(std::int64_t Size);
    // While a command line runs, a change of a pane neither refreshes the status bars
    // nor repaints the other panes: HoldForRun holds both (the other pane Repaint,
    // may be null) and answers true, and false when no run goes on; the register's
    // free space is held the same way. The run's yields show a held status at most
    // every HeldStatusMs (Now: at once, before a wait for the user), so a long run
    // still shows where it is without a refresh per command; ReleaseHeld, after the
    // run, shows the final state and repaints the panes held back.
    static constexpr int HeldStatusMs = 100;
    bool HoldForRun(TScrollEditor* Repaint);
    void ShowHeldStatus(bool Now = false);
    void ReleaseHeld();

    // --- panes (MainWindowLayout.cpp) -------------------------------------------------------
    // The hidden Debug menu of the Help menu shown (a click on the about box's panel).
    void ShowDebugMenu();
    // Mode 0 no extra pane, 1 Editor2, 2 Editor3; Horizontal puts the pane under the
    // main pane, else to its right.
    void LayoutSplitEditors(int Mode, bool Horizontal);
    bool IsSplitHorizontal() const;

    // --- start-up and shutdown (MainWindowStartup.cpp) --------------------------------------
    // The first time: the edit state, the settings, the external programs and the
    // command line; every time: the Paste button follows the clipboard.
    void FormActivate();
    void ProcessCommandLineParams();
    // Whether the window may close: the secondary text, then the document, each asked
    // about when modified, were saved or let go.
    bool FormCloseQuery();
    // The session ends (SIGTERM, SIGHUP, SIGINT, SIGQUIT): the window closes without
    // a question, the texts having been kept as drafts, and a program's window ends
    // the program with ExitCode.
    void CloseForSessionEnd(int ExitCode = 0);

    // --- pane events --------------------------------------------------------------------------
    void MainEditorChange();
    void Editor2Change(TScrollEditor* Pane);
    void MainEditorScaleChange(double Scale);
    void CmdEditorScaleChange(double Scale);

protected:
    void showEvent(QShowEvent* Event) override;
    void changeEvent(QEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;

private:
    // MainWindowLayout.cpp
    void CreateControls();
    QWidget* CreateToolBar();
    QWidget* CreateCommandPanel();
    QWidget* CreateStatusBar();
    QWidget* CreateStatusBar2();
    // MainWindowStatus.cpp
    void ConnectStatusControls();
    // MainWindowStartup.cpp
    void FormCreate();
    void FormDestroy();
    void ConnectPaneEvents();

    std::vector<std::string> FParams;
    std::string FStartFolder;  // the current folder when the program started
    bool FFirstActivation = true;
    bool FActivationQueued = false;
    bool FDestroyed = false;
    bool FSessionEnding = false;
    int FCmdControlHeight = 21;
    // What a run holds back (HoldForRun), and when the status was last refreshed.
    bool FStatusHeld = false;
    bool FScoopHeld = false;
    std::vector<TScrollEditor*> FRepaintsHeld;
    std::chrono::steady_clock::time_point FStatusShown;
};

// The single instance while it exists.
extern TForm1* Form1;

// The window's caption: "Narvo - " and the file-name part of Name.
void SetWindowTitle(const std::string& Name);

// The menu's check marks of the extra panes from the panes and the divider (when
// the menus exist).
void UpdateSplitMenuChecks(TForm1& Form);

// Alt+F3: hides the ruler, the command panel and both status bars when any of them
// is shown, else shows all four. The tool bar stays as it is.
void TogglePanels(TForm1& Form);

// Sets up the command language, the status thread and the tools' host, as the
// program does before its window exists.
void InstallProgramModules();

// The forms that live for the whole run, made after the main window in the start-up
// order, and freed in the reverse order after the message loop has returned.
void CreateStartupForms();
void FreeStartupForms();

// The program: the module initialisation, the main window and the forms created
// at start-up, the message loop, and the shutdown after the loop has returned.
// Params: the program's parameters after its name, the toolkit's options taken out.
int MainBlock(TNarvoApplication& App, std::vector<std::string> Params);

}  // namespace narvo
