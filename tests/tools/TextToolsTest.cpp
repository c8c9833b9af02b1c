// The text tools on a real pane: one undo step per transform, block indent and case
// keeping the highlight, pair matching by nesting depth, the text statistics, and
// the "File Details" window driven offscreen.
#include "editor/ScrollEditor.h"
#include "platform/ProgramArguments.h"
#include "shared/SystemData.h"
#include "tools/BlockIndent.h"
#include "tools/ChangeCase.h"
#include "tools/FileDetails.h"
#include "tools/MatchPairs.h"
#include "tools/SevenBit.h"
#include "support/PaneToolHost.h"
#include "tools/TextToolHooks.h"
#include "tools/ToolWalk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace narvo {
namespace {

class TextToolsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Host.Active = Host.Main = &Pane;
        SetToolHost(&Host);
    }
    void TearDown() override { SetToolHost(nullptr); }
    TPaneToolHost Host;

    void Load(const std::string& Text)
    {
        Pane.SetText(Text);
        Pane.SetModified(false);
    }
    void Mark(TPoint A, TPoint B)
    {
        Pane.HighLight->StartPos = A;
        Pane.HighLight->EndPos = B;
        Pane.Cursor->SetPos(B);
    }
    std::string Lines() const
    {
        std::string S;
        for (std::int64_t Y = 0; Y < Pane.Strings->Count(); ++Y) {
            S += Y ? "|" : "";
            S += (*Pane.Strings)[Y];
        }
        return S;
    }

    TScrollEditor Pane;
};

TEST_F(TextToolsTest, EachTransformIsOneUndoStepAndNeedsAHighlight)
{
    Load("a\tb\ncaf\xe9");
    ConvertTabsToSpaces(Pane);  // nothing highlighted: nothing happens
    EXPECT_EQ(Lines(), "a\tb|caf\xe9");
    EXPECT_FALSE(Pane.Modified);

    Pane.SelectAll();
    ConvertTabsToSpaces(Pane);
    EXPECT_EQ(Lines(), "a       b|caf\xe9");
    Pane.SelectAll();
    ConvertSelectionTo7Bit(Pane);
    EXPECT_EQ(Lines(), "a       b|cafe");
    Pane.Undo();
    EXPECT_EQ(Lines(), "a       b|caf\xe9");
    Pane.Undo();
    EXPECT_EQ(Lines(), "a\tb|caf\xe9");

    Load("x  y");
    Pane.SelectAll();
    ConvertSpacesToTabs(Pane, 3);  // a run below the minimum stays
    EXPECT_EQ(Lines(), "x  y");
    EXPECT_FALSE(Pane.Modified);
}

