// A run that meets the end of the memory: under an address-space limit (in a child
// process, so the limit binds nothing else) and with an allocation made to fail at
// each point of a run in turn. Either way the run ends with "Text Too Large", the
// text is whole and one undo gives back the text the run started on.
#include "language/FakeCommandHost.h"
#include "support/ChildUnderLimit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <new>
#include <string>

namespace {

// Allocations counted down to a failure (-1: none armed), whether every one after
// it fails too, and failures that came from the memory itself.
std::atomic<long> GFailIn{-1};
std::atomic<bool> GKeepFailing{false};
std::atomic<long> GOutOfMemory{0};

void* Allocate(std::size_t N)
{
    if (GFailIn.load(std::memory_order_relaxed) >= 0 && GFailIn.fetch_sub(1) == 0) {
        if (GKeepFailing)
            GFailIn = 0;
        throw std::bad_alloc();
    }
    if (void* P = std::malloc(N ? N : 1))
        return P;
    ++GOutOfMemory;
    throw std::bad_alloc();
}

}  // namespace

void* operator new(std::size_t N) { return Allocate(N); }
void* operator new[](std::size_t N) { return Allocate(N); }
void operator delete(void* P) noexcept { std::free(P); }
void operator delete[](void* P) noexcept { std::free(P); }
void operator delete(void* P, std::size_t) noexcept { std::free(P); }
void operator delete[](void* P, std::size_t) noexcept { std::free(P); }

