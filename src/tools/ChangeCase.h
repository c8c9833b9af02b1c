// The modeless "Set Case" tool window: the active pane's highlighted text in UPPER,
// lower, Sentence, Title or tOGGLE case, the same characters highlighted afterwards.
#pragma once

#include "tools/TextTransforms.h"

#include <QDialog>

class QButtonGroup;
class QPushButton;

namespace narvo {

class TEditorEngine;

// The highlight of Pane in the given case, as one undo step; the highlight stays
// on the same characters.
void ApplyCase(TEditorEngine& Pane, TCaseMode Mode);

class TCaseDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 7;
    explicit TCaseDlg(QWidget* Parent = nullptr);

    // The items of "Case Options" in the order of TCaseMode; "lower case" at start.
    QButtonGroup* CaseRadio = nullptr;
    QPushButton* ApplyBtn = nullptr;
    QPushButton* CloseBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    TCaseMode Mode() const;
    void SetMode(TCaseMode Mode);
    void ApplyBtnClick();
};

TCaseDlg& CaseDlg();
void ShowCaseDlg();
void FreeCaseDlg();

}  // namespace narvo
