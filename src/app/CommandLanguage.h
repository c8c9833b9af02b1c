// The command language in the running program: the host over the main window, the
// one text register, runs and command lines, and the entry points the key routing calls (Esc in a pane, Esc Esc in
// the command editor, Ctrl+G, control characters typed in a pane).
#pragma once

#include "language/CommandHost.h"

#include <cstdint>
#include <string>

namespace narvo {

class TXRegister;

// The language's host in the running program: the panes, command editor and status
// line of the main window, and the program's documents, help, print preview,
// spelling, box drawing, find dialog and step debugger, each called directly.
// Tests derive from it to count what would leave the program (help, print, files).
class TMainWindowHost : public TCommandHost {
public:
    TEditorEngine& ActivePane() override;
    TEditorEngine& MainPane() override;
    TXRegister& Register() override;
    void SetPaneUpdates(TEditorEngine& Pane, bool Enabled) override;
    void RepaintPane(TEditorEngine& Pane) override;
    void UpdateStatus() override;
    void ShowStatusText() override;
    void ToggleShowAll(TEditorEngine& Pane) override;
    bool WordAtCursorBounds(TEditorEngine& Pane, TRect& R) override;
    void PasteIntoFocused(TEditorEngine& Pane) override;
    void ProcessMessages() override;
    int WaitForKey() override;
    std::string CmdEditorText() override;
    void SetCmdEditorText(const std::string& Text) override;
    void SetFindText(const std::string& Text) override;
    void SetReplaceText(const std::string& Text) override;
    void ShowInfo(const std::string& Text) override;
    void ShowScoopState(int State) override;
    std::int64_t InsertFileCmd(const std::string& Line, std::int64_t Pos) override;
    std::int64_t OpenFileCmd(const std::string& Line, std::int64_t Pos) override;
    void SaveAndExitCmd() override;
    void ExitWithoutSavingCmd() override;
    void SaveIfModified() override;
    void ShowHelpContents() override;
    void PrintText() override;
    void RemarginParagraph(TEditorEngine& Pane) override;
    void CenterLine(TEditorEngine& Pane) override;
    void DeleteBackToFormFeed(TEditorEngine& Pane) override;
    bool NewWordStyle() override;
    int SpellCheck(const std::string& Word, bool& NoDictionary) override;
    bool KeypadFlag() override;
    bool BoxDrawKey(TEditorEngine& Pane, char Ch) override;
    void NextBoxStyle() override;
    int DebugShowStep(const TDebugInfo& Info) override;
    void SetDebugRunning(bool Running) override;
};

// The program's host.
TMainWindowHost& ProgramHost();

// Makes the main window's host the program's CommandHost(). Called once, before the
// main window exists.
void InstallCommandLanguage();

// The text register on the main pane, made by the window's creation and freed with it.
void CreateTextRegister();
void FreeTextRegister();

// Runs the current command line on the active pane (Ctrl+G, Esc Esc, the run button).
void RunCurrentCommandLine(bool SingleStep);
// The next (+1) or previous (-1) command line becomes current.
void StepCurrentCommandLine(int Step);

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
