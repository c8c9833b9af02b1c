// Undo and redo on the program's own main window (offscreen), with real key events:
// what each press says on the status line, in the main pane, the split pane and
// the secondary pane.
#include "ProgramWindow.h"

#include "app/MainWindowHost.h"
#include "app/SecondEditor.h"
#include "language/StatusLine.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>

namespace narvo::test {
namespace {

class TQuietHost : public TMainWindowHost {
public:
    void ShowHelpContents() override {}
    void PrintText() override {}
};

class UndoWindow : public ::testing::Test, protected TProgramWindow {
protected:
    void SetUp() override
    {
        SetStatusMessage("", false);
        OpenWindow("/tmp/narvo-undo-XXXXXX", Host);
        Form->MainEditor->setFocus();
    }
    void TearDown() override { CloseWindow(); }

    void Key(QWidget* Pane, Qt::Key K, Qt::KeyboardModifiers M = Qt::NoModifier)
    {
        Pane->setFocus();
        QTest::keyClick(Pane, K, M);
    }
    // The message the status field shows, without its leading space.
    std::string Shown() const { return Form->StatusDis->text().trimmed().toStdString(); }

    TQuietHost Host;
};

TEST_F(UndoWindow, EachUndoAndRedoPressSaysItsOwnResult)
{
    TForm1& F = *Form;
    ShowSecondaryEditorMnuClick(F);
    // Each pane that has its own rings, and the split pane on the main pane's.
    for (TScrollEditor* P : {F.MainEditor, F.Editor3}) {
        SCOPED_TRACE(P == F.MainEditor ? "main pane" : "secondary pane");
        P->SetText("");
        Key(P, Qt::Key_Backspace, Qt::AltModifier);
        EXPECT_EQ(Shown(), "Undo Empty");
        Key(P, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
        EXPECT_EQ(Shown(), "Redo Empty");
        QTest::keyClicks(P, "ab");
        Key(P, Qt::Key_Backspace, Qt::AltModifier);
        EXPECT_EQ(P->GetText(), "a");
        EXPECT_EQ(Shown(), "Ok");
        Key(P, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
        EXPECT_EQ(P->GetText(), "ab");
        EXPECT_EQ(Shown(), "Ok") << "no stale message after a redo that worked";
        Key(P, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
        EXPECT_EQ(Shown(), "Redo Empty");
        // ^O and Shift+^O say the same.
        Key(P, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(Shown(), "Ok");
        Key(P, Qt::Key_O, Qt::ControlModifier);
        Key(P, Qt::Key_O, Qt::ControlModifier);
        EXPECT_EQ(P->GetText(), "");
        EXPECT_EQ(Shown(), "Undo Empty");
        Key(P, Qt::Key_O, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(Shown(), "Ok");
    }
    // The split pane undoes the main pane's text and says so.
    ShowSplitEditorMnuClick(F);
    ASSERT_TRUE(F.Editor2->isVisible());
    F.MainEditor->SetText("");
    QTest::keyClicks(F.Editor2, "x");
    Key(F.Editor2, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(F.MainEditor->GetText(), "");
    EXPECT_EQ(Shown(), "Ok");
    Key(F.Editor2, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Shown(), "Undo Empty");
    Key(F.Editor2, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
    EXPECT_EQ(F.MainEditor->GetText(), "x");
    EXPECT_EQ(Shown(), "Ok");
}

}  // namespace
}  // namespace narvo::test
