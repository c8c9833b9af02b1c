// The command-line interpreter (see Interpreter.h).
#include "language/Interpreter.h"

#include "language/AppState.h"
#include "language/ControlKeys.h"
#include "language/Expressions.h"
#include "language/SearchCommands.h"
#include "language/TextRegister.h"
#include "shared/CharClass.h"
#include "shared/HexText.h"

#include <algorithm>
#include <climits>
#include <ctime>
#include <new>
#include <optional>
#include <stdexcept>

namespace narvo {

constexpr char Esc = CommandEsc;

// One level of the run: a line (owned by a caller's frame) from Start.
struct TCommandInterpreter::TLevel {
    const std::string& Line;
    std::int32_t LineNo;
    std::int64_t Start;
    std::int64_t Next;
    std::int64_t Result;
    std::int32_t Count = 0;
    char Prev = 0;
    // Set by `{` when the block ended at a failure it absorbed: the after-command
    // steps are skipped.
    bool LoopEnded = false;
    // Set by `}`: the level ends with Result.
    bool Closed = false;
};

TCommandInterpreter::TCommandInterpreter(TCommandLineStore& AStore, TCommandHost& AHost)
    : TCommandContext(AStore, AHost),
      // The coarse clock costs a few nanoseconds per command; a few milliseconds of
      // resolution are plenty for an interval of 40.
      Clock([] {
          timespec T {};
          clock_gettime(CLOCK_MONOTONIC_COARSE, &T);
          return static_cast<std::int64_t>(T.tv_sec) * 1000 + T.tv_nsec / 1000000;
      }),
      // The limits are read at each look too: what the other programs under the same
      // bounds hold changes while the run goes.
      MemoryRoom([] { return narvo::MemoryRoom(); })
{
}

void TCommandInterpreter::LookOut(bool AfterCommand)
{
    const std::int64_t Now = Clock();
    const bool Late = Now - FLastLook >= LookOutMs;
    const bool Counted = AfterCommand && ++CommandCounter % 20 == 0;
    if (!Counted && !Late)
        return;
    KeepingError([&] { FHost.ProcessMessages(); });
    if (!Late)
        return;
    FLastLook = Clock();
    if (!MemoryRoom || ErrorPending())
        return;
    // One look's growth may come again before the next look, and what the run has
    // grown by so far may come again in one step (a run that doubles the text);
    // a step needs about twice what it keeps while it copies. So the run stops
    // while twice the larger of the two still fits.
    const std::int64_t Room = MemoryRoom();
    if (Room == INT64_MAX || FLastRoom == INT64_MAX || FStartRoom == INT64_MAX) {
        FLastRoom = FStartRoom = Room;
        return;
    }
    FMostGrowth = std::max({FMostGrowth, FLastRoom - Room, FStartRoom - Room});
    FLastRoom = Room;
    if (Room < 2 * FMostGrowth)
        StopTooLarge();
}

void TCommandInterpreter::StopTooLarge()
{
    FTooLarge = true;
    Fail(TooLargeMessage);
}

void TCommandInterpreter::RunCommandLine(bool SingleStep)
{
    if (FStore.Running) {
        ShowStatusMessage(RunGoingMessage, false);
        return;
    }
    // Memory that runs out before a look saw it coming ends the run as a look would:
    // the operation that failed has left the text and its records as they were, and
    // the run's undo group is closed on the way out.
    try {
        Run(SingleStep);
    } catch (const std::bad_alloc&) {
        OutOfMemory();
    } catch (const std::length_error&) {
        OutOfMemory();
    }
}

void TCommandInterpreter::OutOfMemory()
{
    // The run ends for the memory, whatever it said before.
    SetStatusMessage(TooLargeMessage, false);
    StopTooLarge();
    FHost.UpdateStatus();
}

void TCommandInterpreter::Run(bool SingleStep)
{
    struct TGuard {
        TCommandInterpreter& I;
        ~TGuard()
        {
            I.FStore.Running = false;
            I.FPane = nullptr;
        }
    } Guard{*this};
    FStore.Running = true;
    ShowStatusMessage("Working", false);
    FStore.StoreCmdLine(FHost);
    BreakFlag = false;
    FTooDeep = false;
    FTooLarge = false;
    FLastLook = Clock();
    FLastRoom = FStartRoom = MemoryRoom ? MemoryRoom() : INT64_MAX;
    FMostGrowth = 0;
    FStore.SingleStep = SingleStep;
    FStore.Depth = 0;
    FPane = &FHost.ActivePane();
    // Long operations of the run's panes look out too, between their pieces.
    struct TLongLook {
        TEditorEngine& Pane;
        std::function<bool()> Saved;
        TLongLook(TEditorEngine& P, TCommandInterpreter& I) : Pane(P), Saved(std::move(P.OnLongOperation))
        {
            P.OnLongOperation = [&I] {
                I.LookOut(false);
                return I.Stopped();
            };
        }
        ~TLongLook() { Pane.OnLongOperation = std::move(Saved); }
        TLongLook(const TLongLook&) = delete;
        TLongLook& operator=(const TLongLook&) = delete;
    };
    const TLongLook PaneLook(*FPane, *this);
    std::optional<TLongLook> MainLook;
    if (&Main() != FPane)
        MainLook.emplace(Main(), *this);
    // The whole run undoes in one step; the group is closed also when an exception
    // ends the run, so the changes made up to it still undo together.
    struct TGroup {
        TUndoControl& Ring;
        bool Open = false;
        void End()
        {
            if (Open)
                Ring.EndGroup();
            Open = false;
        }
        ~TGroup() { End(); }
    } Group{*FPane->UndoList};
    Group.Ring.BeginGroup();
    Group.Open = true;
    const std::string Line = FStore.Lines[static_cast<std::size_t>(FStore.Current)];
    ExecCommands(Line, FStore.Current, 1);
    Group.End();
    ShowGroupEnd(Group.Ring);
    FHost.UpdateStatus();
}

bool TCommandInterpreter::DebugHook(const std::string& Line, std::int64_t Pos)
{
    if (!FStore.SingleStep)
        return true;
    TDebugInfo Info;
    Info.CmdLine = Line;
    Info.Position = static_cast<std::int32_t>(std::min<std::int64_t>(Pos, INT32_MAX));
    Info.Depth = FStore.Depth;
    Info.Repetition = FStore.Repetition;
    Info.Value = CurrentValue;
    TEditorEngine& M = Main();
    const TPoint C = M.Cursor->Pos();
    if (!M.CharBefore(C, Info.CharBefore))
        Info.CharBefore = 0;
    if (!M.CharAfter(C, Info.CharAt))
        Info.CharAt = 0;
    TEditorEngine& P = Pane();
    FHost.SetPaneUpdates(P, true);
    FHost.RepaintPane(P);
    FHost.SetPaneUpdates(P, false);
    const int Answer = KeepingError([&] { return FHost.DebugShowStep(Info); });
    if (Answer == dbRunOn)
        FStore.SingleStep = false;
    if (Answer == dbAbort) {
        // The run ends here, also at the top level, where no command follows that
        // would report the break.
        BreakFlag = true;
        Fail("Break");
        return false;
    }
    return true;
}

std::int64_t TCommandInterpreter::ExecCommands(const std::string& Line, std::int32_t LineNo, std::int64_t Start)
{
    if (FStore.Depth >= MaxDepth) {
        FTooDeep = true;
        Fail("Too Deep");
        return PastEnd(Line);
    }
    TEditorEngine& P = Pane();
    FHost.SetPaneUpdates(P, false);
    ++FStore.Depth;
    struct TLeave {
        TCommandInterpreter& I;
        TEditorEngine& P;
        ~TLeave()
        {
            I.FHost.SetDebugRunning(false);
            I.FHost.SetPaneUpdates(P, true);
            if (--I.FStore.Depth < 1)
                I.FHost.RepaintPane(P);
        }
    } Leave{*this, P};

    TLevel L{Line, LineNo, Start, Start, Start};
    const std::int64_t End = static_cast<std::int64_t>(Line.size());
    while (L.Next <= End) {
        std::int64_t Pos = L.Next;
        if (!DebugHook(Line, Pos))
            return L.Result;
        ReadRepeatCount(Line, Pos, L.Count);
        if (Pos > End)
            break;
        const char Ch = static_cast<char>(UpCaseChar(static_cast<unsigned char>(Line[static_cast<std::size_t>(Pos - 1)])));
        // Every repetition reads the command's arguments from the same place.
        const std::int64_t ArgPos = Pos + 1;
        L.Next = ArgPos;
        const std::int32_t Count = L.Count;
        for (std::int32_t R = 1; R <= Count; ++R) {
            FStore.Repetition = R;
            L.Next = ArgPos;
            L.Count = 0;
            L.LoopEnded = false;
            const bool Known = Dispatch(L, Ch, Count);
            if (L.Closed)
                return L.Result;
            if (L.LoopEnded)
                break;
            LookOut(true);
            if (BreakFlag)
                Fail("Break");
            if (!ErrorPending() && Known)
                ShowEditorStatus(P.Status);
            if (ErrorPending() || FTooDeep || FTooLarge) {
                L.Result = SkipToBlockEnd(Line, L.Next);
                L.Next = End + 1;
                break;
            }
        }
        L.Prev = Ch;
    }
    return L.Result;
}

bool TCommandInterpreter::Dispatch(TLevel& L, char Ch, std::int32_t Count)
{
    TEditorEngine& P = Pane();
    if (DispatchControlKey(FHost, FStore, P, Ch))
        return true;
    const std::string& Line = L.Line;
    switch (Ch) {
    case 13: case Esc: case ' ': case '+': case '-': case ']':
        return true;
    case '(':
        L.Next = EvalExpressionCmd(*this, Line, L.Next);
        return true;
    case ':':
        P.GotoOffset(CurrentValue);
        return true;
    case ';':
        Fail("No Loop");
        return true;
    case '?':
        FHost.ShowHelpContents();
        return true;
    case 'A':
        L.Next = FHost.InsertFileCmd(Line, L.Next);
        return true;
    case 'B':
        L.Next = BCmd(*this, L.Prev, Line, L.Next);
        return true;
    case 'D':
        P.Backspace();
        return true;
    case 'E':
        Register().Clear();
        return true;
    case 'F':
        L.Next = FindReplaceCmd(FHost, P, L.Prev, Line, L.Next);
        return true;
    case 'H':
        HexInsertCmd(L);
        return true;
    case 'I': {
        const std::string Text = ReadTextToEsc(Line, L.Next);
        FHost.SetReplaceText(Text);
        P.InsertText(Text);
        return true;
    }
    case 'J':
        L.Next = L.Start;
        return true;
    case 'K':
        P.ScoopStop();
        P.Clear();
        return true;
    case 'L':
        FHost.PrintText();
        return true;
    case 'M':
        MarginCmd(L);
        return true;
    case 'O':
        L.Next = FHost.OpenFileCmd(Line, L.Next);
        return true;
    case 'P':
        CallCmdLineCmd(L);
        return true;
    case 'Q':
        FHost.SaveAndExitCmd();
        return true;
    case 'R':
        P.DeleteToLineEnd();
        return true;
    case 'S':
        L.Next = SearchCmd(FHost, P, L.Prev, Line, L.Next);
        return true;
    case 'T':
        FHost.ExitWithoutSavingCmd();
        return true;
    case 'V':
        CmdLineToEditorCmd();
        return true;
    case 'X':
        Register().InsertIntoEditor();
        return true;
    case 'Y':
        FHost.CenterLine(P);
        return true;
    case 'Z':
        FHost.DeleteBackToFormFeed(P);
        return true;
    case '[':
        if (Count >= 2)
            Fail("[] > 1");
        else
            L.Next = ConditionalCmd(*this, Line, L.Next);
        return true;
    case '_':
        L.Count = CurrentValue;
        return true;
    case '{': {
        const std::int64_t EndPos = ExecCommands(Line, L.LineNo, L.Next);
        L.Next = EndPos;
        if (Stopped()) {
            // A broken run fails here too, so nothing after the loop runs.
            if (BreakFlag)
                Fail("Break");
            return true;
        }
        if (ErrorPending()) {
            // The failure ended the loop, not the line.
            ShowStatusMessage("Ok", false);
            L.LoopEnded = true;
        }
        return true;
    }
    case '}':
        L.Result = L.Next;
        L.Closed = true;
        return true;
    case 'C': case 'G': case 'N': case 'W':
        Fail(std::string("Obsolete: ") + Ch);
        return false;
    default:
        Fail("Illegal?");
        return false;
    }
}

void TCommandInterpreter::CallCmdLineCmd(TLevel& L)
{
    const std::int32_t N = ReadCmdNumber(L.Line, L.Next);
    if (N == L.LineNo) {
        Fail("Infinite");
        return;
    }
    if (N < 0 || N >= TCommandLineStore::LineCount) {
        Fail("Number?");
        return;
    }
    // The called line's own copy: editing the lines meanwhile cannot change it.
    const std::string Called = FStore.Lines[static_cast<std::size_t>(N)];
    // The called line is current while it runs, also when it ends in an exception.
    struct TCall {
        TCommandLineStore& S;
        std::int32_t Saved;
        ~TCall() { S.EndCall(Saved); }
    } Call{FStore, FStore.BeginCall(N)};
    ExecCommands(Called, N, 1);
}

void TCommandInterpreter::HexInsertCmd(TLevel& L)
{
    const auto Hi = static_cast<unsigned char>(CharAtPos(L.Line, L.Next));
    const auto Lo = static_cast<unsigned char>(CharAtPos(L.Line, L.Next + 1));
    L.Next += 2;
    if (!IsHexDigit(Hi) || !IsHexDigit(Lo)) {
        Fail("Hex Number?");
        return;
    }
    const char Pair[2] = {static_cast<char>(Hi), static_cast<char>(Lo)};
    Pane().TypeChar(HexStrToStr(std::string_view(Pair, 2), "")[0]);
}

void TCommandInterpreter::MarginCmd(TLevel& L)
{
    const std::string& Line = L.Line;
    if (CharAtPos(Line, L.Next) == '(')
        ++L.Next;
    std::int32_t N[4] = {};
    int Got = 0;
    while (Got < 4) {
        const std::int32_t V = ReadCmdNumber(Line, L.Next);
        if (V < 0)
            break;
        N[Got++] = V;
        const char Sep = CharAtPos(Line, L.Next);
        if (Sep != ',' && Sep != ' ')
            break;
        ++L.Next;
    }
    if (CharAtPos(Line, L.Next) == ')')
        ++L.Next;
    switch (Got) {
    case 0:
        FHost.RemarginParagraph(Pane());
        break;
    case 1:
        BellColumn = N[0];
        break;
    case 3:
        ParaIndent = N[2];
        [[fallthrough]];
    default:
        LeftMargin = N[0];
        RightMargin = N[1];
        break;
    }
}

void TCommandInterpreter::CmdLineToEditorCmd()
{
    std::string Text;
    Pane().GetCharsForward(255, Text);
    const std::size_t E = Text.find("\x1b\x1b");
    if (E == std::string::npos)
        Fail("Esc Esc?");
    else
        Text.resize(E);
    FHost.SetCmdEditorText(Text);
}

void RunCommandLine(bool SingleStep)
{
    TCommandHost* Host = CommandHost();
    if (!Host)
        return;
    static TCommandInterpreter* Instance = nullptr;
    static TCommandHost* InstanceHost = nullptr;
    if (CommandLines().Running) {
        ShowStatusMessage(RunGoingMessage, false);
        return;
    }
    if (!Instance || InstanceHost != Host) {
        delete Instance;
        Instance = new TCommandInterpreter(CommandLines(), *Host);
        InstanceHost = Host;
    }
    Instance->RunCommandLine(SingleStep);
}

}  // namespace narvo
