// One Qt key event as the two stages the editor's key handling works in: a
// key-down carrying the Windows virtual key number and the modifiers, then at most
// one 8-bit character. Control characters come from the key and the modifiers
// (Ctrl+A..Z 1..26, Ctrl+[ 27, Ctrl+\ 28, Ctrl+] 29, Ctrl+^ 30, Ctrl+_ 31, Ctrl+@
// 0), never from the event's text, so they do not depend on what the window system
// puts there. Printable text is converted through Windows-1252; a character with no
// byte there is refused, never cut to its low byte. Key numbers follow the US
// layout's placement of the punctuation keys.
#pragma once

#include <QString>
#include <Qt>
#include <cstdint>
#include <functional>
#include <string>

class QKeyEvent;
class QObject;

namespace narvo {

// Virtual key numbers.
inline constexpr std::uint16_t VK_CANCEL = 3;  // Ctrl+Break
inline constexpr std::uint16_t VK_BACK = 8;
inline constexpr std::uint16_t VK_TAB = 9;
inline constexpr std::uint16_t VK_CLEAR = 12;
inline constexpr std::uint16_t VK_RETURN = 13;
inline constexpr std::uint16_t VK_SHIFT = 16;
inline constexpr std::uint16_t VK_CONTROL = 17;
inline constexpr std::uint16_t VK_MENU = 18;  // Alt
inline constexpr std::uint16_t VK_PAUSE = 19;
inline constexpr std::uint16_t VK_CAPITAL = 20;
inline constexpr std::uint16_t VK_ESCAPE = 27;
inline constexpr std::uint16_t VK_SPACE = 32;
inline constexpr std::uint16_t VK_PRIOR = 33;  // Page Up
inline constexpr std::uint16_t VK_NEXT = 34;   // Page Down
inline constexpr std::uint16_t VK_END = 35;
inline constexpr std::uint16_t VK_HOME = 36;
inline constexpr std::uint16_t VK_LEFT = 37;
inline constexpr std::uint16_t VK_UP = 38;
inline constexpr std::uint16_t VK_RIGHT = 39;
inline constexpr std::uint16_t VK_DOWN = 40;
inline constexpr std::uint16_t VK_SNAPSHOT = 44;
inline constexpr std::uint16_t VK_INSERT = 45;
inline constexpr std::uint16_t VK_DELETE = 46;
inline constexpr std::uint16_t VK_HELP = 47;
// '0'..'9' are 48..57 and 'A'..'Z' 65..90.
inline constexpr std::uint16_t VK_LWIN = 91;
inline constexpr std::uint16_t VK_RWIN = 92;
inline constexpr std::uint16_t VK_APPS = 93;
inline constexpr std::uint16_t VK_NUMPAD0 = 96;  // ..VK_NUMPAD9 105
inline constexpr std::uint16_t VK_MULTIPLY = 106;
inline constexpr std::uint16_t VK_ADD = 107;
inline constexpr std::uint16_t VK_SEPARATOR = 108;
inline constexpr std::uint16_t VK_SUBTRACT = 109;
inline constexpr std::uint16_t VK_DECIMAL = 110;
inline constexpr std::uint16_t VK_DIVIDE = 111;
inline constexpr std::uint16_t VK_F1 = 112;  // ..VK_F24 135
inline constexpr std::uint16_t VK_F9 = 120;
inline constexpr std::uint16_t VK_F10 = 121;
inline constexpr std::uint16_t VK_NUMLOCK = 144;
inline constexpr std::uint16_t VK_SCROLL = 145;
inline constexpr std::uint16_t VK_OEM_1 = 186;       // ; :
inline constexpr std::uint16_t VK_OEM_PLUS = 187;    // = +
inline constexpr std::uint16_t VK_OEM_COMMA = 188;   // , <
inline constexpr std::uint16_t VK_OEM_MINUS = 189;   // - _
inline constexpr std::uint16_t VK_OEM_PERIOD = 190;  // . >
inline constexpr std::uint16_t VK_OEM_2 = 191;       // / ?
inline constexpr std::uint16_t VK_OEM_3 = 192;       // ` ~
inline constexpr std::uint16_t VK_OEM_4 = 219;       // [ {
inline constexpr std::uint16_t VK_OEM_5 = 220;       // \ |
inline constexpr std::uint16_t VK_OEM_6 = 221;       // ] }
inline constexpr std::uint16_t VK_OEM_7 = 222;       // ' "

// The keysym with which X11 reports Ctrl+Pause (Break) as Qt key 0.
inline constexpr std::uint32_t BreakKeysym = 0xff6b;

// The two stages of one key event.
struct TKeyStroke {
    std::uint16_t Key = 0;                // virtual key number; 0 for a key without one
    Qt::KeyboardModifiers Shift;          // Shift, Ctrl, Alt and Meta held (no keypad flag)
    bool Keypad = false;                  // a numeric-keypad key
    bool Break = false;                   // Ctrl+Break (Pause, Cancel or Scroll Lock)
    bool HasChar = false;                 // a character stage follows
    char Char = 0;                        // its byte
    bool Refused = false;                 // typed text without a Windows-1252 byte
};

// The virtual key and character of a key with Qt's key code QtKey, the modifiers
// of the event, the native virtual key (the X11 keysym) and the event's text.
TKeyStroke TranslateKey(int QtKey, Qt::KeyboardModifiers Modifiers, std::uint32_t NativeKey, const QString& Text);
TKeyStroke TranslateKeyEvent(const QKeyEvent& Event);

// An input method's committed text as Windows-1252 bytes, one character stage
// each; characters without a byte are left out and reported through Refused.
std::string CommitToBytes(const QString& Commit, bool& Refused);

// Key events of the controls: key-down with the virtual key (the handler sets it
// to 0 to consume the key) and the modifiers; key-press with the character (the
// handler may replace it, or set it to 0 to swallow it).
using TKeyEvent = std::function<void(QObject* Sender, std::uint16_t& Key, Qt::KeyboardModifiers Shift)>;
using TKeyPressEvent = std::function<void(QObject* Sender, char& Key)>;

}  // namespace narvo
