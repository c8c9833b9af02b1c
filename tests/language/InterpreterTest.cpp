// What the golden cases cannot show: yielding and breaking, a run pinned to its
// pane and lines while the message loop runs, the run guard, the debugger hook,
// the command-line store and the search keys.
#include "language/FakeCommandHost.h"
#include "language/SearchCommands.h"

#include <gtest/gtest.h>

#include <map>
#include <stdexcept>
#include <type_traits>

namespace narvo::test {
namespace {

static_assert(std::is_same_v<decltype(CommandCounter), std::int64_t>);

// A host that counts the display switches per pane.
struct TCountingHost : TFakeCommandHost {
    std::map<const TEditorEngine*, int> UpdatesOff;
    void SetPaneUpdates(TEditorEngine& Pane, bool Enabled) override { UpdatesOff[&Pane] += Enabled ? -1 : 1; }
};


TEST(Interpreter, BreakAtTheThirdYieldStopsTheLoopAndEverythingAfterIt)
{
    TCommandBench B;
    B.Host.Main.SetLines(std::string(1000, 'a'));
    B.Host.OnYield = [](int N) {
        if (N == 3)
            BreakFlag = true;
    };
    CommandCounter = 0;
    B.Run("#{\x01}K");
    EXPECT_EQ(StatusMessage(), "Break");
    EXPECT_TRUE(StatusMessageIsError());
    EXPECT_EQ(B.Host.Yields, 3);
    EXPECT_EQ(B.Host.Main.Lines(), std::string(1000, 'a'));  // K did not run
    // Each round counts two commands (the move and the loop): 60 commands, 30 moves.
    EXPECT_EQ(B.Host.Main.CursorPos().X, 30);
}

TEST(Interpreter, APendingErrorSurvivesWhatHappensDuringAYield)
{
    TCommandBench B;
    B.Host.Main.SetLines("");
    // A key handled during the yield shows "Ok".
    B.Host.OnYield = [](int) { ShowOk(); };
    CommandCounter = 0;
    B.Run(std::string(19, '+') + "DIx\x1b");
    EXPECT_EQ(B.Host.Yields, 1);
    EXPECT_EQ(StatusMessage(), "Start");
    EXPECT_EQ(B.Host.Main.Lines(), "");
}

TEST(Interpreter, TheRunStaysOnItsPaneAndItsLines)
{
    TCommandBenchOf<TCountingHost> B;
    TFakeEditor Other;
    Other.SetLines("other");
    B.Host.Main.SetLines("");
    B.Store.Lines[1] = "Iy\x1b" + std::string(16, '+') + "Iw\x1b";
    B.Host.OnYield = [&](int) {
        B.Host.Active = &Other;
        B.Store.Lines[1] = "Ibad\x1b";
        B.Host.CmdEditor = "Ibad\x1b";
        B.Store.Current = 5;
        B.Store.StoreCmdLine(B.Host);
    };
    CommandCounter = 0;
    B.Run("{Ix\x1bP1}Iz\x1b");  // the yield comes in the middle of line 1
    EXPECT_EQ(B.Host.Yields, 1);
    EXPECT_EQ(B.Host.Main.Lines(), "xywz");
    EXPECT_EQ(Other.Lines(), "other");
    EXPECT_EQ(B.Host.UpdatesOff[&B.Host.Main], 0);
    EXPECT_EQ(B.Host.UpdatesOff.count(&Other), 0u);
    B.Host.Main.Undo();
    EXPECT_EQ(B.Host.Main.Lines(), "");
    EXPECT_EQ(B.Store.Depth, 0);
    EXPECT_FALSE(B.Store.Running);
}

TEST(Interpreter, ASecondRunDuringAYieldIsRefused)
{
    TCommandBench B;
    B.Host.Main.SetLines("");
    int Inner = 0;
    B.Host.OnYield = [&](int) {
        B.Host.CmdEditor = "Inested\x1b";
        B.Interp.RunCommandLine(false);
        ++Inner;
    };
    CommandCounter = 0;
    B.Run("20Ia\x1b");
    EXPECT_EQ(Inner, 1);
    EXPECT_EQ(B.Host.Main.Lines(), std::string(20, 'a'));
}

TEST(Interpreter, ARefusedRunSaysThatARunGoesOnAndLeavesItsErrorStanding)
{
    TCommandBench B;
    B.Host.Main.SetLines("");
    std::string Seen;
    bool SeenError = true;
    B.Host.OnYield = [&](int) {
        ShowOk();  // a key typed meanwhile
        B.Interp.RunCommandLine(false);
        Seen = StatusMessage();
        SeenError = StatusMessageIsError();
    };
    CommandCounter = 0;
    B.Run(std::string(19, '+') + "Ia\x1b");
    EXPECT_EQ(Seen, RunGoingMessage);
    EXPECT_FALSE(SeenError);  // an error would have ended the run that goes on
    EXPECT_EQ(B.Host.Main.Lines(), "a");

    // The twentieth command fails; the refusal during the yield leaves that failure
    // as the run's message.
    Seen.clear();
    B.Host.Main.SetLines("");
    CommandCounter = 0;
    B.Run(std::string(19, '+') + "DIx\x1b");
    EXPECT_EQ(Seen, RunGoingMessage);
    EXPECT_EQ(StatusMessage(), "Start");
    EXPECT_TRUE(StatusMessageIsError());
    EXPECT_EQ(B.Host.Main.Lines(), "");
}

TEST(Interpreter, SlowCommandsLetTheMessageLoopInByTime)
{
    TCommandBench B;
    B.Host.Main.SetLines("");
    // Each look at the clock finds 50 ms gone: every command is followed by a yield.
    B.Interp.Clock = [&] { return B.Now += 50; };
    CommandCounter = 0;
    B.Run("+++++");
    EXPECT_EQ(B.Host.Yields, 5);
    // Ctrl+Break seen at the first yield ends the run after its first command.
    B.Host.OnYield = [](int) { BreakFlag = true; };
    B.Run("Ia\x1bIb\x1b");
    EXPECT_EQ(StatusMessage(), "Break");
    EXPECT_EQ(B.Host.Main.Lines(), "a");
}

TEST(Interpreter, ARunThatWouldFillTheMemoryEndsWithAMessageAndUndoesInOneStep)
{
    // The text doubles at every pass (^R, then Y centres the line, J starts over).
    TCommandBench B;
    B.Host.Main.SetLines("ee\r\n");
    B.Interp.Clock = [&] { return B.Now += 50; };
    B.Interp.MemoryRoom = [&] { return 1'000'000 - B.Host.Main.Strings->TextLength(2); };
    int Yields = 0;
    B.Host.OnYield = [&](int N) {
        Yields = N;
        if (N >= 10000)
            BreakFlag = true;  // only so that a failing test ends
    };
    B.Run("\x1b\x12YJ");
    EXPECT_EQ(StatusMessage(), TooLargeMessage);
    EXPECT_TRUE(StatusMessageIsError());
    EXPECT_LT(Yields, 10000);
    const std::int64_t Size = B.Host.Main.Strings->TextLength(2);
    EXPECT_GT(Size, 200'000);
    EXPECT_LE(Size, 1'500'000);
    B.Host.Main.Undo();
    EXPECT_EQ(B.Host.Main.Lines(), "ee|");

    // A loop does not absorb the stop: nothing after it runs.
    B.Host.Main.SetLines("ee\r\n");
    B.Run("#{\x12Y}Ix\x1b");
    EXPECT_EQ(StatusMessage(), TooLargeMessage);
    EXPECT_EQ(B.Host.ReplaceText, "");
    // The next run starts afresh under the bound.
    B.Host.Main.SetLines("");
    B.Run("Iy\x1b");
    EXPECT_EQ(StatusMessage(), "Ok");
    EXPECT_EQ(B.Host.Main.Lines(), "y");
}

TEST(Interpreter, OneLongInsertionLooksOutBetweenItsPieces)
{
    const std::size_t P = TEditorEngine::LongOperationPiece;
    TCommandBench B;
    B.Host.Main.SetLines("");
    B.Interp.Clock = [&] { return B.Now += 50; };
    B.Interp.MemoryRoom = nullptr;
    // Ctrl+Break seen at the first look, after the first piece.
    B.Host.OnYield = [](int) { BreakFlag = true; };
    B.Run("I" + std::string(3 * P, 'a') + "\x1bIb\x1b");
    EXPECT_EQ(StatusMessage(), "Break");
    EXPECT_EQ(B.Host.Main.Strings->LineLength(0), static_cast<std::int64_t>(P));
    EXPECT_FALSE(B.Host.Main.OnLongOperation);  // set for the run only
    B.Host.Main.Undo();
    EXPECT_EQ(B.Host.Main.Lines(), "");

    // One insertion that would pass the memory bound stops part-way.
    B.Host.OnYield = nullptr;
    B.Interp.MemoryRoom = [&] { return static_cast<std::int64_t>(5 * P / 2) - B.Host.Main.Strings->TextLength(2); };
    B.Run("I" + std::string(6 * P, 'a') + "\x1b");
    EXPECT_EQ(StatusMessage(), TooLargeMessage);
    EXPECT_LT(B.Host.Main.Strings->LineLength(0), static_cast<std::int64_t>(4 * P));
}

TEST(Interpreter, AnExceptionEndsTheRunAndLeavesItUndoable)
{
    struct TThrowingHost : TFakeCommandHost {
        std::int64_t InsertFileCmd(const std::string&, std::int64_t) override { throw std::runtime_error("disk"); }
    };
    TCommandBenchOf<TThrowingHost> B;
    B.Host.Main.SetLines("");
    EXPECT_THROW(B.Run("{Ia\x1b{A\"f\"}}"), std::runtime_error);
    EXPECT_FALSE(B.Store.Running);
    EXPECT_EQ(B.Store.Depth, 0);
    B.Host.Main.Undo();
    EXPECT_EQ(B.Host.Main.Lines(), "");
    B.Run("Ib\x1b");
    EXPECT_EQ(B.Host.Main.Lines(), "b");
}

TEST(Interpreter, TheDebuggerSeesEachStepAndCanAbort)
{
    TCommandBench B;
    B.Host.Main.SetLines("ab");
    B.Host.Main.SetCursor(1, 0);
    B.Host.DebugAnswers = {dbStep, dbStep, dbStep, dbStep, dbAbort};
    B.Run("(7)2{\x01}D", true);
    ASSERT_EQ(B.Host.Steps.size(), 5u);
    const TDebugInfo& First = B.Host.Steps[0];
    EXPECT_EQ(First.CmdLine, "(7)2{\x01}D");
    EXPECT_EQ(First.Position, 1);
    EXPECT_EQ(First.Depth, 1);
    EXPECT_EQ(First.Value, 0);
    EXPECT_EQ(First.CharBefore, 'a');
    EXPECT_EQ(First.CharAt, 'b');
    const TDebugInfo& InLoop = B.Host.Steps[2];
    EXPECT_EQ(InLoop.Position, 6);
    EXPECT_EQ(InLoop.Depth, 2);
    EXPECT_EQ(InLoop.Repetition, 1);
    EXPECT_EQ(InLoop.Value, 7);
    EXPECT_EQ(B.Host.Steps[3].Position, 7);  // the `}`
    EXPECT_EQ(B.Host.Steps[4].Repetition, 2);
    EXPECT_EQ(B.Host.Steps[4].CharAt, 0);  // moved to the end by the first ^A
    EXPECT_TRUE(BreakFlag);
    EXPECT_EQ(B.Host.Main.Lines(), "ab");  // D never ran
    EXPECT_EQ(StatusMessage(), "Break");
}

TEST(Interpreter, RunOnEndsSingleStepping)
{
    TCommandBench B;
    B.Host.Main.SetLines("");
    B.Host.DebugAnswers = {dbRunOn};
    B.Run("Ia\x1bIb\x1b", true);
    EXPECT_EQ(B.Host.Steps.size(), 1u);
    EXPECT_EQ(B.Host.Main.Lines(), "ab");
}

TEST(CommandLineStore, StoresBeforeMovingAndWraps)
{
    TFakeCommandHost H;
    TCommandLineStore S;
    H.CmdEditor = "zero";
    S.PrevCmdLine(H);
    EXPECT_EQ(S.Current, 31);
    EXPECT_EQ(S.Lines[0], "zero");
    H.CmdEditor = "last";
    S.NextCmdLine(H);
    EXPECT_EQ(S.Current, 0);
    EXPECT_EQ(H.CmdEditor, "zero");
    EXPECT_EQ(S.Lines[31], "last");
    S.SelectCmdLine(H, 32);
    S.SelectCmdLine(H, -1);
    EXPECT_EQ(S.Current, 0);
    S.SelectCmdLine(H, 31);
    EXPECT_EQ(H.CmdEditor, "last");
    H.CmdEditor = "edited";
    S.EscToCmdLine(H);
    EXPECT_EQ(S.Lines[31], "edited");
    EXPECT_EQ(S.Current, 0);
    EXPECT_EQ(H.CmdEditor, "\x1b");
}

TEST(SearchKeys, SearchLineMakerAndWordSearches)
{
    TCommandBench B;
    TFakeEditor& E = B.Host.Main;
    E.SetLines("count x count");
    E.SetCursor(2, 0);
    B.Host.CmdEditor = "old";
    MakeSearchCmdLine(B.Host, B.Store, E, false);
    EXPECT_EQ(B.Store.Lines[0], "old");
    EXPECT_EQ(B.Store.Current, 1);
    EXPECT_EQ(B.Host.CmdEditor, "Scount\x1b\x1b");
    MakeSearchCmdLine(B.Host, B.Store, E, true);
    EXPECT_EQ(B.Host.CmdEditor, "-Scount\x1b\x1b");
    EXPECT_TRUE(E.HighLight->Empty());

    WordSearchForward(B.Host, E);
    EXPECT_EQ(E.CursorPos(), (TPoint{13, 0}));
    EXPECT_EQ(E.GetMarkedText(), "count");
    WordSearchBackward(B.Host, E);
    EXPECT_EQ(E.CursorPos(), (TPoint{5, 0}));

    // Two highlighted words are searched for with the blank between them.
    E.SetLines("a b c a b");
    E.HighLight->StartPos = TPoint{0, 0};
    E.HighLight->EndPos = TPoint{3, 0};
    E.SetCursor(3, 0);
    WordSearchForward(B.Host, E);
    EXPECT_EQ(E.CursorPos(), (TPoint{9, 0}));
}

}  // namespace
}  // namespace narvo::test

namespace narvo::test {
namespace {

// While a called line runs it is current, but the command editor still shows the
// caller's line: moving between lines meanwhile stores the editor's text into the
// line it shows, never into the called one, and the run ends on the line the
// editor then shows.
TEST(Interpreter, ACalledLineIsCurrentAndMovingMeanwhileLosesNoLine)
{
    TCommandBench B;
    B.Host.Main.SetLines("");
    B.Store.Lines[1] = "(K)Ia\x1b";
    std::vector<std::int32_t> Seen;
    B.Host.Keys = {'x'};
    B.Host.OnKeyWait = [&] {
        Seen.push_back(B.Store.Current);
        B.Store.NextCmdLine(B.Host);  // F1 pressed during the wait
    };
    B.Run("P1");
    EXPECT_EQ(Seen, std::vector<std::int32_t>{1});
    EXPECT_EQ(B.Host.Main.Lines(), "a");
    EXPECT_EQ(B.Store.Lines[0], "P1");
    EXPECT_EQ(B.Store.Lines[1], "(K)Ia\x1b");
    // The editor moved on from line 0 to line 1, which it shows now.
    EXPECT_EQ(B.Store.Current, 1);
    EXPECT_EQ(B.Store.EditorLine, -1);
    EXPECT_EQ(B.Host.CmdEditor, "(K)Ia\x1b");
}

}  // namespace
}  // namespace narvo::test

namespace narvo::test {
namespace {

// `M` with a margin before every word: the remargined paragraph is many times the
// text. Ctrl+Break stops it while it is built and while it goes in, with the text
// as it was in both cases and nothing of the step on the undo ring.
TEST(Interpreter, CtrlBreakInsideOneWideRemarginLeavesTheTextWhole)
{
    std::string Words;
    for (int I = 0; I < 200; ++I)
        Words += "ab ";
    TCommandBench B;
    B.Interp.Clock = [&] { return B.Now += 50; };
    B.Interp.MemoryRoom = nullptr;
    const auto RunBroken = [&](const std::function<bool()>& BreakNow) {
        B.Host.Main.SetLines(Words);
        B.Host.Main.UndoList->Clear();
        B.Host.OnYield = [&](int) {
            if (BreakNow())
                BreakFlag = true;
        };
        B.Run("M65535,65535M");
        EXPECT_EQ(StatusMessage(), "Break");
        EXPECT_EQ(B.Host.Main.Lines(), Words);
        EXPECT_FALSE(B.Host.Main.HasMark());
        EXPECT_EQ(B.Host.Main.UndoList->Count(), 0);
    };
    // At the first look: while the lines are built, before anything changed.
    RunBroken([] { return true; });
    // At the first look after the paragraph began to change: while it goes in.
    RunBroken([&] { return B.Host.Main.Strings->LineLength(0) != 600; });
    // Unbroken, the same line remargins: 200 lines of 65,535 blanks and a word.
    B.Host.OnYield = nullptr;
    B.Host.Main.SetLines(Words);
    B.Run("M65535,65535M");
    EXPECT_EQ(B.Host.Main.Strings->Count(), 200);
    EXPECT_EQ(B.Host.Main.Strings->LineLength(199), 65537);
    const std::string Remargined = B.Host.Main.Lines();
    // A key typed in the look that breaks it, while the lines go in: the key stays
    // and the paragraph goes in whole around it; the break ends the run after it.
    B.Host.Main.SetLines(Words);
    bool Typed = false;
    B.Host.OnYield = [&](int) {
        if (Typed || B.Host.Main.Strings->LineLength(0) == 600)
            return;
        Typed = true;
        B.Host.Main.TypeChar('Q');
        BreakFlag = true;
    };
    B.Run("M65535,65535M");
    std::string Got = B.Host.Main.Lines();
    ASSERT_TRUE(Typed);
    ASSERT_EQ(std::count(Got.begin(), Got.end(), 'Q'), 1);
    Got.erase(Got.find('Q'), 1);
    EXPECT_TRUE(Got == Remargined);
}

}  // namespace
}  // namespace narvo::test
