// The split and secondary panes: showing and hiding with the menu entries and the
// tool button's cycle, the orientation kept in the divider, a hidden pane giving up
// the active role, the split view sharing the main text both ways (undo included),
// and the third pane keeping its own text and undo.
#include "PanesFixture.h"

#include <QSplitter>

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

}  // namespace
}  // namespace narvo
