// The command language in the running program (see CommandLanguage.h).
#include "app/CommandLanguage.h"

#include "app/AppHooks.h"
#include "language/AppState.h"
#include "language/CommandLines.h"
#include "language/ControlKeys.h"
#include "language/Interpreter.h"
#include "app/MainWindow.h"
#include "language/Margins.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"
#include "language/WordCommands.h"
#include "platform/Application.h"
#include "platform/KeyState.h"
#include "platform/KeyTranslate.h"
#include "platform/TextConvert.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <memory>

namespace narvo {

namespace {

std::unique_ptr<TXRegister> GRegister;

TScrollEditor* AsWidget(TEditorEngine& Pane) { return dynamic_cast<TScrollEditor*>(&Pane); }

// Takes the next typed character off the event stream, so that it is not typed
// into any pane; Ctrl+Break sets the break flag instead.
class TKeyCatcher : public QObject {
public:
    bool Got = false;
    int Code = 0;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() != QEvent::KeyPress || Got)
            return QObject::eventFilter(Watched, Event);
        const TKeyStroke S = TranslateKeyEvent(*static_cast<QKeyEvent*>(Event));
        if (S.Break) {
            BreakFlag = true;
            return true;
        }
        if (!S.HasChar)
            return false;
        Got = true;
        Code = static_cast<unsigned char>(S.Char);
        return true;
    }
};

class TMainWindowHost : public TCommandHost {
public:
    TEditorEngine& ActivePane() override { return *(Form1->ActiveEditor ? Form1->ActiveEditor : Form1->MainEditor); }
    TEditorEngine& MainPane() override { return *Form1->MainEditor; }
    TXRegister& Register() override
    {
        if (!GRegister)
            GRegister = std::make_unique<TXRegister>(Form1 ? Form1->MainEditor : nullptr);
        return *GRegister;
    }
    void SetPaneUpdates(TEditorEngine& Pane, bool Enabled) override
    {
        if (TScrollEditor* W = AsWidget(Pane))
            W->UpdatesEnabled = Enabled;
    }
    void RepaintPane(TEditorEngine& Pane) override { Pane.RequestRedraw(true); }
    void UpdateStatus() override
    {
        if (Form1)
            Form1->UpdateStatus();
    }
    void ShowStatusText() override
    {
        if (Form1)
            Form1->ShowStatusText();
    }
    void ToggleShowAll(TEditorEngine& Pane) override
    {
        if (TScrollEditor* W = AsWidget(Pane))
            W->SetShowAll(!W->ShowAll());
    }
    bool WordAtCursorBounds(TEditorEngine& Pane, TRect& R) override
    {
        if (TScrollEditor* W = AsWidget(Pane)) {
            W->GetWordAtCursorBounds(R);
            return true;
        }
        return TCommandHost::WordAtCursorBounds(Pane, R);
    }
    void PasteIntoFocused(TEditorEngine& Pane) override
    {
        TScrollEditor* F = Form1 ? Form1->FocusedEditor() : nullptr;
        if (F)
            F->Paste();
        else
            Pane.Paste();
    }
    void ProcessMessages() override { QCoreApplication::processEvents(); }
    int WaitForKey() override
    {
        TKeyCatcher Catcher;
        qApp->installEventFilter(&Catcher);
        while (!Catcher.Got && !BreakFlag && Form1 && Form1->isVisible() && !QCoreApplication::closingDown())
            QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        qApp->removeEventFilter(&Catcher);
        return Catcher.Got ? Catcher.Code : 0;
    }
    std::string CmdEditorText() override
    {
        const TEditBuffer& B = *Form1->CmdEditor->Strings;
        std::string S;
        for (std::int64_t Y = 0; Y < B.Count(); ++Y) {
            S += Y ? "\r\n" : "";
            S += B[Y];
        }
        return S;
    }
    void SetCmdEditorText(const std::string& Text) override
    {
        TScrollEditor* C = Form1->CmdEditor;
        C->ResetText();
        // A command line is bytes: an LF (Ctrl+J) or a CR in it is a command
        // character, kept as it stands rather than read as a line break.
        C->InsertTextEx(Text, true, true);
        C->UndoList->Clear();
        C->RedoList->Clear();
        C->RequestRedraw(true);
    }
    void SetFindText(const std::string& Text) override { Call(CommandServices().SetFindText, Text); }
    void SetReplaceText(const std::string& Text) override { Call(CommandServices().SetReplaceText, Text); }
    void ShowInfo(const std::string& Text) override { Form1->InfoDis->setText(AnsiToQString(Text)); }
    void ShowScoopState(int State) override
    {
        static const char* const Texts[] = {"Off", "On", "Blk"};
        Form1->ScoopStatusDis->setText(QString::fromLatin1(Texts[State < 0 || State > 2 ? 0 : State]));
        Form1->ScoopStatusDis->setStyleSheet(State ? QStringLiteral("background-color: #00FF00;") : QString());
    }
    std::int64_t InsertFileCmd(const std::string& Line, std::int64_t Pos) override
    {
        return CommandServices().InsertFileCmd ? CommandServices().InsertFileCmd(Line, Pos) : Pos;
    }
    std::int64_t OpenFileCmd(const std::string& Line, std::int64_t Pos) override
    {
        return CommandServices().OpenFileCmd ? CommandServices().OpenFileCmd(Line, Pos) : Pos;
    }
    void SaveAndExitCmd() override { Call(CommandServices().SaveAndExitCmd); }
    void ExitWithoutSavingCmd() override
    {
        if (AppHooks().CloseTextFile())
            Form1->close();
    }
    void SaveIfModified() override { Call(CommandServices().SaveIfModified); }
    void ShowHelpContents() override { Call(CommandServices().ShowHelpContents); }
    void PrintText() override { Call(CommandServices().PrintText); }
    void RemarginParagraph(TEditorEngine& Pane) override { Call(CommandServices().RemarginParagraph, Pane); }
    void CenterLine(TEditorEngine& Pane) override { Call(CommandServices().CenterLine, Pane); }
    void DeleteBackToFormFeed(TEditorEngine& Pane) override { Call(CommandServices().DeleteBackToFormFeed, Pane); }
    bool NewWordStyle() override { return CommandServices().NewWordStyle && CommandServices().NewWordStyle(); }
    int SpellCheck(const std::string& Word, bool& NoDictionary) override
    {
        if (CommandServices().SpellCheck)
            return CommandServices().SpellCheck(Word, NoDictionary);
        return TCommandHost::SpellCheck(Word, NoDictionary);
    }
    bool KeypadFlag() override { return CommandServices().KeypadFlag && CommandServices().KeypadFlag(); }
    bool BoxDrawKey(TEditorEngine& Pane, char Ch) override
    {
        return CommandServices().BoxDrawKey && CommandServices().BoxDrawKey(Pane, Ch);
    }
    void NextBoxStyle() override { Call(CommandServices().NextBoxStyle); }
    int DebugShowStep(const TDebugInfo& Info) override
    {
        return CommandServices().DebugShowStep ? CommandServices().DebugShowStep(Info) : dbRunOn;
    }
    void SetDebugRunning(bool Running) override { Call(CommandServices().SetDebugRunning, Running); }

private:
    template <class F, class... A>
    static void Call(const F& Fn, A&&... Args)
    {
        if (Fn)
            Fn(std::forward<A>(Args)...);
    }
};

