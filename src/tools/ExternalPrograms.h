// The user tools: a list of external programs, each a title, a command template and
// a "Use DOS Path" flag, kept in the settings file's Transfer section, shown as the
// items of the User menu and edited in the "External Programs" dialog. Choosing an
// item expands the template's % codes against the current document, runs the
// program and waits for it, logs the command and its exit code, and can take the
// exit code as the line to go to.
//
// The template is split into the program and its arguments by its own blanks and
// double quotes before anything is put in, so a file name with blanks or quotes
// stays one argument and nothing goes through a shell. Codes are found without
// regard to case and only in the template's own text: a file name holding "%n"
// is never expanded again, and the template keeps the case it was typed in
// (program names and options are case-sensitive here).
#pragma once

#include <QDialog>
#include <QMenu>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;

namespace narvo {

class TProgramMonitor;

// --- expansion -------------------------------------------------------------------------
// The longest command template an entry keeps; the edit box takes no more.
inline constexpr std::size_t MaxProgramPathLength = 80;
// Exit codes at or above this (crash and system codes) are never a line number.
inline constexpr std::uint32_t MaxLineExitCode = 0x40000000u;

// Folder: up to and including the last '/'; FileName: the rest; Ext: what follows
// the last '.' of FileName (none for a name whose only dot leads it, ".profile");
// Base: FileName without the dot and Ext.
void SplitFileName(const std::string& Name, std::string& Folder, std::string& FileName, std::string& Ext,
                   std::string& Base);

struct TExpandedCommand {
    std::string Text;                // the command as logged
    std::vector<std::string> Words;  // the program and its arguments
    bool SaveFirst = false;          // the template held %s
    bool GotoLine = false;           // the template held %l
};

// Expands Template for the document Name (full path; empty when untitled): %s and
// %l are removed and reported, then the first %w (Name), %p (folder with its '/'),
// %f (name with extension), %n (name without extension), %e (extension), %o
// (folder and name without extension) are replaced, each once.
TExpandedCommand ExpandCommand(const std::string& Template, const std::string& Name);

// The name the "Use Real Path" flag (stored as DOSPath) gives: the path as the file system resolves it
// (absolute, links followed); empty when the file does not exist.
std::string SystemFileName(const std::string& Name);

// --- the list, its file and the menu ------------------------------------------------------------
struct TProgram {
    std::string Path;  // the command template
    bool DOSPath = false;
};

class TExternalDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 12;

    explicit TExternalDlg(QWidget* Parent = nullptr);
    ~TExternalDlg() override;

    QTabWidget* PageControl = nullptr;
    QGroupBox* ListGroup = nullptr;
    QListWidget* ProgramList = nullptr;
    QPushButton *AddBtn = nullptr, *DeleteListBtn = nullptr, *EditListBtn = nullptr;
    QToolButton *MoveUpBtn = nullptr, *MoveDownBtn = nullptr;
    QGroupBox* EditGroup = nullptr;
    QLineEdit *TitleEdit = nullptr, *PathEdit = nullptr;
    QPushButton *DoneBtn = nullptr, *BrowseBtn = nullptr;
    QCheckBox* DosPathChk = nullptr;
    QPushButton *OKBtn = nullptr, *CancelBtn = nullptr, *HelpBtn = nullptr;
    QPlainTextEdit* ComMemo = nullptr;
    QPushButton* ClearBtn = nullptr;

    // Stores the arguments, loads the list and (with a menu) builds the menu.
    void InitExternalPrograms(QMenu* MenuItem, int FirstIndex, const std::string& IniFileName,
                              const std::string& SectionName);
    // The "Add User Tools..." entry: the dialog, modally; OK rebuilds the menu and
    // saves the list. Nothing without a user menu.
    void EditExternalPrograms();
    // The OnClick of a program item.
    void RunExternalProgram(QAction* Sender);
    // Runs entry Index of the list (what a menu item does). With %s the document is
    // saved first and the codes name the file as saved; a save that fails or is
    // cancelled runs nothing (the log says so).
    void RunProgram(int Index);

    int AddProgram(const std::string& Title, const std::string& Path, bool DOSPath);
    bool GetProgram(int Index, std::string& Title, std::string& Path, bool& DOSPath) const;
    void SetProgram(int Index, const std::string& Title, const std::string& Path, bool DOSPath);
    int ProgramCount() const;

    void LoadProgramList();
    // Writes this window's changes since the list was read, made on the list as the
    // file holds it now (another window may have written it); the dialog and the
    // menu then show that list. An entry whose title or command holds a line break
    // is left out and said. Throws EFileError when the settings file cannot be
    // written (it is then unchanged).
    void SaveProgramList();
    void BuildUserMenu();
    void RemoveUserMenuItems();

    void SetEditMode(bool Editing);
    bool Editing() const;
    // Appends one line to the log.
    void Log(const std::string& Line);
    TProgramMonitor& Monitor() { return *ProgramMonitor1; }

    // --- handlers --------------------------------------------------------------------------
    void ProgramListClick();
    void EditListClick();
    void AddBtnClick();
    void DoneBtnClick();
    void DeleteListBtnClick();
    void BrowseBtnClick();
    void MoveUpBtnClick();
    void MoveDownBtnClick();
    void ClearBtnClick();

private:
    void SetItemButtons(bool Enabled);
    void SwapEntries(int A, int B);
    void SetEntries(const std::vector<std::string>& Entries);

    TProgramMonitor* ProgramMonitor1 = nullptr;
    QPointer<QMenu> FUserMenu;
    int FFirstIndex = 0;
    // The bytes the program field was last filled with: a path the user did not edit
    // keeps them, also where they are not UTF-8.
    std::string FPathBytes;
    std::string FIniFileName = "Narvo.ini";
    std::string FSectionName = "Transfer";
    std::vector<QAction*> FMenuItems;
    std::vector<std::string> FBase;  // the entries as last read or written
};

// The program's one dialog (created at start-up; nullptr before and after).
TExternalDlg* ExternalDlg();
void CreateExternalDlg(QWidget* Parent);
void FreeExternalDlg();

}  // namespace narvo
