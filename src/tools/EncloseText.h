// Enclose Text: wrapping the active pane's highlighted text in an opening and a
// closing string (quotes, brackets, HTML tags, begin and end). The pair is built
// from a fixed list of pairs in the modeless "Enclose Text" dialog; several ticked
// pairs nest, the first ticked one outermost. The tool-bar button applies the
// current pair and shows it in its glyph.
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QListWidget;
class QPixmap;
class QPushButton;

namespace narvo {

class TEditorEngine;

struct TEnclosePairItem {
    const char* Caption;
    const char* Open;
    const char* Close;
};

inline constexpr int EnclosePairCount = 10;
extern const std::array<TEnclosePairItem, EnclosePairCount> EnclosePairs;

// The opening and closing strings in use; empty until the dialog is made.
struct TEnclosePair {
    std::string Before;
    std::string After;
};
TEnclosePair& CurrentEnclosePair();

// The pair of the ticked items: openings in list order, closings in reverse order.
// CR LF is appended to the opening or closing string when asked.
TEnclosePair BuildEnclosePair(const std::array<bool, EnclosePairCount>& Ticked, bool CRLFBefore = false,
                              bool CRLFAfter = false);

// Replaces the pane's highlight (or inserts at the cursor) by Before, the highlighted
// text and After, as one undoable insertion. A column block's part of each line is
// enclosed in place instead (a line break in the pair becoming a blank there).
void WrapSelection(TEditorEngine& Pane, const std::string& Before, const std::string& After);

// The tool-bar glyph: the opening string, a blue "B" and the closing string.
QPixmap DrawEncloseGlyph(const std::string& Before, const std::string& After);

// What the dialog needs of the main window.
struct TEncloseHooks {
    std::function<TEditorEngine*()> ActivePane;                // the pane to enclose in
    std::function<void(const QPixmap& Glyph)> SetEncloseGlyph;  // the tool-bar button's glyph
};

class TEncloseDlg : public QDialog {
    Q_OBJECT
public:
    explicit TEncloseDlg(TEncloseHooks Hooks, QWidget* Parent = nullptr);

    // Rebuilds CurrentEnclosePair() from the list and the newline boxes.
    void RebuildEnclosePair();
    // RebuildEnclosePair, then encloses the active pane's highlight.
    void EncloseSelection();
    // Encloses the active pane's highlight with Open and Close, leaving the dialog's
    // pair as it is.
    void EnclosePairNow(const std::string& Open, const std::string& Close);
    void ShowEncloseDlg();

    void SetTicked(int Item, bool Ticked);
    bool Ticked(int Item) const;

    void ResetBtnClick();
    void ApplyBtnClick();

    QListWidget* EncloseList = nullptr;
    QLineEdit *BeforeDis = nullptr, *AfterDis = nullptr;
    QCheckBox *CRLFBeforeChk = nullptr, *CRLFAfterChk = nullptr;
    QPushButton *ApplyBtn = nullptr, *ResetBtn = nullptr, *CancelBtn = nullptr;

private:
    TEncloseHooks FHooks;
    bool FBuilding = false;
};

}  // namespace narvo
