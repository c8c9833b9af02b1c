// The backup browser wired into the window: the menu entry reaches it, a backup the
// auto-save timer writes is listed at once, Open loads a backup into the main pane, the
// list never leaves the backup folder, and the viewer never shows another file's text.
#include "PanesFixture.h"

#include "app/BackupBrowser.h"
#include "app/Documents.h"
#include "app/ToolHost.h"
#include "components/FolderList.h"
#include "tools/AutoBackup.h"
#include "tools/TextToolHooks.h"
#include "support/TempFolder.h"

#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <sys/stat.h>

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

TEST_F(BackupBrowser, StaysInTheBackupFolderAndNeverShowsTheTextOfAnotherRow)
{
    TAutoBackDlg& Dlg = *AutoBackDlg();
    const std::string Folder = Dlg.ShellList->RootFolder()->PathName();
    std::ofstream(Folder + "/a.txt") << "text of a";
    ASSERT_EQ(::mkfifo((Folder + "/b.fifo").c_str(), 0600), 0);  // unreadable, as root too
    std::ofstream(Folder + "/c.txt") << "text of c";
    Dlg.RefreshList();
    ASSERT_EQ(Dlg.ShellList->Count(), 3);

    Dlg.ShellList->SelectRow(0);
    EXPECT_EQ(Dlg.Memo1->toPlainText(), "text of a");
    Dlg.ShellList->SelectRow(1);
    EXPECT_FALSE(Dlg.Memo1->toPlainText().contains("text of a"));
    EXPECT_TRUE(Dlg.Memo1->toPlainText().contains("b.fifo")) << Dlg.Memo1->toPlainText().toStdString();
    Dlg.ShellList->SelectRow(2);
    ASSERT_EQ(::unlink((Folder + "/c.txt").c_str()), 0);
    Dlg.ShellList->SelectRow(0);
    Dlg.ShellList->SelectRow(2);  // gone since the list was read
    EXPECT_FALSE(Dlg.Memo1->toPlainText().contains("text of a"));

    // Backspace would show the parent folder, where the settings file lives.
    QTest::keyClick(Dlg.ShellList, Qt::Key_Backspace);
    EXPECT_EQ(Dlg.ShellList->RootFolder()->PathName(), Folder);
    Dlg.ShellList->GoUp();  // however it moved, the next showing is the backups again
    ASSERT_NE(Dlg.ShellList->RootFolder()->PathName(), Folder);
    Dlg.ShowBackupFolder();
    EXPECT_EQ(Dlg.ShellList->RootFolder()->PathName(), Folder);
    EXPECT_EQ(Dlg.ShellList->Count(), 2);
}

TEST_F(BackupBrowser, F5AndTheAutoSaveKeepTheHighlightOnTheChosenBackup)
{
    QTemporaryDir Data;
    const test::TEnvGuard Trash{"XDG_DATA_HOME", Data.path().toStdString()};
    TAutoBackDlg& Dlg = *AutoBackDlg();
    const std::string Folder = Dlg.ShellList->RootFolder()->PathName();
    std::ofstream(Folder + "/NRV0.txt") << "zero";
    std::ofstream(Folder + "/NRVz.txt") << "chosen";
    Dlg.RefreshList();
    Dlg.ShellList->SelectRow(1);
    ASSERT_EQ(Dlg.Memo1->toPlainText(), "chosen");

    Main().InsertText("typed");
    ASSERT_TRUE(AutoSaveTimerTimer());  // its dated name lands between the two
    ASSERT_EQ(Dlg.ShellList->Count(), 3);
    ASSERT_NE(Dlg.ShellList->SelectedFolder(), nullptr);
    EXPECT_EQ(Dlg.ShellList->SelectedFolder()->DisplayName(), "NRVz.txt");

    std::ofstream(Folder + "/NRV1.txt") << "one";
    QTest::keyClick(Dlg.ShellList, Qt::Key_F5);
    ASSERT_EQ(Dlg.ShellList->Count(), 4);
    ASSERT_NE(Dlg.ShellList->SelectedFolder(), nullptr);
    EXPECT_EQ(Dlg.ShellList->SelectedFolder()->DisplayName(), "NRVz.txt");
    Dlg.DeleteBtn->click();
    std::ifstream Gone(Folder + "/NRVz.txt");
    EXPECT_FALSE(Gone.good());
    for (const char* Kept : {"/NRV0.txt", "/NRV1.txt"})
        EXPECT_TRUE(std::ifstream(Folder + Kept).good()) << Kept;
    EXPECT_TRUE(std::ifstream(CurrentFileName).good()) << "the auto-saved backup stays";
    EXPECT_TRUE(Errors.empty());
}

}  // namespace
}  // namespace narvo
