// The language's host over the main window (see MainWindowHost.h).
#include "app/MainWindowHost.h"

#include "app/CommandLanguage.h"
#include "app/DebuggerDialog.h"
#include "app/Documents.h"
#include "app/FindReplace.h"
#include "app/HelpServices.h"
#include "app/MainWindow.h"
#include "app/MainWindowMenus.h"
#include "app/SmallTools.h"
#include "app/Spelling.h"
#include "components/ChmHelper.h"
#include "language/AppState.h"
#include "language/Margins.h"
#include "language/TextRegister.h"
#include "language/WordCommands.h"
#include "platform/KeyTranslate.h"
#include "platform/TextConvert.h"
#include "tools/PPMain.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>

namespace narvo {

namespace {

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

}  // namespace

TMainWindowHost& ProgramHost()
{
    static TMainWindowHost Host;
    return Host;
}

void InstallCommandLanguage() { SetCommandHost(&ProgramHost()); }

TEditorEngine& TMainWindowHost::ActivePane() { return *(Form1->ActiveEditor ? Form1->ActiveEditor : Form1->MainEditor); }

TEditorEngine& TMainWindowHost::MainPane() { return *Form1->MainEditor; }

TXRegister& TMainWindowHost::Register() { return EnsureProgramRegister(); }

void TMainWindowHost::SetPaneUpdates(TEditorEngine& Pane, bool Enabled)
{
    if (TScrollEditor* W = AsWidget(Pane))
        W->UpdatesEnabled = Enabled;
}

void TMainWindowHost::RepaintPane(TEditorEngine& Pane) { Pane.RequestRedraw(true); }

void TMainWindowHost::UpdateStatus()
{
    if (Form1)
        Form1->UpdateStatus();
}

void TMainWindowHost::ShowStatusText()
{
    if (Form1)
        Form1->ShowStatusText();
}

void TMainWindowHost::ToggleShowAll(TEditorEngine& Pane)
{
    if (TScrollEditor* W = AsWidget(Pane))
        W->SetShowAll(!W->ShowAll());
}

bool TMainWindowHost::WordAtCursorBounds(TEditorEngine& Pane, TRect& R)
{
    if (TScrollEditor* W = AsWidget(Pane)) {
        W->GetWordAtCursorBounds(R);
        return true;
    }
    return TCommandHost::WordAtCursorBounds(Pane, R);
}

void TMainWindowHost::PasteIntoFocused(TEditorEngine& Pane)
{
    TScrollEditor* F = Form1 ? Form1->FocusedEditor() : nullptr;
    if (F)
        F->Paste();
    else
        Pane.Paste();
}

void TMainWindowHost::ProcessMessages()
{
    // A run's yield: what waits is handled (Ctrl+Break among it), and the status the
    // run held back is shown now and then, not after every command.
    if (Form1)
        Form1->ShowHeldStatus();
    QCoreApplication::processEvents();
}

int TMainWindowHost::WaitForKey()
{
    // The user answers what the window shows.
    if (Form1)
        Form1->ReleaseHeld();
    TKeyCatcher Catcher;
    qApp->installEventFilter(&Catcher);
    while (!Catcher.Got && !BreakFlag && Form1 && Form1->isVisible() && !QCoreApplication::closingDown())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    qApp->removeEventFilter(&Catcher);
    return Catcher.Got ? Catcher.Code : 0;
}

std::string TMainWindowHost::CmdEditorText()
{
    const TEditBuffer& B = *Form1->CmdEditor->Strings;
    std::string S;
    for (std::int64_t Y = 0; Y < B.Count(); ++Y) {
        S += Y ? "\r\n" : "";
        S += B[Y];
    }
    return S;
}

void TMainWindowHost::SetCmdEditorText(const std::string& Text)
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

void TMainWindowHost::SetFindText(const std::string& Text)
{
    if (Form1 && Form1->Menus)
        Form1->Menus->FindDialog()->SetFindText(Text);
}

void TMainWindowHost::SetReplaceText(const std::string& Text)
{
    if (Form1 && Form1->Menus)
        Form1->Menus->FindDialog()->SetReplaceText(Text);
}

void TMainWindowHost::ShowInfo(const std::string& Text) { Form1->InfoDis->setText(AnsiToQString(Text)); }

void TMainWindowHost::ShowScoopState(int State)
{
    static const char* const Texts[] = {"Off", "On", "Blk"};
    Form1->ScoopStatusDis->setText(QString::fromLatin1(Texts[State < 0 || State > 2 ? 0 : State]));
    Form1->ScoopStatusDis->setStyleSheet(State ? QStringLiteral("background-color: #00FF00;") : QString());
}

std::int64_t TMainWindowHost::InsertFileCmd(const std::string& Line, std::int64_t Pos)
{
    return narvo::InsertFileCmd(Line, Pos);
}

std::int64_t TMainWindowHost::OpenFileCmd(const std::string& Line, std::int64_t Pos)
{
    return narvo::OpenFileCmd(Line, Pos);
}

void TMainWindowHost::SaveAndExitCmd() { narvo::SaveAndExitCmd(); }

void TMainWindowHost::ExitWithoutSavingCmd()
{
    if (CloseTextFile())
        Form1->close();
}

void TMainWindowHost::SaveIfModified() { narvo::SaveIfModified(); }

void TMainWindowHost::ShowHelpContents() { ProgramHelp().ShowTableOfContents(); }

void TMainWindowHost::PrintText() { PrintLastPreview(); }

void TMainWindowHost::RemarginParagraph(TEditorEngine& Pane) { narvo::RemarginParagraph(Pane); }

void TMainWindowHost::CenterLine(TEditorEngine& Pane) { CenterLineCmd(Pane); }

void TMainWindowHost::DeleteBackToFormFeed(TEditorEngine& Pane) { DeleteBackToFormFeedCmd(Pane); }

bool TMainWindowHost::NewWordStyle() { return narvo::NewWordStyle; }

int TMainWindowHost::SpellCheck(const std::string& Word, bool& NoDictionary) { return CheckSpelling(Word, NoDictionary); }

bool TMainWindowHost::KeypadFlag() { return narvo::KeypadFlag; }

bool TMainWindowHost::BoxDrawKey(TEditorEngine& Pane, char Ch) { return TypeBoxDrawingChar(Pane, Ch); }

void TMainWindowHost::NextBoxStyle() { NextBoxDrawingStyle(); }

int TMainWindowHost::DebugShowStep(const TDebugInfo& Info)
{
    // Each step shows the state it stopped at.
    if (Form1)
        Form1->ReleaseHeld();
    return DebugDlg()->DebugShowStep(Info);
}

void TMainWindowHost::SetDebugRunning(bool Running) { SetDebuggerRunning(Running); }

}  // namespace narvo
