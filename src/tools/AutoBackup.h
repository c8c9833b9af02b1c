// The "Auto-Backup Files" dialog (TAutoBackDlg): browses the folder where the
// auto-save timer writes the backups of untitled texts. It lists the folder's files
// with their details, shows a selected file's text in a viewer pane, moves selected
// files to the trash and opens a file in the main editor. The form is made once at
// start-up and lives for the run; its list does not watch the folder but is re-read
// when the auto-save timer writes a backup, after a deletion and on F5.
//
// The dialog reaches the main window only through the tools' host (TToolHost).
#pragma once

#include <QDialog>

#include <string>

class QPlainTextEdit;
class QPushButton;

namespace narvo {

class TFolderList;

class TAutoBackDlg : public QDialog {
public:
    // Makes the backup folder (with missing parents) and lists it; raises "Error
    // setting path: "%s"" when it cannot be made or listed.
    explicit TAutoBackDlg(QWidget* Parent = nullptr);

    void ViewBtnClick();    // raises when the selected file cannot be read
    void OpenBtnClick();
    void DeleteBtnClick();  // to the trash; files that could not be moved are reported
    void ShellListSelectItem();
    void ShellListColumnClick(int Column);
    // Loads the selected file into the viewer when it exists.
    void ShowSelectedBackup();
    // Re-reads the folder; the selection stays on the same files.
    void RefreshList();
    // Puts the list back on the backup folder should anything have moved it.
    void ShowBackupFolder();

    TFolderList* ShellList = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QPushButton* ViewBtn = nullptr;
    QPushButton* OpenBtn = nullptr;
    QPushButton* DeleteBtn = nullptr;
    QPushButton* CancelBtn = nullptr;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    std::string FFolder;  // the backup folder, the only one the list shows
    void LoadViewer(const std::string& Path);
};

// The one dialog of the run (none before CreateAutoBackDlg).
TAutoBackDlg* AutoBackDlg();
void CreateAutoBackDlg(QWidget* Owner);
void FreeAutoBackDlg();
// Shows the dialog modally.
void ShowAutoBackDlg();
// Re-reads the dialog's list (the auto-save timer wrote a backup).
void RefreshAutoBackDlg();

}  // namespace narvo
