// The split and secondary panes: showing and hiding with the menu entries and the
// tool button's cycle, the orientation kept in the divider, a hidden pane giving up
// the active role, the split view sharing the main text both ways (undo included),
// the third pane keeping its own text and undo, and a modified secondary text never
// dropped without a question (Exit, New, opening another secondary file); New
// makes the main pane the active one, status included.
#include "PanesFixture.h"

#include "components/AutoButton.h"

#include <QSplitter>
#include <QTest>
#include <sys/stat.h>

namespace narvo {
namespace {

using SplitPanes = PanesFixture;

TEST_F(SplitPanes, MenuEntriesAndTheCycleShowAndHideThePanes)
{
    TForm1& F = *Form;
    EXPECT_EQ(SplitMode(F), 0);
    EXPECT_TRUE(F.IsSplitHorizontal());
    ShowSplitEditorMnuClick(F);
    EXPECT_EQ(SplitMode(F), 1);
    EXPECT_TRUE(F.Menus->ShowSplitEditorMnu->isChecked());
    ShowSplitEditorMnuClick(F);
    EXPECT_EQ(SplitMode(F), 0);
    EXPECT_FALSE(F.Menus->ShowSplitEditorMnu->isChecked());

    // Toggle2ndEditBtn: split view, secondary pane, none, through the menus' hooks.
    for (int Expected : {1, 2, 0, 1}) {
        CycleSplitEditor(F);
        EXPECT_EQ(SplitMode(F), Expected);
        EXPECT_EQ(F.ActiveEditor, F.MainEditor);
    }
    ShowSecondaryEditorMnuClick(F);
    EXPECT_EQ(SplitMode(F), 2) << "the secondary pane replaces the split view";
    EXPECT_TRUE(F.Menus->ShowSecondaryEditorMnu->isChecked());
    EXPECT_FALSE(F.Menus->ShowSplitEditorMnu->isChecked());
}

TEST_F(SplitPanes, TheOrientationLivesInTheDividerWhileAPaneShows)
{
    TForm1& F = *Form;
    // With no extra pane an orientation changes nothing.
    SetSplitOrientation(F, false);
    EXPECT_TRUE(F.IsSplitHorizontal());
    EXPECT_EQ(SplitMode(F), 0);

    ShowSecondaryEditorMnuClick(F);
    SetSplitOrientation(F, false);  // Split Vertical: to the right edge
    EXPECT_FALSE(F.IsSplitHorizontal());
    EXPECT_EQ(F.ScreenDivider->orientation(), Qt::Horizontal);
    EXPECT_EQ(SplitMode(F), 2);
    EXPECT_TRUE(F.Menus->SplitVerticalMnu->isChecked());
    ToggleTopRightBtnClick(F);  // and back under the main pane
    EXPECT_TRUE(F.IsSplitHorizontal());
    EXPECT_EQ(SplitMode(F), 2);

    // A pane shown later takes the place of the one shown before.
    SetSplitOrientation(F, false);
    ShowSplitEditorMnuClick(F);
    EXPECT_EQ(SplitMode(F), 1);
    EXPECT_FALSE(F.IsSplitHorizontal());
}

TEST_F(SplitPanes, AHiddenPaneIsNoLongerTheActiveOne)
{
    TForm1& F = *Form;
    struct {
        void (*Show)(TForm1&);
        TScrollEditor* TForm1::*Pane;
    } Rows[] = {{ShowSplitEditorMnuClick, &TForm1::Editor2}, {ShowSecondaryEditorMnuClick, &TForm1::Editor3}};
    for (const auto& R : Rows) {
        R.Show(F);
        F.ActiveEditor = F.*R.Pane;
        SetSplitOrientation(F, !F.IsSplitHorizontal());
        EXPECT_EQ(F.ActiveEditor, F.*R.Pane) << "moving the pane keeps it active";
        R.Show(F);  // hides it
        EXPECT_EQ(F.ActiveEditor, F.MainEditor);
    }
}

TEST_F(SplitPanes, TheSplitViewSharesTheMainTextBothWays)
{
    TForm1& F = *Form;
    ShowSplitEditorMnuClick(F);
    Main().SetText("shared");
    Main().SetModified(false);
    EXPECT_EQ(F.Editor2->GetText(), "shared");

    F.Editor2->GotoPos(TPoint{6, 0});
    F.Editor2->TypeChar('!');
    EXPECT_EQ(Main().GetText(), "shared!");
    EXPECT_TRUE(Main().Modified) << "a change in the split view modifies the document";
    EXPECT_EQ(Main().Cursor->Pos(), (TPoint{7, 0})) << "one cursor";

    Main().TypeChar('?');
    EXPECT_EQ(F.Editor2->GetText(), "shared!?");
    // One pair of undo rings: undo in either pane takes back the last change.
    F.Editor2->Undo();
    EXPECT_EQ(Main().GetText(), "shared!");
    Main().Undo();
    EXPECT_EQ(F.Editor2->GetText(), "shared");
}

TEST_F(SplitPanes, TheThirdPaneKeepsItsOwnTextAndUndo)
{
    TForm1& F = *Form;
    Main().SetText("main");
    Main().SetModified(false);
    ShowSecondaryEditorMnuClick(F);
    TScrollEditor& Third = *F.Editor3;
    Third.SetText("third");
    Third.GotoPos(TPoint{5, 0});
    Third.TypeChar('3');
    EXPECT_EQ(Third.GetText(), "third3");
    EXPECT_EQ(Main().GetText(), "main");
    EXPECT_FALSE(Main().Modified);

    Main().GotoPos(TPoint{4, 0});
    Main().TypeChar('M');
    Third.Undo();
    EXPECT_EQ(Third.GetText(), "third");
    EXPECT_EQ(Main().GetText(), "mainM") << "undo in the third pane leaves the main text";
    for (int I = 0; I < 10 && Third.Status == edDone; ++I)
        Third.Undo();
    EXPECT_EQ(Third.Status, edNothingToUndo);
    EXPECT_EQ(Main().GetText(), "mainM");
    Main().Undo();
    EXPECT_EQ(Main().GetText(), "main");
}

// The secondary file opened through the menu, then typed into.
void OpenAndEditSecondary(TForm1& F, TScriptedFileDialogs& Dialogs, const std::string& Name)
{
    Dialogs.Answers = {Name};
    F.Menus->Open1Click();
    ASSERT_EQ(SplitMode(F), 2);
    ASSERT_EQ(F.Editor3->FileName, Name);
    F.Editor3->setFocus();
    F.ActiveEditor = F.Editor3;
    F.Editor3->TypeChar('X');
}

TEST_F(SplitPanes, AModifiedSecondaryTextIsAskedAboutByExitAndCancelKeepsIt)
{
    TForm1& F = *Form;
    F.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&F));
    Write("side.txt", "side\n");
    ::chmod(Path("side.txt").c_str(), 0640);
    OpenAndEditSecondary(F, Dialogs, Path("side.txt"));
    F.UpdateStatus();
    EXPECT_EQ(Text(F.ModifiedDis), "Mod") << "the active secondary pane's own flag";
    F.ActiveEditor = F.MainEditor;
    F.UpdateStatus();
    EXPECT_EQ(Text(F.ModifiedDis), "") << "the main text is unchanged";

