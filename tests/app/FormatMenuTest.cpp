// The Format menu's transforms act on the active pane; the tools' host shows them the window.
#include "AppWindowFixture.h"

#include "app/ToolHost.h"
#include "editor/ScrollEditor.h"
#include "tools/TextToolHooks.h"

namespace narvo {
namespace {

class FormatMenuTest : public AppWindowFixture {};

TEST_F(FormatMenuTest, MenuEntriesActOnTheActivePane)
{
    InstallTextTools();
    EXPECT_EQ(ToolActiveEditor(), Form->ActiveEditor);
    EXPECT_EQ(ToolMainEditor(), Form->MainEditor);

    TScrollEditor& Pane = *Form->ActiveEditor;
    Pane.SetText("a\nb");
    Pane.SelectAll();
    Trigger("InsertMarksMnu");
    EXPECT_EQ((*Pane.Strings)[0], "> a");
    EXPECT_EQ((*Pane.Strings)[1], "> b");
    Pane.SelectAll();
    Trigger("StringtoHexMnu");
    EXPECT_EQ((*Pane.Strings)[0], "%3E%20%61%0D%3E%20%62");
    SetToolHost(nullptr);
}

TEST_F(FormatMenuTest, MenuTransformsAColumnBlockInPlace)
{
    InstallTextTools();
    TScrollEditor& Pane = *Form->ActiveEditor;
    Pane.SetText("xabcx\nydefy\nzghiz");
    Pane.HighLight->StartPos = TPoint{1, 0};
    Pane.HighLight->EndPos = TPoint{3, 2};
    Pane.Cursor->ColumnBlock = true;
    Trigger("StringtoHexMnu");
    EXPECT_EQ(Pane.GetText(), "x%61%62cx\ny%64%65fy\nz%67%68iz");
    Trigger("HexToStringMnu");
    EXPECT_EQ(Pane.GetText(), "xabcx\nydefy\nzghiz");
    Pane.Undo();
    Pane.Undo();
    EXPECT_EQ(Pane.GetText(), "xabcx\nydefy\nzghiz");
    EXPECT_EQ(Pane.Status, edDone);
    SetToolHost(nullptr);
}

}  // namespace
}  // namespace narvo
