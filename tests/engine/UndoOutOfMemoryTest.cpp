// Undo and redo when the memory runs out on the way: an allocation is made to fail
// at each point of the press in turn, and the room a group needs is made too small.
// Either the whole group is undone (or redone), or the text, the cursor and both
// rings are as before the press, so that a later press does it whole. A cursor move
// whose record finds no room is still taken back before the changes made before it.
#include "FakeEditor.h"

#include "platform/posix/ProcessMemory.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <ostream>

namespace {

// Allocations counted down to one that fails (-1: none armed).
std::atomic<long> GFailIn{-1};

void* Allocate(std::size_t N)
{
    if (GFailIn.load(std::memory_order_relaxed) >= 0 && GFailIn.fetch_sub(1) == 0)
        throw std::bad_alloc();
    if (void* P = std::malloc(N ? N : 1))
        return P;
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

std::string Exact(const TEditorEngine& E) { return E.Strings->JoinLines('|'); }

// Replaces every match of From after the cursor as the find dialog does.
void ReplaceEvery(TFakeEditor& E, const std::string& From, const std::string& To)
{
    E.GotoPos(TPoint{0, 0});
    TRect R;
    while (E.SearchForwardFrom(From, E.Cursor->Pos(), R)) {
        E.SetStreamHighlight(TPoint{R.Left, R.Top}, TPoint{R.Right, R.Bottom});
        if (To.empty())
            E.DeleteMark();
        else
            E.InsertTextEx(To, false, TInsertBreaks::CrOnly);
    }
}

// Three groups on the undo ring: A typed, B the replacements (lines added and
// joined, a CR kept inside a line), C another replacement. Answers the text before
// A and the text after each group.
struct TTexts {
    std::string BeforeA, BeforeB, AfterB, AfterC;
};
TTexts Build(TFakeEditor& E)
{
    std::string S;
    for (int I = 0; I < 12; ++I)
        S += "    std::vector<int> v" + std::to_string(I) + " = std::move(w);\n    int x;\n";
    E.SetText(S);
    E.GotoPos(TPoint{0, 3});
    E.InsertTextEx("a\rstd::b\nstd::", true, TInsertBreaks::Kept);
    TTexts T;
    T.BeforeA = Exact(E);
    E.UndoList->BeginGroup();
    E.InsertText("first ");
    E.UndoList->EndGroup();
    T.BeforeB = Exact(E);
    E.UndoList->BeginGroup();
    ReplaceEvery(E, "std::", "n\rs::");
    ReplaceEvery(E, ";\r    int", "");
    E.UndoList->EndGroup();
    T.AfterB = Exact(E);
    E.UndoList->BeginGroup();
    ReplaceEvery(E, "vector", "list");
    E.UndoList->EndGroup();
    T.AfterC = Exact(E);
    return T;
}

struct TPress {
    std::string Text;
    TPoint Cursor;
    std::int64_t Undos = 0, Redos = 0;
    bool operator==(const TPress&) const = default;
};
// Said by its size: the texts run to megabytes.
void PrintTo(const TPress& P, std::ostream* Out)
{
    *Out << P.Text.size() << " bytes, cursor " << P.Cursor.X << "," << P.Cursor.Y << ", " << P.Undos << " undo and "
         << P.Redos << " redo records";
}
TPress PressOf(const TFakeEditor& E)
{
    return TPress{Exact(E), E.Cursor->Pos(), E.UndoList->Count(), E.RedoList->Count()};
}

// Undo (or Redo) with the K-th allocation failing; whether the failure came.
bool PressFailingAt(TFakeEditor& E, bool Redo, long K, bool& Failed)
{
    Failed = false;
    GFailIn = K;
    try {
        Redo ? E.Redo() : E.Undo();
    } catch (const std::bad_alloc&) {
        Failed = true;
    }
    const bool Fired = GFailIn.load() < 0;
    GFailIn = -1;
    return Fired;
}

TEST(UndoOutOfMemory, GroupInTheMiddleIsUndoneAndRedoneWholeOrNotAtAll)
{
    for (const bool Redo : {false, true}) {
        SCOPED_TRACE(Redo ? "redo" : "undo");
        int Failures = 0;
        for (long K = 0;; ++K) {
            SCOPED_TRACE("allocation " + std::to_string(K));
            TFakeEditor E;
            const TTexts T = Build(E);
            // B lies between A (on the undo ring) and C (on the redo ring).
            E.Undo();
            if (Redo)
                E.Undo();
            ASSERT_EQ(Exact(E), Redo ? T.BeforeB : T.AfterB);
            const TPress Before = PressOf(E);
            bool Failed = false;
            const bool Fired = PressFailingAt(E, Redo, K, Failed);
            if (Failed) {
                ++Failures;
                ASSERT_EQ(PressOf(E), Before) << "the press left things as they were";
                // A later press does it whole.
                Redo ? E.Redo() : E.Undo();
            }
            ASSERT_EQ(E.Status, edDone);
            ASSERT_EQ(Exact(E), Redo ? T.AfterB : T.BeforeB);
            // Both rings hold the other groups whole.
            if (Redo) {
                E.Redo();
                ASSERT_EQ(Exact(E), T.AfterC);
                E.Undo();
                E.Undo();
                E.Undo();
            } else {
                E.Undo();
                E.Redo();
                E.Redo();
                ASSERT_EQ(Exact(E), T.AfterB);
                E.Redo();
                ASSERT_EQ(Exact(E), T.AfterC);
                E.Undo();
                E.Undo();
                E.Undo();
            }
            ASSERT_EQ(Exact(E), T.BeforeA);
            if (!Fired)
                break;
        }
        EXPECT_GT(Failures, 50) << "the press met failures at many points";
    }
}

TEST(UndoOutOfMemory, GroupWhoseInsertionsDoNotFitIsRefusedBeforeItStarts)
{
    const std::string Big(6 << 20, 'b');
    TFakeEditor E;
    E.SetLines("start|end");
    E.GotoPos(TPoint{0, 1});
    E.UndoList->BeginGroup();
    E.InsertText("x");
    E.InsertText(Big);
    E.InsertText("y");
    E.UndoList->EndGroup();
    // A group that takes as much away as it puts back needs no room to undo.
    E.SetStreamHighlight(TPoint{1, 1}, TPoint{1 + static_cast<std::int64_t>(Big.size()), 1});
    E.InsertTextEx(std::string(Big.size(), 'c'), false, TInsertBreaks::CrOnly);
    const std::string Full = Exact(E);
    SetMemoryLimitsForTest(TMemoryLimits{.Physical = 1 << 20});
    E.Undo();
    EXPECT_EQ(E.Status, edDone);
    const std::string Swapped = Exact(E);
    EXPECT_EQ(Swapped.find('c'), std::string::npos);
    // Undoing the large insertion takes text away: it passes too.
    E.Undo();
    EXPECT_TRUE(Exact(E) == "start|end");
    // Redoing it puts 6 MB back: refused with what it needs, nothing done.
    const TPress Before = PressOf(E);
    try {
        E.Redo();
        ADD_FAILURE() << "the redo went ahead";
    } catch (const ENoRoom& Error) {
        EXPECT_NE(std::string(Error.what()).find("Text Too Large"), std::string::npos);
    }
    SetMemoryLimitsForTest(std::nullopt);
    EXPECT_EQ(PressOf(E), Before);
    // With the room back, the group is still whole on its ring.
    E.Redo();
    EXPECT_TRUE(Exact(E) == Swapped);
    E.Redo();
    EXPECT_TRUE(Exact(E) == Full);
}

TEST(UndoOutOfMemory, AMoveWhoseRecordFindsNoRoomIsTakenBackBeforeTheChangesBeforeIt)
{
    const std::string Text = "std::a\rb std::c\rstd::d std::e\rstd::f";
    auto Group = [](TFakeEditor& E) {
        E.UndoList->BeginGroup();
        ReplaceEvery(E, "std::", "x::");
        E.UndoList->EndGroup();
    };
    // The ring's slots grow by doubling from 64: the move comes when they are full.
    std::int64_t Records = 0;
    {
        TFakeEditor E;
        E.SetLines(Text);
        Group(E);
        Records = E.UndoList->Count();
        ASSERT_LT(Records, 64);
    }
    int Failures = 0;
    for (long K = 0;; ++K) {
        SCOPED_TRACE("allocation " + std::to_string(K));
        TFakeEditor E;
        E.SetLines(Text);
        const std::string Original = Exact(E);
        for (std::int64_t I = Records; I < 64; ++I)
            E.GotoPos(TPoint{I % 2, 0});
        Group(E);
        ASSERT_EQ(E.UndoList->AllocatedSlots(), 64);
        const std::string After = Exact(E);
        const TPoint End = E.Cursor->Pos();
        GFailIn = K;
        try {
            E.GotoPos(TPoint{0, 0});
        } catch (const std::bad_alloc&) {
        }
        const bool Fired = GFailIn.load() < 0;
        GFailIn = -1;
        Failures += Fired;
        ASSERT_EQ(E.Cursor->Pos(), (TPoint{0, 0}));
        // The first undo takes the cursor back to where the changes left it.
        E.Undo();
        ASSERT_EQ(Exact(E), After);
        ASSERT_EQ(E.Cursor->Pos(), End);
        E.UndoAll();
        ASSERT_EQ(Exact(E), Original);
        E.RedoAll();
        ASSERT_EQ(Exact(E), After);
        EXPECT_EQ(E.Cursor->Pos(), (TPoint{0, 0}));
        if (!Fired)
            break;
    }
    EXPECT_GT(Failures, 0);
}

}  // namespace
}  // namespace narvo::test
