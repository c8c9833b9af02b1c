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

#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "language/StatusLine.h"

#include <cstdint>
#include <string>

namespace narvo {

class TXRegister;

// Commands executed since the program started.
inline std::int64_t CommandCounter = 0;

class TCommandInterpreter {
public:
    // Deeper nesting of loops and calls fails with "Too Deep".
    static constexpr std::int32_t MaxDepth = 200;

    TCommandInterpreter(TCommandLineStore& AStore, TCommandHost& AHost) : FStore(AStore), FHost(AHost) {}
    TCommandInterpreter(const TCommandInterpreter&) = delete;
    TCommandInterpreter& operator=(const TCommandInterpreter&) = delete;

    // Runs the current line; nothing while a run is in progress.
    void RunCommandLine(bool SingleStep);

    // --- for the command routines ------------------------------------------------------------
    TCommandHost& Host() { return FHost; }
    TCommandLineStore& Store() { return FStore; }
    // The pane the run is pinned to (the active pane outside a run).
    TEditorEngine& Pane() { return FPane ? *FPane : FHost.ActivePane(); }
    TEditorEngine& Main() { return FHost.MainPane(); }
    TXRegister& Register() { return FHost.Register(); }
    // An error message: the first one of a run stays.
    static void Fail(const std::string& Message);
    static bool ErrorPending();
    // Runs F, which may let the message loop in, and puts back a pending error that
    // something handled meanwhile (a key, a timer) replaced by a plain message.
    template <class F>
    auto KeepingError(F&& Fn) -> decltype(Fn());
    // The run cannot go on: the break flag, or nesting past its limit.
    bool Stopped() const;

    // --- reading a line (positions from 1) -------------------------------------------------------
    // Skips spaces, then reads decimal digits; -1 when none follow. Saturates at
    // 2147483647.
    static std::int32_t ReadCmdNumber(const std::string& Line, std::int64_t& Pos);
    // A count, `#` (2147483647) or nothing (Count kept); a count below 1 becomes 1.
    static void ReadRepeatCount(const std::string& Line, std::int64_t& Pos, std::int32_t& Count);
    // The characters up to the next Esc or the line's end; Pos is left on the Esc.
    static std::string ReadTextToEsc(const std::string& Line, std::int64_t& Pos);
    // The position after the `}` that closes the level Pos is in; one past the end.
    static std::int64_t SkipToBlockEnd(const std::string& Line, std::int64_t Pos);

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

    TCommandLineStore& FStore;
    TCommandHost& FHost;
    TEditorEngine* FPane = nullptr;
    bool FTooDeep = false;
};

template <class F>
auto TCommandInterpreter::KeepingError(F&& Fn) -> decltype(Fn())
{
    struct TRestore {
        bool Was;
        std::string Message;
        ~TRestore()
        {
            if (Was && (!StatusMessageIsError() || StatusMessage() != Message)) {
                SetStatusMessage(std::string(), false);
                SetStatusMessage(Message, true);
            }
        }
    } Restore{ErrorPending(), {}};
    if (Restore.Was)
        Restore.Message = StatusMessage();
    return Fn();
}

// Runs the current command line of CommandLines() through CommandHost().
void RunCommandLine(bool SingleStep);

}  // namespace narvo
