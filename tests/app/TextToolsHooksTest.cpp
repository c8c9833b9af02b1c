// The text tools reach the menus and the active pane through their install function.
#include "AppWindowFixture.h"

#include "app/MainWindowMenus.h"
#include "app/TextToolsHooks.h"
#include "editor/ScrollEditor.h"
#include "tools/TextToolHooks.h"

namespace narvo {
namespace {

class TextToolsHooksTest : public AppWindowFixture {};

TEST_F(TextToolsHooksTest, MenuEntriesActOnTheActivePane)
{
    ResetMenuActions();
    InstallTextTools();
    const TMenuActions& M = MenuActions();
    for (const auto* Hook : {&M.FileDetails, &M.MatchPairs, &M.BlockIndent, &M.TabsToSpaces, &M.SpacesToTabs,
                             &M.InsertLineMarks, &M.RemoveLineMarks, &M.RemoveHtml, &M.HexToString, &M.StringToHex,
                             &M.Convert8BitsTo7Bits, &M.ConvertSpanish, &M.ChangeCase})
        EXPECT_TRUE(static_cast<bool>(*Hook));
    EXPECT_EQ(ToolActiveEditor(), Form->ActiveEditor);
    EXPECT_EQ(ToolMainEditor(), Form->MainEditor);

    TScrollEditor& Pane = *Form->ActiveEditor;
    Pane.SetText("a\nb");
    Pane.SelectAll();
    M.InsertLineMarks();
    EXPECT_EQ((*Pane.Strings)[0], "> a");
    EXPECT_EQ((*Pane.Strings)[1], "> b");
    Pane.SelectAll();
    M.StringToHex();
    EXPECT_EQ((*Pane.Strings)[0], "%3E%20%61%0D%3E%20%62");
    ResetMenuActions();
    SetToolHost(nullptr);
}

TEST_F(TextToolsHooksTest, MenuTransformsAColumnBlockInPlace)
{
    ResetMenuActions();
    InstallTextTools();
    TScrollEditor& Pane = *Form->ActiveEditor;
    Pane.SetText("xabcx\nydefy\nzghiz");
    Pane.HighLight->StartPos = TPoint{1, 0};
    Pane.HighLight->EndPos = TPoint{3, 2};
    Pane.Cursor->ColumnBlock = true;
    MenuActions().StringToHex();
    EXPECT_EQ(Pane.GetText(), "x%61%62cx\ny%64%65fy\nz%67%68iz");
    MenuActions().HexToString();
    EXPECT_EQ(Pane.GetText(), "xabcx\nydefy\nzghiz");
    Pane.Undo();
    Pane.Undo();
    EXPECT_EQ(Pane.GetText(), "xabcx\nydefy\nzghiz");
    EXPECT_EQ(Pane.Status, edDone);
    ResetMenuActions();
    SetToolHost(nullptr);
}

}  // namespace
}  // namespace narvo