// Ctrl+Break inside one step that builds a large result (the run's look answering
// true): the transforms, the block indent, a column block's parts and a column
// block padded far out stop with the text, the highlight and the undo ring as they
// were, also when the break comes while the result goes in.
TEST_F(TextToolsTest, ATransformStoppedByBreakLeavesTheTextAsItWas)
{
    std::string Text;
    // Large enough that every result goes in piece by piece.
    for (int I = 0; I < 700'000; ++I)
        Text += "a\t\xe9 >b\n";
    Text += "end";
    // Late: at the first look after the text began to change.
    bool AfterAChange = false;
    const auto Unchanged = [&](const char* What) {
        EXPECT_TRUE(Pane.GetText() == Text) << What << (AfterAChange ? " late" : " early");
        EXPECT_FALSE(Pane.Modified) << What;
        EXPECT_EQ(Pane.UndoList->Count(), 0) << What;
    };
    const std::vector<std::pair<const char*, std::function<void()>>> Steps = {
        {"hex", [&] { ConvertStringToHex(Pane); }},
        {"marks", [&] { InsertLineMarks(Pane, '>'); }},
        {"unmark", [&] { RemoveLineMarks(Pane, '>'); }},
        {"tabs", [&] { ConvertTabsToSpaces(Pane); }},
        {"spaces", [&] { ConvertSpacesToTabs(Pane, 1); }},
        {"7-bit", [&] { ConvertSelectionTo7Bit(Pane); }},
        {"indent", [&] { IndentHighlight(Pane, ' ', 10, false); }},
    };
    Pane.OnLongOperation = [&] { return !AfterAChange || Pane.Strings->Count() != 700'001; };
    for (const bool Late : {false, true}) {
        AfterAChange = Late;
        for (const auto& [What, Run] : Steps) {
            Load(Text);
            Pane.UndoList->Clear();
            Pane.SelectAll();
            const THighLight Marked = *Pane.HighLight;
            Run();
            Unchanged(What);
            EXPECT_EQ(Pane.HighLight->EndPos, Marked.EndPos) << What;
        }
    }
    // A key typed in the look that breaks the step goes in between its pieces: the
    // step then goes on whole, so that neither the key nor the step is lost.
    Pane.OnLongOperation = nullptr;
    Load(Text);
    Pane.SelectAll();
    InsertLineMarks(Pane, '>');
    const std::string Marked = Pane.GetText();
    bool Typed = false;
    Pane.OnLongOperation = [&] {
        if (Typed || Pane.Strings->Count() == 700'001)
            return false;
        Typed = true;
        Pane.TypeChar('Q');
        return true;
    };
    Load(Text);
    Pane.UndoList->Clear();
    Pane.SelectAll();
    InsertLineMarks(Pane, '>');
    std::string Got = Pane.GetText();
    ASSERT_TRUE(Typed);
    ASSERT_EQ(std::count(Got.begin(), Got.end(), 'Q'), 1);
    Got.erase(Got.find('Q'), 1);
    EXPECT_TRUE(Got == Marked) << "the step went on whole around the key";

    // A column block's parts, and a block put in far right of short lines.
    Pane.OnLongOperation = [&] { return !AfterAChange || Pane.Strings->Count() != 700'001; };
    AfterAChange = false;
    Load(Text);
    Pane.UndoList->Clear();
    Pane.Cursor->ColumnBlock = true;
    Mark({0, 0}, {2, 699'999});
    ConvertTabsToSpaces(Pane);
    Unchanged("column tabs");
    const auto FarRight = [&] {
        Pane.ClearMark();
        Pane.Cursor->ColumnBlock = true;
        Pane.Cursor->SetPos({70'000, 0});
    };
    FarRight();
    Pane.InsertColumnBlock(std::string(100, 'x') + "\r\nx\r\nx");
    Unchanged("column padding");
    Pane.OnLongOperation = nullptr;
    FarRight();
    Pane.InsertColumnBlock("x\r\nx");
    EXPECT_GT(Pane.Strings->LineLength(1), 69'000);  // padded out to the block's column
}

TEST_F(TextToolsTest, BlockIndentFromMidLineAndOverAFinalEmptyPiece)
{
    Load("abcd\nxy\nzz");
    Mark({2, 0}, {0, 2});
    IndentHighlight(Pane, '\t', 1, false);
    EXPECT_EQ(Lines(), "ab\tcd|\txy|\tzz");
    EXPECT_EQ(Pane.HighLight->StartPos, (TPoint{2, 0}));
    EXPECT_EQ(Pane.HighLight->EndPos, (TPoint{3, 2}));
    IndentHighlight(Pane, '\t', 4, true);
    EXPECT_EQ(Lines(), "abcd|xy|zz");
    Pane.Undo();
    EXPECT_EQ(Lines(), "ab\tcd|\txy|\tzz");
}

TEST_F(TextToolsTest, ChangeCaseKeepsTheHighlightAndDialogUsesItsMode)
{
    Load("hello world. this is it");
    Mark({0, 0}, {23, 0});
    TCaseDlg D;
    D.SetMode(TCaseMode::Sentence);
    D.ApplyBtnClick();
    EXPECT_EQ(Lines(), "Hello world. This is it");
    EXPECT_EQ(Pane.HighLight->StartPos, (TPoint{0, 0}));
    EXPECT_EQ(Pane.HighLight->EndPos, (TPoint{23, 0}));
    D.SetMode(TCaseMode::Upper);
    D.ApplyBtnClick();
    EXPECT_EQ(Lines(), "HELLO WORLD. THIS IS IT");
    Pane.Undo();
    EXPECT_EQ(Lines(), "Hello world. This is it");
}

struct TPairCase {
    const char* Text;
    int Preset;
    std::int64_t CursorX;
    const char* Status;
    std::int64_t MatchX;  // where the highlighted match starts
    int MaxDepth;
};

TEST_F(TextToolsTest, MatchPairsByNestingDepth)
{
    const TPairCase Cases[] = {
        {"x { a { b } c } y", 1, 0, "Match Found", 14, 2},
        {"{{}}", 1, 0, "Match Found", 3, 2},
        {"{}", 1, 0, "Match Found", 1, 0},  // matched at the first step
        {"say \"hi\" ok", 5, 4, "Match Found", 7, 0},
        {"beginning x end", 0, 2, "Match Found", 12, 0},
        {"{ { }", 1, 0, "No matching \"end\"", -1, 2},
        // The last end stands at the very end of the text: it must not be counted
        // again and again until the depth runs out.
        {"{{}", 1, 0, "No matching \"end\"", -1, 2},
        {"abc", 1, 0, "No begining symbol", -1, -1},
    };
    for (const TPairCase& C : Cases) {
        SCOPED_TRACE(C.Text);
        Load(C.Text);
        Pane.Cursor->SetPos({C.CursorX, 0});
        TMatchPairsDlg D;
        D.PairsCombo->setCurrentIndex(C.Preset);
        D.PairsComboChange(C.Preset);
        D.MatchBtnClick();
        EXPECT_EQ(D.StatusDis->text().toStdString(), C.Status);
        if (C.MatchX >= 0) {
            EXPECT_EQ(Pane.HighLight->StartPos, (TPoint{C.MatchX, 0}));
        }
        if (C.MaxDepth >= 0) {
            EXPECT_EQ(D.MaxDepth, C.MaxDepth);
        }
        EXPECT_EQ(Lines(), C.Text);
    }
}

TEST_F(TextToolsTest, FindNextItemStepsAndReturnsToLastLocation)
{
    Load("( a ) b");
    TMatchPairsDlg D;
    D.PairsComboChange(4);
    D.FindNextBtnClick();  // the step's search begins at the character the cursor was on
    EXPECT_EQ(D.Depth, 1);
    EXPECT_EQ(Pane.HighLight->StartPos, (TPoint{0, 0}));
    D.ResetBtnClick();
    Pane.Cursor->SetPos({0, 0});
    D.MatchBtnClick();
    EXPECT_EQ(D.StatusDis->text(), "Match Found");
    D.FindNextBtnClick();
    EXPECT_EQ(D.StatusDis->text(), "Not Found");
    EXPECT_EQ(D.Depth, 0);
    D.GoLastLocBtmClick();
    EXPECT_EQ(Pane.Cursor->Pos(), (TPoint{5, 0}));
    EXPECT_EQ(Pane.HighLight->StartPos, (TPoint{4, 0}));
}

// Find Matching gives what stepping item by item from the begin gives, however far
// apart the items of the two strings stand.
TEST_F(TextToolsTest, FindMatchingEndsWhereSteppingEnds)
{
    const struct {
        const char* Text;
        int Preset;
    } Cases[] = {
        {"begin a\nbegin b\nend c begin\n\nend\nend tail end", 0},
        {"{ x {\n\n} {{ }}} } }", 1},
        {"((((((((( a ) b", 4},
        {"\"a\" \"b\"", 5},
        {"<<a>\n<b>>", 3},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Text);
        Load(C.Text);
        TMatchPairsDlg Walk;
        Walk.PairsComboChange(C.Preset);
        Walk.MatchBtnClick();
        const TRect Found = Pane.HighLight->Range();
        Load(C.Text);
        TMatchPairsDlg Steps;
        Steps.PairsComboChange(C.Preset);
        ASSERT_TRUE(Steps.FindBegin(Pane, Steps.BeginEdit->text().toStdString()));
        Steps.Depth = 1;
        while (Steps.Depth > 0) {
            const TPoint Before = Pane.Cursor->Pos();
            Pane.CursorRight();
            if (Pane.Cursor->Pos() == Before || Steps.FindNextStep(Pane) == 0)
                break;
        }
        EXPECT_EQ(Walk.StatusDis->text() == "Match Found", Steps.Depth == 0);
        EXPECT_EQ(Walk.MaxDepth, Steps.MaxDepth);
        if (Steps.Depth == 0) {
            EXPECT_EQ(Found, Pane.HighLight->Range());
        }
    }
}

// Ctrl+Break in any window, or closing the tool's window, stops a long walk: the
// depths shown as far as it got, the last item found highlighted. A text changed
// meanwhile stops it too and is left as the user left it.
TEST_F(TextToolsTest, CtrlBreakCloseAndTypingStopFindMatching)
{
    std::string Text = "{";
    for (int I = 0; I < TToolWalk::UnitsPerLook; ++I)
        Text += "{}";
    Text += "}";
    enum { ByBreak, ByClose, ByTyping };
    for (const int By : {ByBreak, ByClose, ByTyping}) {
        SCOPED_TRACE(By);
        Load(Text);
        TMatchPairsDlg D;
        D.PairsComboChange(1);
        D.show();
        std::string Shown;
        bool Refused = false;
        QTimer::singleShot(0, &D, [&] {
            Shown = D.DepthDis->text().toStdString();
            Refused = !D.MatchBtn->isEnabled();
            if (By == ByClose) {
                D.close();
            } else if (By == ByTyping) {
                Pane.ClearMark();
                Pane.Cursor->SetPos({0, 0});
                Pane.InsertText("typed ");
            } else {
                QKeyEvent Break(QEvent::KeyPress, Qt::Key_Pause, Qt::ControlModifier);
                QCoreApplication::sendEvent(&D, &Break);
            }
        });
        D.MatchBtnClick();
        EXPECT_EQ(D.StatusDis->text(), "Stopped");
        EXPECT_NE(Shown, "0");
        EXPECT_TRUE(Refused);
        EXPECT_TRUE(D.MatchBtn->isEnabled());
        if (By == ByTyping) {
            EXPECT_TRUE(Lines() == "typed " + Text);
            EXPECT_EQ(Pane.Cursor->Pos(), (TPoint{6, 0}));
            continue;
        }
        EXPECT_GT(Pane.Cursor->Pos().X, 1);
        EXPECT_LT(Pane.Cursor->Pos().X, static_cast<std::int64_t>(Text.size()));
        EXPECT_EQ(Pane.HighLight->EndPos, Pane.Cursor->Pos());
    }
}

// The status bar shows the highlighted count from the change event: every tool
// that sets a highlight tells of it after setting it.
TEST_F(TextToolsTest, ToolsThatSetAHighlightTellOfItLast)
{
    std::int64_t Told = -1;
    Pane.OnChange = [&] { Told = static_cast<std::int64_t>(Pane.GetMarkedText().size()); };
    auto Check = [&](const char* Tool) {
        EXPECT_TRUE(Pane.HasMark()) << Tool;
        EXPECT_EQ(Told, static_cast<std::int64_t>(Pane.GetMarkedText().size())) << Tool;
        Told = -1;
    };

    Load("abc\nxy\nzz");
    Mark({0, 0}, {2, 2});
    TIndentDlg Indent;
    Indent.ApplyBtnClick();
    Check("Block Indent");

    Load("hello world");
    Mark({0, 0}, {11, 0});
    TCaseDlg Case;
    Case.SetMode(TCaseMode::Upper);
    Case.ApplyBtnClick();
    Check("Change Case");

    Load("x ( a long ) b");
    Pane.Cursor->SetPos({0, 0});
    TMatchPairsDlg Pairs;
    Pairs.PairsComboChange(4);
    Pairs.MatchBtnClick();
    ASSERT_EQ(Pairs.StatusDis->text(), "Match Found");
    // Elsewhere, then back to where the match began, highlight and all.
    Pane.SetStreamHighlight({0, 0}, {9, 0});
    Pane.Cursor->SetPos({9, 0});
    Pairs.GoLastLocBtmClick();
    EXPECT_EQ(Pane.HighLight->StartPos, (TPoint{2, 0}));
    Check("Match Pairs");
}

// --- statistics --------------------------------------------------------------------------------

TTextCounts Count(std::vector<std::string> Lines, std::string Utility = {})
{
    TTextCounter C(std::move(Utility));
    for (const std::string& L : Lines)
        C.CountLine(L);
    return C.Counts();
}

TEST(TextCounter, WordsSentencesParagraphsAndPages)
{
    const TTextCounts W = Count({"3.14 12.5 a,b a-b a_b"});
    EXPECT_EQ(W.Words, 8);
    EXPECT_EQ(W.Characters, 21);
    EXPECT_EQ(Count({"Hello. World!"}).Sentences, 2);
    EXPECT_EQ(Count({"..."}).Sentences, 3);
    EXPECT_EQ(Count({"a", "", "b", " ", "c"}).Paragraphs, 2);
    EXPECT_EQ(Count(std::vector<std::string>(59, "x")).Pages, 1);
    EXPECT_EQ(Count(std::vector<std::string>(60, "x")).Pages, 2);
    EXPECT_EQ(Count({"a\fb"}).Pages, 2);
    EXPECT_EQ(Count({"caf\xe9s"}).Words, 2);  // bytes above 127 cut words
    EXPECT_EQ(Count({}).Pages, 1);
}

TEST(TextCounter, UtilityStringOccurrences)
{
    const struct {
        std::vector<std::string> Lines;
        const char* Utility;
        std::int64_t Expected;
    } Cases[] = {
        {{"ab "}, "ab", 1},   {{"ax"}, "ab", 0},     {{"abab "}, "ab", 2}, {{"ab"}, "ab", 1},
        {{"aab"}, "ab", 1},   {{"aaab"}, "aab", 1},  {{"AB aB"}, "ab", 2}, {{"a", "b"}, "ab", 0},
        {{"aaaa"}, "aa", 2},  {{"x"}, "", 0},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Count(C.Lines, C.Utility).Utility, C.Expected) << C.Lines[0] << " / " << C.Utility;
}

TEST_F(TextToolsTest, DetailsDialogEndToEnd)
{
    TSeparatorGuard Guard;
    SystemData.SetThousandSeparator(',');
    char Name[] = "/tmp/narvo-details-XXXXXX";
    const int Fd = mkstemp(Name);
    ASSERT_GE(Fd, 0);
    close(Fd);
    std::ofstream(Name, std::ios::binary) << std::string(1234, 'x');
    Host.FileName = Name;

    Load("ab ab.\n\nnext line");
    TDetailsDlg D;
    D.FillDetails();
    EXPECT_EQ(D.FilenameEdit->text().toStdString(), Name);
    EXPECT_EQ(D.FilesizeDis->text(), "1,234");
    EXPECT_EQ(D.CreateDateDis->text().size(), 19);
    EXPECT_EQ(FormatFileTime(QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9), Qt::UTC)), "03/05/2024:07:08:09");
    EXPECT_EQ(FormatFileTime(QDateTime()), "");
    EXPECT_FALSE(D.UnicodeChk->isChecked());

    D.UtilityEdit->setText("AB");
    D.Button1->click();
    EXPECT_EQ(D.LinesDis->text(), "3");
    EXPECT_EQ(D.WordsDis->text(), "4");
    EXPECT_EQ(D.ParagraphsDis->text(), "2");
    EXPECT_EQ(D.UtilityDis->text(), "2");
    const QString Report = D.CountReport->toPlainText();
    EXPECT_TRUE(Report.contains("File: " + QString(Name).section('/', -1))) << Report.toStdString();
    EXPECT_TRUE(Report.contains("Words: 4"));
    EXPECT_FALSE(Report.contains("Characters"));

    // An empty highlight: no lines, one page.
    D.HighlightedChk->setChecked(true);
    D.Button1->click();
    EXPECT_EQ(D.Counts.Lines, 0);
    EXPECT_EQ(D.Counts.Pages, 1);

    // Closing without a change leaves the document alone; clearing/setting the box
    // marks it modified so the next save writes the new form.
    D.show();
    D.reject();
    EXPECT_FALSE(Pane.Modified);
    D.FillDetails();
    D.UnicodeChk->setChecked(true);
    D.reject();
    EXPECT_EQ(Pane.Strings->Encoding, 1);
    EXPECT_TRUE(Pane.Modified);
    EXPECT_EQ(Host.StatusUpdates, 1);
    std::remove(Name);
}

TEST_F(TextToolsTest, DetailsShowTheProgramsOwnArguments)
{
    // "-reverse" is an existing file, so it was kept from the toolkit: the toolkit's
    // list never held it, the program's own does.
    char Prog[] = "narvo", File[] = "-reverse", Hash[] = "/#", Line[] = "25", Empty[] = "";
    char* Argv[] = {Prog, File, Hash, Line, Empty, nullptr};
    TProgramArguments Args(5, Argv, [](const std::string& N) { return N == "-reverse"; });
    KeepCommandLine(Args);
    TDetailsDlg D;
    D.FillDetails();
    EXPECT_EQ(D.ParamMemo->toPlainText().toStdString(), "0 narvo\n1 -reverse\n2 /#\n3 25\n4 ");
    EXPECT_EQ(D.RawCommandEdit->text().toStdString(), "narvo -reverse /# 25 \"\"");
}

// 20,000 lines of five words, more than a walk takes before its first look around.
std::string WordLines()
{
    std::string Text;
    for (int I = 0; I < 20000; ++I)
        Text += "some words on a line\n";
    return Text;
}

// A clock that stands still for the test's length.
class TFrozenClock {
public:
    TFrozenClock() : FSaved(TToolWalk::Clock) { TToolWalk::Clock = [] { return std::int64_t{1000}; }; }
    ~TFrozenClock() { TToolWalk::Clock = FSaved; }
    TFrozenClock(const TFrozenClock&) = delete;
    TFrozenClock& operator=(const TFrozenClock&) = delete;

private:
    std::function<std::int64_t()> FSaved;
};

// The panels refresh and the message loop runs by the clock, not by the line: with
// the clock standing still, once after the first piece only.
TEST_F(TextToolsTest, TheAnalysisTakesEventsByTheClockNotByTheLine)
{
    Load(WordLines());
    TFrozenClock Frozen;
    TDetailsDlg D;
    int Turns = 0;
    QTimer Counter;
    QObject::connect(&Counter, &QTimer::timeout, [&] { ++Turns; });
    Counter.start(0);
    EXPECT_TRUE(D.AnalyzeText(false));
    EXPECT_EQ(Turns, 1);
    EXPECT_EQ(D.Counts.Lines, 20001);
    EXPECT_EQ(D.Counts.Words, 100000);
}

TEST_F(TextToolsTest, CtrlBreakStopsALongAnalysis)
{
    Load(WordLines());
    TDetailsDlg D;
    QTimer::singleShot(0, &D, [&D] {
        QKeyEvent Break(QEvent::KeyPress, Qt::Key_Pause, Qt::ControlModifier);
        QCoreApplication::sendEvent(D.UtilityEdit, &Break);
    });
    EXPECT_FALSE(D.AnalyzeText(false));
    EXPECT_GT(D.Counts.Lines, 0);
    EXPECT_LT(D.Counts.Lines, 20001);
    EXPECT_TRUE(D.Button1->isEnabled());
}

TEST_F(TextToolsTest, ClosingTheDetailsWindowStopsALongAnalysis)
{
    Load(WordLines());
    TDetailsDlg D;
    D.show();
    QTimer::singleShot(0, &D, [&D] { D.reject(); });
    EXPECT_FALSE(D.AnalyzeText(false));
    EXPECT_GT(D.Counts.Lines, 0);
    EXPECT_LT(D.Counts.Lines, 20001);
    EXPECT_FALSE(D.Analyzing());
    EXPECT_TRUE(D.Button1->isEnabled());
}

}  // namespace
}  // namespace narvo
