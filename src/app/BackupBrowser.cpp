// Wiring of the backup browser (see BackupBrowser.h).
#include "app/BackupBrowser.h"

#include "app/MainWindow.h"
#include "tools/AutoBackup.h"

namespace narvo {

void CreateAutoBackupForms() { CreateAutoBackDlg(Form1); }

void FreeAutoBackupForms() { FreeAutoBackDlg(); }

}  // namespace narvo
