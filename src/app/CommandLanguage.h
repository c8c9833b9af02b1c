// The command language in the running program: the host over the main window, the
// one text register, the main window's hooks for runs, command lines and the
// register, and the entry points the key routing calls (Esc in a pane, Esc Esc in
// the command editor, Ctrl+G, control characters typed in a pane). Services of
// modules that arrive later (documents, help, print, margins, spelling, box
// drawing, the step debugger) are filled into CommandServices() by those modules;
// until then the commands that reach them do nothing.
#pragma once

#include "language/CommandHost.h"

#include <cstdint>
#include <functional>
#include <string>

namespace narvo {

class TXRegister;

struct TCommandServices {
    std::function<std::int64_t(const std::string& Line, std::int64_t Pos)> InsertFileCmd;  // A
    std::function<std::int64_t(const std::string& Line, std::int64_t Pos)> OpenFileCmd;    // O
    std::function<void()> SaveAndExitCmd;                                                    // Q
    std::function<void()> SaveIfModified;                                                    // ^P
    std::function<void()> ShowHelpContents;                                                  // ?
    std::function<void()> PrintText;                                                         // L
    std::function<void(TEditorEngine& Pane)> RemarginParagraph;                              // M
    std::function<void(TEditorEngine& Pane)> CenterLine;                                     // Y
    std::function<void(TEditorEngine& Pane)> DeleteBackToFormFeed;                           // Z
    std::function<bool()> NewWordStyle;
    std::function<int(const std::string& Word, bool& NoDictionary)> SpellCheck;              // (S)
    std::function<bool()> KeypadFlag;
    std::function<bool(TEditorEngine& Pane, char Ch)> BoxDrawKey;
    std::function<void()> NextBoxStyle;                                                      // Shift+^D
    std::function<int(const TDebugInfo& Info)> DebugShowStep;
    std::function<void(bool Running)> SetDebugRunning;
    std::function<void(const std::string& Text)> SetFindText;
    std::function<void(const std::string& Text)> SetReplaceText;
};

TCommandServices& CommandServices();

// Fills the main window's hooks (AppHooks) with the command language and makes its
// host the program's CommandHost(). Called once, before the main window exists.
void InstallCommandLanguage();

// The program's text register while the main window exists, else nullptr.
TXRegister* ProgramRegister();

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
