// TLineNumDlg, the modeless "Go To Line Numbers" tool window (it stays above the
// main window): moves the main pane's cursor to a line number counted from 1 and
// makes that line the first one shown, on the button or, with "Hot Track Numbers",
// at every change of the number. The largest number offered is the line count when
// the window was last shown; a number past the current end (the text shrank since)
// is reported on the status line and moves nothing.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <string>

class QCheckBox;

namespace narvo {

class TIntegerSpin;
class TScrollEditor;

struct TGoToLineHooks {
    std::function<TScrollEditor*()> MainEditor;
    std::function<void(const std::string& Text, bool IsError)> ShowStatusMessage;
};

class TLineNumDlg : public QDialog {
    Q_OBJECT
public:
    explicit TLineNumDlg(TGoToLineHooks Hooks, QWidget* Parent = nullptr);

    // Limits the number to 1 .. the main pane's line count and shows the window.
    void ShowLineNumDlg();
    // Goes to the spin's line; true when the cursor moved there.
    bool GoToLineNumber();
    void LineNumberSpinChange();
    // A new document: the number goes back to 1.
    void ForgetNumber();

    TIntegerSpin* LineNumberSpin = nullptr;
    QCheckBox* HotTrackChk = nullptr;

private:
    TGoToLineHooks FHooks;
};

// The run's form, made with the start-up forms (nullptr before and after).
void CreateLineNumDlg(TGoToLineHooks Hooks, QWidget* Parent);
void FreeLineNumDlg();
TLineNumDlg* LineNumDlg();
// A new document: the form (once made) forgets the number typed for the last one.
void ForgetLineNumber();

}  // namespace narvo
