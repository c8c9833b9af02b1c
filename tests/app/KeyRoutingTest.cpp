// Key routing on the offscreen platform, with real key events sent to the panes:
// every row of the plain, Shift, Ctrl, Shift+Ctrl and Alt tables reaches its
// action and shows " Ok"; unbound keys do nothing; Esc, Esc Esc, Ctrl+G, quote
// next, Ctrl+Break, the keypad flag and the wheel.
#include "AppWindowFixture.h"

#include "app/CommandLanguage.h"
#include "app/KeyRouting.h"
#include "app/MainWindowHost.h"
#include "language/CommandLines.h"
#include "language/TextRegister.h"
#include "language/WordCommands.h"
#include "tools/CharacterChart.h"

#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <functional>

namespace narvo {
namespace {

class KeyRouting : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        CommandLines() = TCommandLineStore();
        WrapFlag = false;
        LeftMargin = 0;
        RightMargin = 72;
        ParaIndent = 0;
        Form->resize(600, 400);
        Form->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
        Form->MainEditor->setFocus();
    }
    void SetText(const std::string& Text, TPoint Cursor = {0, 0})
    {
        Main().SetText(Text);
        Main().Cursor->SetPos(Cursor);
        Main().ClearMark();
    }
    void Key(Qt::Key K, Qt::KeyboardModifiers M = Qt::NoModifier) { QTest::keyClick(Form->MainEditor, K, M); }
    TPoint At() const { return Main().Cursor->Pos(); }
};

std::string Lines(int N)
{
    std::string S;
    for (int I = 0; I < N; ++I)
        S += "word" + std::to_string(I) + " more text\n";
    return S;
}

