// The command-line interpreter: a run of the current command line on the active
// pane as one undo group, the per-command loop with repeat counts, `#` and `_`,
// the command table, loops `{ }`, calls `P`, the failure rules, yielding to the
// message loop every 20th command and whenever a look-out interval has passed (so
// that Ctrl+Break is seen also when single commands grow slow), the guard against
// a run that would fill the memory, the break flag, and the debugger hook with its
// step record. Command routines take the position after their letter (positions
// count from 1) and answer the position after their arguments.
//
// A run is pinned to what it started on: the pane it acts on, and the text of each
// line it runs (every level holds its own copy), so that whatever the user does
// while the run yields cannot move it to another pane or change a running line.
#pragma once

#include "language/CommandContext.h"
#include "platform/posix/ProcessMemory.h"

#include <cstdint>
#include <functional>
#include <string>

namespace narvo {

// Commands executed since the program started.
inline std::int64_t CommandCounter = 0;

// What a command line started while another run goes on shows: it is refused, and a
// plain message (an error would end the run that goes on) says that the other run
// is still working. Short, so that the status field shows it whole.
inline constexpr const char* RunGoingMessage = "Working";
// What a run shows when it ends because the program's memory would outgrow its bound.
inline constexpr const char* TooLargeMessage = "Text Too Large";

class TCommandInterpreter : public TCommandContext {
public:
    // Deeper nesting of loops and calls fails with "Too Deep".
    static constexpr std::int32_t MaxDepth = 200;

    // The longest a run goes without a look at the message loop (and Ctrl+Break) and
    // at its memory, in milliseconds, however slow its commands.
    static constexpr std::int64_t LookOutMs = 40;

    TCommandInterpreter(TCommandLineStore& AStore, TCommandHost& AHost);

    // A steady clock in milliseconds.
    std::function<std::int64_t()> Clock;
    // The bytes the program can still grow by before it passes the bound on its
    // memory: a run ends with TooLargeMessage when twice the most the room shrank,
    // between two looks or since the run began, would no longer fit. The default
    // counts the machine's memory, the address-space and data limits and the
    // control group's limit, and what the machine and the group have left to all
    // their programs; empty: no bound. Memory that runs out all the same
    // ends the run with the same message.
    std::function<std::int64_t()> MemoryRoom;

    // Runs the current line; while a run is in progress it only shows
    // RunGoingMessage.
    void RunCommandLine(bool SingleStep);

private:
    struct TLevel;

    void Run(bool SingleStep);

    std::int64_t ExecCommands(const std::string& Line, std::int32_t LineNo, std::int64_t Start);
    // Runs one repetition; false when the command character is unknown.
    bool Dispatch(TLevel& L, char Ch, std::int32_t Count);
    // Answers false when the level is to end (debugger abort).
    bool DebugHook(const std::string& Line, std::int64_t Pos);
    void CallCmdLineCmd(TLevel& L);
    void HexInsertCmd(TLevel& L);
    void MarginCmd(TLevel& L);
    void CmdLineToEditorCmd();
    // The message loop every 20th command (counted after a command) and whenever
    // LookOutMs has passed; the memory whenever LookOutMs has passed. Called after
    // each command and between the pieces of a long operation.
    void LookOut(bool AfterCommand);
    void StopTooLarge();
    void OutOfMemory();

    std::int64_t FLastLook = 0;
    std::int64_t FLastRoom = 0;
    std::int64_t FStartRoom = 0;
    std::int64_t FMostGrowth = 0;
};

// Runs the current command line of CommandLines() through CommandHost().
void RunCommandLine(bool SingleStep);

}  // namespace narvo
