// Wiring of the backup browser into the main window: its hooks, its menu entry,
// the auto-save timer's refresh and its creation at start-up.
#pragma once

namespace narvo {

void InstallAutoBackup();

// The backup browser, made with the start-up forms and freed after the message loop.
void CreateAutoBackupForms();
void FreeAutoBackupForms();

}  // namespace narvo
