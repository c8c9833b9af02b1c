// The command language in the main window: a line typed after Esc and ended with
// Esc Esc runs on the active pane and undoes in one step, the register's fields
// follow a scoop, a replacement made while a scoop goes on replaces its match, and
// the key operand takes the next typed key without typing it.
#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/FindReplace.h"
#include "app/MainWindow.h"
#include "app/MainWindowHost.h"
#include "app/Settings.h"
#include "language/AppState.h"
#include "language/CommandLines.h"
#include "language/Expressions.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"
#include "shared/SystemData.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

namespace narvo {
namespace {

class CommandWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallCommandLanguage();
        SystemData.SetThousandSeparator(',');
        BreakFlag = false;
        SetStatusMessage("", false);
        CommandLines() = TCommandLineStore();
        // The window loads and saves the command lines in the settings folder: one
        // of its own for every test.
        ASSERT_TRUE(Settings.isValid());
        qputenv("NARVO_CONFIG_DIR", Settings.path().toLocal8Bit());
        Form = std::make_unique<TForm1>();
        Form->MainEditor->SetText("abc");
        Form->MainEditor->Cursor->SetPos(TPoint{3, 0});
    }
    void TearDown() override
    {
        Form.reset();
        SetCommandHost(nullptr);
    }
    void TypeCommand(const std::string& Text)
    {
        for (char C : Text)
            Form->CmdEditor->TypeChar(C);
    }
    std::string Label(QLabel* L) { return L->text().toStdString(); }
    TSeparatorGuard Separators;
    QTemporaryDir Settings;
    std::unique_ptr<TForm1> Form;
};

TEST_F(CommandWindow, EscTypedInAPaneThenEscEscRunsTheLine)
{
    EscToCmdLine();
    EXPECT_EQ(CommandLines().Current, 1);
    TypeCommand("2DIx\x1b\x1b");
    CmdEditorKeyPress('\x1b');
    EXPECT_EQ(Form->MainEditor->GetText(), "ax");
    EXPECT_EQ(CommandLines().Lines[1], "\x1b" "2DIx\x1b\x1b");
    EXPECT_EQ(StatusMessage(), "Ok");
    EXPECT_FALSE(CommandLines().Running);
    Form->MainEditor->Undo();
    EXPECT_EQ(Form->MainEditor->GetText(), "abc");
    // One Esc alone does not run.
    EscToCmdLine();
    TypeCommand("D");
    CmdEditorKeyPress('\x1b');
    EXPECT_EQ(Form->MainEditor->GetText(), "abc");
}

TEST_F(CommandWindow, TheScoopFieldsFollowTheRegister)
{
    EXPECT_EQ(Label(Form->ScoopDis), "100,000");
    EXPECT_EQ(Label(Form->ScoopStatusDis), "Off");  // before any scoop began or ended
    EXPECT_TRUE(PaneControlKey(18));  // ^R
    EXPECT_EQ(Label(Form->ScoopStatusDis), "On");
    Form->MainEditor->CursorLeft();
    EXPECT_EQ(ProgramRegister()->GetText(), "c");
    EXPECT_EQ(Label(Form->ScoopDis), "99,999");
    EXPECT_TRUE(PaneControlKey(6));  // ^F
    EXPECT_EQ(Label(Form->ScoopStatusDis), "Off");
    EXPECT_FALSE(PaneControlKey(9));  // Tab is typed, not a command
}

// A scoop ends when the text changes; its end must not take away the match that a
// replacement was about to replace, whether the search itself ended the scoop or
// the replacement does.
TEST_F(CommandWindow, AReplacementWhileAScoopGoesOnReplacesItsMatch)
{
    TEditorEngine& Pane = *Form->MainEditor;
    // The search flags are the program's; earlier runs may have turned them.
    ForwardFlag = true;
    IgnoreCaseFlag = false;
    WholeWordFlag = false;
    auto RunLine = [&](const std::string& Line) {
        EscToCmdLine();
        TypeCommand(Line + "\x1b");
        CmdEditorKeyPress('\x1b');
    };
    // Forward from the scoop's start: the first search's move ends the scoop.
    Pane.SetText("a xx b xx c");
    Pane.Cursor->SetPos(TPoint{0, 0});
    ASSERT_TRUE(PaneControlKey(18));  // ^R
    RunLine("#{Fxx\x1byy\x1b}");
    EXPECT_EQ(Pane.GetText(), "a yy b yy c");
    EXPECT_EQ(Label(Form->ScoopStatusDis), "Off");
    // Backward the search collects, and the replacement ends the scoop.
    Pane.SetText("p xx q");
    Pane.Cursor->SetPos(TPoint{6, 0});
    ASSERT_TRUE(PaneControlKey(18));
    RunLine("-Fxx\x1byy\x1b");
    EXPECT_EQ(Pane.GetText(), "p yy q");
    EXPECT_EQ(Label(Form->ScoopStatusDis), "Off");
    // The Replace dialog's Replace All.
    Pane.SetText("xx xx");
    Pane.Cursor->SetPos(TPoint{0, 0});
    ASSERT_TRUE(PaneControlKey(18));
    TFindOptions O;
    O.FindText = "xx";
    O.ReplaceText = "yyy";
    EXPECT_EQ(ReplaceAll(Pane, O), 2);
    EXPECT_EQ(Pane.GetText(), "yyy yyy");
    // ^F after a search while scooping leaves the match shown.
    Pane.SetText("ab ab");
    Pane.Cursor->SetPos(TPoint{5, 0});
    ASSERT_TRUE(PaneControlKey(18));
    RunLine("-Sab\x1b");
    ASSERT_TRUE(PaneControlKey(6));  // ^F
    EXPECT_EQ(Pane.GetMarkedText(), "ab");
    ForwardFlag = true;
}

