// The backup browser: the folder is made and listed, a backup written later shows
// after the auto-save refresh, View/Open/Del Selected act on the selected rows, and
// deletions go to the trash with the row before the first deleted one selected.
#include "tools/AutoBackup.h"

#include "components/FolderList.h"
#include "components/FolderTestHelpers.h"
#include "platform/Application.h"
#include "support/TempFolder.h"
#include "tools/TextToolHooks.h"

#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <sys/stat.h>

namespace narvo {
namespace {

using testing::WriteFile;

class AutoBackupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Host.Test = this;
        SetToolHost(&Host);
        OldReporter = SetExceptionReporter([this](const std::string& M) { Reported.push_back(M); });
        CreateAutoBackDlg(nullptr);
        Dlg = AutoBackDlg();
        ASSERT_NE(Dlg, nullptr);
    }
    void TearDown() override
    {
        FreeAutoBackDlg();
        SetExceptionReporter(OldReporter);
        SetToolHost(nullptr);
    }
    // Writes backups NRV1.txt ... NRV<N>.txt and refreshes as the auto-save timer does.
    void WriteBackups(int N)
    {
        for (int I = 1; I <= N; ++I)
            WriteFile(Folder + "NRV" + std::to_string(I) + ".txt", static_cast<std::size_t>(I));
        RefreshAutoBackDlg();
    }
    bool InTrash(const std::string& Name) const
    {
        return QFile::exists(QString::fromStdString(D + "/data/Trash/files/" + Name)) &&
               QFile::exists(QString::fromStdString(D + "/data/Trash/info/" + Name + ".trashinfo"));
    }

    QTemporaryDir T;
    const std::string D = T.path().toStdString(), Folder = D + "/config/narvo/BackupFiles/";
    test::TEnvGuard Data{"XDG_DATA_HOME", D + "/data"};
    std::vector<std::string> Opened, Reported;
    TExceptionReporter OldReporter;
    TAutoBackDlg* Dlg = nullptr;
    // The window's side: the test's folder, and the files opened recorded.
    struct THost : TToolHost {
        AutoBackupTest* Test = nullptr;
        std::string BackupFolder() override { return Test->Folder; }
        bool OpenTextFile(const std::string& Name) override
        {
            Test->Opened.push_back(Name);
            return true;
        }
    } Host;
};

TEST_F(AutoBackupTest, EmptyFolderIsMadeAndTheButtonsDoNothing)
{
    EXPECT_TRUE(QDir(QString::fromStdString(Folder)).exists());
    EXPECT_EQ(Dlg->ShellList->Count(), 0);
    Dlg->ViewBtn->click();
    Dlg->OpenBtn->click();
    Dlg->DeleteBtn->click();
    EXPECT_TRUE(Opened.empty());
    EXPECT_TRUE(Reported.empty());
    EXPECT_TRUE(Dlg->Memo1->toPlainText().isEmpty());
}

TEST_F(AutoBackupTest, ListsWrittenBackupsViewsAndOpensThem)
{
    WriteFile(Folder + "Sub", 0);
    QDir(QString::fromStdString(Folder)).mkdir("folder");  // folders are not listed
    WriteBackups(2);
    ASSERT_EQ(Dlg->ShellList->Count(), 3);
    Dlg->ShellList->SelectRow(0);  // NRV1.txt, NRV2.txt, Sub: selecting shows it
    EXPECT_EQ(Dlg->ShellList->SelectedFolder()->DisplayName(), "NRV1.txt");
    EXPECT_EQ(Dlg->Memo1->toPlainText(), "x");
    Dlg->ShellList->SelectRow(1);
    Dlg->Memo1->clear();
    Dlg->ViewBtn->click();
    EXPECT_EQ(Dlg->Memo1->toPlainText(), "xx");
    Dlg->OpenBtn->click();
    EXPECT_EQ(Opened, std::vector<std::string>{Folder + "NRV2.txt"});

    // A file gone meanwhile: selecting says so in the viewer, in place of the text
    // of the row before; View reports it.
    std::remove((Folder + "NRV1.txt").c_str());
    Dlg->ShellList->SelectRow(0);
    EXPECT_TRUE(Dlg->Memo1->toPlainText().contains("NRV1.txt"));
    EXPECT_FALSE(Dlg->Memo1->toPlainText().contains("xx"));
    Dlg->ViewBtn->click();
    ASSERT_EQ(Reported.size(), 1u);
    EXPECT_NE(Reported[0].find("NRV1.txt"), std::string::npos);
}

TEST_F(AutoBackupTest, DeletingMovesToTheTrashAndSelectsTheRowBefore)
{
    WriteBackups(9);  // rows NRV1..NRV9
    for (int R : {5, 6, 7})
        Dlg->ShellList->SelectRow(R, false);
    Dlg->DeleteBtn->click();
    EXPECT_EQ(Dlg->ShellList->Count(), 6);
    for (const char* Name : {"NRV6.txt", "NRV7.txt", "NRV8.txt"})
        EXPECT_TRUE(InTrash(Name)) << Name;
    EXPECT_EQ(Dlg->ShellList->SelectedRows(), std::vector<int>{4});

    Dlg->ShellList->SelectRow(0);
    Dlg->DeleteBtn->click();
    EXPECT_EQ(Dlg->ShellList->SelectedRows(), std::vector<int>{0});
    EXPECT_EQ(Dlg->ShellList->SelectedFolder()->DisplayName(), "NRV2.txt");

    for (int R = 0; R < Dlg->ShellList->Count(); ++R)
        Dlg->ShellList->SelectRow(R, false);
    Dlg->DeleteBtn->click();
    EXPECT_EQ(Dlg->ShellList->Count(), 0);
    EXPECT_EQ(Dlg->ShellList->SelectedIndex(), -1);
    EXPECT_TRUE(Reported.empty());
}

