// The editor as a component: the defaults of a new editor, what the setters refuse
// or clamp, which setters relayout and fire OnChange, and panes sharing a buffer.
#include "EditorTestHelpers.h"

#include "platform/ResourceFont.h"

#include <QFontInfo>

namespace narvo {
namespace {

using testing::EditorHost;

TEST(EditorProperties, ANewEditorHasTheDefaults)
{
    TScrollEditor E;
    EXPECT_EQ(E.Strings->JoinLines('|'), "");
    EXPECT_FALSE(E.LineNumbers());
    EXPECT_FALSE(E.StandAlone());
    EXPECT_EQ(E.ScrollBars(), ssBoth);
    EXPECT_FALSE(E.ShowAll());
    EXPECT_EQ(E.GutterSize(), 5);
    EXPECT_EQ(E.EditorStyle, esMultiLine);
    EXPECT_EQ(E.CursorWidth(), 3);
    EXPECT_FALSE(E.LinearHScroll());
    EXPECT_EQ(E.HighlightColor(), 0x800000u);
    EXPECT_EQ(E.NonDeleteColor(), 0x000000u);
    EXPECT_EQ(E.ControlColor(), 0x0000FFu);
    EXPECT_EQ(E.ShadowColor(), 0xFAF0E6u);
    EXPECT_FALSE(E.ShadowLine());
    EXPECT_TRUE(E.UseTabStops());
    EXPECT_EQ(E.SpacesPerTab(), 8);
    EXPECT_EQ(E.KeyMapping(), kmDefault);
    EXPECT_FALSE(E.ReadOnly());
    EXPECT_EQ(E.Color(), clWhite);
    EXPECT_EQ(E.FontCharset(), TCodePage::Ansi);
    EXPECT_FALSE(E.Overwrite);
    EXPECT_FALSE(E.CtrlZMode);
    EXPECT_FALSE(E.HyphenInWords);
    EXPECT_EQ(E.Scale(), 1.0);
    EXPECT_TRUE(QFontInfo(E.font()).fixedPitch());
    // The shipped font, whatever fonts the machine has.
    EXPECT_EQ(E.font().family(), FixedSysFont().family());
}

TEST(EditorProperties, SettersClampBadNumbersAndFireOnChangeOnlyWhenTheValueChanges)
{
    TScrollEditor E;
    int Changes = 0;
    E.OnChange = [&] { ++Changes; };
    E.SetSpacesPerTab(8);
    E.SetGutterSize(5);
    EXPECT_EQ(Changes, 0);
    E.SetSpacesPerTab(4);
    E.SetGutterSize(9);
    EXPECT_EQ(Changes, 2);
    // Colours repaint without OnChange.
    E.SetHighlightColor(0x123456);
    E.SetLineNumbers(true);
    EXPECT_EQ(Changes, 2);
    E.SetLineNumbers(false);

    E.SetSpacesPerTab(-7);
    EXPECT_EQ(E.SpacesPerTab(), 1);
    E.SetCursorWidth(-3);
    EXPECT_EQ(E.CursorWidth(), 1);
    E.SetGutterSize(-10);
    EXPECT_EQ(E.GutterSize(), 0);
    EXPECT_EQ(E.GutterWidth(), 0);
    // With one space per tab, the tab takes one column and nothing divides by zero.
    E.SetStrings({"\tx"});
    EXPECT_EQ(E.DisplayColumn(TPoint{1, 0}, false), 1);
    EXPECT_EQ(E.ExpandTabs("\tx"), " x");
}

TEST(EditorProperties, ClearLeavesOneEmptyLineAndTheViewAtTheTop)
{
    EditorHost H(testing::NumberedLines(200));
    TScrollEditor& E = *H.Editor;
    E.ScrollToLine(150);
    std::vector<TScoopCommand> Scoops;
    E.OnScoopEvent = [&](TScoopCommand C, TRect) { Scoops.push_back(C); };
    E.Clear();
    EXPECT_EQ(E.Strings->Count(), 1);
    EXPECT_EQ(E.TopLine, 0);
    EXPECT_EQ(Scoops, std::vector<TScoopCommand>{scmStop});
}

TEST(EditorProperties, SharedPanesShowOneTextAndSurviveEachOther)
{
    auto Main = std::make_unique<TScrollEditor>();
    Main->SetStrings({"one", "two"});
    {
        TScrollEditor Second;
        Second.ShareBuffer(Main.get());
        EXPECT_TRUE(Second.Shared);
        EXPECT_EQ(Second.UndoList, Main->UndoList);
        // Sharing happens once.
        TScrollEditor Other;
        Second.ShareBuffer(&Other);
        EXPECT_EQ(Second.Strings, Main->Strings);
    }
    // The second pane is gone; the main pane's undo still works.
    Main->UndoList->AddItem(ukBracket, "", ufOpen, TPoint{});
    Main->UndoList->AddItem(ukDeleteBack, "X", ufInner, TPoint{0, 0});
    Main->Cursor->SetPos(TPoint{0, 0});
    Main->InsertTextNoUndo("X");
    Main->UndoList->AddItem(ukBracket, "", ufClose, Main->Cursor->Pos());
    Main->Undo();
    EXPECT_EQ((*Main->Strings)[0], "one");

    // The owner goes first: the sharing pane keeps working on the parts.
    TScrollEditor Survivor;
    Survivor.ShareBuffer(Main.get());
    const auto Before = Survivor.ChangeCount.load();
    Main.reset();
    Survivor.Cursor->SetPos(TPoint{0, 0});
    Survivor.UndoList->AddItem(ukDeleteBack, "Z", ufSingle, TPoint{0, 0});
    Survivor.InsertTextNoUndo("Z");
    EXPECT_EQ((*Survivor.Strings)[0], "Zone");
    EXPECT_GT(Survivor.ChangeCount.load(), Before);
    Survivor.Undo();
    EXPECT_EQ((*Survivor.Strings)[0], "one");
}

}  // namespace
}  // namespace narvo