namespace narvo::test {
namespace {

// The doubling run (the text doubles at every pass: ^R, Y centres the line, J
// starts over) on "ee" CR LF; "" when it ended with "Text Too Large" and one undo
// gave "ee" back.
std::string DoublingRun(TCommandBench& B)
{
    B.Host.Main.SetLines("ee|");
    B.Interp.Clock = [&B] { return B.Now += 50; };
    B.Run("\x1b\x12YJ");
    std::string Fault;
    if (StatusMessage() != TooLargeMessage || !StatusMessageIsError())
        Fault += "status \"" + StatusMessage() + "\"; ";
    if (B.Host.Main.Strings->TextLength(2) < 1000)
        Fault += "the text never grew; ";
    B.Host.Main.Undo();
    if (B.Host.Main.Lines() != "ee|")
        Fault += "undo gave " + std::to_string(B.Host.Main.Strings->TextLength(2)) + " bytes; ";
    return Fault;
}

TEST(MemoryLimit, RunsUnderAnAddressSpaceLimitEndTooLargeAndUndoExactly)
{
    if (SanitizedBuild)
        GTEST_SKIP() << "the sanitizers reserve more address space than any limit leaves";
    // No bound of its own: the memory runs out inside an operation.
    EXPECT_EQ(InChildUnderLimit(384 << 20,
                                [] {
                                    TCommandBench B;
                                    B.Interp.MemoryRoom = nullptr;
                                    std::string Fault = DoublingRun(B);
                                    if (GOutOfMemory == 0)
                                        Fault += "the memory never ran out; ";
                                    // The program goes on under the limit.
                                    B.Run("Ix\x1b");
                                    if (B.Host.Main.Lines() != "xee|")
                                        Fault += "the next run gave " + B.Host.Main.Lines();
                                    return Fault;
                                }),
              "");
    // The bound the program sets itself counts the limit and stops the run first.
    EXPECT_EQ(InChildUnderLimit(384 << 20,
                                [] {
                                    TCommandBench B;
                                    std::string Fault = DoublingRun(B);
                                    if (GOutOfMemory != 0)
                                        Fault += "the memory ran out; ";
                                    return Fault;
                                }),
              "");
}

TEST(MemoryLimit, AStepThatWouldOutgrowAGroupLimitEndsTooLargeBeforeItBuilds)
{
    // Under a control group's limit an allocation does not fail: the kernel ends the
    // program. A step that would outgrow the room is refused before it builds, and
    // the text stays whole. A margin of 65,535 blanks before each of 2,000 words would build
    // 131 MB from 4 kB, with 16 MB of room left.
    EXPECT_EQ(InChild([] {
                  const TMemoryUse Use = MemoryUse();
                  SetMemoryLimitsForTest(TMemoryLimits{0, 0, 0, 2 * (Use.Resident + (16 << 20))});
                  std::string Words;
                  for (int I = 0; I < 2000; ++I)
                      Words += "a ";
                  TCommandBench B;
                  B.Host.Main.SetLines(Words + "|");
                  B.Run("M65535,1M");
                  std::string Fault;
                  if (StatusMessage() != TooLargeMessage)
                      Fault += "status \"" + StatusMessage() + "\"; ";
                  if (B.Host.Main.Lines() != Words + "|")
                      Fault += "the text became " + std::to_string(B.Host.Main.Strings->TextLength(2)) + " bytes; ";
                  // A column block put in a million columns right of 100 short lines.
                  std::string Block;
                  for (int I = 0; I < 100; ++I)
                      Block += "X\r";
                  TFakeEditor E;
                  E.SetLines(Words);
                  E.Cursor->ColumnBlock = true;
                  E.SetCursor(1000000, 0);
                  try {
                      E.InsertColumnBlock(Block);
                      Fault += "the block went in; ";
                  } catch (const std::bad_alloc&) {
                  }
                  if (E.Lines() != Words)
                      Fault += "the block's text changed; ";
                  if (GOutOfMemory != 0)
                      Fault += "the memory ran out; ";
                  return Fault;
              }),
              "");
}

TEST(MemoryLimit, ARunEndsTooLargeWhileOtherProgramsFillTheGroupItShares)
{
    // Another window of the same 512 MB group grows by 8 MB between two looks while
    // this run types: the run ends before the group's limit, its text one undo away.
    const std::int64_t MB = 1 << 20;
    TMemoryLimits L;
    L.SharedGroupLimit = 512 * MB;
    L.SharedGroupUse = 64 * MB;
    TCommandBench B;
    B.Host.Main.SetLines("");
    B.Interp.Clock = [&] {
        L.SharedGroupUse += 8 * MB;
        SetMemoryLimitsForTest(L);
        return B.Now += 50;
    };
    B.Run("300{Ix\x1b}");
    const std::int64_t UseAtEnd = L.SharedGroupUse;
    const std::string Typed = B.Host.Main.Lines();
    SetMemoryLimitsForTest(std::nullopt);
    EXPECT_EQ(StatusMessage(), TooLargeMessage);
    EXPECT_LT(UseAtEnd, 512 * MB);
    EXPECT_LT(Typed.size(), 300u);
    B.Host.Main.Undo();
    EXPECT_EQ(B.Host.Main.Lines(), "");
}

// Runs Line on Start with the allocations from the first on failing one at a time
// (every Stride-th of them), each bench made ready by Prepare; answers the number of
// runs that failed.
int FailEachAllocation(const std::string& Start, const std::string& Line, void (*Prepare)(TCommandBench&) = nullptr)
{
    TCommandBench Whole;
    if (Prepare)
        Prepare(Whole);
    Whole.Host.Main.SetLines(Start);
    GFailIn = LONG_MAX;
    Whole.Run(Line);
    const long Allocations = LONG_MAX - GFailIn;
    GFailIn = -1;
    const std::string Done = Whole.Host.Main.Lines();
    EXPECT_EQ(StatusMessage(), "Ok");
    EXPECT_TRUE(Done != Start);
    const long Stride = std::max(1L, Allocations / 300);
    int Failed = 0;
    for (long N = 0; N < Allocations; N += Stride) {
        SCOPED_TRACE("allocation " + std::to_string(N));
        TCommandBench B;
        if (Prepare)
            Prepare(B);
        B.Host.Main.SetLines(Start);
        B.Host.CmdEditor = Line;
        B.Store.Current = 0;
        GFailIn = N;
        B.Interp.RunCommandLine(false);
        GFailIn = -1;
        const std::string After = B.Host.Main.Lines();
        if (StatusMessage() != TooLargeMessage) {
            // The failure was met by a reader that takes it as "nothing there".
            EXPECT_TRUE(After == Done) << After.size() << " bytes instead of " << Done.size();
            continue;
        }
        ++Failed;
        EXPECT_EQ(B.Host.Main.Strings->TextLength(1), static_cast<std::int64_t>(After.size()));
        B.Host.Main.Undo();
        if (B.Host.Main.Lines() != Start) {
            ADD_FAILURE() << "undo did not give back the text";
            return Failed;
        }
        // What the run did before it failed comes back whole with redo.
        B.Host.Main.Redo();
        if (B.Host.Main.Lines() != After) {
            ADD_FAILURE() << "redo did not give back what the run had done";
            return Failed;
        }
    }
    return Failed;
}

TEST(MemoryLimit, AnAllocationFailingAnywhereInARunLeavesTheTextWholeAndUndoable)
{
    // The commands that change the text, on a few lines: the scoop, centring,
    // typed text with a line break, deletions, the register, a loop, a hex
    // character and the word commands.
    EXPECT_GT(FailEachAllocation("first line|second||third line",
                                 "\x12Y\x13\x13Ihello\r\nworld\x1b" "3D\x05R\x06X\x04" "2{I\r\n\x1b\x18}H41\x05\x0e\x03"),
              20);
    // Many lines: a register of hundreds and of thousands of lines put in (its own
    // block, and a chunk that splits), and a marked stretch across chunks deleted.
    std::string Many;
    for (int I = 0; I < 9000; ++I)
        Many += "line " + std::to_string(I) + "|";
    EXPECT_GT(FailEachAllocation(Many, "\x04\x12" "12\x0b\x06X\x12" "330\x0b\x06\x04X\x12" "200\x0bR"),
              20);
}

// Forty lines for a column block; a ring of 120 records is too small to record a
// change of all of them line by line, so it is recorded as one replacement.
const std::string BlockLines = [] {
    std::string Lines;
    for (int I = 0; I < 40; ++I)
        Lines += "Line " + std::to_string(I) + " of the block|";
    return Lines;
}();

TEST(MemoryLimit, AnAllocationFailingInAColumnBlockChangeLeavesTheTextWholeAndUndoable)
{
    // Shift held: a column scoop down the lines, its case toggled, blanked, and put
    // back in at the top after the text marked up to there is deleted.
    const std::string Run = "\x12" "39\x13" "6\x01\x1a\x06\x05\x19";
    EXPECT_GT(FailEachAllocation(BlockLines, Run, [](TCommandBench& B) { B.Host.Main.Modifiers.Shift = true; }), 20);
    EXPECT_GT(FailEachAllocation(BlockLines, Run,
                                 [](TCommandBench& B) {
                                     B.Host.Main.Modifiers.Shift = true;
                                     B.Host.Main.UndoList->SetCapacity(120);
                                 }),
              20);
}

TEST(MemoryLimit, AColumnBlockChangeMeetingMemoryThatStaysOutIsLeftUndoable)
{
    // Every allocation from the N-th on fails, also those that would put the old
    // lines back; the first line is left out of the block.
    const std::string Start = "x|" + BlockLines;
    GKeepFailing = true;
    for (long N = 0;; ++N) {
        TFakeEditor E;
        E.UndoList->SetCapacity(120);
        E.SetLines(Start);
        GFailIn = N;
        try {
            E.FillBlock(TRect{2, 0, 8, 40}, ' ', true);
            GFailIn = -1;
            break;
        } catch (const std::bad_alloc&) {
            GFailIn = -1;
        }
        if (E.Lines() != Start)
            E.Undo();
        EXPECT_EQ(E.Lines(), Start) << "allocation " << N;
    }
    GKeepFailing = false;
}

}  // namespace
}  // namespace narvo::test
