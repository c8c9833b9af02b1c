// Find and replace from the Edit menu: the dialog (find text, replace text, whole
// word, match case, direction) and the three searches it starts on the active
// pane. The searches are plain functions over a text model, so they are tested
// without a dialog. The dialog is modeless and stays above the main window.
//
// A highlight is replaced only when it holds the find text (as the search would
// match it): a highlight the user made for something else is never overwritten by
// Replace or Replace All.
#pragma once

#include "shared/Geometry.h"

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace narvo {

class TEditorEngine;

struct TFindOptions {
    std::string FindText;
    std::string ReplaceText;
    bool WholeWord = false;
    bool MatchCase = false;
    bool Down = true;
};

// The pane's searcher gets the options; the next match after the cursor (Down) or
// the previous one is highlighted. False when there is none (or no find text).
bool SearchFromFindDialog(TEditorEngine& Pane, const TFindOptions& Options);
// Whether the pane's highlight is a match of the find text under the options.
bool HighlightIsMatch(TEditorEngine& Pane, const TFindOptions& Options);
// A highlighted match is replaced; then the next match is searched (its answer).
bool ReplaceOnce(TEditorEngine& Pane, const TFindOptions& Options);
// A highlighted match is replaced first, else the first match is searched; then
// every match in the direction is replaced. A replacement is never searched again,
// so a replace text that holds the find text ends. Returns the number replaced.
std::int64_t ReplaceAll(TEditorEngine& Pane, const TFindOptions& Options);

class TFindReplaceDialog : public QDialog {
    Q_OBJECT
public:
    explicit TFindReplaceDialog(QWidget* Parent);

    // Shows the dialog as Find or as Replace above its owner, its find field taking
    // the keyboard with its text selected.
    void ShowFind(const std::string& FindText);
    void ShowReplace(const std::string& FindText, const std::string& ReplaceText);
    bool ReplaceMode() const { return FReplaceMode; }

    TFindOptions Options() const;
    void SetFindText(const std::string& Text);
    void SetReplaceText(const std::string& Text);

    // The pane the buttons act on (the active pane); set by the owner.
    std::function<TEditorEngine&()> Pane;
    // After each button's search (the owner refreshes the status line).
    std::function<void()> OnSearched;

    void FindNextClick();
    void ReplaceClick();
    void ReplaceAllClick();

    QLineEdit* FindEdit = nullptr;
    QLineEdit* ReplaceEdit = nullptr;
    QCheckBox* WholeWordChk = nullptr;
    QCheckBox* MatchCaseChk = nullptr;
    QRadioButton* UpBtn = nullptr;
    QRadioButton* DownBtn = nullptr;
    QPushButton* FindNextBtn = nullptr;
    QPushButton* ReplaceBtn = nullptr;
    QPushButton* ReplaceAllBtn = nullptr;

private:
    void SetMode(bool Replace);
    // Runs a button's search on the pane, which repaints once at the end; a search
    // that found nothing sets "Not Found" for the status line.
    void RunSearch(bool (*Action)(TEditorEngine&, const TFindOptions&));
    void Present();
    bool FReplaceMode = false;
    QWidget* FReplaceRow = nullptr;
};

}  // namespace narvo
