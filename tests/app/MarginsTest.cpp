// Margins: the output-line, reflow, break and centring rules as tables; wrap while
// typing, Enter, centring and remargining on a headless pane, also after a search;
// M, Y and Z run from a command line in the main window.
#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/MainWindow.h"
#include "app/MainWindowHost.h"
#include "app/Settings.h"
#include "components/TextRuler.h"
#include "engine/FakeEditor.h"
#include "language/AppState.h"
#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "language/Margins.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>

namespace narvo {
namespace {

// '|' stands for CR in the tables.
std::string Cr(std::string S)
{
    std::replace(S.begin(), S.end(), '|', '\r');
    return S;
}

TEST(MarginRules, TakeOutputLineAndReflow)
{
    struct Take { const char *Rest, *Prefix; std::int64_t Width; const char *Line, *Left; };
    for (const Take& R : std::initializer_list<Take>{
             {"aa bb cc", "", 5, "aa bb", "cc"}, {"aaaa b", "", 4, "aaaa", "b"},
             {"abcdefgh ij", "", 5, "abcdefgh", "ij"},        // a long word is never cut
             {"aa bb", "   ", 3, "   aa", "bb"}, {"aa bb", "     ", 2, "     aa", "bb"}}) {
        std::string Rest = R.Rest;
        EXPECT_EQ(TakeOutputLine(Rest, R.Prefix, R.Width), R.Line) << R.Rest;
        EXPECT_EQ(Rest, R.Left) << R.Rest;
    }
    struct Flow { const char* Text; std::int64_t Left, Width, Indent; const char* Out; };
    for (const Flow& R : std::initializer_list<Flow>{
             {"aaa  bbb", 0, 5, 0, "aaa|bbb"}, {"one|two|three", 0, UnwrapWidth, 0, "one two three"},
             {"  one\ttwo|three four five|", 2, 12, 3, "     one two|  three four|  five|"},
             {"x\ny  ", 0, 72, 0, "x y"},                      // an LF splits nothing; no blank ends a line
             {"\x01 \x02x y", 0, 72, 0, "x y"}, {"a b", -5, 72, -3, "a b"}, {"   |", 0, 72, 0, "|"}})
        EXPECT_EQ(ReflowText(Cr(R.Text), R.Left, R.Width, R.Indent), Cr(R.Out)) << R.Text;
    // Margins of any size: bounded blanks, no overflow.
    const std::string Pad(MaxMarginBlanks, ' ');
    EXPECT_EQ(ReflowText("a b", INT32_MAX, 72, INT32_MAX), Pad + "a\r" + Pad + "b");
    EXPECT_EQ(ReflowText("a b", INT32_MIN, INT32_MAX, INT32_MIN), "a b");
}

TEST(MarginRules, BreakAtABlankAndCentre)
{
    const std::string B15(15, 'b');
    struct Break { std::string Line; std::int64_t Col, Left; std::string Out; std::int64_t NewCol; };
    for (const Break& R : std::initializer_list<Break>{
             {"aaa bbb", 7, 5, "aaa|     bbb", 8}, {"aa bb", 5, -4, "aa|bb", 2},
             {"a " + B15, 17, 0, "a|" + B15, 15},                 // the 16th character back
             {"a b" + B15, 18, 0, "a b" + B15, 18}}) {             // the 17th is too far
        std::string Line = R.Line;
        std::int64_t NewCol = R.Col;
        const bool Broken = BreakLineAtSpace(Line, R.Col, NewCol, R.Left);
        EXPECT_EQ(Broken, Line != R.Line) << R.Line;
        EXPECT_EQ(Line, Cr(R.Out));
        EXPECT_EQ(NewCol, R.NewCol);
    }
    struct Centre { std::string Line; std::int64_t Left, Right, Pad; std::string Rest; };
    for (const Centre& R : std::initializer_list<Centre>{
             {"abc", 0, 72, 35, "abc"}, {std::string(20, 'x'), 10, 20, 6, std::string(20, 'x')},
             {" \t abc  ", 0, 10, 3, "abc  "}, {"\t x", 0, -10, 0, "x"}, {"a\xff", 0, 4, 2, "a\xff"},
             {"abc", 0, 5000, 2499, "abc"}, {"x", 60000, 60000, 60000, "x"},  // wide margins as they stand
             {"x", INT32_MAX, INT32_MAX, MaxMarginBlanks, "x"}, {"x", INT32_MIN, INT32_MAX, 0, "x"}})
        EXPECT_EQ(CenteredLine(R.Line, R.Left, R.Right), std::string(R.Pad, ' ') + R.Rest) << R.Line;
}

class MarginPane : public ::testing::Test {
protected:
    void SetUp() override { Margins(0, 72, 0); }
    void TearDown() override { Margins(0, 72, 0), WrapFlag = false; }
    static void Margins(std::int32_t L, std::int32_t R, std::int32_t I) { LeftMargin = L, RightMargin = R, ParaIndent = I; }
    void Type(const std::string& S)
    {
        for (char C : S)
            P.TypeChar(C), AfterTypedChar(P, C);
    }
    test::TFakeEditor P;
};

TEST_F(MarginPane, WrapWhileTypingAndEnter)
{
    const std::string A67(67, 'a');
    WrapFlag = true;
    for (const std::int32_t Left : {0, 5}) {
        Margins(Left, 72, 0);
        P.SetLines(A67 + " bcd");
        P.SetCursor(71, 0);
        Type("e");  // column 72 is not past the margin
        EXPECT_EQ(P.Lines(), A67 + " bcde");
        Type("f");
        EXPECT_EQ(P.Lines(), A67 + "|" + std::string(Left, ' ') + "bcdef");
        EXPECT_EQ(P.CursorPos(), (TPoint{Left + 5, 1}));
        P.Undo();  // the break alone
        EXPECT_EQ(P.Lines(), A67 + " bcdef");
    }
    P.SetLines(std::string(80, 'x'));  // no blank among the last 16 characters
    P.SetCursor(80, 0);
    Type("y");
    EXPECT_EQ(P.Strings->Count(), 1);
    Type("\rc");
    EXPECT_EQ((*P.Strings)[1], "     c");
}

TEST_F(MarginPane, ReplacementIgnoresASearchMatch)
{
    P.SetLines("abc|def");
    ASSERT_TRUE(P.FindNext("b"));
    CenterLineCmd(P);
    EXPECT_EQ(P.Lines(), std::string(35, ' ') + "abc|def");
    P.SetLines("one two|three||x");
    ASSERT_TRUE(P.FindNext("two"));
    RemarginParagraph(P);
    EXPECT_EQ(P.Lines(), "one two three||x");
    P.SetLines(std::string(67, 'a') + " bcdef");
    ASSERT_TRUE(P.FindNext("bcdef"));
    ToggleWrapCmd(P);  // F3 on: the line is wrapped at once
    EXPECT_EQ(P.Lines(), std::string(67, 'a') + "|bcdef");
}

TEST_F(MarginPane, RemarginUnwrapAndEmptyLines)
{
    P.SetLines("x||one two|three four five||y");
    P.SetCursor(1, 3);
    RemarginParagraph(P, 0, 10, 2);
    EXPECT_EQ(P.Lines(), "x||  one two|three four|five||y");
    EXPECT_EQ(P.CursorPos(), (TPoint{0, 5}));
    P.UndoAll();
    EXPECT_EQ(P.Lines(), "x||one two|three four five||y");
    P.SetLines("a|b|c");
    UnwrapParagraph(P);
    EXPECT_EQ(P.Lines(), "a b c");
    struct Row { const char* Text; std::int64_t Y; const char* After; std::int64_t CursorY; };
    for (const Row& R : std::initializer_list<Row>{{"p|||q", 2, "p||q", 2}, {"||q", 1, "|q", 1},
                                                   {"p||q", 1, "p||q", 2}, {"p||", 2, "p||", 2}}) {
        P.SetLines(R.Text);
        P.SetCursor(0, R.Y);
        RemarginParagraph(P);
        EXPECT_EQ(P.Lines(), R.After) << R.Text;
        EXPECT_EQ(P.CursorPos(), (TPoint{0, R.CursorY})) << R.Text;
    }
}

TEST_F(MarginPane, MYAndZRunFromACommandLine)
{
    InstallCommandLanguage();
    CommandLines() = TCommandLineStore();
    auto Form = std::make_unique<TForm1>();
    TScrollEditor& E = *Form->MainEditor;
    struct Row { const char *Command, *Text; std::int64_t X; const char* After; };
    for (const Row& R : std::initializer_list<Row>{{"M", "one|two||x", 0, "one two||x"},
                                                   {"M0,5M", "aa bb cc", 0, "aa bb|cc"},
                                                   {"Y", "abc", 1, "                                   abc"},
                                                   {"Z", "a\fbc", 4, "a"}}) {
        Margins(0, 72, 0);
        E.SetText(Cr(R.Text));
        E.Cursor->SetPos(TPoint{R.X, 0});
        Form->CmdEditor->SetText(R.Command);
        RunCurrentCommandLine(false);
        EXPECT_EQ(E.Strings->JoinLines('|'), R.After) << R.Command;
    }
    Form.reset();
    SetCommandHost(nullptr);
}

TEST_F(MarginPane, MarginsAtTheIntLimitPutTheRulerMarkersThere)
{
    InstallCommandLanguage();
    CommandLines() = TCommandLineStore();
    auto Form = std::make_unique<TForm1>();
    Form->resize(600, 400);
    const auto Run = [&](const char* Line) {
        Form->CmdEditor->SetText(Line);
        RunCurrentCommandLine(false);
        Form->UpdateStatus();
        Form->TextRuler->grab();
    };
    // The indent marker stands at the left margin plus the indent, which here lies
    // past the int range: it stops at the limit.
    Run("M2147483647 0 1");
    EXPECT_EQ(Form->TextRuler->Marker1(), INT_MAX);
    EXPECT_EQ(Form->TextRuler->Marker2(), 0);
    EXPECT_EQ(Form->TextRuler->Marker3(), INT_MAX);
    // Dragging the right margin to column 10 pulls the left one back to 9; the
    // indent marker stays, so the indent is the distance from 9 to the limit.
    Form->TextRuler->DragMarker2(10);
    Form->TextRuler->OnMarkerChange(Form->TextRuler);
    EXPECT_EQ(LeftMargin, 9);
    EXPECT_EQ(RightMargin, 10);
    EXPECT_EQ(ParaIndent, INT_MAX - 9);
    Run("M2147483647 2147483647 2147483647");
    EXPECT_EQ(Form->TextRuler->Marker3(), INT_MAX);
    Form.reset();
    SetCommandHost(nullptr);
}

}  // namespace
}  // namespace narvo
