// Wiring of the backup browser into the main window: its menu entry and its
// creation at start-up (it reaches the window through the tools' host).
#pragma once

namespace narvo {

void InstallAutoBackup();

// The backup browser, made with the start-up forms and freed after the message loop.
void CreateAutoBackupForms();
void FreeAutoBackupForms();

}  // namespace narvo
