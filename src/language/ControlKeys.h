// The control-character commands 1 to 31, one dispatcher for the keys typed in a
// text pane and the control characters met in a command line, so every control
// key is also a command. Shift is read live (Pane.LiveModifiers()), also inside a
// command-line run.
#pragma once

namespace narvo {

class TCommandHost;
class TCommandLineStore;
class TEditorEngine;

// Runs Ch as an editor command on Pane; false when Ch is not one (it is then typed
// in a pane, or looked up in the command table in a command line).
bool DispatchControlKey(TCommandHost& Host, TCommandLineStore& Store, TEditorEngine& Pane, char Ch);

// Shift+^V: stores the current command line and types each of its characters.
void TypeCmdLineText(TCommandHost& Host, TCommandLineStore& Store, TEditorEngine& Pane);
// ^Y: the register's text (as lines at the cursor's column with AsLines), then the
// register emptied and the highlight cleared.
void InsertAndEmptyScoop(TCommandHost& Host, TEditorEngine& Pane, bool AsLines);
// ^X: copy a highlight, then delete to the line start (to its end with ToEnd).
void DeleteLineBackCmd(TEditorEngine& Pane, bool ToEnd);
// ^C: copy a highlight, else delete the word left of the cursor.
void CopyOrDeleteWordCmd(TCommandHost& Host, TEditorEngine& Pane, bool Shift);
// The word rule of the word commands: word starts when set.
bool WordRuleFlag(TCommandHost& Host, bool Shift);

}  // namespace narvo