TMainWindowHost GHost;

void ScoopEventOf(TScrollEditor* Pane, TScoopCommand Command, TRect Range)
{
    if (!GRegister)
        return;
    GRegister->ScoopEvent(*Pane, Command, Range);
    if (GRegister->Mode() == 1)
        UpdateStatus();
}

void CreateTextRegister()
{
    GRegister = std::make_unique<TXRegister>(Form1->MainEditor);
    GRegister->OnChange = [] {
        if (Form1)
            Form1->ShowScoopFreeSpace();
    };
    GRegister->OnIndicator = [](int State) {
        if (Form1)
            GHost.ShowScoopState(State);
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

}  // namespace

TCommandServices& CommandServices()
{
    static TCommandServices Services;
    return Services;
}

TXRegister* ProgramRegister() { return GRegister.get(); }

void InstallCommandLanguage()
{
    SetCommandHost(&GHost);
    TAppHooks& H = AppHooks();
    H.CreateTextRegister = CreateTextRegister;
    H.FreeTextRegister = FreeTextRegister;
    H.ScoopFreeSpace = []() -> std::int64_t { return GRegister ? GRegister->FreeSpace() : TXRegister::Capacity; };
    H.CurrentCommandLine = [] { return static_cast<int>(CommandLines().Current); };
    // A failure inside a run (a file that cannot be read) is shown in a message box
    // and the program goes on; the run has ended and its guard is clear.
    H.RunCommandLine = [](bool SingleStep) {
        if (!Form1)
            return;
        // The control keys read Shift live while the run goes on, not the
        // modifiers of the key or click that started it.
        const TKeyboardStateScope Live;
        RunGuarded([SingleStep] { RunCommandLine(SingleStep); });
    };
    H.StepCommandLine = [](int Step) {
        if (!Form1)
            return;
        if (Step >= 0)
            CommandLines().NextCmdLine(GHost);
        else
            CommandLines().PrevCmdLine(GHost);
    };
    H.ClearRunGuard = [] { CommandLines().Running = false; };
    // M without numbers, Y and Z act on the run's pane.
    TCommandServices& S = CommandServices();
    S.RemarginParagraph = [](TEditorEngine& Pane) { RemarginParagraph(Pane); };
    S.CenterLine = CenterLineCmd;
    S.DeleteBackToFormFeed = DeleteBackToFormFeedCmd;
}

void EscToCmdLine()
{
    if (!Form1)
        return;
    CommandLines().EscToCmdLine(GHost);
    Form1->CmdEditor->setFocus();
}

void CmdEditorKeyPress(char Key)
{
    if (!Form1 || Key != 27 || Form1->CmdEditor->CharBeforeCursor() != 27)
        return;
    (Form1->ActiveEditor ? Form1->ActiveEditor : Form1->MainEditor)->setFocus();
    AppHooks().RunCommandLine(Form1->SingleStepChk->isChecked());
}

bool PaneControlKey(char Key)
{
    if (!Form1)
        return false;
    bool Taken = true;  // a key whose command failed with an exception is not typed
    RunGuarded([&] { Taken = DispatchControlKey(GHost, CommandLines(), GHost.ActivePane(), Key); });
    return Taken;
}

}  // namespace narvo
