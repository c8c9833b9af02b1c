// The command language in the running program: the one text register, runs and
// command lines through the program's CommandHost() (MainWindowHost.h), and the entry
// points the key routing calls (Esc in a pane, Esc Esc in the command editor, Ctrl+G,
// control characters typed in a pane).
#pragma once

namespace narvo {

class TXRegister;

// The text register on the main pane, made by the window's creation and freed with it.
void CreateTextRegister();
void FreeTextRegister();

// Runs the current command line on the active pane (Ctrl+G, Esc Esc, the run button).
void RunCurrentCommandLine(bool SingleStep);
// The next (+1) or previous (-1) command line becomes current.
void StepCurrentCommandLine(int Step);

// The program's text register while the main window exists, else nullptr.
TXRegister* ProgramRegister();
// The program's text register, made on the main pane when there is none yet.
TXRegister& EnsureProgramRegister();

// --- entry points of the key routing -------------------------------------------------------
// Esc typed in a text pane: the next command line, emptied, starts with an Esc and
// gets the focus.
void EscToCmdLine();
// The command editor's key-press hook: Esc after an Esc runs the line (the key
// itself still reaches the command editor).
void CmdEditorKeyPress(char Key);
// A control character typed in a text pane; false when it is not a command.
bool PaneControlKey(char Key);

}  // namespace narvo
