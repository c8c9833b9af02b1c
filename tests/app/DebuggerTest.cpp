// The step debugger in the main window: a single-stepped run shows each command
// and waits; Step goes on, Exit and Run finishes without further stops, and Exit
// and Abort, closing the window or Ctrl+Break end the run with "Break". The
// answers come from the wait hook instead of a person.
#include "AppWindowFixture.h"

#include "app/DebuggerDialog.h"
#include "components/SpinButtons.h"
#include "language/CommandLines.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QApplication>

namespace narvo {
namespace {

struct TSeen {
    std::string Decoded, Index, Nest, Count, Before, After;
};

class Debugger : public AppWindowFixture {
protected:
    void SetUp() override
    {
        AppWindowFixture::SetUp();
        CommandLines() = TCommandLineStore();
        Main().SetText("xy");
        Main().Cursor->SetPos(TPoint{1, 0});
    }
    void TearDown() override
    {
        TDebugDlg::WaitHook = nullptr;
        AppWindowFixture::TearDown();
    }
    // Runs Line single-stepped; Answer acts on the dialog at each step (by its number).
    void Run(const std::string& Line, std::function<void(TDebugDlg&, int Step)> Answer)
    {
        int Step = 0;
        TDebugDlg::WaitHook = [&](TDebugDlg& D) {
            if (D.DebugAnswer != 0)
                return;
            auto Text = [](QWidget* W) {
                if (auto* L = qobject_cast<QLabel*>(W))
                    return L->text().toStdString();
                return static_cast<QLineEdit*>(W)->text().toStdString();
            };
            Seen.push_back({Text(D.DecodeDis), Text(D.IndexDis), Text(D.NestDis), Text(D.CountDis),
                            Text(D.BeforeCursorDis), Text(D.AfterCursorDis)});
            EXPECT_EQ(D.StatusDis->text().toStdString(), "Running");
            Answer(D, Step++);
        };
        CommandHost()->SetCmdEditorText(Line);
        RunCurrentCommandLine(true);
    }
    std::vector<TSeen> Seen;
    // Lets the window system's events (activation, focus) arrive, until Done holds.
    template <class F>
    static void RunPending(F&& Done)
    {
        for (int I = 0; I < 100 && !Done(); ++I)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

TEST_F(Debugger, StepsTwiceThenRunsOn)
{
    Run("1DIa\x1bIb\x1b", [](TDebugDlg& D, int Step) { (Step < 2 ? D.StepBtn : D.RunBtn)->click(); });
    ASSERT_EQ(Seen.size(), 3u);
    EXPECT_EQ(Seen[0].Decoded, "Number (prefix)");
    EXPECT_EQ(Seen[0].Index, "1");
    EXPECT_EQ(Seen[0].Nest, "1");
    EXPECT_EQ(Seen[0].Before, "x - $78");
    EXPECT_EQ(Seen[0].After, "y - $79");
    EXPECT_EQ(Seen[1].Decoded, "Insert String");
    EXPECT_EQ(Seen[1].Index, "3");
    EXPECT_EQ(Seen[1].Before.substr(1), " - $00");  // D deleted the x
    EXPECT_TRUE(Seen[1].After.find(" - $79") != std::string::npos);
    EXPECT_EQ(Seen[2].Decoded, "Separator (Esc)");
    EXPECT_EQ(Main().GetText(), "aby");
    TDebugDlg* D = DebugDlg();
    EXPECT_FALSE(D->isVisible());
    EXPECT_EQ(D->StatusDis->text().toStdString(), "Done");
    EXPECT_TRUE(D->ExecuteBtn->isEnabled());
    EXPECT_FALSE(D->StepBtn->isEnabled());
    EXPECT_FALSE(BreakFlag);
}

TEST_F(Debugger, AbortClosingAndCtrlBreakEndTheRunWithBreak)
{
    const std::function<void(TDebugDlg&)> Aborts[] = {
        [](TDebugDlg& D) { D.AbortBtn->click(); },
        [](TDebugDlg& D) { D.close(); },
        [](TDebugDlg& D) {
            QKeyEvent Key(QEvent::KeyPress, Qt::Key_Pause, Qt::ControlModifier);
            QCoreApplication::sendEvent(D.StepBtn, &Key);
        },
        [](TDebugDlg&) { BreakFlag = true; },  // Ctrl+Break in the main window, or closing it
    };
    for (const auto& Abort : Aborts) {
        Seen.clear();
        Main().SetText("");
        SetStatusMessage("", false);
        Run("Ia\x1b{Ib\x1b}Ic\x1b", [&](TDebugDlg& D, int Step) {
            if (Step < 3)
                D.StepBtn->click();
            else
                Abort(D);
        });
        EXPECT_EQ(Seen.size(), 4u);  // I, Esc, {, then the I inside the loop
        EXPECT_EQ(Seen[3].Nest, "2");
        EXPECT_EQ(Main().GetText(), "a");
        EXPECT_EQ(StatusMessage(), "Break");
        EXPECT_TRUE(StatusMessageIsError());
        EXPECT_FALSE(DebugDlg()->isVisible());
        EXPECT_FALSE(CommandLines().Running);
    }
    // Aborted at the top level too.
    Seen.clear();
    SetStatusMessage("", false);
    Run("Ia\x1bIb\x1b", [](TDebugDlg& D, int) { D.AbortBtn->click(); });
    EXPECT_EQ(Seen.size(), 1u);
    EXPECT_EQ(StatusMessage(), "Break");
}

// After a click on Step the debugger window has the keyboard; when the next step
// waits, the main window is active again and the pane has the focus, so typing
// reaches the text.
TEST_F(Debugger, AStepThatWaitsGivesTheKeyboardBackToThePane)
{
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    std::vector<bool> PaneHasKeys;
    Run("Ia\x1bIb\x1b", [&](TDebugDlg& D, int Step) {
        TScrollEditor* Pane = Form->ActiveEditor;
        RunPending([&] { return QApplication::activeWindow() == Form.get() && QApplication::focusWidget() == Pane; });
        PaneHasKeys.push_back(QApplication::activeWindow() == Form.get() && QApplication::focusWidget() == Pane);
        if (Step == 2) {
            D.RunBtn->click();
            return;
        }
        // The user clicks Step: the debugger window takes the keyboard.
        D.activateWindow();
        D.StepBtn->setFocus();
        RunPending([&] { return QApplication::activeWindow() == &D; });
        ASSERT_EQ(QApplication::activeWindow(), &D);
        D.StepBtn->click();
    });
    EXPECT_EQ(PaneHasKeys, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(Main().GetText(), "xaby");
}

TEST_F(Debugger, TheLineShownTakesNoTypingAndTabReachesTheButtons)
{
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    std::vector<QWidget*> Reached;
    std::string Shown, Marked;
    Run("Ia\x1b", [&](TDebugDlg& D, int) {
        D.activateWindow();
        D.CmdEditor->setFocus();
        RunPending([&] { return QApplication::activeWindow() == &D; });
        QTest::keyClicks(D.CmdEditor, "x\t");
        Shown = D.CmdEditor->GetText();
        Marked = D.CmdEditor->GetMarkedText();
        for (int I = 0; I < 8; ++I) {
            QWidget* F = QApplication::focusWidget();
            Reached.push_back(F);
            QTest::keyClick(F ? F : static_cast<QWidget*>(&D), Qt::Key_Tab);
        }
        D.RunBtn->click();
    });
    EXPECT_EQ(Shown, "Ia\x1b");
    EXPECT_EQ(Marked, "I");
    TDebugDlg* D = DebugDlg();
    for (QPushButton* B : {D->StepBtn, D->RunBtn, D->AbortBtn})
        EXPECT_NE(std::find(Reached.begin(), Reached.end(), B), Reached.end()) << B->text().toStdString();
    EXPECT_EQ(std::find(Reached.begin() + 1, Reached.end(), D->CmdEditor), Reached.end());
}

TEST_F(Debugger, DescribesEveryCommandCharacter)
{
    // Digits, bytes above 127 (no negative index) and the control characters.
    const std::pair<int, const char*> Cases[] = {
        {'3', "Number (prefix)"},  {'s', "Search"},     {'U', "Unknown Command (Illegal)"},
        {200, "Unknown Command (Illegal)"}, {0, "Unknown Command (Illegal)"},
        {12, "Form Feed  (Illegal As Command)"}, {17, " Editor.BackChar"}, {13, "Null Command"},
        {'}', "End of Loop"},
    };
    for (const auto& [Code, Text] : Cases)
        EXPECT_EQ(TDebugDlg::DescribeCommand(static_cast<char>(Code)), Text) << Code;
}

TEST_F(Debugger, CharacterAtTheEndShowsZero)
{
    Main().Cursor->SetPos(TPoint{2, 0});
    Run("D", [](TDebugDlg& D, int) { D.StepBtn->click(); });
    ASSERT_EQ(Seen.size(), 1u);
    EXPECT_EQ(Seen[0].After.size(), 7u);  // the character 0 itself, then " - $00"
    EXPECT_EQ(Seen[0].After.substr(1), " - $00");
}

}  // namespace
}  // namespace narvo
