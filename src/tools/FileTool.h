// Copy/Merge Files: concatenates a list of source files, in list order, into one
// destination file, either as text (each source cut at its first Ctrl+Z) or byte
// for byte. The destination is replaced atomically, so a source that cannot be read
// or a destination that cannot be written leaves the destination as it was; an
// existing destination is never replaced without the user's consent.
#pragma once

#include "platform/posix/SafeFile.h"

#include <QDialog>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace narvo {

inline constexpr const char* FileToolFilter =
    "All files|*.*|Text files|*.txt|Document Files|*.doc;*.rtf|Graphic Files|*.bmp;*.gif;*.jpg;*.png;*.jpeg";

// The checks before a copy, in order; the message of the first that fails, empty
// when the copy may go ahead. A destination that is one of the sources (by name
// without regard to case, or as the same file on disk) is refused.
std::string CopyCheckMessage(const std::vector<std::string>& Sources, const std::string& Destination);

// What text mode keeps of a source: everything before its first Ctrl+Z.
std::string_view TextModePart(std::string_view Bytes);

// Joins the sources into Destination (text mode or bytes). Progress(i) is called
// before source i is read and Progress(count) at the end. MayWrite, when given, is
// asked once all sources are read, just before Destination is replaced; false
// leaves Destination as it was and the answer is false. Throws EFileError naming
// the file that failed; Destination is then unchanged.
bool MergeFiles(const std::vector<std::string>& Sources, const std::string& Destination, bool TextMode,
                const std::function<void(int Done)>& Progress = {}, const std::function<bool()>& MayWrite = {});

class TFileToolDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFileToolDlg(QWidget* Parent = nullptr);

    void ShowFileToolDlg();

    // The list's full names in order.
    std::vector<std::string> SourceFiles() const;
    void AddSourceFile(const std::string& FileName);

    void InputBtnClick();
    void Button1Click();
    // Checks, asks before replacing an existing destination, copies; a destination
    // another program made or changed since it was chosen is asked about again.
    void Button2Click();
    void PathChkClick();
    void MoveUpBtnClick();
    void MoveDnBtnClick();
    // The current entry and the one at DropRow trade places, when they differ.
    void SourceListDragDrop(int DropRow);
    void DeleteBtnClick();
    void SortDateBtnClick();
    void NewFileBtnClick();

    QPushButton *InputBtn = nullptr, *Button1 = nullptr, *Button2 = nullptr;
    QListWidget* SourceList = nullptr;
    QPushButton *MoveUpBtn = nullptr, *MoveDnBtn = nullptr, *DeleteBtn = nullptr, *SortDateBtn = nullptr,
                *NewFileBtn = nullptr;
    QCheckBox *PathChk = nullptr, *ASCIIChk = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QPushButton *CancelBtn = nullptr, *HelpBtn = nullptr;
    QLineEdit* DestinationEdit = nullptr;

private:
    void ShowItemText(int Row);
    // The destination the save dialog already confirmed overwriting, and the file
    // that was there then (none, when it was a new name).
    std::string FConfirmedDestination;
    TFileStamp FConfirmedStamp;
};

}  // namespace narvo
