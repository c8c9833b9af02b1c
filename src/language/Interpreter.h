// The command-line interpreter: a run of the current command line on the active
// pane as one undo group, the per-command loop with repeat counts, `#` and `_`,
// the command table, loops `{ }`, calls `P`, the failure rules, yielding to the
// message loop every 20th command, the break flag, and the debugger hook with its
// step record. Command routines take the position after their letter (positions
// count from 1) and answer the position after their arguments.
//
// A run is pinned to what it started on: the pane it acts on, and the text of each
// line it runs (every level holds its own copy), so that whatever the user does
// while the run yields cannot move it to another pane or change a running line.
#pragma once

#include "language/CommandContext.h"

#include <cstdint>
#include <string>

namespace narvo {

// Commands executed since the program started.
inline std::int64_t CommandCounter = 0;

class TCommandInterpreter : public TCommandContext {
public:
    // Deeper nesting of loops and calls fails with "Too Deep".
    static constexpr std::int32_t MaxDepth = 200;

    TCommandInterpreter(TCommandLineStore& AStore, TCommandHost& AHost) : TCommandContext(AStore, AHost) {}

    // Runs the current line; nothing while a run is in progress.
    void RunCommandLine(bool SingleStep);

private:
    struct TLevel;

    std::int64_t ExecCommands(const std::string& Line, std::int32_t LineNo, std::int64_t Start);
    // Runs one repetition; false when the command character is unknown.
    bool Dispatch(TLevel& L, char Ch, std::int32_t Count);
    // Answers false when the level is to end (debugger abort).
    bool DebugHook(const std::string& Line, std::int64_t Pos);
    void CallCmdLineCmd(TLevel& L);
    void HexInsertCmd(TLevel& L);
    void MarginCmd(TLevel& L);
    void CmdLineToEditorCmd();
};

// Runs the current command line of CommandLines() through CommandHost().
void RunCommandLine(bool SingleStep);

}  // namespace narvo
