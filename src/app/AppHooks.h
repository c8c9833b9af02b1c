// The calls the main window makes into modules that arrive later (settings,
// documents, command lines and runs, the text register, the status polling thread,
// the dialogs created at start-up). Each is a plain callable with a safe default,
// so the window runs before they exist; a module fills its hooks once, at start-up,
// before the main window is created.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace narvo {

class TForm1;

struct TAppHooks {
    // --- settings -------------------------------------------------------------------
    // Reads the settings file into the module values and the panes. Default: nothing.
    std::function<void()> LoadSettings;
    // Fills the User menu from the external-program list. Default: nothing.
    std::function<void()> LoadExternalPrograms;

    // --- documents ------------------------------------------------------------------------
    // Per-document editing state back to its start. Default: the module flags of
    // AppState.h, the main pane's highlight and modified flag.
    std::function<void()> ResetEditState;
    // Loads an existing file into the main pane; true when loaded. Default: the text
    // engine's loader, the document name and the window title.
    std::function<bool(const std::string& Name)> OpenTextFile;
    // Closes the document, asking "Save Changes?" when modified; false when the user
    // cancelled. Default: the question, saving to the document's own name.
    std::function<bool()> CloseTextFile;

    // --- command lines ----------------------------------------------------------------------
    std::function<void()> LoadCommandLines;  // default: nothing
    std::function<void()> SaveCommandLines;  // default: nothing
    std::function<int()> CurrentCommandLine;  // default: 0
    // Runs the current command line on the active pane. Default: nothing.
    std::function<void(bool SingleStep)> RunCommandLine;
    // The next (+1) or previous (-1) command line becomes current. Default: nothing.
    std::function<void(int Step)> StepCommandLine;
    // Clears the run guard that keeps a second run from starting. Default: nothing.
    std::function<void()> ClearRunGuard;

    // --- text register --------------------------------------------------------------------
    // Created on the main pane by FormCreate and freed at the end. Defaults: nothing.
    std::function<void()> CreateTextRegister;
    std::function<void()> FreeTextRegister;
    // The register's capacity minus its characters. Default: 100,000 (empty).
    std::function<std::int64_t()> ScoopFreeSpace;

    // --- status polling thread ---------------------------------------------------------------
    std::function<void()> StartStatusThread;  // default: nothing
    std::function<void()> StopStatusThread;   // default: nothing; must wait for the thread

    // --- auto-save timer --------------------------------------------------------------------
    std::function<void()> StartAutoSave;  // default: nothing
    std::function<void()> StopAutoSave;   // default: nothing

    // --- recent files, box drawing -----------------------------------------------------------
    std::function<void()> LoadRecentFiles;       // default: nothing
    std::function<std::string()> BoxCharText;    // default: a blank (no style)

    // --- dialogs -------------------------------------------------------------------------------
    // Creates the forms that exist for the whole run, in the start-up order, after
    // the main window. Each dialog's module appends its creator.
    std::vector<std::function<void()>> CreateForms;
    // Frees them, in reverse order, after the message loop has returned.
    std::vector<std::function<void()>> FreeForms;
};

// The one set of hooks, with the defaults filled in.
TAppHooks& AppHooks();
// Restores every hook to its default (for tests).
void ResetAppHooks();

}  // namespace narvo