TEST_F(KeyRouting, EveryTableRowReachesItsAction)
{
    int Help = 0, Chart = 0;
    // The program's host, with the help window counted instead of shown.
    struct THelpCounter : TMainWindowHost {
        int* Count = nullptr;
        void ShowHelpContents() override { ++*Count; }
    } Host;
    Host.Count = &Help;
    TCommandHost* const Previous = CommandHost();
    SetCommandHost(&Host);
    // The program's chart, counted when it is up and closed at once (it is modal).
    CreateAsciiDlg([](char) {}, Form.get());
    const auto CountChart = [&] {
        QTimer::singleShot(0, [&] {
            if (TAsciiDlg* D = AsciiDlg(); D && D->isVisible()) {
                ++Chart;
                D->reject();
            }
        });
    };
    const std::string Many = Lines(200);
    struct TRow {
        const char* Name;
        Qt::Key Key;
        Qt::KeyboardModifiers Mods;
        std::function<void()> Before;
        std::function<bool()> Check;
    };
    auto Register = [] { return ProgramRegister(); };
    const TRow Rows[] = {
        {"PgDn", Qt::Key_PageDown, {}, [&] { SetText(Many); }, [&] { return At().Y > 0; }},
        {"PgUp", Qt::Key_PageUp, {}, [&] { SetText(Many, {0, 150}); }, [&] { return At().Y < 150; }},
        {"End", Qt::Key_End, {}, [&] { SetText("a\nbc"); }, [&] { return At() == TPoint{2, 1}; }},
        {"Shift+Home", Qt::Key_Home, Qt::ShiftModifier, [&] { SetText("a\nbc", {2, 1}); }, [&] { return At() == TPoint{0, 0}; }},
        {"Right", Qt::Key_Right, {}, [&] { SetText("ab"); }, [&] { return At().X == 1; }},
        {"Left", Qt::Key_Left, {}, [&] { SetText("ab", {2, 0}); }, [&] { return At().X == 1; }},
        {"Down", Qt::Key_Down, {}, [&] { SetText("a\nb"); }, [&] { return At().Y == 1; }},
        {"Up", Qt::Key_Up, {}, [&] { SetText("a\nb", {0, 1}); }, [&] { return At().Y == 0; }},
        {"Insert", Qt::Key_Insert, {}, [&] { Main().Overwrite = false; }, [&] { return Main().Overwrite; }},
        {"Delete", Qt::Key_Delete, {}, [&] { SetText("xy"); }, [&] { return Main().GetText() == "y"; }},
        {"F1", Qt::Key_F1, {}, [] { CommandLines().Current = 3; }, [] { return CommandLines().Current == 2; }},
        {"F2", Qt::Key_F2, {}, [] { CommandLines().Current = 3; }, [] { return CommandLines().Current == 4; }},
        {"F3", Qt::Key_F3, {}, [] { WrapFlag = false; }, [] { return WrapFlag; }},
        {"F5", Qt::Key_F5, {}, [&] { SetText(""); Register()->Clear(); Register()->AddText("reg"); },
         [&] { return Main().GetText() == "reg"; }},
        {"F6", Qt::Key_F6, {}, [&] { SetText("aaa bbb ccc ddd"); RightMargin = 8; },
         [&] { RightMargin = 72; return Main().Strings->Count() > 1; }},
        {"F8", Qt::Key_F8, {}, [&] { Register()->AddText("x"); }, [&] { return Register()->Count() == 0; }},
        {"F9", Qt::Key_F9, {}, [] { PositionMarkers().Current = 0; }, [] { return PositionMarkers().Current == 1; }},
        {"F10", Qt::Key_F10, {}, [&] { SetText("a\nb\nc", {0, 2}); PositionMarkers() = {}; },
         [&] { return At() == TPoint{0, 0}; }},
        {"Ctrl+Pause", Qt::Key_Pause, Qt::ControlModifier, [] { BreakFlag = false; }, [] { return BreakFlag; }},
        {"Ctrl+Right", Qt::Key_Right, Qt::ControlModifier, [&] { SetText("ab cd"); }, [&] { return At().X > 1; }},
        {"Ctrl+Left", Qt::Key_Left, Qt::ControlModifier, [&] { SetText("ab cd", {5, 0}); }, [&] { return At().X < 4; }},
        {"Ctrl+Down", Qt::Key_Down, Qt::ControlModifier, [&] { SetText(Many); Form->MainEditor->TopLine = 0; },
         [&] { return Form->MainEditor->TopLine == 1 && At() == TPoint{0, 0}; }},
        {"Ctrl+Up", Qt::Key_Up, Qt::ControlModifier, [&] { Form->MainEditor->TopLine = 5; },
         [&] { return Form->MainEditor->TopLine == 4; }},
        {"Ctrl+F2", Qt::Key_F2, Qt::ControlModifier, [&] { Register()->Clear(); Register()->AddText("clip"); },
         [] { return StatusMessage() == "Copied"; }},
        {"Ctrl+F1", Qt::Key_F1, Qt::ControlModifier, [&] { Register()->Clear(); },
         [&] { return StatusMessage() == "Pasted" && Register()->GetText() == "clip"; }},
        {"Ctrl+F10", Qt::Key_F10, Qt::ControlModifier, [&] { SetText("dog cat dog"); },
         [&] { return Main().HasMark() && Main().HighLight->StartPos.X == 8; }},
        {"Ctrl+F9", Qt::Key_F9, Qt::ControlModifier, [&] { SetText("dog cat dog", {8, 0}); },
         [&] { return Main().HasMark() && Main().HighLight->StartPos.X == 0; }},
        {"Shift+Ctrl+Right", Qt::Key_Right, Qt::ShiftModifier | Qt::ControlModifier, [&] { SetText("ab cd"); },
         [&] { return At().X > 1; }},
        {"Shift+Ctrl+Left", Qt::Key_Left, Qt::ShiftModifier | Qt::ControlModifier, [&] { SetText("ab cd", {5, 0}); },
         [&] { return At().X < 4; }},
        {"Shift+Ctrl+2", Qt::Key_2, Qt::ShiftModifier | Qt::ControlModifier, [&] { SetText(""); },
         [&] { return Main().GetText() == std::string(1, '\0'); }},
        {"Alt+Backspace", Qt::Key_Backspace, Qt::AltModifier, [&] { SetText(""); Main().InsertText("u"); },
         [&] { return Main().GetText().empty(); }},
        {"Alt+Shift+Backspace", Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier, [] {},
         [&] { return Main().GetText() == "u"; }},
        {"Alt+Left", Qt::Key_Left, Qt::AltModifier, [&] { SetText("ab cd", {5, 0}); },
         [&] { return Main().GetText().size() < 5; }},
        {"Alt+Right", Qt::Key_Right, Qt::AltModifier, [&] { SetText("ab cd"); },
         [&] { return Main().GetText().size() < 5; }},
        {"Alt+F1", Qt::Key_F1, Qt::AltModifier, [] {}, [&] { return Help == 1; }},
        {"Alt+F2", Qt::Key_F2, Qt::AltModifier, CountChart, [&] { return Chart == 1; }},
        {"Alt+F3", Qt::Key_F3, Qt::AltModifier, [] {}, [&] { return Form->StatusBar->isHidden(); }},
        {"Alt+F5", Qt::Key_F5, Qt::AltModifier, [&] { SetText(""); Register()->Clear(); Register()->AddText("L"); },
         [&] { return Main().GetText().find('L') != std::string::npos; }},
        {"Alt+F6", Qt::Key_F6, Qt::AltModifier, [&] { SetText("one\ntwo"); }, [&] { return Main().Strings->Count() == 1; }},
        {"Alt+F10", Qt::Key_F10, Qt::AltModifier, [&] { SetText("dog"); CommandLines().Current = 0; },
         [&] { return CommandLines().Current == 1 && Form->CmdEditor->GetText().rfind("Sdog", 0) == 0; }},
        {"Alt+F9", Qt::Key_F9, Qt::AltModifier, [&] { SetText("dog"); CommandLines().Current = 0; },
         [&] { return CommandLines().Current == 1 && Form->CmdEditor->GetText().rfind("-Sdog", 0) == 0; }},
    };
    int OkShown = 0;
    for (const TRow& R : Rows) {
        R.Before();
        SetStatusMessage("", false);
        SetStatusMessage("pending error", true);
        Key(R.Key, R.Mods);
        EXPECT_TRUE(R.Check()) << R.Name << " " << Main().GetText().size() << " " << At().X << "," << At().Y;
        // " Ok" replaced the pending error first; the action may have put its own
        // message ("Copied", "End") after it.
        EXPECT_NE(StatusMessage(), "pending error") << R.Name;
        EXPECT_EQ(Form->StatusDis->text().toStdString(), " " + StatusMessage()) << R.Name;
        OkShown += StatusMessage() == "Ok";
    }
    EXPECT_GT(OkShown, 30);
    SetCommandHost(Previous);
}