    Boxes.Answers = {mrCancel};
    F.Menus->ExitMnuClick();
    EXPECT_TRUE(F.isVisible());
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text, "Save Changes?\r\n" + Path("side.txt"));
    EXPECT_EQ(Boxes.Asked[0].Buttons, mbYesNoCancel);
    EXPECT_EQ(F.Editor3->GetText(), "Xside\n");
    EXPECT_TRUE(F.Editor3->Modified);

    // Yes: saved to its own file with the backup of what was there, keeping its mode;
    // the document (untitled, unchanged) is not touched.
    Boxes.Answers = {mrYes};
    EXPECT_TRUE(F.close());
    EXPECT_EQ(Read("side.txt"), "Xside\n");
    const std::string Backup = BackupFileName(Path("side.txt"));
    std::ifstream In(Backup, std::ios::binary);
    std::ostringstream Old;
    Old << In.rdbuf();
    EXPECT_EQ(Old.str(), "side\n");
    struct stat St {};
    ASSERT_EQ(stat(Path("side.txt").c_str(), &St), 0);
    EXPECT_EQ(St.st_mode & 0777, 0640u);
    EXPECT_FALSE(F.Editor3->Modified);
    EXPECT_TRUE(CurrentFileName.empty());
    EXPECT_EQ(Boxes.Asked.size(), 2u);
}

