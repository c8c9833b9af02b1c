// The text register: scooping back and forth, a full register, column scoops, the
// clipboard transfers, the free space, and scoop events of a pane with its own text.
#include "language/FakeCommandHost.h"
#include "shared/SystemData.h"

#include <gtest/gtest.h>

namespace narvo::test {
namespace {

class Register : public ::testing::Test {
protected:
    TCommandBench B;
    TFakeCommandHost& H = B.Host;
    TFakeEditor& E = H.Main;
    TXRegister& R = H.Reg;
};

TEST_F(Register, ScoopingBackAndForthOverHelloWorld)
{
    E.SetLines("hello world!");
    E.SetCursor(11, 0);
    R.ScoopOn(E, false);
    EXPECT_EQ(H.ScoopState, 1);
    for (int I = 0; I < 5; ++I)
        E.CursorLeft();
    EXPECT_EQ(R.GetText(), "world");
    for (int I = 0; I < 6; ++I)
        E.CursorLeft();
    EXPECT_EQ(R.GetText(), "hello world");
    for (int I = 0; I < 3; ++I)
        E.CursorRight();
    EXPECT_EQ(R.GetText(), "lo world");
    // Past the scoop's start the register is empty and the scoop ends.
    for (int I = 0; I < 9; ++I)
        E.CursorRight();
    EXPECT_EQ(R.Count(), 0);
    EXPECT_EQ(R.Mode(), 0);
    EXPECT_EQ(H.ScoopState, 0);
}

TEST_F(Register, ScoopsLineEndsAsOneCharacter)
{
    E.SetLines("ab|cd");
    E.SetCursor(2, 1);
    R.ScoopOn(E, false);
    E.LineStart();
    E.CursorLeft();
    EXPECT_EQ(R.GetText(), "\rcd");
    E.CursorRight();
    EXPECT_EQ(R.GetText(), "cd");
}

TEST_F(Register, ClipboardTextBeyondCapacityKeepsItsLastCharacters)
{
    std::string Text(150000, 'a');
    for (std::size_t I = 0; I < Text.size(); ++I)
        Text[I] = static_cast<char>('a' + I % 26);
    B.Clipboard.Text = Text;
    SystemData.SetThousandSeparator(',');
    EXPECT_EQ(FormatWhole(R.FreeSpace()), "100,000");
    R.AddFromClipboard();
    EXPECT_EQ(R.Count(), TXRegister::Capacity);
    EXPECT_EQ(R.GetText(), Text.substr(50000));
    EXPECT_EQ(FormatWhole(R.FreeSpace()), "0");
    EXPECT_FALSE(R.AddChar('x'));
    EXPECT_FALSE(R.AddText("y"));
}

TEST_F(Register, AFullScoopGivesBackOnlyWhatItStored)
{
    R.AddText(std::string(TXRegister::Capacity - 2, 'z'));
    E.SetLines("abcdef");
    E.SetCursor(6, 0);
    R.ScoopOn(E, false);
    for (int I = 0; I < 4; ++I)
        E.CursorLeft();  // passes over f e d c; only f and e fit
    EXPECT_EQ(R.HeadText(2), "ef");
    E.CursorRight();  // back over c: it was never stored
    E.CursorRight();  // back over d: neither
    EXPECT_EQ(R.HeadText(2), "ef");
    EXPECT_EQ(R.Count(), TXRegister::Capacity);
    E.CursorRight();  // over e
    EXPECT_EQ(R.HeadText(1), "f");
    EXPECT_EQ(R.Mode(), 1);
    R.StopCollecting();
    E.CursorLeft();
    EXPECT_EQ(R.HeadText(1), "f");
}

TEST_F(Register, ColumnScoopAddsTheBlockInFrontAndShiftBlanks)
{
    E.SetLines("abcdX|efghX|ijklX");
    R.AddText("old");
    E.SetCursor(0, 0);
    R.ScoopOn(E, true);
    EXPECT_EQ(H.ScoopState, 2);
    EXPECT_EQ(R.Mode(), 0);
    E.SetCursor(4, 2);
    E.ScoopFire(scmBackward, TRect{0, 0, 4, 2});  // ignored during a column scoop
    R.ScoopOff(E, true);
    EXPECT_EQ(R.GetText(), "abcd\r\nefgh\r\nijkl\r\nold");
    EXPECT_EQ(E.Lines(), "    X|    X|    X");
    EXPECT_TRUE(E.HighLight->Empty());
    EXPECT_FALSE(R.ColumnScoop());
    EXPECT_EQ(H.ScoopState, 0);
}

TEST_F(Register, ScoopedTextComesFromThePaneThatFiredTheEvent)
{
    TFakeEditor Third;
    Third.SetLines("third pane text");
    Third.OnScoopEvent = [&](TScoopCommand C, TRect Rg) { R.ScoopEvent(Third, C, Rg); };
    E.SetLines("main");
    Third.SetCursor(15, 0);
    R.ScoopOn(Third, false);
    for (int I = 0; I < 4; ++I)
        Third.CursorLeft();
    EXPECT_EQ(R.GetText(), "text");
}

TEST_F(Register, InsertsAndCopies)
{
    R.AddText("one\rtwo");
    E.SetLines("xy");
    E.SetCursor(1, 0);
    R.InsertIntoEditor();
    EXPECT_EQ(E.Lines(), "xone|twoy");
    R.CopyToClipboard();
    EXPECT_EQ(B.Clipboard.Text, "one\r\ntwo");
    E.SetLines("ab|cd|ef");
    E.SetCursor(1, 0);
    R.InsertLinesIntoEditor();
    EXPECT_EQ(E.Lines(), "aoneb|ctwod|ef");
    int Changes = 0;
    R.OnChange = [&] { ++Changes; };
    R.Clear();
    EXPECT_EQ(Changes, 1);
    EXPECT_EQ(R.GetText(), "");
}

TEST_F(Register, ALinesOwnLineFeedGoesBackInAsItself)
{
    E.SetLines("a|b\nc|d");
    E.SetCursor(3, 1);
    R.ScoopOn(E, false);
    for (int I = 0; I < 3; ++I)
        E.CursorLeft();
    EXPECT_EQ(R.GetText(), "b\nc");
    E.SetCursor(1, 2);
    R.InsertIntoEditor();
    EXPECT_EQ(E.Lines(), "a|b\nc|db\nc");
    R.Clear();
    B.Clipboard.Text = "x\r\ny\nz";  // a copy from a pane holding such a line
    R.AddFromClipboard();
    R.InsertIntoEditor();
    EXPECT_EQ(E.Lines(), "a|b\nc|db\ncx|y\nz");
}

}  // namespace
}  // namespace narvo::test
