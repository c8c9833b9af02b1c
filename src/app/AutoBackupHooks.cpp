// Wiring of the backup browser (see AutoBackupHooks.h).
#include "app/AutoBackupHooks.h"

#include "app/AutoSave.h"
#include "app/Documents.h"
#include "app/MainWindow.h"
#include "app/MainWindowMenus.h"
#include "language/AppState.h"
#include "tools/AutoBackup.h"

namespace narvo {

void InstallAutoBackup()
{
    MenuActions().AutoBackupFiles = [] { ShowAutoBackDlg(); };
}

void CreateAutoBackupForms() { CreateAutoBackDlg(Form1); }

void FreeAutoBackupForms() { FreeAutoBackDlg(); }

}  // namespace narvo
