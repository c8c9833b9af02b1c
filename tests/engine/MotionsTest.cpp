// Cursor motions and jumps: each row checks the cursor, the status, whether a
// cursor-move record was added and the scoop event; then the frame's highlight
// handling and the vertical moves' kept column.
#include "FakeEditor.h"

#include <gtest/gtest.h>

#include <functional>

namespace narvo::test {
namespace {

struct TMotionCase {
    const char* Name;
    const char* Lines;
    TPoint From;
    std::function<void(TFakeEditor&)> Op;
    TPoint To;
    TEditStatus Status;
    std::int64_t Visible = 25;
    bool Redraws = true;
};

class Motions : public ::testing::TestWithParam<TMotionCase> {};

TEST_P(Motions, MoveRecordStatusAndScoop)
{
    const auto& C = GetParam();
    TFakeEditor E;
    E.SetLines(C.Lines);
    E.Visible = C.Visible;
    E.Cursor->SetPos(C.From);
    const int Changes = E.Changes;
    C.Op(E);
    EXPECT_EQ(E.CursorPos(), C.To);
    EXPECT_EQ(E.Status, C.Status);
    if (C.Redraws) {
        EXPECT_GT(E.Changes, Changes);  // redrawn with OnChange also when it could not move
    }
    const bool Moved = !(C.From == C.To);
    // A move is recorded (also one that stopped part-way) and undone back to From.
    EXPECT_EQ(E.UndoList->Count(), Moved ? 1 : 0);
    if (Moved) {
        ASSERT_EQ(E.Scoops.size(), 1u);
        EXPECT_EQ(E.Scoops[0].first, TEditorEngine::PosAfter(C.To, C.From) ? scmForward : scmBackward);
        EXPECT_EQ(E.Scoops[0].second, (TRect{C.From.X, C.From.Y, C.To.X, C.To.Y}));
        E.Undo();
        EXPECT_EQ(E.CursorPos(), C.From);
        E.Redo();
        EXPECT_EQ(E.CursorPos(), C.To);
    } else {
        EXPECT_TRUE(E.Scoops.empty());
    }
}

auto Op(void (TEditorEngine::*F)()) { return [F](TFakeEditor& E) { (E.*F)(); }; }
auto Word(void (TEditorEngine::*F)(bool), bool Starts) { return [F, Starts](TFakeEditor& E) { (E.*F)(Starts); }; }

constexpr const char* Ten = "l0|l1|l2|l3|l4|l5|l6|l7|l8|l9";

INSTANTIATE_TEST_SUITE_P(
    Engine, Motions,
    ::testing::Values(
        TMotionCase{"RightOverLineEnd", "ab|cd", {2, 0}, Op(&TEditorEngine::CursorRight), {0, 1}, edDone},
        TMotionCase{"RightAtTextEnd", "ab|cd", {2, 1}, Op(&TEditorEngine::CursorRight), {2, 1}, edAtEnd},
        TMotionCase{"LeftOverLineEnd", "ab|cd", {0, 1}, Op(&TEditorEngine::CursorLeft), {2, 0}, edDone},
        TMotionCase{"LeftAtTextStart", "ab", {0, 0}, Op(&TEditorEngine::CursorLeft), {0, 0}, edAtStart},
        TMotionCase{"WordStartFromH", "the cat", {1, 0}, Word(&TEditorEngine::WordRight, true), {4, 0}, edDone},
        TMotionCase{"WordEndFromH", "the cat", {1, 0}, Word(&TEditorEngine::WordRight, false), {3, 0}, edDone},
        TMotionCase{"WordStartOnLastWord", "the cat", {5, 0}, Word(&TEditorEngine::WordRight, true), {7, 0}, edAtEnd},
        TMotionCase{"WordStartOverLines", "ab  |  |  cd", {1, 0}, Word(&TEditorEngine::WordRight, true), {2, 2}, edDone},
        TMotionCase{"WordLeftInsideWord", "the cat", {6, 0}, Word(&TEditorEngine::WordLeft, true), {4, 0}, edDone},
        TMotionCase{"WordLeftToPreviousEnd", "the cat", {6, 0}, Word(&TEditorEngine::WordLeft, false), {3, 0}, edDone},
        TMotionCase{"WordLeftToTextStart", "  the", {3, 0}, Word(&TEditorEngine::WordLeft, false), {0, 0}, edDone},
        TMotionCase{"WordLeftStopsAtStart", "  ab", {2, 0}, Word(&TEditorEngine::WordLeft, true), {0, 0}, edAtStart},
        TMotionCase{"LineStartAtColumn0", "a|b|c|d|e|f", {0, 5}, Op(&TEditorEngine::LineStart), {0, 4}, edDone},
        TMotionCase{"LineStartAtTextStart", "ab", {0, 0}, Op(&TEditorEngine::LineStart), {0, 0}, edAtStart},
        TMotionCase{"NextLineStart", "ab|cd", {1, 0}, Op(&TEditorEngine::NextLineStart), {0, 1}, edDone},
        TMotionCase{"NextLineStartMidLastLine", "ab|cd", {1, 1}, Op(&TEditorEngine::NextLineStart), {2, 1}, edDone},
        TMotionCase{"NextLineStartAtTextEnd", "ab|cd", {2, 1}, Op(&TEditorEngine::NextLineStart), {2, 1}, edAtEnd},
        TMotionCase{"PageDownStopsAtEnd", Ten, {1, 7}, Op(&TEditorEngine::PageDown), {2, 9}, edAtEnd, 5},
        TMotionCase{"PageDownExactlyToEnd", "a|b|c", {0, 0}, Op(&TEditorEngine::PageDown), {1, 2}, edDone, 3},
        TMotionCase{"PageUpFromMidLine", Ten, {1, 7}, Op(&TEditorEngine::PageUp), {0, 5}, edDone, 3},
        TMotionCase{"PageUpPastStart", Ten, {1, 1}, Op(&TEditorEngine::PageUp), {0, 0}, edAtStart, 3},
        TMotionCase{"PageWithNoVisibleLines", "a|b", {1, 0}, Op(&TEditorEngine::PageDown), {1, 0}, edDone, 0},
        TMotionCase{"DownOnLastLine", "ab|cd", {1, 1}, Op(&TEditorEngine::CursorDown), {1, 1}, edAtEnd},
        TMotionCase{"UpOnFirstLine", "ab|cd", {1, 0}, Op(&TEditorEngine::CursorUp), {1, 0}, edAtStart},
        TMotionCase{"GotoLine", "ab|cd|ef", {1, 0}, [](TFakeEditor& E) { EXPECT_TRUE(E.GotoLine(2)); }, {0, 2}, edDone},
        TMotionCase{"GotoLinePastEnd", "ab", {1, 0}, [](TFakeEditor& E) { EXPECT_FALSE(E.GotoLine(1)); }, {1, 0}, edAtEnd, 25, false},
        TMotionCase{"GotoLineNegative", "ab", {1, 0}, [](TFakeEditor& E) { EXPECT_FALSE(E.GotoLine(-1)); }, {1, 0}, edAtStart, 25, false},
        TMotionCase{"GotoPosAtLineLength", "ab|cd", {0, 0}, [](TFakeEditor& E) { EXPECT_TRUE(E.GotoPos({2, 1})); }, {2, 1}, edDone},
        TMotionCase{"GotoPosPastLineLength", "ab|cd", {0, 0}, [](TFakeEditor& E) { EXPECT_FALSE(E.GotoPos({3, 1})); }, {0, 0}, edBadPosition},
        // Offsets count a line end as 1: offset 3 is the first character of line 1.
        TMotionCase{"GotoOffsetLineEndsCountOne", "ab|cd", {0, 0}, [](TFakeEditor& E) { E.GotoOffset(3); }, {0, 1}, edDone},
        TMotionCase{"GotoOffsetAtTextEnd", "ab|cd", {0, 0}, [](TFakeEditor& E) { E.GotoOffset(5); }, {2, 1}, edDone},
        TMotionCase{"GotoOffsetPastText", "ab|cd", {0, 0}, [](TFakeEditor& E) { E.GotoOffset(6); }, {0, 0}, edBadPosition}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(MotionFrame, ShiftExtendsAltMakesColumnBlockPlainClears)
{
    TFakeEditor E;
    E.SetLines("abc|def");
    E.SetCursor(1, 0);
    E.Modifiers.Shift = true;
    E.CursorRight();
    E.CursorDown();
    EXPECT_EQ(E.HighLight->Range(), (TRect{1, 0, 2, 1}));
    EXPECT_FALSE(E.Cursor->ColumnBlock);
    E.Modifiers.Alt = true;
    E.CursorLeft();
    EXPECT_TRUE(E.Cursor->ColumnBlock);
    EXPECT_EQ(E.HighLight->EndPos, (TPoint{1, 1}));
    // A motion that cannot move leaves the highlight alone, also without Shift.
    E.Modifiers = {};
    E.CursorDown();
    EXPECT_TRUE(E.HasMark());
    E.CursorRight();
    EXPECT_FALSE(E.HasMark());
    EXPECT_FALSE(E.Cursor->ColumnBlock);
    // In marking mode motions extend without Shift.
    E.MarkingMode = true;
    E.CursorLeft();
    EXPECT_TRUE(E.HasMark());
}


TEST(MotionFrame, WordMoveThatReadsShiftAsItsRuleNeitherMarksNorKeeps)
{
    TFakeEditor E;
    E.SetLines("the cat sat");
    E.Modifiers.Shift = true;
    E.WordRight(false, false);
    EXPECT_EQ(E.CursorPos(), (TPoint{3, 0}));
    EXPECT_FALSE(E.HasMark());
    E.SetStreamHighlight(TPoint{0, 0}, TPoint{3, 0});
    E.WordLeft(true, false);  // Shift held: cleared all the same
    EXPECT_EQ(E.CursorPos(), (TPoint{0, 0}));
    EXPECT_FALSE(E.HasMark());
    // Marking mode still extends.
    E.MarkingMode = true;
    E.WordRight(true, false);
    EXPECT_EQ(E.HighLight->Range(), (TRect{0, 0, 4, 0}));
}
TEST(MotionFrame, VerticalMovesKeepTheDisplayColumn)
{
    TFakeEditor E;
    E.SetLines("abcdefghijklmnop|abc|abcdefghijklmnopqrst");
    E.SetCursor(12, 0);
    E.CursorDown();
    EXPECT_EQ(E.CursorPos(), (TPoint{3, 1}));
    E.CursorDown();
    EXPECT_EQ(E.CursorPos(), (TPoint{12, 2}));
    E.CursorRight();  // other moves forget the column
    E.CursorUp();
    EXPECT_EQ(E.CursorPos(), (TPoint{3, 1}));
    E.CursorUp();
    EXPECT_EQ(E.CursorPos(), (TPoint{13, 0}));

    // Tabs are counted with the pane's tab width both ways: from display column 4
    // on a 4-wide tab line down to a line starting with a tab lands after the tab.
    E.TabSize = 4;
    E.SetLines("abcdef|\tbc|x\ty");
    E.SetCursor(4, 0);
    E.CursorDown();
    EXPECT_EQ(E.CursorPos(), (TPoint{1, 1}));
    E.CursorDown();
    EXPECT_EQ(E.CursorPos(), (TPoint{2, 2}));
    E.SetCursor(5, 0);
    E.DesiredColumn = -1;
    E.CursorDown();
    EXPECT_EQ(E.CursorPos(), (TPoint{2, 1}));  // display column 5: after the b
}

}  // namespace
}  // namespace narvo::test
