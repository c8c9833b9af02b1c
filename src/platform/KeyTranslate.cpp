// Qt key events to virtual keys and 8-bit characters (see KeyTranslate.h). The
// character rules are those of the desktop the program comes from: Alt alone
// gives no character (it is a menu key there), Ctrl gives control characters, and
// Ctrl+Alt on a key without one stands for AltGr and gives the printed character.
#include "platform/KeyTranslate.h"

#include "shared/CodePage.h"

#include <QKeyEvent>

namespace narvo {

namespace {

std::uint16_t PunctuationKey(int K)
{
    switch (K) {
    case Qt::Key_Semicolon: case Qt::Key_Colon: return VK_OEM_1;
    case Qt::Key_Equal: case Qt::Key_Plus: return VK_OEM_PLUS;
    case Qt::Key_Comma: case Qt::Key_Less: return VK_OEM_COMMA;
    case Qt::Key_Minus: case Qt::Key_Underscore: return VK_OEM_MINUS;
    case Qt::Key_Period: case Qt::Key_Greater: return VK_OEM_PERIOD;
    case Qt::Key_Slash: case Qt::Key_Question: return VK_OEM_2;
    case Qt::Key_QuoteLeft: case Qt::Key_AsciiTilde: return VK_OEM_3;
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return VK_OEM_4;
    case Qt::Key_Backslash: case Qt::Key_Bar: return VK_OEM_5;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return VK_OEM_6;
    case Qt::Key_Apostrophe: case Qt::Key_QuoteDbl: return VK_OEM_7;
    // The shifted digits of the US layout are their digit keys.
    case Qt::Key_ParenRight: return '0';
    case Qt::Key_Exclam: return '1';
    case Qt::Key_At: return '2';
    case Qt::Key_NumberSign: return '3';
    case Qt::Key_Dollar: return '4';
    case Qt::Key_Percent: return '5';
    case Qt::Key_AsciiCircum: return '6';
    case Qt::Key_Ampersand: return '7';
    case Qt::Key_Asterisk: return '8';
    case Qt::Key_ParenLeft: return '9';
    default: return 0;
    }
}

std::uint16_t KeypadKey(int K)
{
    if (K >= Qt::Key_0 && K <= Qt::Key_9)
        return static_cast<std::uint16_t>(VK_NUMPAD0 + (K - Qt::Key_0));
    switch (K) {
    case Qt::Key_Asterisk: return VK_MULTIPLY;
    case Qt::Key_Plus: return VK_ADD;
    case Qt::Key_Minus: return VK_SUBTRACT;
    case Qt::Key_Period: case Qt::Key_Comma: return VK_DECIMAL;
    case Qt::Key_Slash: return VK_DIVIDE;
    default: return 0;  // navigation keys of the keypad are the ordinary ones
    }
}

std::uint16_t VirtualKey(int K, bool Keypad)
{
    if (Keypad)
        if (const std::uint16_t V = KeypadKey(K))
            return V;
    if ((K >= Qt::Key_0 && K <= Qt::Key_9) || (K >= Qt::Key_A && K <= Qt::Key_Z))
        return static_cast<std::uint16_t>(K);  // Qt's codes are the ASCII digits and capitals
    if (K >= Qt::Key_F1 && K <= Qt::Key_F24)
        return static_cast<std::uint16_t>(VK_F1 + (K - Qt::Key_F1));
    switch (K) {
    case Qt::Key_Cancel: return VK_CANCEL;
    case Qt::Key_Backspace: return VK_BACK;
    case Qt::Key_Tab: case Qt::Key_Backtab: return VK_TAB;
    case Qt::Key_Clear: return VK_CLEAR;
    case Qt::Key_Return: case Qt::Key_Enter: return VK_RETURN;
    case Qt::Key_Shift: return VK_SHIFT;
    case Qt::Key_Control: return VK_CONTROL;
    case Qt::Key_Alt: case Qt::Key_AltGr: return VK_MENU;
    case Qt::Key_Pause: return VK_PAUSE;
    case Qt::Key_CapsLock: return VK_CAPITAL;
    case Qt::Key_Escape: return VK_ESCAPE;
    case Qt::Key_Space: return VK_SPACE;
    case Qt::Key_PageUp: return VK_PRIOR;
    case Qt::Key_PageDown: return VK_NEXT;
    case Qt::Key_End: return VK_END;
    case Qt::Key_Home: return VK_HOME;
    case Qt::Key_Left: return VK_LEFT;
    case Qt::Key_Up: return VK_UP;
    case Qt::Key_Right: return VK_RIGHT;
    case Qt::Key_Down: return VK_DOWN;
    case Qt::Key_Print: return VK_SNAPSHOT;
    case Qt::Key_Insert: return VK_INSERT;
    case Qt::Key_Delete: return VK_DELETE;
    case Qt::Key_Help: return VK_HELP;
    case Qt::Key_Meta: case Qt::Key_Super_L: return VK_LWIN;
    case Qt::Key_Super_R: return VK_RWIN;
    case Qt::Key_Menu: return VK_APPS;
    case Qt::Key_NumLock: return VK_NUMLOCK;
    case Qt::Key_ScrollLock: return VK_SCROLL;
    default: return PunctuationKey(K);
    }
}

// The control character of Ctrl with key K, or -1 for none.
int ControlChar(int K, bool Shift)
{
    if (K >= Qt::Key_A && K <= Qt::Key_Z)
        return K - Qt::Key_A + 1;
    switch (K) {
    case Qt::Key_BracketLeft: case Qt::Key_BraceLeft: return 27;
    case Qt::Key_Backslash: case Qt::Key_Bar: return 28;
    case Qt::Key_BracketRight: case Qt::Key_BraceRight: return 29;
    case Qt::Key_AsciiCircum: return 30;
    case Qt::Key_6: return Shift ? 30 : -1;
    case Qt::Key_Minus: case Qt::Key_Underscore: return 31;
    case Qt::Key_At: return 0;
    case Qt::Key_2: return Shift ? 0 : -1;
    case Qt::Key_Return: case Qt::Key_Enter: return 10;
    case Qt::Key_Backspace: return 127;
    case Qt::Key_Space: return ' ';
    default: return -1;
    }
}

// The one printable character of Text as a Windows-1252 byte.
void TextChar(const QString& Text, TKeyStroke& S)
{
    const QList<uint> Points = Text.toUcs4();
    if (Points.size() != 1)
        return;
    const char32_t C = Points.front();
    if (C < 32 || C == 127)
        return;  // Delete and other non-printing keys bring control text
    unsigned char Byte = 0;
    if (UnicodeToByte(TCodePage::Ansi, C, Byte)) {
        S.HasChar = true;
        S.Char = static_cast<char>(Byte);
    } else {
        S.Refused = true;
    }
}

}  // namespace

TKeyStroke TranslateKey(int QtKey, Qt::KeyboardModifiers Modifiers, std::uint32_t NativeKey, const QString& Text)
{
    TKeyStroke S;
    S.Keypad = Modifiers.testFlag(Qt::KeypadModifier);
    S.Shift = Modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const bool Shift = Modifiers.testFlag(Qt::ShiftModifier);
    const bool Ctrl = Modifiers.testFlag(Qt::ControlModifier);
    const bool Alt = Modifiers.testFlag(Qt::AltModifier);
    // Keyboards without Pause break with Ctrl+Scroll Lock; X11 reports Ctrl+Pause
    // as the keysym Break with no Qt key.
    if (NativeKey == BreakKeysym ||
        (Ctrl && (QtKey == Qt::Key_Pause || QtKey == Qt::Key_Cancel || QtKey == Qt::Key_ScrollLock))) {
        S.Key = VK_CANCEL;
        S.Break = true;
        // No character: a break must not also act as ^C (copy or delete a word).
        return S;
    }
    S.Key = VirtualKey(QtKey, S.Keypad);
    if (Alt && !Ctrl)
        return S;
    if (Ctrl) {
        const int C = ControlChar(QtKey, Shift);
        if (C >= 0) {
            S.HasChar = true;
            S.Char = static_cast<char>(C);
            return S;
        }
        // Ctrl+Alt with a key that has no control character stands for AltGr.
        if (!Alt)
            return S;
    }
    if (!Ctrl) {
        switch (QtKey) {
        case Qt::Key_Return: case Qt::Key_Enter: S.HasChar = true; S.Char = 13; return S;
        case Qt::Key_Backspace: S.HasChar = true; S.Char = 8; return S;
        case Qt::Key_Tab: case Qt::Key_Backtab: S.HasChar = true; S.Char = 9; return S;
        case Qt::Key_Escape: S.HasChar = true; S.Char = 27; return S;
        default: break;
        }
    }
    // Plain or Shift, or AltGr: the printed character.
    TextChar(Text, S);
    return S;
}

TKeyStroke TranslateKeyEvent(const QKeyEvent& Event)
{
    return TranslateKey(Event.key(), Event.modifiers(), Event.nativeVirtualKey(), Event.text());
}

std::string CommitToBytes(const QString& Commit, bool& Refused)
{
    Refused = false;
    std::string Bytes;
    for (const char32_t C : Commit.toUcs4()) {
        unsigned char Byte = 0;
        if (UnicodeToByte(TCodePage::Ansi, C, Byte))
            Bytes += static_cast<char>(Byte);
        else
            Refused = true;
    }
    return Bytes;
}

}  // namespace narvo
