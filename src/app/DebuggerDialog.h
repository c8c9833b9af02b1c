// TDebugDlg, "Macro Debugger": the single-step debugger of command-line runs. With
// the main window's "Macro Debugger" box checked, the interpreter hands it every
// command before it runs: the window shows the line with the next command
// highlighted, what that command does, the nesting depth, the value %, the
// repetition and the characters around the main pane's cursor, and waits for Step,
// Exit and Run, or Exit and Abort. The wait re-enters the message loop, so the
// editor stays usable while a run is paused; Ctrl+Break, the break flag (closing
// the main window sets it) and closing this window abort the run.
#pragma once

#include "language/CommandHost.h"

#include <QDialog>
#include <functional>
#include <string>

class QGridLayout;
class QLabel;
class QPushButton;

namespace narvo {

class TEditEx;
class TScrollEditor;

class TDebugDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int HelpContext = 15;

    explicit TDebugDlg(QWidget* Parent = nullptr);
    ~TDebugDlg() override;

    QPushButton* StepBtn = nullptr;
    QPushButton* RunBtn = nullptr;
    QPushButton* ExecuteBtn = nullptr;
    QPushButton* AbortBtn = nullptr;
    QPushButton* HelpBtn = nullptr;
    QLabel* Label1 = nullptr;
    TScrollEditor* CmdEditor = nullptr;
    QLabel* Label2 = nullptr;
    TEditEx* DecodeDis = nullptr;
    QLabel* StatusDis = nullptr;
    QLabel* IndexDis = nullptr;
    QLabel* NestDis = nullptr;
    QLabel* GlobalDis = nullptr;
    QLabel* CountDis = nullptr;
    QLabel* AfterCursorDis = nullptr;
    QLabel* BeforeCursorDis = nullptr;

    // 0 while no answer has come, else dbStep, dbRunOn or dbAbort.
    int DebugAnswer = 0;

    // Shows the step and waits for the answer; the window hides on dbRunOn and dbAbort.
    int DebugShowStep(const TDebugInfo& Info);
    // Running: paused at a step; otherwise idle, reading "Done".
    void SetDebugRunning(bool Running);
    void WaitForDebugAnswer();
    // What the command character C does.
    static std::string DescribeCommand(char C);

    void StepBtnClick();
    void RunBtnClick();
    void AbortBtnClick();
    void ExecuteBtnClick();

    // Called at each round of the wait instead of the 50 ms pause (tests answer here).
    inline static std::function<void(TDebugDlg& Dialog)> WaitHook;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* Event) override;

private:
    QLabel* AddField(QGridLayout* Grid, int Row, const char* Caption);
};

// The debugger of the run: created by the start-up forms, or at the first step.
TDebugDlg* DebugDlg();
// Serves the interpreter's debugger calls and adds the dialog to the start-up forms.
// The window, when there is one, shows whether a run is going on.
void SetDebuggerRunning(bool Running);
// Frees the window after the message loop.
void FreeDebugDlg();

}  // namespace narvo
