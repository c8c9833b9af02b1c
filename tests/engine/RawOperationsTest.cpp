// Raw reads and changes: deletions by count and by range, line deletion, insertion
// of text with line breaks, clamping of ranges and of a cursor past a line end.
#include "FakeEditor.h"

#include <gtest/gtest.h>

namespace narvo::test {
namespace {

TEST(RawReads, RangeTextJoinsLinesWithCr)
{
    TFakeEditor E;
    E.SetLines("ab|cd|ef");
    EXPECT_EQ(E.GetRangeText({1, 2, 1, 0}), "b\rcd\re");
    EXPECT_EQ(E.GetRangeText({-5, -1, 50, 9}), "ab\rcd\ref");  // clamped to the text
    EXPECT_EQ(E.JoinLineRange(0, 1, true), "ab\r\ncd\r\n");
    EXPECT_EQ(E.JoinLineRange(1, 5, false), "cd\ref\r");
    EXPECT_EQ(E.JoinLineRange(2, 1, false), "");

    char Before = 'x', After = 'x';
    E.GetCharsAroundRange({0, 0, 1, 0}, Before, After);
    EXPECT_EQ(Before, '\0');  // nothing before the text
    E.GetCharsAroundRange({1, 0, 2, 1}, Before, After);
    EXPECT_EQ(After, '\0');

}

struct TDeleteCase {
    const char* Name;
    const char* Lines;
    TPoint Cursor;
    bool (*Op)(TEditorEngine&);
    bool Result;
    const char* After;
    TPoint CursorAfter;
};

class RawDeletions : public ::testing::TestWithParam<TDeleteCase> {};

TEST_P(RawDeletions, ChangeTextAndCursor)
{
    const auto& C = GetParam();
    TFakeEditor E;
    E.SetLines(C.Lines);
    E.Cursor->SetPos(C.Cursor);
    EXPECT_EQ(C.Op(E), C.Result);
    EXPECT_EQ(E.Lines(), C.After);
    EXPECT_EQ(E.CursorPos(), C.CursorAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, RawDeletions,
    ::testing::Values(
        TDeleteCase{"BackwardPastStart", "ab|cd", {1, 1}, [](TEditorEngine& E) { return E.DeleteBackward(9); }, false, "d", {0, 0}},
        TDeleteCase{"ForwardPastEnd", "ab|cd", {1, 0}, [](TEditorEngine& E) { return E.DeleteForward(9); }, false, "a", {1, 0}},
        TDeleteCase{"ForwardManyLines", "ab|c||d|ef", {1, 0}, [](TEditorEngine& E) { return E.DeleteForward(7); }, true, "aef", {1, 0}},
        TDeleteCase{"PastLineEndBackspace", "ab|cd", {7, 0}, [](TEditorEngine& E) { return E.DeleteCharBefore(); }, true, "a|cd", {1, 0}},
        TDeleteCase{"PastLineEndDelete", "ab|cd", {7, 0}, [](TEditorEngine& E) { return E.DeleteCharAt(); }, true, "abcd", {2, 0}},
        TDeleteCase{"ClearLine", "ab|cd", {1, 1}, [](TEditorEngine& E) { E.ClearCursorLine(); return true; }, true, "ab|", {0, 1}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(RawDeleteRange, ClampsOrdersAndMovesTheCursor)
{
    TFakeEditor E;
    E.SetLines("abc|def|ghi");
    E.SetCursor(2, 2);
    E.DeleteRange({1, 1, 1, 1});  // empty: nothing changes but the cursor
    EXPECT_EQ(E.Lines(), "abc|def|ghi");
    EXPECT_EQ(E.CursorPos(), (TPoint{1, 1}));
    E.DeleteRange({2, 2, 1, 0});
    EXPECT_EQ(E.Lines(), "ai");
    EXPECT_EQ(E.CursorPos(), (TPoint{1, 0}));
    E.DeleteRange({-3, -3, 99, 99});
    EXPECT_EQ(E.Lines(), "");
    EXPECT_EQ(E.Strings->Count(), 1);
}

TEST(RawDeleteLines, OneSpliceAndOneEmptyLineLeft)
{
    TFakeEditor E;
    E.SetLines("a|b|c|d");
    E.SetCursor(0, 3);
    const auto Before = E.ChangeCount.load();
    E.DeleteLines(1, 2);
    EXPECT_EQ(E.Lines(), "a|d");
    EXPECT_EQ(E.ChangeCount.load(), Before + 1);
    EXPECT_EQ(E.CursorPos(), (TPoint{0, 1}));  // the cursor line is gone: moved onto the text
    E.DeleteLines(-5, 50);
    EXPECT_EQ(E.Lines(), "");
    EXPECT_EQ(E.Strings->Count(), 1);
    EXPECT_EQ(E.CursorPos(), (TPoint{0, 0}));
}

TEST(RawInsert, TextWithEveryKindOfLineBreak)
{
    TFakeEditor E;
    E.SetLines("xy");
    E.SetCursor(1, 0);
    E.InsertTextRaw("a\r\nb\nc\rd", false);
    EXPECT_EQ(E.Lines(), "xa|b|c|dy");
    EXPECT_EQ(E.CursorPos(), (TPoint{1, 3}));
    E.InsertTextRaw("e\n", false);
    EXPECT_EQ(E.Lines(), "xa|b|c|de|y");
    EXPECT_EQ(E.CursorPos(), (TPoint{0, 4}));
}

TEST(RawInsert, CursorPastLineEndInsertsAtTheEnd)
{
    TFakeEditor E;
    E.SetLines("ab|cd");
    E.SetCursor(9, 0);
    E.InsertAtCursor("x");
    EXPECT_EQ(E.Lines(), "abx|cd");
    EXPECT_EQ(E.CursorPos(), (TPoint{3, 0}));
    E.SetCursor(9, 0);
    E.SplitLine();
    EXPECT_EQ(E.Lines(), "abx||cd");
    EXPECT_EQ(E.CursorPos(), (TPoint{0, 1}));
    E.SetCursor(1, 2);
    E.InsertTextKeepCursor("1\r2");
    EXPECT_EQ(E.Lines(), "abx||c1|2d");
    EXPECT_EQ(E.CursorPos(), (TPoint{1, 2}));
}

TEST(RawStrings, FillChars)
{
    struct { const char* S; std::int64_t First, Last; const char* After; } Cases[] = {
        {"abcdef", 2, 4, "a---ef"}, {"abc", 2, 99, "a--"}, {"abc", 0, 2, "abc"}, {"abc", 4, 5, "abc"}, {"", 1, 1, ""},
    };
    for (const auto& C : Cases) {
        std::string S = C.S;
        TEditorEngine::FillChars(S, C.First, C.Last, '-');
        EXPECT_EQ(S, C.After);
    }
}

}  // namespace
}  // namespace narvo::test
