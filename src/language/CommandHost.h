// The one narrow door through which the command language reaches the rest of the
// program: the panes it acts on, the text register, the message loop and the key
// wait, the command editor, the find and replace dialogs, documents, help, print,
// margins, spelling, box drawing and the step debugger. The interpreter itself
// knows only the text model (TEditorEngine), so command lines run in tests on
// headless panes with a fake host. Every service of a later module has a harmless
// default here, so a command that reaches one does nothing until it is filled.
#pragma once

#include "engine/EditorEngine.h"

#include <cstdint>
#include <string>

namespace narvo {

class TXRegister;

// The step record handed to the debugger before every command.
struct TDebugInfo {
    std::string CmdLine;           // the text of the line being run
    std::int32_t Position = 0;     // where the next command (with its count) begins, from 1
    std::int32_t Depth = 0;
    std::int32_t Repetition = 0;
    std::int32_t Value = 0;        // CurrentValue
    char CharBefore = 0;           // left of the main pane's cursor; 0 at the text start
    char CharAt = 0;               // at the main pane's cursor; 0 at the text end
};

// The debugger's answers.
enum : int { dbStep = 1, dbRunOn = 2, dbAbort = 3 };

class TCommandHost {
public:
    virtual ~TCommandHost() = default;

    // --- panes and the register ---------------------------------------------------
    // The pane that last had the focus; a run is pinned to the one it started on.
    virtual TEditorEngine& ActivePane() = 0;
    virtual TEditorEngine& MainPane() = 0;
    virtual TXRegister& Register() = 0;
    // The pane's switch that enables repainting, and a repaint.
    virtual void SetPaneUpdates(TEditorEngine& /*Pane*/, bool /*Enabled*/) {}
    virtual void RepaintPane(TEditorEngine& /*Pane*/) {}
    virtual void ToggleShowAll(TEditorEngine& /*Pane*/) {}
    // The bounds of the word at the pane's cursor; false when the pane cannot say.
    virtual bool WordAtCursorBounds(TEditorEngine& Pane, TRect& R);
    // Paste into the command editor when it has the focus, else into Pane.
    virtual void PasteIntoFocused(TEditorEngine& Pane) { Pane.Paste(); }

    // --- message loop ---------------------------------------------------------------
    // Lets the program handle what is waiting (repaints, keys, Ctrl+Break, timers).
    virtual void ProcessMessages() {}
    // The code of the next character the user types (not typed into any pane);
    // 0 when the break flag is set or the program is closing meanwhile.
    virtual int WaitForKey() { return 0; }

    // --- command editor and dialogs ---------------------------------------------------
    virtual std::string CmdEditorText() = 0;
    virtual void SetCmdEditorText(const std::string& Text) = 0;
    virtual void SetFindText(const std::string& /*Text*/) {}
    virtual void SetReplaceText(const std::string& /*Text*/) {}
    // The info label of the main window.
    virtual void ShowInfo(const std::string& /*Text*/) {}
    // The scoop indicator: 0 off, 1 stream scoop ("On"), 2 column scoop ("Blk").
    virtual void ShowScoopState(int /*State*/) {}
    // Every status field shows the current values; the message field alone shows
    // the current status message.
    virtual void UpdateStatus() {}
    virtual void ShowStatusText() {}

    // --- documents, help, print, margins, words ----------------------------------------
    // A and O take the position after their letter in Line and answer the position
    // after their argument.
    virtual std::int64_t InsertFileCmd(const std::string& /*Line*/, std::int64_t Pos) { return Pos; }
    virtual std::int64_t OpenFileCmd(const std::string& /*Line*/, std::int64_t Pos) { return Pos; }
    virtual void SaveAndExitCmd() {}
    virtual void ExitWithoutSavingCmd() {}
    virtual void SaveIfModified() {}
    virtual void ShowHelpContents() {}
    virtual void PrintText() {}
    virtual void RemarginParagraph(TEditorEngine& /*Pane*/) {}
    virtual void CenterLine(TEditorEngine& /*Pane*/) {}
    virtual void DeleteBackToFormFeed(TEditorEngine& /*Pane*/) {}
    virtual bool NewWordStyle() { return false; }
    // -1 misspelt, 0 accepted; NoDictionary when no word list could be loaded.
    virtual int SpellCheck(const std::string& /*Word*/, bool& NoDictionary)
    {
        NoDictionary = true;
        return 0;
    }

    // --- box drawing ------------------------------------------------------------------
    // Whether the last key was on the numeric keypad.
    virtual bool KeypadFlag() { return false; }
    // Offers Ch to the box-drawing keys; true when it drew a character.
    virtual bool BoxDrawKey(TEditorEngine& /*Pane*/, char /*Ch*/) { return false; }
    virtual void NextBoxStyle() {}

    // --- step debugger ------------------------------------------------------------------
    virtual int DebugShowStep(const TDebugInfo& /*Info*/) { return dbRunOn; }
    virtual void SetDebugRunning(bool /*Running*/) {}
};

// The host of the running program (set by the main window); nullptr before.
TCommandHost* CommandHost();
void SetCommandHost(TCommandHost* Host);

}  // namespace narvo
