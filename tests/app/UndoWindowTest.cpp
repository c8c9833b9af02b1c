// Undo and redo on the program's own main window (offscreen), with real key events:
// what each press says on the status line, in the main pane, the split pane and
// the secondary pane; a command-line run and a Replace All larger than the undo
// ring, taken back by one Alt+Backspace and given again by one Alt+Shift+Backspace;
// and a press without the room its group needs, which changes nothing and says so.
#include "ProgramWindow.h"

#include "app/FindReplace.h"
#include "app/MainWindowHost.h"
#include "app/MainWindowMenus.h"
#include "app/SecondEditor.h"
#include "language/StatusLine.h"
#include "platform/posix/ProcessMemory.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
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
    // The line run as Ctrl+G in the main pane runs it.
    void Run(const std::string& Line)
    {
        CommandLines().Current = 0;
        CommandHost()->SetCmdEditorText(Line);
        Form->MainEditor->setFocus();
        QKeyEvent Press(QEvent::KeyPress, Qt::Key_G, Qt::ControlModifier, QString(QChar(7)));
        QApplication::sendEvent(Form->MainEditor, &Press);
    }
    void ReplaceAll(const char* From, const char* To)
    {
        Form->Menus->ReplaceMnuClick();
        TFindReplaceDialog& D = *Form->Menus->FindDialog();
        D.FindEdit->setText(From);
        D.ReplaceEdit->setText(To);
        D.ReplaceAllBtn->click();
        D.hide();
    }
    // A C-like source with N lines, each with two matches of std::.
    static std::string Source(int N)
    {
        std::string S;
        for (int I = 0; I < N; ++I)
            S += "    std::vector<int> v" + std::to_string(I) + " = std::move(w);\n";
        return S;
    }

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

TEST_F(UndoWindow, RunAndReplaceAllLargerThanTheRingUndoInOneStep)
{
    TScrollEditor& M = *Form->MainEditor;
    // A ring of 1,000 records: 600 replacements outgrow it as 146,817 outgrow the
    // ring's 255,999.
    M.UndoList->SetCapacity(1000);
    M.RedoList->SetCapacity(1000);
    struct TCase {
        const char* Name;
        std::function<void()> Change;
    } Cases[] = {
        {"command loop", [&] { Run("#{Fstd::\x1bxx::\x1b}"); }},
        {"Replace All", [&] { ReplaceAll("std::", "xx::"); }},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        M.SetText(Source(300) + "tail");
        M.GotoPos(TPoint{2, 0});
        QTest::keyClicks(&M, "ab");  // earlier history
        const std::string Before = M.GetText();
        C.Change();
        const std::string After = M.GetText();
        ASSERT_EQ(After.find("std::"), std::string::npos);
        EXPECT_EQ(Shown(), "Ok");
        Key(&M, Qt::Key_Backspace, Qt::AltModifier);
        EXPECT_EQ(M.GetText(), Before) << "one undo brings back the text before";
        EXPECT_EQ(M.Cursor->Pos(), (TPoint{4, 0}));
        EXPECT_EQ(Shown(), "Ok");
        Key(&M, Qt::Key_Backspace, Qt::AltModifier | Qt::ShiftModifier);
        EXPECT_EQ(M.GetText(), After);
        EXPECT_EQ(Shown(), "Ok");
        Key(&M, Qt::Key_Backspace, Qt::AltModifier);
        EXPECT_EQ(M.GetText(), Before);
        // The group filled the ring: what came before it is gone whole.
        Key(&M, Qt::Key_Backspace, Qt::AltModifier);
        EXPECT_EQ(M.GetText(), Before);
        EXPECT_EQ(Shown(), "Undo Empty");
    }
    // The secondary pane's own rings keep such a group too.
    ShowSecondaryEditorMnuClick(*Form);
    TScrollEditor& T = *Form->Editor3;
    T.UndoList->SetCapacity(1000);
    T.SetText(Source(300));
    const std::string Third = T.GetText(), MainText = M.GetText();
    T.setFocus();
    Form->ActiveEditor = &T;
    ReplaceAll("std::", "xx::");
    ASSERT_EQ(T.GetText().find("std::"), std::string::npos);
    Key(&T, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(T.GetText(), Third);
    EXPECT_EQ(M.GetText(), MainText) << "the main text is not the secondary pane's";
}

TEST_F(UndoWindow, GroupThatCannotBeKeptForUndoSaysSo)
{
    TScrollEditor& M = *Form->MainEditor;
    M.UndoList->SetCapacity(1000);
    // 5 MB of text, 600 replacements, and the memory left too small to keep the
    // old text beside the new.
    M.SetText("std::" + std::string(5 << 20, 'w') + "\n" + Source(300));
    M.GotoPos(TPoint{0, 0});
    SetMemoryLimitsForTest(TMemoryLimits{.Physical = 1 << 20});
    ReplaceAll("std::", "xx::");
    SetMemoryLimitsForTest(std::nullopt);
    EXPECT_EQ(Shown(), UndoLostMessage);
    const std::string After = M.GetText();
    Key(&M, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Shown(), "Undo Empty");
    EXPECT_EQ(M.GetText(), After) << "no part of it is undone";
}

TEST_F(UndoWindow, UndoAndRedoWithoutRoomForTheirGroupChangeNothingAndSaySo)
{
    TScrollEditor& M = *Form->MainEditor;
    auto Press = [&](const char* Action) {
        QAction* A = Form->findChild<QAction*>(QString::fromLatin1(Action));
        ASSERT_NE(A, nullptr) << Action;
        A->trigger();
    };
    auto Refused = [&](const char* Action, const std::string& Text) {
        SCOPED_TRACE(Action);
        Errors.clear();
        SetMemoryLimitsForTest(TMemoryLimits{.Physical = 1 << 20});
        Press(Action);
        SetMemoryLimitsForTest(std::nullopt);
        ASSERT_EQ(Errors.size(), 1u);
        EXPECT_EQ(Errors[0].rfind("Text Too Large: the operation needs ", 0), 0u) << Errors[0];
        EXPECT_TRUE(M.GetText() == Text) << "nothing of the group is done";
    };
    // 6 MB typed in one go, then all of it taken away.
    const std::string Big = Source(150000);
    M.SetText("");
    M.InsertText(Big);
    M.SelectAll();
    M.DeleteMark();
    ASSERT_EQ(M.GetText(), "");
    Refused("UndoMnu", "");
    Press("UndoMnu");
    EXPECT_TRUE(M.GetText() == Big) << "the group was whole on its ring";
    // Taking text away needs no room.
    SetMemoryLimitsForTest(TMemoryLimits{.Physical = 1 << 20});
    Press("UndoMnu");
    SetMemoryLimitsForTest(std::nullopt);
    EXPECT_EQ(M.GetText(), "");
    Refused("RedoMnu", "");
    Press("RedoMnu");
    EXPECT_TRUE(M.GetText() == Big);
    Press("RedoMnu");
    EXPECT_EQ(M.GetText(), "");
    EXPECT_EQ(Shown(), "Ok");
}

}  // namespace
}  // namespace narvo::test
