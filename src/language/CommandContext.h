// What a command routine sees of the run it is part of: the host, the command
// lines, the pane the run is pinned to, the register, the error rules of a run, and
// the readers of a command line (positions count from 1). The interpreter is one;
// the routines of the expression and search commands take this context, so they
// need not know the interpreter that calls them.
#pragma once

#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "language/StatusLine.h"

#include <cstdint>
#include <string>

namespace narvo {

class TXRegister;

// Reading a command line: positions count from 1, and a position past the line
// reads as the zero character, which no command takes.
constexpr char CommandEsc = 27;

inline char CharAtPos(const std::string& Line, std::int64_t Pos)
{
    return Pos >= 1 && Pos <= static_cast<std::int64_t>(Line.size()) ? Line[static_cast<std::size_t>(Pos - 1)] : '\0';
}

inline std::int64_t PastEnd(const std::string& Line) { return static_cast<std::int64_t>(Line.size()) + 1; }

class TCommandContext {
public:
    TCommandContext(TCommandLineStore& AStore, TCommandHost& AHost) : FStore(AStore), FHost(AHost) {}
    TCommandContext(const TCommandContext&) = delete;
    TCommandContext& operator=(const TCommandContext&) = delete;

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
    // The run cannot go on: the break flag, nesting past its limit, or memory that
    // the run would fill.
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


protected:
    ~TCommandContext() = default;

    TCommandLineStore& FStore;
    TCommandHost& FHost;
    TEditorEngine* FPane = nullptr;
    bool FTooDeep = false;
    bool FTooLarge = false;
};

template <class F>
auto TCommandContext::KeepingError(F&& Fn) -> decltype(Fn())
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

}  // namespace narvo
