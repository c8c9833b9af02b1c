// The keys of the editor control: a Qt key event becomes a key-down with the
// virtual key and then at most one character (platform/KeyTranslate.h), an input
// method's committed text comes through the character stage, and a stand-alone
// editor handles navigation and editing keys in its key-down stage. While a key is
// handled the live modifiers are the event's own, so that Shift and Alt read
// during the operation are the ones that came with the key.
#include "editor/ScrollEditor.h"

#include "platform/KeyState.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace narvo {

bool TScrollEditor::event(QEvent* Event)
{
    // A shortcut of the window must not take Tab or a Ctrl key from an editor that
    // handles its keys: claiming the override delivers the key as a key press.
    if (Event->type() == QEvent::ShortcutOverride && TakesKeys()) {
        const auto* K = static_cast<QKeyEvent*>(Event);
        if (K->key() == Qt::Key_Tab || K->key() == Qt::Key_Backtab || K->modifiers().testFlag(Qt::ControlModifier)) {
            Event->accept();
            return true;
        }
    }
    return TScrollBarWindow::event(Event);
}

void TScrollEditor::keyPressEvent(QKeyEvent* Event)
{
    if (!TakesKeys()) {
        // The scroll area's own scrolling by arrow and page keys must not run
        // underneath a pane whose keys its owner routes.
        Event->ignore();
        return;
    }
    Event->accept();
    TKeyStateScope Keys(Event->modifiers());
    const TKeyStroke S = TranslateKeyEvent(*Event);
    if (S.Key != 0) {
        std::uint16_t Key = S.Key;
        KeyDown(Key, S.Shift);
    }
    if (S.Refused) {
        QApplication::beep();
    } else if (S.HasChar) {
        char C = S.Char;
        KeyPress(C);
    }
}

void TScrollEditor::inputMethodEvent(QInputMethodEvent* Event)
{
    Event->accept();
    if (Event->commitString().isEmpty() || !TakesKeys())
        return;
    bool Refused = false;
    const std::string Bytes = CommitToBytes(Event->commitString(), Refused);
    if (Refused)
        QApplication::beep();
    for (char C : Bytes)
        KeyPress(C);
}

void TScrollEditor::KeyDown(std::uint16_t& Key, Qt::KeyboardModifiers Shift)
{
    if (OnKeyDown)
        OnKeyDown(this, Key, Shift);
    if (!FStandAlone || Key == 0)
        return;
    const bool Ctrl = Shift.testFlag(Qt::ControlModifier);
    if (Ctrl && Shift.testFlag(Qt::ShiftModifier)) {
        // Ctrl+@ types a NUL; the character stage brings 0, which is no character.
        if (Key == '2')
            DispatchKey(0);
        Key = 0;
        return;
    }
    if (Ctrl) {
        if (Key == VK_F9)
            FindMarkBackward();
        else if (Key == VK_F10)
            FindMarkForward();
        Key = 0;
        return;
    }
    const bool Multi = EditorStyle == esMultiLine;
    bool Handled = true;
    switch (Key) {
    case VK_LEFT: CursorLeft(); break;
    case VK_RIGHT: CursorRight(); break;
    case VK_INSERT:
        Overwrite = !Overwrite;
        UpdateDisplay(true, true);
        break;
    case VK_DELETE:
        if (!ReadOnly())
            DeleteChar();
        break;
    case VK_PRIOR: Multi ? PageUp() : void(Handled = false); break;
    case VK_NEXT: Multi ? PageDown() : void(Handled = false); break;
    case VK_END: Multi ? GotoBottom() : void(Handled = false); break;
    case VK_HOME: Multi ? GotoTop() : void(Handled = false); break;
    case VK_UP: Multi ? CursorUp() : void(Handled = false); break;
    case VK_DOWN: Multi ? CursorDown() : void(Handled = false); break;
    default: Handled = false; break;
    }
    if (Handled)
        Key = 0;
}

void TScrollEditor::KeyPress(char& Key)
{
    if (OnKeyPress)
        OnKeyPress(this, Key);
    if (Key != 0 && FStandAlone)
        DispatchKey(Key);
}

}  // namespace narvo
