// The backup browser's life in the main window: made at start-up, freed at exit
// (its menu entry calls it directly; it reaches the window through the tools' host).
#pragma once

namespace narvo {

// The backup browser, made with the start-up forms and freed after the message loop.
void CreateAutoBackupForms();
void FreeAutoBackupForms();

}  // namespace narvo
