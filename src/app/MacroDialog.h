// TMacroDlg, "Macros Tools": the table of 30 named macros in a grid (number, name,
// macro text with control characters drawn as white-on-red letters), the buttons
// that move command lines into the table and back, reorder and delete entries,
// load and save macro files, and the spin that changes the current command line.
// Only the Name column is edited in place. Errors of a handler (a bad macro file,
// a file that cannot be written) are shown at the program's exception boundary and
// change nothing.
#pragma once

#include "language/Macros.h"

#include <QDialog>
#include <QTableWidget>
#include <functional>

class QPushButton;
class QToolButton;

namespace narvo {

class TUpDownButton;

// The grid, with the in-place editor's end reachable from the dialog.
class TMacroGrid : public QTableWidget {
    Q_OBJECT
public:
    using QTableWidget::QTableWidget;
    // Commits and closes the in-place editor, if one is open.
    void EndEdit();
};

class TMacroDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 11;

    explicit TMacroDlg(QWidget* Parent = nullptr);

    TMacroGrid* MacroGrid = nullptr;
    QToolButton* GetComLineBtn = nullptr;
    QToolButton* GetAllComBtn = nullptr;
    QToolButton* SetComLineBtn = nullptr;
    QToolButton* SetAllComBtn = nullptr;
    QToolButton* MoveUpBtn = nullptr;
    QToolButton* MoveDownBtn = nullptr;
    QToolButton* DeleteBtn = nullptr;
    QToolButton* LoadMacroBtn = nullptr;
    QToolButton* SaveMacroBtn = nullptr;
    QToolButton* SaveAsBtn = nullptr;
    TUpDownButton* CmdSpin = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* HelpBtn = nullptr;


    // The selected entry (the grid's current row), 0 to 29.
    int SelectedEntry() const;
    void SelectEntry(int Index);
    // Fills the grid from MacroTable.
    void RefreshGrid();

    // --- handlers --------------------------------------------------------------------------
    void LoadMacroBtnClick();
    void SaveMacroBtnClick();
    void SaveAsBtnClick();
    void MoveUpBtnClick();
    void MoveDownBtnClick();
    void DeleteBtnClick();
    void GetComLineBtnClick();
    void GetAllComBtnClick();
    void SetComLineBtnClick();
    void SetAllComBtnClick();
    void CmdSpinUpClick();
    void CmdSpinDownClick();

private:
    void FormCreate();
    QToolButton* AddButton(const char* Text, const char* Hint, void (TMacroDlg::*Handler)());
    // Ends in-place editing, runs Change inside the exception boundary, repaints.
    void ChangeTable(const std::function<void()>& Change);
    void MacroGridSetEditText(int Row, int Column);
    // Writes the table to Name, which becomes the current macro file.
    void SaveMacro(const std::string& Name);
};

// Shows the dialog modally.
void ShowMacroDialog();

// The command lines on the program's store, host and "Narvo.ini".
void LoadCurrentMacros();
void SaveCurrentMacros();

}  // namespace narvo
