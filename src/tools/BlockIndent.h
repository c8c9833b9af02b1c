// The Format menu's transforms of the active pane's highlight (hex, line marks,
// Spanish accents, HTML removal, tabs and spaces) and the modeless "Block Indent"
// tool window that indents or unindents the highlighted lines. Each change is one
// undo step; the string work itself is in TextTransforms.h.
#pragma once

#include <QDialog>

class QPushButton;
class QRadioButton;

namespace narvo {

class TEditorEngine;
class TIntegerSpin;

void ConvertStringToHex(TEditorEngine& Pane);
void ConvertHexToString(TEditorEngine& Pane);
void InsertLineMarks(TEditorEngine& Pane, char Mark);
void RemoveLineMarks(TEditorEngine& Pane, char Mark);
void ApplySpanishAccents(TEditorEngine& Pane);
void RemoveHTML(TEditorEngine& Pane);
// Tab stops every SpacesPerTab() of the pane; Spaces To Tabs keeps runs shorter than
// MinSpaces as blanks.
void ConvertTabsToSpaces(TEditorEngine& Pane);
void ConvertSpacesToTabs(TEditorEngine& Pane, int MinSpaces);

// Indents (or unindents) the highlighted lines of Pane by Count copies of Ch and
// highlights them again, the end moved to the end of its changed line.
void IndentHighlight(TEditorEngine& Pane, char Ch, int Count, bool Unindent);

class TIndentDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 8;
    explicit TIndentDlg(QWidget* Parent = nullptr);

    QRadioButton* IndentRadio = nullptr;
    QRadioButton* UnindentRadio = nullptr;
    QRadioButton* TabRadio = nullptr;
    QRadioButton* SpaceRadio = nullptr;
    TIntegerSpin* CountSpin = nullptr;
    QPushButton* ApplyBtn = nullptr;
    QPushButton* CloseBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    void ApplyBtnClick();
};

// The one dialog of the run (made on first use when the start-up did not).
TIndentDlg& IndentDlg();
void ShowIndentDlg();
void FreeIndentDlg();

}  // namespace narvo
