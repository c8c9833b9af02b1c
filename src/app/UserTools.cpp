// Wiring of the clipboard formats viewer and the user tools (see UserTools.h).
#include "app/UserTools.h"

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

}  // namespace

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