TEST_F(SplitPanes, ASecondaryFileChangedByAnotherProgramIsOverwrittenOnlyWhenAgreed)
{
    TForm1& F = *Form;
    F.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&F));
    Write("side.txt", "side\n");
    OpenAndEditSecondary(F, Dialogs, Path("side.txt"));
    Write("side.txt", "theirs, longer\n");
    const auto ChangedQuestion = [&] { return LastAsked().find("was changed by another program") != std::string::npos; };

    // Exit, Yes to "Save Changes?": asked again; No keeps their file and the window.
    Boxes.Answers = {mrYes, mrNo};
    F.Menus->ExitMnuClick();
    ASSERT_EQ(Boxes.Asked.size(), 2u);
    EXPECT_TRUE(ChangedQuestion()) << LastAsked();
    EXPECT_NE(LastAsked().find(Path("side.txt")), std::string::npos);
    EXPECT_TRUE(F.isVisible());
    EXPECT_EQ(Read("side.txt"), "theirs, longer\n");
    EXPECT_TRUE(F.Editor3->Modified);

    // Opening another secondary file asks the same before it lets the text go.
    Write("two.txt", "two\n");
    Boxes.Answers = {mrYes, mrNo};
    Dialogs.Answers = {Path("two.txt")};
    F.Menus->Open1Click();
    EXPECT_TRUE(ChangedQuestion()) << LastAsked();
    EXPECT_EQ(F.Editor3->FileName, Path("side.txt"));
    EXPECT_EQ(Read("side.txt"), "theirs, longer\n");

    // Save with the pane active: Yes writes ours, and the backup keeps theirs.
    F.ActiveEditor = F.Editor3;
    Boxes.Answers = {mrYes};
    F.Menus->SaveMnuClick();
    EXPECT_TRUE(ChangedQuestion()) << LastAsked();
    EXPECT_EQ(Read("side.txt"), "Xside\n");
    EXPECT_EQ(Read("side.txt.BAK"), "theirs, longer\n");
    EXPECT_FALSE(F.Editor3->Modified);

    // Saved here: the next save asks nothing.
    const std::size_t Asked = Boxes.Asked.size();
    F.Editor3->TypeChar('Y');
    F.Menus->SaveMnuClick();
    EXPECT_EQ(Boxes.Asked.size(), Asked);
    EXPECT_EQ(Read("side.txt"), "XYside\n");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(SplitPanes, NewKeepsAndOpeningAnotherSecondaryFileAsksFirst)
{
    TForm1& F = *Form;
    Write("one.txt", "one\n");
    Write("two.txt", "two\n");
    OpenAndEditSecondary(F, Dialogs, Path("one.txt"));

    // New empties the document only: the secondary text stays, unasked.
    Main().InsertText("main");
    Boxes.Answers = {mrNo};
    F.Menus->NewMnuClick();
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text, "Save Changes?");
    EXPECT_EQ(F.Editor3->GetText(), "Xone\n");
    EXPECT_TRUE(F.Editor3->Modified);
    // New goes to the main pane, and the status and the Save button show its fresh
    // text, not the secondary pane's that was active.
    EXPECT_EQ(F.ActiveEditor, F.MainEditor);
    EXPECT_EQ(Text(F.ModifiedDis), "");
    EXPECT_FALSE(F.SaveBtn->isEnabled());

    // Another secondary file: Cancel keeps the text and the file shown.
    Boxes.Asked.clear();
    Boxes.Answers = {mrCancel};
    Dialogs.Answers = {Path("two.txt")};
    F.Menus->Open1Click();
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Boxes.Asked[0].Text, "Save Changes?\r\n" + Path("one.txt"));
    EXPECT_EQ(F.Editor3->GetText(), "Xone\n");
    EXPECT_EQ(F.Editor3->FileName, Path("one.txt"));

    // No lets it go; the other file is shown and nothing was written.
    Boxes.Answers = {mrNo};
    Dialogs.Answers = {Path("two.txt")};
    F.Menus->Open1Click();
    EXPECT_EQ(F.Editor3->GetText(), "two\n");
    EXPECT_FALSE(F.Editor3->Modified);
    EXPECT_EQ(Read("one.txt"), "one\n");

    // A secondary text without a file asks for a name when Yes saves it.
    F.Editor3->SetText("fresh");
    F.Editor3->FileName.clear();
    Boxes.Asked.clear();
    Boxes.Answers = {mrYes};
    Dialogs.Answers = {Path("two.txt"), Path("fresh.txt")};  // the file to open, then the name
    F.Menus->Open1Click();
    ASSERT_EQ(Boxes.Asked.size(), 1u);
    EXPECT_EQ(Read("fresh.txt"), "fresh");
    EXPECT_EQ(F.Editor3->FileName, Path("two.txt"));
}

}  // namespace
}  // namespace narvo
