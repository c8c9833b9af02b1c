// The backup browser wired into the window: the menu entry reaches it, a backup the
// auto-save timer writes is listed at once, and Open loads a backup into the main pane.
#include "PanesFixture.h"

#include "app/BackupBrowser.h"
#include "app/Documents.h"
#include "app/ToolHost.h"
#include "components/FolderList.h"
#include "tools/AutoBackup.h"
#include "tools/TextToolHooks.h"

#include <QPushButton>

namespace narvo {
namespace {

class BackupBrowser : public PanesFixture {
protected:
    void SetUp() override
    {
        PanesFixture::SetUp();
        InstallTextTools();
        CreateAutoBackDlg(Form.get());
    }
    void TearDown() override
    {
        FreeAutoBackDlg();
        SetToolHost(nullptr);
        PanesFixture::TearDown();
    }
};

TEST_F(BackupBrowser, WrittenBackupsAreListedAndOpenIntoTheMainPane)
{
    TAutoBackDlg& Dlg = *AutoBackDlg();
    EXPECT_EQ(Dlg.ShellList->RootFolder()->PathName() + "/", BackupFolder());
    EXPECT_EQ(Dlg.ShellList->Count(), 0);

    Main().InsertText("draft one");
    ASSERT_TRUE(AutoSaveTimerTimer());
    const std::string Backup = CurrentFileName;
    ASSERT_EQ(Dlg.ShellList->Count(), 1) << "listed without user action";
    EXPECT_EQ(Dlg.ShellList->Folders(0).PathName(), Backup);

    ASSERT_TRUE(CloseTextFile());
    EXPECT_TRUE(CurrentFileName.empty());
    Dlg.ShellList->SelectRow(0);
    Dlg.OpenBtn->click();
    EXPECT_EQ(CurrentFileName, Backup);
    EXPECT_EQ(Main().GetText(), "draft one");
    EXPECT_TRUE(Errors.empty());
}

}  // namespace
}  // namespace narvo
