// Clipboard and search operations on the text model with a clipboard in memory:
// the line-break routines, FindNext and FindPrevious (where a search starts, what
// it highlights, the undo record and the view row), the paste branches, copies
// and cuts as text and HTML, and SelectAll.
#include "FakeEditor.h"
#include "engine/ClipboardAccess.h"
#include "engine/LineBreakText.h"

#include <gtest/gtest.h>

namespace narvo::test {
namespace {

TEST(LineBreakText, Tables)
{
    struct TRow {
        std::string In, CrLf, NoLf, Flat;
    };
    const TRow Rows[] = {
        {"", "", "", ""},
        {"a\rb", "a\r\nb", "a\rb", "a b"},
        {"a\r\nb", "a\r\nb", "a\rb", "a b"},          // an existing LF is not doubled
        {"ab\r\ncd\r\n", "ab\r\ncd\r\n", "ab\rcd\r", "ab cd "},  // a column block
        {"\r\r", "\r\n\r\n", "\r\r", ""},               // no space at the start
        {"a\nb\n", "a\nb\n", "ab", "a b "},
        {"a \r\nb", "a \r\nb", "a \rb", "a b"},         // none after a space
        {"\n\r\n", "\n\r\n", "\r", ""},
        {"x\r\n\n\ry", "x\r\n\n\r\ny", "x\r\ry", "x y"},
    };
    for (const TRow& R : Rows) {
        SCOPED_TRACE(R.In);
        EXPECT_EQ(CrToCrLf(R.In), R.CrLf);
        EXPECT_EQ(StripLineFeeds(R.In), R.NoLf);
        EXPECT_EQ(FlattenLineBreaks(R.In), R.Flat);
    }
}

// A model that also keeps a view origin, as the widget does.
class TViewEditor : public TFakeEditor {
public:
    std::int64_t Top = 0;
    std::int64_t ViewTopLine() const override { return Top; }
    void SetViewTopLine(std::int64_t Line) override { Top = Line; }
};

class ClipboardTest : public ::testing::Test {
protected:
    void SetUp() override { Previous = SetClipboardAccess(&Board); }
    void TearDown() override { SetClipboardAccess(Previous); }
    TMemoryClipboard Board;
    TClipboardAccess* Previous = nullptr;
    TViewEditor E;

