// Every key binding of the text panes. The three panes leave their keys to the main
// window: their key-down stage goes to Editor1KeyDown, which routes non-character
// keys by modifier (plain or Shift, Ctrl, Shift+Ctrl, Alt) through one table each,
// and their character stage to Editor1KeyPress: ^G runs the current command line,
// ^O undoes (Shift: redoes), Esc moves to the next command line, a quoted character
// is typed as it is, and other control characters go to the command language's
// dispatcher. The command editor's Esc Esc, Ctrl+Break anywhere in the window and
// the wheel over the window (outside the panes) are routed here too.
//
// Ctrl+Break brings no character (the key translation gives none), so it cannot
// act as ^C; ^C keeps working after a break.
#pragma once

#include <cstdint>
#include <functional>

#include <Qt>

class QObject;

namespace narvo {

class TForm1;
class TScrollEditor;

// The two stages of a key in a text pane. Key is set to 0 when the key was taken.
void Editor1KeyDown(QObject* Sender, std::uint16_t& Key, Qt::KeyboardModifiers Shift);
void Editor1KeyPress(QObject* Sender, char& Key);

// The tables: true when the key was taken.
bool PlainKeyDown(TScrollEditor& Pane, std::uint16_t Key);
bool CtrlKeyDown(TScrollEditor& Pane, std::uint16_t Key);
bool ShiftCtrlKeyDown(TScrollEditor& Pane, std::uint16_t Key);
bool AltKeyDown(TScrollEditor& Pane, std::uint16_t Key, bool Shift);

// Types Ch into the active pane, then wraps or indents when wrap while typing is on.
void InsertTypedChar(char Ch);
void UndoOrRedo(bool Redo);

// Connects the panes, the command editor, the break key and the wheel of Form to
// the routing above; called once while the window is created.
void ConnectKeyRouting(TForm1& Form);

}  // namespace narvo
