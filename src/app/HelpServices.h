// The help in the running program: the main window's one help bridge, made with the
// forms at start-up, answering the `?` command, Alt+F1, the Help menu and the
// dialogs' Help buttons (which call HelpContext of components/ChmHelper.h).
#pragma once

namespace narvo {

class TCHMHelper;

// Fills the command language's help service and the Help menu's hooks, and adds the
// bridge's creation to the start-up hooks. Call once, before the main window exists.
void InstallHelpServices();

// The program's help bridge: created on first use (owned by the main window when
// there is one), its help file kept to HelpFileName.
TCHMHelper& ProgramHelp();

}  // namespace narvo
