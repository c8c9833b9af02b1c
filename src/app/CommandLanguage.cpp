// The command language in the running program (see CommandLanguage.h).
#include "app/CommandLanguage.h"

#include "app/MainWindow.h"
#include "language/AppState.h"
#include "language/CommandLines.h"
#include "language/ControlKeys.h"
#include "language/Interpreter.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"
#include "platform/Application.h"
#include "platform/KeyState.h"

#include <QApplication>
#include <QCheckBox>
#include <memory>

namespace narvo {

namespace {

std::unique_ptr<TXRegister> GRegister;

void ScoopEventOf(TScrollEditor* Pane, TScoopCommand Command, TRect Range)
{
    if (!GRegister)
        return;
    GRegister->ScoopEvent(*Pane, Command, Range);
    if (GRegister->Mode() == 1 && !(Form1 && Form1->HoldForRun(nullptr)))
        UpdateStatus();
}

}  // namespace

void CreateTextRegister()
{
    GRegister = std::make_unique<TXRegister>(Form1->MainEditor);
    GRegister->OnChange = [] {
        if (Form1)
            Form1->ShowScoopFreeSpace();
    };
    GRegister->OnIndicator = [](int State) {
        if (Form1)
            if (TCommandHost* Host = CommandHost())
                Host->ShowScoopState(State);
    };
    for (TScrollEditor* Pane : {Form1->MainEditor, Form1->Editor2, Form1->Editor3})
        Pane->OnScoopEvent = [Pane](TScoopCommand C, TRect R) { ScoopEventOf(Pane, C, R); };
}

void FreeTextRegister()
{
    if (Form1)
        for (TScrollEditor* Pane : {Form1->MainEditor, Form1->Editor2, Form1->Editor3})
            Pane->OnScoopEvent = nullptr;
    GRegister.reset();
}

TXRegister* ProgramRegister() { return GRegister.get(); }

TXRegister& EnsureProgramRegister()
{
    if (!GRegister)
        GRegister = std::make_unique<TXRegister>(Form1 ? Form1->MainEditor : nullptr);
    return *GRegister;
}

void RunCurrentCommandLine(bool SingleStep)
{
    if (!Form1)
        return;
    // The control keys read Shift live while the run goes on, not the modifiers of
    // the key or click that started it. A failure inside a run (a file that cannot
    // be read) is shown in a message box and the program goes on; the run has ended
    // and its guard is clear.
    const TKeyboardStateScope Live;
    RunGuarded([SingleStep] { RunCommandLine(SingleStep); });
    // Also after a run that ended in an exception, or that closed the window.
    if (Form1)
        Form1->ReleaseHeld();
}

void StepCurrentCommandLine(int Step)
{
    TCommandHost* Host = CommandHost();
    if (!Form1 || !Host)
        return;
    if (Step >= 0)
        CommandLines().NextCmdLine(*Host);
    else
        CommandLines().PrevCmdLine(*Host);
}

void EscToCmdLine()
{
    TCommandHost* Host = CommandHost();
    if (!Form1 || !Host)
        return;
    CommandLines().EscToCmdLine(*Host);
    Form1->CmdEditor->setFocus();
}

void CmdEditorKeyPress(char Key)
{
    if (!Form1 || Key != 27 || Form1->CmdEditor->CharBeforeCursor() != 27)
        return;
    (Form1->ActiveEditor ? Form1->ActiveEditor : Form1->MainEditor)->setFocus();
    RunCurrentCommandLine(Form1->SingleStepChk->isChecked());
}

bool PaneControlKey(char Key)
{
    if (!Form1)
        return false;
    bool Taken = true;  // a key whose command failed with an exception is not typed
    TCommandHost* Host = CommandHost();
    if (!Host)
        return false;
    RunGuarded([&] { Taken = DispatchControlKey(*Host, CommandLines(), Host->ActivePane(), Key); });
    return Taken;
}

}  // namespace narvo
