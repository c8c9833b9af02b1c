// Groups of changes larger than the undo ring (a run or a Replace All over a large
// text): one undo gives back the text exactly as it was, one redo the group's
// result, whatever the changes were; a group that cannot be kept is refused whole;
// nested groups end with the outermost. The ring is made small so that a few
// hundred changes outgrow it.
#include "FakeEditor.h"

#include "platform/posix/ProcessMemory.h"

#include <gtest/gtest.h>

#include <random>

namespace narvo::test {
namespace {

// Every line with its CRs and LFs, so that a CR inside a line and a line break read
// differently.
std::string Exact(const TEditorEngine& E) { return E.Strings->JoinLines('|'); }

// Replaces every match of From as the find dialog does: the match highlighted as a
// plain block and the new text inserted over it, the search going on after it
// (forward) or before it (backward).
int ReplaceEvery(TFakeEditor& E, const std::string& From, const std::string& To, bool Down)
{
    int N = 0;
    for (;;) {
        TRect R;
        const TPoint C = E.Cursor->Pos();
        const bool Found = Down ? E.SearchForwardFrom(From, E.NextPosOf(C), R)
                                : E.SearchBackwardFrom(From, C, R);
        if (!Found)
            return N;
        E.SetStreamHighlight(TPoint{R.Left, R.Top}, TPoint{R.Right, R.Bottom});
        if (To.empty())
            E.DeleteMark();
        else
            E.InsertTextEx(To, false, TInsertBreaks::CrOnly);
        if (!Down)
            E.GotoPos(TPoint{R.Left, R.Top});
        ++N;
    }
}

std::string Source(int Lines, int Every)
{
    std::string S;
    for (int I = 0; I < Lines; ++I) {
        if (I % Every == 0)
            S += "    std::vector<int> v" + std::to_string(I) + " = std::move(w);\n";
        else
            S += "    int x" + std::to_string(I) + " = 0;\n";
    }
    return S;
}

TEST(UndoLargeGroup, GroupLargerThanTheRingUndoesWholeAndRedoes)
{
    struct TCase {
        const char* Name;
        std::string Text;
        std::string From, To;
        bool Down;
        TPoint Start;
    };
    const std::string CrInLine = "a\rstd::b\nstd::\r\nstd::";
    const TCase Cases[] = {
        {"forward", Source(300, 1), "std::", "xx::", true, {0, 0}},
        {"backward from the end", Source(300, 1), "std::", "xx::", false, {0, 300}},
        {"far apart", Source(20000, 100), "std::", "yy::", true, {0, 0}},
        {"lines added", Source(200, 1), "std::", "a\rb\r", true, {0, 0}},
        {"lines joined", Source(200, 1), ";\r    ", "", true, {0, 0}},
        {"matches deleted", Source(150, 1), "std::", "", true, {0, 0}},
        {"every character", std::string(400, 'a') + "\nb", "a", "bb", true, {0, 0}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TFakeEditor E;
        E.UndoList->SetCapacity(200);
        E.RedoList->SetCapacity(200);
        E.SetText(C.Text);
        // Lines holding a CR and an LF as characters, at the start and the end.
        E.GotoPos(TPoint{0, 0});
        E.InsertTextEx(CrInLine, true, TInsertBreaks::Kept);
        E.GotoBottom();
        E.InsertTextEx(CrInLine, true, TInsertBreaks::Kept);
        E.GotoPos(E.ClampPos(C.Start));
        const std::string Before = Exact(E);
        const TPoint Cursor = E.Cursor->Pos();
        E.UndoList->BeginGroup();
        const int N = ReplaceEvery(E, C.From, C.To, C.Down);
        E.UndoList->EndGroup();
        ASSERT_GT(N, 60);
        const std::string After = Exact(E);
        ASSERT_NE(After, Before);
        EXPECT_FALSE(E.UndoList->GroupLost());
        EXPECT_LE(E.UndoList->Count(), 4) << "kept as one replacement of the lines it changed";
        E.Undo();
        EXPECT_EQ(E.Status, edDone);
        EXPECT_EQ(Exact(E), Before);
        EXPECT_EQ(E.Cursor->Pos(), Cursor);
        E.Redo();
        EXPECT_EQ(Exact(E), After);
        E.Undo();
        EXPECT_EQ(Exact(E), Before);
        // The group filled the ring: nothing older is left to half undo.
        E.Undo();
        EXPECT_EQ(E.Status, edNothingToUndo);
        EXPECT_EQ(Exact(E), Before);
    }
}

TEST(UndoLargeGroup, RandomEditsInAGroupUndoToTheTextBefore)
{
    int Kept = 0;
    for (unsigned Seed = 1; Seed <= 40; ++Seed) {
        SCOPED_TRACE("seed " + std::to_string(Seed));
        std::mt19937 Rng(Seed);
        auto Pick = [&](std::int64_t Lo, std::int64_t Hi) {
            return std::uniform_int_distribution<std::int64_t>(Lo, Hi)(Rng);
        };
        TFakeEditor E;
        TFakeEditor Split;  // a second pane on the same text and rings
        Split.ShareBuffer(E);
        E.UndoList->SetCapacity(Pick(20, 300));
        E.RedoList->SetCapacity(E.UndoList->Capacity());
        E.SetText(Source(static_cast<int>(Pick(1, 400)), 3));
        auto RandomPos = [&](TEditorEngine& P) {
            const std::int64_t Y = Pick(0, P.Strings->Count() - 1);
            return TPoint{Pick(0, P.Strings->LineLength(Y)), Y};
        };
        const char* Texts[] = {"x", "std::", "\r", "a\rb", "\n\n", "q\r\n", "", "long words here\rand\rmore"};
        // Some earlier history, and the group after it.
        E.GotoPos(RandomPos(E));
        E.InsertText("before");
        const std::string Before = Exact(E);
        E.UndoList->BeginGroup();
        const int Steps = static_cast<int>(Pick(50, 700));
        for (int I = 0; I < Steps; ++I) {
            TEditorEngine& P = Pick(0, 3) == 0 ? static_cast<TEditorEngine&>(Split) : E;
            if (Pick(0, 9) == 0) {
                P.UndoList->BeginGroup();  // a nested group (a Replace All in a run)
                P.InsertText("n");
                P.UndoList->EndGroup();
            }
            P.GotoPos(RandomPos(P));
            switch (Pick(0, 8)) {
            case 0: P.InsertText(Texts[Pick(0, 7)]); break;
            case 1: P.InsertTextEx(Texts[Pick(0, 7)], true, TInsertBreaks::Kept); break;
            case 2: P.SetStreamHighlight(P.Cursor->Pos(), RandomPos(P)); P.DeleteMark(); break;
            case 3: P.Backspace(); break;
            case 4: P.DeleteChar(); break;
            case 5: P.TypeChar('\r'); break;
            case 6: P.DeleteToLineEnd(); break;
            case 7: P.DeleteWordRight(true); break;
            default: P.TypeChar('z'); break;
            }
        }
        E.UndoList->EndGroup();
        Kept += E.UndoList->Count() <= 4;
        const std::string After = Exact(E);
        ASSERT_FALSE(E.UndoList->GroupLost());
        (Pick(0, 1) ? static_cast<TEditorEngine&>(Split) : E).Undo();
        ASSERT_EQ(Exact(E), Before);
        E.Redo();
        ASSERT_EQ(Exact(E), After);
        E.Undo();
        ASSERT_EQ(Exact(E), Before);
    }
    EXPECT_GE(Kept, 20) << "most of the groups outgrew their ring";
}

TEST(UndoLargeGroup, GroupThatCannotBeKeptIsRefusedWhole)
{
    // Its old text does not fit in the memory left.
    {
        TFakeEditor E;
        E.UndoList->SetCapacity(100);
        E.SetText(Source(60000, 300));  // 200 matches in about 1.3 MB
        E.InsertText("earlier ");
        E.GotoPos(TPoint{0, 0});
        E.UndoList->BeginGroup();
        E.InsertText(std::string(5 << 20, 'w'));
        ReplaceEvery(E, "std::", "xx::", true);
        SetMemoryLimitsForTest(TMemoryLimits{.Physical = 1 << 20});
        E.UndoList->EndGroup();
        SetMemoryLimitsForTest(std::nullopt);
        const std::string After = Exact(E);
        EXPECT_TRUE(E.UndoList->GroupLost());
        EXPECT_TRUE(E.UndoList->Empty());
        E.Undo();
        EXPECT_EQ(E.Status, edNothingToUndo);
        EXPECT_EQ(Exact(E), After) << "no part of the group is undone";
        // The next group is kept again.
        E.UndoList->BeginGroup();
        E.InsertText("k");
        E.UndoList->EndGroup();
        EXPECT_FALSE(E.UndoList->GroupLost());
        E.Undo();
        EXPECT_EQ(Exact(E), After);
    }
    // The whole text was put in place of the lines without the rings knowing.
    {
        TFakeEditor E;
        E.UndoList->SetCapacity(50);
        E.SetText(Source(100, 1));
        E.UndoList->BeginGroup();
        ReplaceEvery(E, "std::", "xx::", true);
        E.Strings->SetTextStr("other");
        E.Cursor->SetPos(TPoint{0, 0});
        E.InsertText("more");
        E.UndoList->EndGroup();
        EXPECT_TRUE(E.UndoList->GroupLost());
        E.Undo();
        EXPECT_EQ(E.Status, edNothingToUndo);
        EXPECT_EQ(Exact(E), "moreother");
    }
}

TEST(UndoRing, NestedGroupsEndWithTheOutermost)
{
    TFakeEditor E;
    E.UndoList->BeginGroup();
    E.InsertText("a");
    E.UndoList->BeginGroup();
    E.InsertText("b");
    E.UndoList->EndGroup();
    E.InsertText("c");
    E.UndoList->EndGroup();
    E.InsertText("d");
    E.Undo();
    EXPECT_EQ(E.GetText(), "abc");
    E.Undo();
    EXPECT_EQ(E.GetText(), "");
}

}  // namespace
}  // namespace narvo::test