    void Mark(TPoint S, TPoint End, bool Column = false)
    {
        E.HighLight->StartPos = S;
        E.HighLight->EndPos = End;
        E.Cursor->ColumnBlock = Column;
    }
};

struct TFindCase {
    const char* Name;
    const char* Lines;
    TPoint Cursor;
    const char* Pattern;
    bool Forward;
    bool Found;
    TRect Range;  // the highlight on success
};

class FindCases : public ClipboardTest, public ::testing::WithParamInterface<TFindCase> {};

TEST_P(FindCases, HighlightCursorStatusUndo)
{
    const TFindCase& C = GetParam();
    E.SetLines(C.Lines);
    E.SetCursor(C.Cursor.X, C.Cursor.Y);
    const int Changes = E.Changes;
    const bool Result = C.Forward ? E.FindNext(C.Pattern) : E.FindPrevious(C.Pattern);
    EXPECT_EQ(Result, C.Found);
    EXPECT_GT(E.Changes, Changes);  // redrawn in every case
    EXPECT_GT(E.Relayouts, 0);
    if (!C.Found) {
        EXPECT_EQ(E.Status, edNotFound);
        EXPECT_EQ(E.CursorPos(), C.Cursor);
        EXPECT_TRUE(E.HighLight->Empty());
        EXPECT_TRUE(E.UndoList->Empty());
        return;
    }
    EXPECT_EQ(E.Status, edDone);
    EXPECT_TRUE(E.HighLight->Found);
    EXPECT_EQ(E.HighLight->Range(), C.Range);
    EXPECT_EQ(E.CursorPos(), (TPoint{C.Range.Right, C.Range.Bottom}));
    ASSERT_EQ(E.Scoops.size(), 1u);
    EXPECT_EQ(E.Scoops[0].first, C.Forward ? scmForward : scmBackward);
    E.Undo();  // the cursor-move record takes the cursor back
    EXPECT_EQ(E.CursorPos(), C.Cursor);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, FindCases,
    ::testing::Values(
        TFindCase{"MatchAtCursor", "abc abc", {0, 0}, "abc", true, true, {0, 0, 3, 0}},
        TFindCase{"FromMatchEndFindsNext", "abc abc", {3, 0}, "abc", true, true, {4, 0, 7, 0}},
        TFindCase{"CursorInsideMatch", "abc", {1, 0}, "abc", true, false, {}},
        TFindCase{"AtTextEndNothingSearched", "ab|c", {1, 1}, "c", true, false, {}},
        TFindCase{"AcrossLineEnd", "ab|cd", {0, 0}, "b\rc", true, true, {1, 0, 1, 1}},
        TFindCase{"LineEndAtCursor", "ab|cd", {2, 0}, "\rc", true, true, {2, 0, 1, 1}},
        TFindCase{"NextLine", "xx|yab", {2, 0}, "ab", true, true, {1, 1, 3, 1}},
        TFindCase{"ColumnCursorPastLineEnd", "ab|ab", {5, 0}, "ab", true, true, {0, 1, 2, 1}},
        TFindCase{"BackFromMatchEndSkipsIt", "abc abc", {7, 0}, "abc", false, true, {0, 0, 3, 0}},
        TFindCase{"BackInsideMatch", "abc abc", {6, 0}, "abc", false, true, {0, 0, 3, 0}},
        TFindCase{"BackAfterMatch", "abc abcx", {8, 0}, "abc", false, true, {4, 0, 7, 0}},
        TFindCase{"BackFromEndOfOnlyMatch", "abc", {3, 0}, "abc", false, false, {}},
        TFindCase{"BackOverLines", "abc|de|f", {1, 2}, "abc", false, true, {0, 0, 3, 0}},
        TFindCase{"BackAtStart", "abc", {0, 0}, "a", false, false, {}}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(ClipboardTest, FindKeepsScreenRowAndTypingClearsMatch)
{
    std::string Text;
    for (int I = 0; I < 100; ++I)
        Text += I == 50 ? "needle|" : "hay|";
    E.SetLines(Text + "end");
    E.Top = 10;
    E.SetCursor(0, 12);
    ASSERT_TRUE(E.FindNext("needle"));
    EXPECT_EQ(E.Top, 48);  // the cursor stays two rows below the top
    E.Top = 40;
    E.SetCursor(0, 55);
    ASSERT_TRUE(E.FindPrevious("needle"));
    EXPECT_EQ(E.Top, 35);
    E.SetLines("needle|" + Text);
    E.Top = 10;
    E.SetCursor(0, 15);
    ASSERT_TRUE(E.FindPrevious("needle"));
    EXPECT_EQ(E.CursorPos(), (TPoint{6, 0}));
    EXPECT_EQ(E.Top, 10);  // a top above line 0 is left to the redraw

    E.SetLines("one two one");
    E.SetCursor(0, 0);
    E.Cursor->ColumnBlock = true;
    ASSERT_TRUE(E.FindNext("two"));
    EXPECT_FALSE(E.Cursor->ColumnBlock);
    E.TypeChar('!');
    EXPECT_EQ(E.Lines(), "one two! one");
    EXPECT_TRUE(E.HighLight->Empty());
}

struct TPasteCase {
    const char* Name;
    const char* Lines;
    TPoint Cursor;
    const char* Clip;
    bool Alt;
    TRect Mark;  // empty: nothing marked
    bool Column;
    const char* After;
};

class PasteCases : public ClipboardTest, public ::testing::WithParamInterface<TPasteCase> {};

TEST_P(PasteCases, InsertsAndUndoesInOneStep)
{
    const TPasteCase& C = GetParam();
    E.SetLines(C.Lines);
    E.SetCursor(C.Cursor.X, C.Cursor.Y);
    Mark(TPoint{C.Mark.Left, C.Mark.Top}, TPoint{C.Mark.Right, C.Mark.Bottom}, C.Column);
    Board.Text = C.Clip;
    E.Modifiers.Alt = C.Alt;
    E.Paste();
    EXPECT_EQ(E.Lines(), C.After);
    EXPECT_EQ(E.Scoops.front().first, scmStop);
    EXPECT_EQ(E.UndoAll(), 1);
    EXPECT_EQ(E.Lines(), C.Lines);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, PasteCases,
    ::testing::Values(
        TPasteCase{"CrLfKeepsLines", "xy", {1, 0}, "one\r\ntwo", false, {}, false, "xone|twoy"},
        TPasteCase{"CrKeepsLines", "", {0, 0}, "a\rb\r", false, {}, false, "a|b|"},
        TPasteCase{"LoneLfStaysInItsLine", "", {0, 0}, "a\nb", false, {}, false, "a\nb"},
        TPasteCase{"ReplacesMark", "hello world", {0, 0}, "HI", false, {0, 0, 5, 0}, false, "HI world"},
        TPasteCase{"EmptyClipboardDeletesMark", "hello world", {0, 0}, "", false, {5, 0, 11, 0}, false, "hello"},
        TPasteCase{"AltPastesColumn", "xx|yy|zz", {1, 0}, "A\r\nB\r\n", true, {}, false, "xAx|yBy|zz"},
        TPasteCase{"AltColumnBlockCopy", "xx|yy|zz", {1, 0}, "AB\r\n\nCD\r\n\n", true, {}, false, "xABx|yCDy|zz"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(ClipboardTest, CopiesAndCuts)
{
    E.SetLines("first|second");
    Mark(TPoint{0, 0}, TPoint{6, 1});
    E.CopyMark();
    EXPECT_EQ(Board.Text, "first\r\nsecond");
    EXPECT_EQ(E.Lines(), "first|second");
    EXPECT_FALSE(E.HighLight->Empty());

    // A column block already ends its lines with CR LF: no CR LF LF.
    E.SetLines("abcd|efgh");
    Mark(TPoint{1, 0}, TPoint{3, 1}, true);
    E.CopyMark();
    EXPECT_EQ(Board.Text, "bc\r\nfg\r\n");
    E.CutMarkHtml();  // insert mode: the block's characters go
    EXPECT_EQ(E.Lines(), "ad|eh");
    EXPECT_EQ(Board.Html, "<p>bc</p>\r\n<p>fg</p>\r\n");
    EXPECT_EQ(E.Scoops.front().first, scmStop);

    E.SetLines("abcd|efgh");
    Mark(TPoint{1, 0}, TPoint{3, 1}, true);
    E.Overwrite = true;  // overwrite mode: blanked
    E.CutMarkHtml();
    EXPECT_EQ(E.Lines(), "a  d|e  h");
    E.Overwrite = false;

    E.SetLines("a<b>&c|d");
    Mark(TPoint{1, 0}, TPoint{1, 1});
    E.CutMarkHtml();
    EXPECT_EQ(E.Lines(), "a");
    EXPECT_EQ(Board.Text, "<b>&c\r\nd");
    EXPECT_EQ(Board.Html, "<p>&lt;b&gt;&amp;c</p>\r\n<p>d</p>\r\n");
    EXPECT_EQ(E.UndoAll(), 1);
    EXPECT_EQ(E.Lines(), "a<b>&c|d");
}

// An LF of a line's own (a file of CR LF lines may hold one) goes to the clipboard
// and comes back from it as itself, through copy, cut and paste and in the one-line
// command editor too, whose CRs and LFs are both characters.
TEST_F(ClipboardTest, ALinesOwnLineFeedComesBackAsItself)
{
    for (const char* S : {"", "a\rb", "\r\n\r", "\n\r\n", "x\r\n\n\ry\n"})
        EXPECT_EQ(CrLfToCr(StreamToCrLf(S)), S);
    E.SetLines("a|b\nc|d");
    E.SetCursor(0, 2);
    E.TypeChar('\n');  // the last line starts with one
    const std::string Twice = "a|b\nc|\nda|b\nc|\nd";
    E.SelectAll();
    E.CopyMark();
    EXPECT_EQ(Board.Text, "a\r\nb\nc\r\n\nd");
    E.ClearMark();
    E.SetCursor(2, 2);
    E.Paste();
    EXPECT_EQ(E.Lines(), Twice);
    E.Undo();
    E.Redo();
    EXPECT_EQ(E.Lines(), Twice);
    E.SelectAll();
    E.CutMarkHtml();
    E.Paste();
    EXPECT_EQ(E.Lines(), Twice);

    TViewEditor Cmd;
    Cmd.EditorStyle = esSingleLine;
    Cmd.InsertTextEx("x\r\ny\nz", true, true);
    Cmd.SelectAll();
    Cmd.CopyMark();
    Cmd.Paste();
    EXPECT_EQ(Cmd.Lines(), "x\r\ny\nz");
}

TEST_F(ClipboardTest, SelectAllMakesAStreamBlockOfEverything)
{
    E.SetLines("one|two|three");
    E.SetCursor(0, 1);
    ASSERT_TRUE(E.FindNext("two"));
    E.Cursor->ColumnBlock = true;
    const int Changes = E.Changes;
    E.SelectAll();
    EXPECT_FALSE(E.HighLight->Found);
    EXPECT_FALSE(E.Cursor->ColumnBlock);
    EXPECT_EQ(E.HighLight->Range(), (TRect{0, 0, 5, 2}));
    EXPECT_EQ(E.CursorPos(), (TPoint{3, 1}));
    EXPECT_EQ(E.Changes, Changes + 1);
    E.CutMarkHtml();
    EXPECT_EQ(E.Lines(), "");
    EXPECT_EQ(Board.Text, "one\r\ntwo\r\nthree");
}

}  // namespace
}  // namespace narvo::test
