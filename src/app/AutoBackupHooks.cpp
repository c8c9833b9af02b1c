// Wiring of the backup browser (see AutoBackupHooks.h).
#include "app/AutoBackupHooks.h"

#include "app/MainWindow.h"
#include "tools/AutoBackup.h"

namespace narvo {

void CreateAutoBackupForms() { CreateAutoBackDlg(Form1); }

void FreeAutoBackupForms() { FreeAutoBackDlg(); }

}  // namespace narvo
