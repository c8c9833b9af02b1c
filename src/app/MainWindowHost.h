// The language's host over the main window (TMainWindowHost), the one
// implementation of TCommandHost in the program; the test fake is the other. It
// reaches the window's panes, command editor and status line, and calls the
// program's documents, help, print preview, spelling, box drawing, find dialog and
// step debugger directly. Only the program's start (and tests) include this header:
// the rest of the program reaches the host through CommandHost().
#pragma once

#include "language/CommandHost.h"

#include <cstdint>
#include <string>

namespace narvo {

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

// Makes the program's host the language's CommandHost(). Called once, before the
// main window exists.
void InstallCommandLanguage();

}  // namespace narvo