TEST_F(KeyRouting, ShiftMotionsGrowTheHighlightFromItsAnchor)
{
    const auto Marked = [this] { return Main().GetMarkedText(); };
    const Qt::KeyboardModifiers ShiftCtrl = Qt::ShiftModifier | Qt::ControlModifier;
    SetText("the cat sat");
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_EQ(Marked(), "th");
    Key(Qt::Key_Right, ShiftCtrl);
    EXPECT_EQ(Marked(), "the ");
    Key(Qt::Key_Right, ShiftCtrl);
    EXPECT_EQ(Marked(), "the cat ");
    Key(Qt::Key_Left, ShiftCtrl);
    EXPECT_EQ(Marked(), "the ");
    Key(Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), "the");
    // Backward from an anchor in the middle, then the whole-text moves and back.
    SetText("the cat sat", {4, 0});
    Key(Qt::Key_Left, Qt::ShiftModifier);
    Key(Qt::Key_Left, ShiftCtrl);
    EXPECT_EQ(Marked(), "the ");
    Key(Qt::Key_End, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), "cat sat");
    Key(Qt::Key_Left, ShiftCtrl);
    EXPECT_EQ(Marked(), "cat ");
    Key(Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(Marked(), "the ");
    // A move without Shift drops highlight and anchor: the next one starts anew.
    Key(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_FALSE(Main().HasMark());
    Key(Qt::Key_Right, ShiftCtrl);
    EXPECT_EQ(Marked(), "cat ");
    // A search match is a highlight of its own: a Shift move after it does not
    // reach back to where an earlier highlight began.
    SetText("the cat the");
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_Right, Qt::ShiftModifier);
    Key(Qt::Key_F10, Qt::ControlModifier);
    ASSERT_EQ(At(), (TPoint{10, 0}));
    Key(Qt::Key_Left, ShiftCtrl);
    EXPECT_EQ(Marked(), "th");
    // Page moves over lines keep the anchor as well.
    SetText(Lines(200), {1, 0});
    Key(Qt::Key_Right, ShiftCtrl);
    EXPECT_EQ(Marked(), "ord0 ");
    Key(Qt::Key_PageDown, Qt::ShiftModifier);
    ASSERT_GT(At().Y, 1);
    EXPECT_EQ(Main().HighLight->StartPos, (TPoint{1, 0}));
    EXPECT_EQ(Main().HighLight->EndPos, At());
    // While the scoop collects (^R, then backward), word moves grow the highlight
    // from the scoop's start, as the arrows do.
    SetText("the cat sat", {11, 0});
    Key(Qt::Key_R, Qt::ControlModifier);
    ASSERT_TRUE(Main().MarkingMode);
    Key(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(Marked(), "sat");
    Key(Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(Marked(), "cat sat");
    Key(Qt::Key_F, Qt::ControlModifier);
}

TEST_F(KeyRouting, UnboundKeysDoNothing)
{
    SetText("ab\ncd", {1, 1});
    for (Qt::Key K : {Qt::Key_F4, Qt::Key_F7, Qt::Key_F11, Qt::Key_F12}) {
        SetStatusMessage("", false);
        SetStatusMessage("err", true);
        Key(K);
        EXPECT_EQ(Main().GetText(), "ab\ncd");
        EXPECT_EQ(At(), (TPoint{1, 1}));
        EXPECT_EQ(StatusMessage(), "Ok");
    }
}

TEST_F(KeyRouting, CharactersControlKeysAndQuoteNext)
{
    SetText("");
    QTest::keyClicks(Form->MainEditor, "hi");
    Key(Qt::Key_Return);
    EXPECT_EQ(Main().GetText(), "hi\n");
    // ^A moves right as a command; after ^^ it is typed.
    SetText("xy");
    char K = 1;
    Editor1KeyPress(Form->MainEditor, K);
    EXPECT_EQ(At().X, 1);
    K = 30;
    Editor1KeyPress(Form->MainEditor, K);
    K = 1;
    Editor1KeyPress(Form->MainEditor, K);
    EXPECT_EQ(Main().GetText(), "x\x01y");
    // ^O undoes, Shift+^O redoes.
    SetText("");
    QTest::keyClicks(Form->MainEditor, "z");
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Main().GetText(), "");
    Key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Main().GetText(), "z");
    // A line feed typed after ^^ is a character of its line, after redo too.
    SetText("ab", TPoint{1, 0});
    Key(Qt::Key_AsciiCircum, Qt::ControlModifier);
    Key(Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(Main().GetText(), "a\nb");
    EXPECT_EQ(Main().Strings->Count(), 1);
    Key(Qt::Key_O, Qt::ControlModifier);
    EXPECT_EQ(Main().GetText(), "ab");
    Key(Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(Main().GetText(), "a\nb");
    EXPECT_EQ(Main().Strings->Count(), 1);
}

TEST_F(KeyRouting, CtrlBreakLeavesCtrlCWorking)
{
    SetText("hello world", {11, 0});
    BreakFlag = false;
    Key(Qt::Key_Pause, Qt::ControlModifier);
    EXPECT_TRUE(BreakFlag);
    EXPECT_EQ(Main().GetText(), "hello world");
    Key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Main().GetText(), "hello ");
    // Ctrl+Scroll Lock breaks too, also while the command editor has the focus.
    BreakFlag = false;
    QTest::keyClick(Form->CmdEditor, Qt::Key_ScrollLock, Qt::ControlModifier);
    EXPECT_TRUE(BreakFlag);
}

TEST_F(KeyRouting, EscOpensTheNextLineAndEscEscRunsIt)
{
    SetText("abc", {3, 0});
    Key(Qt::Key_Escape);
    EXPECT_EQ(CommandLines().Current, 1);
    EXPECT_EQ(Form->CmdEditor->GetText(), "\x1b");
    EXPECT_TRUE(Form->CmdEditor->hasFocus());
    QTest::keyClicks(Form->CmdEditor, "2D");
    QTest::keyClick(Form->CmdEditor, Qt::Key_Escape);
    QTest::keyClick(Form->CmdEditor, Qt::Key_Escape);
    EXPECT_EQ(Main().GetText(), "a");
    EXPECT_TRUE(Form->MainEditor->hasFocus());
}

TEST_F(KeyRouting, CtrlGRunsTheLineExceptDuringARun)
{
    SetText("");
    Form->CmdEditor->SetText("Ix\x1b");
    CommandLines().Running = true;  // a run waiting in the message loop
    Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Main().GetText(), "");
    CommandLines().Running = false;
    Key(Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(Main().GetText(), "x");
}

TEST_F(KeyRouting, MarkerBelowAShrunkTextSaysRange)
{
    ResetMarkers();
    SetText("a\nb\nc\nd\ne", {0, 4});
    Key(Qt::Key_F9);
    for (int I = 0; I < 4; ++I)
        Key(Qt::Key_Up);
    for (int I = 0; I < 4; ++I)
        Main().DeleteToLineEnd();  // as Shift+^X: the lines below join on and go
    ASSERT_EQ(Main().GetText(), "e");
    Key(Qt::Key_End);
    Key(Qt::Key_F10);
    // The view's line is still there: only the cursor's position is missing.
    EXPECT_EQ(StatusMessage(), "Range?");
    EXPECT_TRUE(StatusMessageIsError());
    EXPECT_EQ(Form->StatusDis->text().toStdString(), " Range?");
    EXPECT_EQ(At(), (TPoint{1, 0}));
    ResetMarkers();
}

TEST_F(KeyRouting, KeypadFlagAndWheel)
{
    SetText("");
    QTest::keyClick(Form->MainEditor, Qt::Key_5, Qt::KeypadModifier);
    EXPECT_TRUE(KeypadFlag);
    EXPECT_EQ(Main().GetText(), "5");
    Key(Qt::Key_5);
    EXPECT_FALSE(KeypadFlag);

    SetText(Lines(200));
    Form->MainEditor->TopLine = 0;
    // A wheel turned over a control that does not scroll reaches the window (a sent,
    // non-spontaneous event does not propagate, so it goes to the window directly).
    QWidget* Outside = Form.get();
    const QPointF P(5, 5);
    QWheelEvent Down(P, Outside->mapToGlobal(P), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QApplication::sendEvent(Outside, &Down);
    EXPECT_EQ(Form->MainEditor->TopLine, 1);
    EXPECT_EQ(At(), (TPoint{0, 0}));
    QWheelEvent Up(P, Outside->mapToGlobal(P), QPoint(), QPoint(0, 120), Qt::NoButton, Qt::NoModifier,
                   Qt::NoScrollPhase, false);
    QApplication::sendEvent(Outside, &Up);
    EXPECT_EQ(Form->MainEditor->TopLine, 0);
}

}  // namespace
}  // namespace narvo
