// Every transform and case change on a column block: each line's part of the block
// is replaced where it stands, the rest of the line untouched, the highlight on the
// new parts, one undo step that brings the text back. Blocks marked upside down and
// blocks reaching past the line ends are in the table too.
#include "editor/ScrollEditor.h"
#include "tools/BlockIndent.h"
#include "tools/ChangeCase.h"
#include "tools/SevenBit.h"
#include "support/PaneToolHost.h"
#include "tools/TextToolHooks.h"

#include <gtest/gtest.h>

#include <functional>

namespace narvo {
namespace {

struct TBlockCase {
    const char* Name;
    std::function<void(TScrollEditor&)> Tool;
    const char* Text;  // lines separated by LF
    TPoint From, To;   // the corners as marked (anchor, cursor)
    const char* Want;  // lines joined by "|"
    TPoint WantFrom, WantTo;
};

std::string Lines(const TScrollEditor& Pane)
{
    std::string S;
    for (std::int64_t Y = 0; Y < Pane.Strings->Count(); ++Y) {
        S += Y ? "|" : "";
        S += (*Pane.Strings)[Y];
    }
    return S;
}

auto Case(TCaseMode M)
{
    return [M](TScrollEditor& P) { ApplyCase(P, M); };
}

const TBlockCase Cases[] = {
    // the example that came back scrambled through the stream insert
    {"upper", Case(TCaseMode::Upper), "xabcx\nydefy\nzghiz", {1, 0}, {3, 2}, "xABcx|yDEfy|zGHiz", {1, 0}, {3, 2}},
    {"upper upside down", Case(TCaseMode::Upper), "xabcx\nydefy\nzghiz", {3, 2}, {1, 0}, "xABcx|yDEfy|zGHiz", {3, 2}, {1, 0}},
    {"upper right to left", Case(TCaseMode::Upper), "xabcx\nydefy\nzghiz", {3, 0}, {1, 2}, "xABcx|yDEfy|zGHiz", {3, 0}, {1, 2}},
    {"upper past line ends", Case(TCaseMode::Upper), "xab\nyd\n\nzghiz", {1, 0}, {7, 3}, "xAB|yD||zGHIZ", {1, 0}, {7, 3}},
    {"lower", Case(TCaseMode::Lower), "XABCX\nYDEFY", {1, 0}, {3, 1}, "XabCX|YdeFY", {1, 0}, {3, 1}},
    {"toggle", Case(TCaseMode::Toggle), "xaBcx\nyDefy", {1, 0}, {3, 1}, "xAbcx|ydEfy", {1, 0}, {3, 1}},
    // the block read as one text: a sentence goes on into the next line's part
    {"sentence", Case(TCaseMode::Sentence), "xab.cd\nyEFgh", {1, 0}, {5, 1}, "xAb.Cd|yefgh", {1, 0}, {5, 1}},
    {"title", Case(TCaseMode::Title), "-ab cd-\n-ef gh-", {1, 0}, {6, 1}, "-Ab Cd-|-ef Gh-", {1, 0}, {6, 1}},
    {"string to hex", ConvertStringToHex, "xabcx\nydefy", {1, 0}, {3, 1}, "x%61%62cx|y%64%65fy", {1, 0}, {7, 1}},
    {"hex to string", ConvertHexToString, "x%41%42.\ny%43%44.", {1, 0}, {7, 1}, "xAB.|yCD.", {1, 0}, {3, 1}},
    {"line marks", [](TScrollEditor& P) { InsertLineMarks(P, '>'); }, "xabx\nycdy", {1, 0}, {3, 1},
     "x> abx|y> cdy", {1, 0}, {5, 1}},
    {"remove line marks", [](TScrollEditor& P) { RemoveLineMarks(P, '>'); }, "x>abx\ny>>cdy", {1, 0}, {4, 1},
     "xabx|y>cdy", {1, 0}, {3, 1}},
    {"spanish", ApplySpanishAccents, "xa'bx\nyn~oy", {1, 0}, {4, 1}, "x\xe1" "bx|y\xf1oy", {1, 0}, {3, 1}},
    // a line break the tags make cannot leave its line: it becomes a blank
    {"remove html", RemoveHTML, "x<b>y</b>z\nq<br>rstz", {1, 0}, {9, 1}, "xyz|q rstz", {1, 0}, {6, 1}},
    {"7 bit", ConvertSelectionTo7Bit, "x\xe9\xe9x\ny\xa9!y", {1, 0}, {3, 1}, "xeex|y(c)!y", {1, 0}, {5, 1}},
    // tab stops counted from the line start, so the block looks as it did
    {"tabs to spaces", ConvertTabsToSpaces, "a\tb\nab\tc", {1, 0}, {3, 1}, "a       b|ab      c", {1, 0}, {8, 1}},
    {"spaces to tabs", [](TScrollEditor& P) { ConvertSpacesToTabs(P, 1); }, "a       b\nab      c", {1, 0},
     {8, 1}, "a\tb|ab\tc", {1, 0}, {3, 1}},
    {"spaces to tabs at line end", [](TScrollEditor& P) { ConvertSpacesToTabs(P, 1); }, "a  \nb  ", {1, 0}, {3, 1},
     "a|b", {1, 0}, {1, 1}},
    {"indent", [](TScrollEditor& P) { IndentHighlight(P, ' ', 2, false); }, "xabx\nycdy", {1, 0}, {3, 1},
     "x  abx|y  cdy", {1, 0}, {5, 1}},
    {"unindent", [](TScrollEditor& P) { IndentHighlight(P, ' ', 4, true); }, "x  ab\ny cd", {1, 0}, {5, 1},
     "xab|ycd", {1, 0}, {3, 1}},
};

class ColumnBlockTools : public ::testing::TestWithParam<TBlockCase> {
protected:
    void SetUp() override
    {
        Host.Active = &Pane;
        SetToolHost(&Host);
    }
    void TearDown() override { SetToolHost(nullptr); }
    TPaneToolHost Host;
    TScrollEditor Pane;
};

TEST_P(ColumnBlockTools, ReplacesEachLinePartInPlaceAsOneUndoStep)
{
    const TBlockCase& C = GetParam();
    Pane.SetText(C.Text);
    Pane.SetModified(false);
    const std::string Before = Lines(Pane);
    Pane.HighLight->StartPos = C.From;
    Pane.HighLight->EndPos = C.To;
    Pane.Cursor->ColumnBlock = true;
    Pane.Cursor->SetPos(C.To);

    C.Tool(Pane);
    EXPECT_EQ(Lines(Pane), C.Want);
    EXPECT_TRUE(Pane.Cursor->ColumnBlock);
    EXPECT_EQ(Pane.HighLight->StartPos, C.WantFrom);
    EXPECT_EQ(Pane.HighLight->EndPos, C.WantTo);
    // The cursor stays on its corner (the block's end in every row of the table).
    EXPECT_EQ(Pane.Cursor->Pos(), C.WantTo);
    EXPECT_TRUE(Pane.Modified);

    Pane.Undo();
    EXPECT_EQ(Lines(Pane), Before);
    Pane.Undo();
    EXPECT_EQ(Pane.Status, edNothingToUndo);
    Pane.Redo();
    EXPECT_EQ(Lines(Pane), C.Want);
}

INSTANTIATE_TEST_SUITE_P(AllTools, ColumnBlockTools, ::testing::ValuesIn(Cases), [](const auto& Info) {
    std::string N = Info.param.Name;
    for (char& Ch : N)
        if (!std::isalnum(static_cast<unsigned char>(Ch)))
            Ch = '_';
    return N;
});

TEST(ColumnBlockToolsMore, NothingToChangeLeavesNoUndoStepAndTheHighlight)
{
    TScrollEditor Pane;
    Pane.SetText("xABx\nyCDy");
    Pane.SetModified(false);
    Pane.HighLight->StartPos = TPoint{1, 0};
    Pane.HighLight->EndPos = TPoint{3, 1};
    Pane.Cursor->ColumnBlock = true;
    ApplyCase(Pane, TCaseMode::Upper);
    ConvertTabsToSpaces(Pane);
    EXPECT_FALSE(Pane.Modified);
    EXPECT_EQ(Pane.UndoList->Count(), 0);
    EXPECT_EQ(Pane.HighLight->EndPos, (TPoint{3, 1}));
    EXPECT_TRUE(Pane.Cursor->ColumnBlock);
}

TEST(ColumnBlockToolsMore, AWiderBlockMarkedUpwardsKeepsTheCursorOnItsCorner)
{
    TScrollEditor Pane;
    Pane.SetText("xabcx\nydefy");
    Pane.HighLight->StartPos = TPoint{3, 1};
    Pane.HighLight->EndPos = TPoint{1, 0};
    Pane.Cursor->ColumnBlock = true;
    Pane.Cursor->SetPos(TPoint{1, 0});
    ConvertStringToHex(Pane);
    EXPECT_EQ(Pane.GetText(), "x%61%62cx\ny%64%65fy");
    EXPECT_EQ(Pane.HighLight->StartPos, (TPoint{1, 0}));
    EXPECT_EQ(Pane.HighLight->EndPos, (TPoint{7, 1}));
    EXPECT_EQ(Pane.Cursor->Pos(), (TPoint{1, 0}));
    Pane.Undo();
    EXPECT_EQ(Pane.GetText(), "xabcx\nydefy");
    EXPECT_EQ(Pane.Cursor->Pos(), (TPoint{1, 0}));
}

TEST(ColumnBlockToolsMore, ABlockLargerThanTheUndoRingUndoesWhole)
{
    TScrollEditor Pane;
    std::string Text;
    const int N = 100;
    for (int I = 0; I < N; ++I)
        Text += "xabx\n";
    Pane.SetText(Text);
    Pane.UndoList->SetCapacity(64);  // far fewer records than a line-by-line change needs
    Pane.HighLight->StartPos = TPoint{1, 0};
    Pane.HighLight->EndPos = TPoint{3, N - 1};
    Pane.Cursor->ColumnBlock = true;
    ConvertStringToHex(Pane);
    EXPECT_EQ((*Pane.Strings)[0], "x%61%62x");
    EXPECT_EQ((*Pane.Strings)[N - 1], "x%61%62x");
    EXPECT_EQ((*Pane.Strings)[N], "");
    Pane.Undo();
    EXPECT_EQ((*Pane.Strings)[0], "xabx");
    EXPECT_EQ((*Pane.Strings)[N - 1], "xabx");
    EXPECT_EQ(Pane.Strings->Count(), N + 1);
}

}  // namespace
}  // namespace narvo