TEST_F(AutoBackupTest, TheSelectionStaysOnTheFileWhenTheListIsSortedOrReRead)
{
    ResetSortDirections();
    WriteBackups(3);
    Dlg->ShellListColumnClick(1);  // size ascending: NRV1, NRV2, NRV3
    EXPECT_EQ(Dlg->ShellList->Folders(0).DisplayName(), "NRV1.txt");
    Dlg->ShellList->SelectRow(0);
    ASSERT_EQ(Dlg->Memo1->toPlainText(), "x");
    Dlg->ShellListColumnClick(1);  // descending: NRV1 is now the last row
    EXPECT_EQ(Dlg->ShellList->Folders(0).DisplayName(), "NRV3.txt");
    ASSERT_NE(Dlg->ShellList->SelectedFolder(), nullptr);
    EXPECT_EQ(Dlg->ShellList->SelectedFolder()->DisplayName(), "NRV1.txt");
    EXPECT_EQ(Dlg->ShellList->SelectedRows(), std::vector<int>{2});
    // A backup written meanwhile (the list re-read) moves no selection either.
    WriteFile(Folder + "NRV4.txt", 4);
    RefreshAutoBackDlg();
    ASSERT_NE(Dlg->ShellList->SelectedFolder(), nullptr);
    EXPECT_EQ(Dlg->ShellList->SelectedFolder()->DisplayName(), "NRV1.txt");
    Dlg->DeleteBtn->click();
    EXPECT_TRUE(InTrash("NRV1.txt"));
    for (const char* Name : {"NRV2.txt", "NRV3.txt", "NRV4.txt"})
        EXPECT_FALSE(InTrash(Name)) << Name;
}

TEST_F(AutoBackupTest, F5AndDeletionLeaveTheHighlightOnFilesTheUserChose)
{
    WriteBackups(3);  // NRV1, NRV2, NRV3
    Dlg->ShellList->SelectRow(1);
    ASSERT_EQ(Dlg->Memo1->toPlainText(), "xx");
    // A backup written meanwhile comes first in the list: F5 leaves NRV2 highlighted,
    // and Del Selected trashes it and no other.
    WriteFile(Folder + "MEW.txt", 5);
    QTest::keyClick(Dlg->ShellList, Qt::Key_F5);
    ASSERT_EQ(Dlg->ShellList->Count(), 4);
    ASSERT_NE(Dlg->ShellList->SelectedFolder(), nullptr);
    EXPECT_EQ(Dlg->ShellList->SelectedFolder()->DisplayName(), "NRV2.txt");
    EXPECT_EQ(Dlg->ShellList->currentIndex().row(), 2);
    EXPECT_EQ(Dlg->Memo1->toPlainText(), "xx");

    // Another one appears before the deletion's own refresh: the highlight goes to the
    // file that stood before the deleted one, not to the newcomer now in its row.
    WriteFile(Folder + "LOW.txt", 6);
    Dlg->DeleteBtn->click();
    EXPECT_TRUE(InTrash("NRV2.txt"));
    for (const char* Name : {"NRV1.txt", "NRV3.txt", "MEW.txt", "LOW.txt"})
        EXPECT_FALSE(InTrash(Name)) << Name;
    ASSERT_NE(Dlg->ShellList->SelectedFolder(), nullptr);
    EXPECT_EQ(Dlg->ShellList->SelectedFolder()->DisplayName(), "NRV1.txt");
    EXPECT_EQ(Dlg->Memo1->toPlainText(), "x");

    // The first row deleted while a new one appears: the file that followed it.
    Dlg->ShellList->SelectRow(0);  // LOW
    ASSERT_EQ(Dlg->ShellList->SelectedFolder()->DisplayName(), "LOW.txt");
    WriteFile(Folder + "BAY.txt", 7);
    Dlg->DeleteBtn->click();
    EXPECT_TRUE(InTrash("LOW.txt"));
    EXPECT_EQ(Dlg->ShellList->SelectedFolder()->DisplayName(), "MEW.txt");
    EXPECT_TRUE(Reported.empty());
}

TEST_F(AutoBackupTest, TheFolderIsPrivateWhoeverMakesItFirst)
{
    FreeAutoBackDlg();
    QDir(QString::fromStdString(D + "/config")).removeRecursively();
    const mode_t Old = ::umask(022);
    CreateAutoBackDlg(nullptr);
    ::umask(Old);
    Dlg = AutoBackDlg();
    for (const std::string& F : {D + "/config", D + "/config/narvo", Folder}) {
        struct stat St {};
        ASSERT_EQ(::stat(F.c_str(), &St), 0) << F;
        EXPECT_EQ(St.st_mode & 0777, 0700u) << F;
    }
}

}  // namespace
}  // namespace narvo
