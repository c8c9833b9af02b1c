// Wiring of the clipboard formats viewer and the user tools (see UserToolsHooks.h).
#include "app/UserToolsHooks.h"

#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/MainWindow.h"
#include "app/MainWindowMenus.h"
#include "app/Settings.h"
#include "editor/ScrollEditor.h"
#include "engine/EditBuffer.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"
#include "tools/ClipFormatDialog.h"
#include "tools/ExternalPrograms.h"

namespace narvo {

namespace {

// The settings file's section of the user tools.
constexpr const char* TransferSection = "Transfer";

void PasteIntoFocusedPane(const std::string& Text)
{
    if (!Form1)
        return;
    TScrollEditor* Pane = Form1->FocusedEditor();
    if (!Pane)
        return;
    if (TXRegister* Register = ProgramRegister())
        Register->ScoopOff(*Pane, false);
    // The viewer shows the clipboard's text as it is, lone LFs included: each line
    // end becomes the one CR of a line break, as Paste makes it.
    Pane->InsertText(NormalizeLineBreaks(Text));
    Pane->RefreshView(true);
    if (TScrollEditor* Active = Form1->ActiveEditor) {
        ShowEditorStatus(Active->Status);
        UpdateStatus();
        Active->setFocus();
    }
}

}  // namespace

void InstallUserToolsHooks()
{
    ClipFormatHooks().PasteText = PasteIntoFocusedPane;

    TExternalProgramHooks& Tools = ExternalProgramHooks();
    Tools.CurrentFileName = [] { return CurrentFileName; };
    Tools.SaveIfModified = [] { SaveIfModified(); };
    Tools.GotoLine = [](std::int64_t N) {
        if (!Form1 || !Form1->ActiveEditor)
            return;
        // A line past the end leaves the cursor where it is.
        if (Form1->ActiveEditor->GotoLine(N))
            Form1->ActiveEditor->RefreshView(false);
        UpdateStatus();
    };

    TMenuActions& Menus = MenuActions();
    Menus.ClipboardFormats = ShowClipFormatDlg;
    Menus.UserTools = [] {
        if (TExternalDlg* Dlg = ExternalDlg())
            Dlg->EditExternalPrograms();
    };
}

void CreateUserToolForms()
{
    CreateClipFormatDlg(Form1);
    CreateExternalDlg(Form1);
}

void FreeUserToolForms()
{
    FreeExternalDlg();
    FreeClipFormatDlg();
}

void LoadExternalPrograms()
{
    if (TExternalDlg* Dlg = ExternalDlg(); Dlg && Form1 && Form1->Menus)
        Dlg->InitExternalPrograms(Form1->Menus->UserMnu, 0, SettingsIniName, TransferSection);
}

}  // namespace narvo
