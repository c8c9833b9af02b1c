// The help in the running program: the main window's one help bridge, made with the
// forms at start-up, answering the `?` command, Alt+F1, the Help menu and the
// dialogs' Help buttons (which call HelpContext of components/ChmHelper.h).
#pragma once

namespace narvo {

class TCHMHelper;

// The program's help bridge: created on first use (owned by the main window when
// there is one), its help file kept to HelpFileName.
TCHMHelper& ProgramHelp();

}  // namespace narvo
