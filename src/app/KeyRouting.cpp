// The key routing of the main window (see KeyRouting.h). Each table row is one
// virtual key and one action on the active pane; a key no row names is not taken,
// and since the panes do no key handling of their own it then does nothing.
#include "app/KeyRouting.h"

#include "app/CommandLanguage.h"
#include "app/MainWindow.h"
#include "components/AutoButton.h"
#include "language/AppState.h"
#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "language/Margins.h"
#include "language/SearchCommands.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"
#include "language/WordCommands.h"
#include "platform/Clipboard.h"
#include "platform/KeyState.h"
#include "platform/KeyTranslate.h"
#include "tools/CharacterChart.h"
#include "tools/StepWatch.h"

#include <QApplication>
#include <QCheckBox>
#include <QEvent>
#include <QKeyEvent>
#include <QWheelEvent>

namespace narvo {

namespace {

TScrollEditor& ActivePane()
{
    return *(Form1->ActiveEditor ? Form1->ActiveEditor : Form1->MainEditor);
}

// The pane a key came from becomes the active one (it has the focus).
TScrollEditor& PaneOf(QObject* Sender)
{
    for (TScrollEditor* P : {Form1->MainEditor, Form1->Editor2, Form1->Editor3})
        if (Sender == P)
            Form1->ActiveEditor = P;
    return ActivePane();
}

void WithRegister(const std::function<void(TXRegister&)>& Action)
{
    if (TXRegister* R = ProgramRegister())
        Action(*R);
}

void WithHost(const std::function<void(TCommandHost&)>& Action)
{
    if (TCommandHost* H = CommandHost())
        Action(*H);
}

// Before the window's controls see a key: Ctrl+Break sets the break flag wherever
// the focus is (a run waiting in the message loop then stops). Outside the panes,
// the wheel scrolls the active pane; a pane under the mouse scrolls itself.
class TWindowEvents : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::KeyPress && Form1 && Watched->isWidgetType() &&
            static_cast<QWidget*>(Watched)->window() == Form1) {
            if (TranslateKeyEvent(*static_cast<QKeyEvent*>(Event)).Break)
                BreakFlag = true;
        } else if (Event->type() == QEvent::Wheel && Watched == Form1) {
            const int Delta = static_cast<QWheelEvent*>(Event)->angleDelta().y();
            if (Delta != 0) {
                TScrollEditor& P = ActivePane();
                if (Delta < 0)
                    P.ScrollLineDown();
                else
                    P.ScrollLineUp();
                UpdateStatus();
                return true;
            }
        }
        return QObject::eventFilter(Watched, Event);
    }
};

}  // namespace

// --- tables ----------------------------------------------------------------------------------

bool PlainKeyDown(TScrollEditor& P, std::uint16_t Key)
{
    switch (Key) {
    case VK_PRIOR: P.PageUp(); break;
    case VK_NEXT: P.PageDown(); break;
    case VK_HOME: P.GotoTop(); break;
    case VK_END: P.GotoBottom(); break;
    case VK_LEFT: P.CursorLeft(); break;
    case VK_RIGHT: P.CursorRight(); break;
    case VK_UP: P.CursorUp(); break;
    case VK_DOWN: P.CursorDown(); break;
    case VK_INSERT:
        P.Overwrite = !P.Overwrite;
        P.UpdateDisplay(false, true);
        break;
    case VK_DELETE: P.DeleteChar(); break;
    case VK_F1: StepCurrentCommandLine(-1); break;
    case VK_F1 + 1: StepCurrentCommandLine(1); break;
    case VK_F1 + 2: ToggleWrapCmd(P); break;
    case VK_F1 + 4: {
        P.ClearMark();
        const TStepWatch Watch(P);
        WithRegister([](TXRegister& R) { R.InsertIntoEditor(); });
        break;
    }
    case VK_F1 + 5: {
        const TStepWatch Watch(P);
        RemarginParagraph(P);
        break;
    }
    case VK_F1 + 7: WithRegister([](TXRegister& R) { R.Clear(); }); break;
    case VK_F9: DropMarker(P); break;
    case VK_F10: GoToMarker(P); break;
    default: return false;
    }
    return true;
}

bool CtrlKeyDown(TScrollEditor& P, std::uint16_t Key)
{
    switch (Key) {
    case VK_CANCEL: BreakFlag = true; break;
    case VK_LEFT: WordLeftCmd(P, false); break;
    case VK_RIGHT: WordRightCmd(P, false); break;
    case VK_UP: P.ScrollLineUp(); break;
    case VK_DOWN: P.ScrollLineDown(); break;
    case VK_F1:
        WithRegister([](TXRegister& R) { R.AddFromClipboard(); });
        ShowStatusMessage("Pasted", false);
        break;
    case VK_F1 + 1:
        WithRegister([](TXRegister& R) { R.CopyToClipboard(); });
        ShowStatusMessage("Copied", false);
        Form1->PasteBtn->setEnabled(ClipboardHasText());
        break;
    case VK_F9: WithHost([&](TCommandHost& H) { WordSearchBackward(H, P); }); break;
    case VK_F10: WithHost([&](TCommandHost& H) { WordSearchForward(H, P); }); break;
    default: return false;
    }
    return true;
}

