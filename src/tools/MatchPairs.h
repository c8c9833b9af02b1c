// The modeless "Match Begin-End Pairs" tool window: from a "begin" string at or
// after the cursor it searches forward through the active pane counting the nesting
// depth (each begin one deeper, each end one shallower) until the end that closes it,
// or steps one found item at a time; it shows the current and the deepest depth and
// returns to where the search started. The text itself is never changed.
//
// The matching walk reads the text between the two items once: each string's next
// occurrence is kept until the walk passes it. It shows the depths every 100 ms or
// so and stops on Ctrl+Break and when the window closes ("Stopped"), leaving the
// last item it found highlighted; a key or click of the user's stops it too and
// leaves the cursor and the view to that key or click.
#pragma once

#include "engine/EditTypes.h"
#include "shared/Geometry.h"

#include <QDialog>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace narvo {

class TScrollEditor;

class TMatchPairsDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 3;
    explicit TMatchPairsDlg(QWidget* Parent = nullptr);

    QLineEdit* BeginEdit = nullptr;
    QLineEdit* EndEdit = nullptr;
    QComboBox* PairsCombo = nullptr;
    QCheckBox* CaseChk = nullptr;
    QCheckBox* WordChk = nullptr;
    QLabel* DepthDis = nullptr;
    QLabel* MaxDepthDis = nullptr;
    QLabel* StatusDis = nullptr;
    QPushButton* FindNextBtn = nullptr;
    QPushButton* MatchBtn = nullptr;
    QPushButton* ResetBtn = nullptr;
    QPushButton* GoLastLocBtm = nullptr;
    QPushButton* OKBtn = nullptr;
    QPushButton* HelpBtn = nullptr;

    int Depth = 0;
    int MaxDepth = 0;

    void MatchBtnClick();
    void FindNextBtnClick();
    void ResetBtnClick();
    void GoLastLocBtmClick();
    void PairsComboChange(int Index);

    // 0 nothing found, 1 a begin found, 2 an end found (the item is highlighted and
    // the cursor put after it).
    int FindNextItem(TScrollEditor& Pane, const std::string& BeginStr, const std::string& EndStr);
    // FindNextItem with the depths and the status updated.
    int FindNextStep(TScrollEditor& Pane);
    bool FindBegin(TScrollEditor& Pane, const std::string& BeginStr);
    void MatchPair(TScrollEditor& Pane);

private:
    // The next occurrence of one string, kept while the walk has not passed its start.
    struct TNextItem {
        bool Known = false, Found = false;
        TRect Range;
        bool Find(TMatchPairsDlg& D, TScrollEditor& Pane, const std::string& Pattern, TPoint From);
    };
    // Which of the two found items comes first (see FindNextItem).
    static int NearerItem(bool HasB, const TRect& B, bool HasE, const TRect& E);
    bool BeginAtCursor(TScrollEditor& Pane, const std::string& BeginStr, TRect& Range);
    bool Search(TScrollEditor& Pane, const std::string& Pattern, TPoint From, TRect& Range);
    // One position forward; false at the end of the text, where a further search
    // would only find the item just passed again.
    bool StepRight(TScrollEditor& Pane);
    void SaveLocation(TScrollEditor& Pane);
    void ShowDepths();
    void Select(TScrollEditor& Pane, const TRect& Range);

    TPoint FLastCursor;
    THighLight FLastMark;
    bool FLastColumn = false;
};

TMatchPairsDlg& MatchPairsDlg();
void ShowMatchPairsDlg();
void FreeMatchPairsDlg();

}  // namespace narvo