TEST_F(CommandWindow, TheKeyOperandTakesTheNextKeyWithoutTypingIt)
{
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    QTimer::singleShot(10, [this] {
        QCoreApplication::postEvent(Form->MainEditor, new QKeyEvent(QEvent::KeyPress, Qt::Key_Q, Qt::NoModifier, "q"));
    });
    Form->CmdEditor->SetText("(K)");
    RunCurrentCommandLine(false);
    EXPECT_EQ(CurrentValue, 'q');
    EXPECT_EQ(Form->MainEditor->GetText(), "abc");

    // The break flag ends the wait with 0 and the run with "Break".
    QTimer::singleShot(10, [] { BreakFlag = true; });
    RunCurrentCommandLine(false);
    EXPECT_EQ(CurrentValue, 0);
    EXPECT_EQ(StatusMessage(), "Break");
}

// A run started by Ctrl+G reads Shift when each control key runs: Shift pressed
// at a key wait and held makes the following ^N use the other word rule.
TEST_F(CommandWindow, ShiftHeldAtAKeyWaitCountsForTheNextControlKey)
{
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    Form->activateWindow();
    Form->MainEditor->setFocus();
    QWindow* W = Form->windowHandle();
    auto CursorAfterRun = [&](bool HoldShift) {
        Form->MainEditor->SetText("ab cd");
        Form->MainEditor->Cursor->SetPos(TPoint{0, 0});
        Form->CmdEditor->SetText("(K)\x0e");
        QTimer::singleShot(10, [&] {
            if (HoldShift)
                QTest::keyPress(W, Qt::Key_Shift, Qt::ShiftModifier);
            QTest::keyClick(W, HoldShift ? 'A' : 'a', HoldShift ? Qt::ShiftModifier : Qt::NoModifier);
        });
        QTest::keyClick(Form->MainEditor, Qt::Key_G, Qt::ControlModifier);
        if (HoldShift)
            QTest::keyRelease(W, Qt::Key_Shift, Qt::NoModifier);
        EXPECT_EQ(CurrentValue, HoldShift ? 'A' : 'a');
        return Form->MainEditor->Cursor->Pos();
    };
    const TPoint Plain = CursorAfterRun(false);
    const TPoint Shifted = CursorAfterRun(true);
    EXPECT_EQ(Plain, (TPoint{3, 0}));    // the next word's start
    EXPECT_EQ(Shifted, (TPoint{2, 0}));  // the word's end
}

TEST_F(CommandWindow, TheSpinButtonsStoreAndStep)
{
    Form->CmdEditor->SetText("first");
    StepCurrentCommandLine(1);
    EXPECT_EQ(static_cast<int>(CommandLines().Current), 1);
    EXPECT_EQ(CommandLines().Lines[0], "first");
    StepCurrentCommandLine(-1);
    EXPECT_EQ(Form->CmdEditor->GetText(), "first");
}

// A recalled line is shown from its start, not scrolled sideways as far as a
// wider line shown before it.
TEST_F(CommandWindow, ARecalledLineIsShownFromItsStart)
{
    Form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Form.get()));
    TScrollEditor& Cmd = *Form->CmdEditor;
    CommandLines().Lines[1] = "Ilower";
    CommandHost()->SetCmdEditorText("I" + std::string(400, 'w'));
    ASSERT_GT(Cmd.LeftColumn, 0);
    StepCurrentCommandLine(1);
    EXPECT_EQ(Cmd.GetText(), "Ilower");
    EXPECT_EQ(Cmd.LeftColumn, 0);
    EXPECT_EQ(Cmd.Cursor->Pos(), (TPoint{6, 0}));
}

}  // namespace
}  // namespace narvo