bool ShiftCtrlKeyDown(TScrollEditor& P, std::uint16_t Key)
{
    switch (Key) {
    case VK_LEFT: WordLeftCmd(P, false); break;
    case VK_RIGHT: WordRightCmd(P, false); break;
    case '2': P.TypeChar('\0'); break;
    default: return false;
    }
    return true;
}

bool AltKeyDown(TScrollEditor& P, std::uint16_t Key, bool Shift)
{
    switch (Key) {
    case VK_BACK: UndoOrRedo(Shift); break;
    case VK_LEFT: DeleteWordLeftCmd(P, false); break;
    case VK_RIGHT: DeleteWordRightCmd(P, false); break;
    case VK_F1: WithHost([](TCommandHost& H) { H.ShowHelpContents(); }); break;
    case VK_F1 + 1:
        ShowCharacterChart(P.font(), P.FontCharset());
        break;
    case VK_F1 + 2: TogglePanels(*Form1); break;
    case VK_F1 + 4: WithRegister([](TXRegister& R) { R.InsertLinesIntoEditor(); }); break;
    case VK_F1 + 5: {
        const TStepWatch Watch(P);
        UnwrapParagraph(P);
        break;
    }
    case VK_F9: WithHost([&](TCommandHost& H) { MakeSearchCmdLine(H, CommandLines(), P, true); }); break;
    case VK_F10: WithHost([&](TCommandHost& H) { MakeSearchCmdLine(H, CommandLines(), P, false); }); break;
    default: return false;
    }
    return true;
}

// --- the two stages --------------------------------------------------------------------------

void Editor1KeyDown(QObject* Sender, std::uint16_t& Key, Qt::KeyboardModifiers Shift)
{
    if (!Form1)
        return;
    if (Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU || Key == VK_PAUSE || Key == VK_CAPITAL)
        return;
    ShowOk();
    KeypadFlag = Key >= VK_NUMPAD0 && Key <= VK_DIVIDE;
    TScrollEditor& P = PaneOf(Sender);
    const bool Ctrl = Shift.testFlag(Qt::ControlModifier);
    const bool ShiftHeld = Shift.testFlag(Qt::ShiftModifier);
    bool Taken = false;
    if (Shift.testFlag(Qt::AltModifier))
        Taken = AltKeyDown(P, Key, ShiftHeld);
    else if (Ctrl && ShiftHeld)
        Taken = ShiftCtrlKeyDown(P, Key);
    else if (Ctrl)
        Taken = CtrlKeyDown(P, Key);
    else
        Taken = PlainKeyDown(P, Key);
    if (Taken) {
        Key = 0;
        UpdateStatus();
    }
}

void InsertTypedChar(char Ch)
{
    TScrollEditor& P = ActivePane();
    P.TypeChar(Ch);
    AfterTypedChar(P, Ch);
}

void UndoOrRedo(bool Redo)
{
    TScrollEditor& P = ActivePane();
    if (Redo)
        P.Redo();
    else
        P.Undo();
    // Each press says its own result: "Undo Empty" or "Redo Empty" when there was
    // nothing to take back or give again, else "Ok".
    ShowEditorStatus(P.Status);
}

void Editor1KeyPress(QObject* Sender, char& Key)
{
    // The character 0 (Ctrl+@) is no character: Shift+Ctrl+2 typed its NUL at key-down.
    if (!Form1 || Key == 0)
        return;
    PaneOf(Sender);
    const char Ch = Key;
    Key = 0;
    const bool Shift = ShiftDown();
    if (QuoteNextFlag) {
        QuoteNextFlag = false;
        InsertTypedChar(Ch);
    } else if (Ch == 7) {
        RunCurrentCommandLine(Form1->SingleStepChk->isChecked());
    } else if (Ch == 15) {
        UndoOrRedo(Shift);
    } else if (Ch == 27) {
        EscToCmdLine();
    } else if (!PaneControlKey(Ch)) {
        InsertTypedChar(Ch);
    }
    UpdateStatus();
}

void ConnectKeyRouting(TForm1& Form)
{
    for (TScrollEditor* P : {Form.MainEditor, Form.Editor2, Form.Editor3}) {
        P->OnKeyDown = Editor1KeyDown;
        P->OnKeyPress = Editor1KeyPress;
    }
    Form.CmdEditor->OnKeyPress = [](QObject*, char& Key) { CmdEditorKeyPress(Key); };
    auto* Events = new TWindowEvents(&Form);
    qApp->installEventFilter(Events);
}

}  // namespace narvo
