// Qt key events to the key-down and character stages: virtual keys, control
// characters from key and modifiers, the keypad flag, the break keys, and text
// that Windows-1252 cannot hold.
#include "platform/KeyTranslate.h"

#include <QKeyEvent>
#include <gtest/gtest.h>

namespace narvo {
namespace {

constexpr auto None = Qt::NoModifier;
constexpr auto Sh = Qt::ShiftModifier;
constexpr auto Ct = Qt::ControlModifier;
constexpr auto Al = Qt::AltModifier;
constexpr auto Kp = Qt::KeypadModifier;

struct TRow {
    int Key;
    Qt::KeyboardModifiers Mods;
    const char16_t* Text;
    std::uint16_t Vk;
    int Char;  // -1: no character stage; -2: refused
    bool Keypad = false;
    bool Break = false;
    std::uint32_t Native = 0;
};

TEST(KeyTranslate, Table)
{
    const TRow Rows[] = {
        {Qt::Key_A, None, u"a", 'A', 'a'},
        {Qt::Key_A, Sh, u"A", 'A', 'A'},
        {Qt::Key_A, Ct, u"a", 'A', 1},  // never from the text
        {Qt::Key_Z, Ct | Sh, u"", 'Z', 26},
        {Qt::Key_O, Ct | Sh, u"\x0f", 'O', 15},
        {Qt::Key_BracketLeft, Ct, u"", VK_OEM_4, 27},
        {Qt::Key_Backslash, Ct, u"", VK_OEM_5, 28},
        {Qt::Key_BracketRight, Ct, u"", VK_OEM_6, 29},
        {Qt::Key_AsciiCircum, Ct | Sh, u"\x1e", '6', 30},
        {Qt::Key_6, Ct | Sh, u"", '6', 30},
        {Qt::Key_6, Ct, u"", '6', -1},
        {Qt::Key_Underscore, Ct | Sh, u"", VK_OEM_MINUS, 31},
        {Qt::Key_At, Ct | Sh, u"", '2', 0},
        {Qt::Key_2, Ct | Sh, u"", '2', 0},
        {Qt::Key_2, Ct, u"", '2', -1},
        {Qt::Key_Return, None, u"\r", VK_RETURN, 13},
        {Qt::Key_Enter, Kp, u"\r", VK_RETURN, 13, true},
        {Qt::Key_Return, Ct, u"", VK_RETURN, 10},
        {Qt::Key_Backspace, None, u"\b", VK_BACK, 8},
        {Qt::Key_Backspace, Ct, u"", VK_BACK, 127},
        {Qt::Key_Tab, None, u"\t", VK_TAB, 9},
        {Qt::Key_Backtab, Sh, u"", VK_TAB, 9},
        {Qt::Key_Escape, None, u"\x1b", VK_ESCAPE, 27},
        {Qt::Key_Space, Ct, u"", VK_SPACE, ' '},
        {Qt::Key_Delete, None, u"\x7f", VK_DELETE, -1},
        {Qt::Key_Left, Sh, u"", VK_LEFT, -1},
        {Qt::Key_F9, Ct, u"", VK_F9, -1},
        {Qt::Key_5, Kp, u"5", VK_NUMPAD0 + 5, '5', true},
        {Qt::Key_Asterisk, Kp, u"*", VK_MULTIPLY, '*', true},
        {Qt::Key_Slash, Kp, u"/", VK_DIVIDE, '/', true},
        {Qt::Key_Home, Kp, u"", VK_HOME, -1, true},
        {Qt::Key_Colon, Sh, u":", VK_OEM_1, ':'},
        {Qt::Key_Exclam, Sh, u"!", '1', '!'},
        {Qt::Key_A, Al, u"a", 'A', -1},  // Alt alone is a menu key
        {Qt::Key_V, Ct | Al, u"v", 'V', 22},
        {Qt::Key_2, Ct | Al, u"\u00b2", '2', 0xB2},  // AltGr
        {Qt::Key_E, None, u"\u00e9", 'E', 0xE9},
        {Qt::Key_unknown, None, u"\u20ac", 0, 0x80},
        {Qt::Key_unknown, None, u"\u0448", 0, -2},
        {Qt::Key_unknown, None, u"\U0001F600", 0, -2},
        {Qt::Key_Pause, None, u"", VK_PAUSE, -1},
        {Qt::Key_ScrollLock, None, u"", VK_SCROLL, -1},
        {Qt::Key_Pause, Ct, u"", VK_CANCEL, -1, false, true},
        {Qt::Key_Cancel, Ct, u"", VK_CANCEL, -1, false, true},
        {Qt::Key_ScrollLock, Ct, u"", VK_CANCEL, -1, false, true},
        {0, Ct, u"", VK_CANCEL, -1, false, true, BreakKeysym},
    };
    for (const TRow& R : Rows) {
        const QString Text = QString::fromUtf16(R.Text);
        SCOPED_TRACE(QString("key %1 mods %2 text %3").arg(R.Key, 0, 16).arg(R.Mods.toInt(), 0, 16).arg(Text).toStdString());
        const QKeyEvent Event(QEvent::KeyPress, R.Key, R.Mods, 0, R.Native, 0, Text);
        const TKeyStroke S = TranslateKeyEvent(Event);
        EXPECT_EQ(S.Key, R.Vk);
        EXPECT_EQ(S.HasChar, R.Char >= 0);
        EXPECT_EQ(S.Refused, R.Char == -2);
        if (R.Char >= 0) {
            EXPECT_EQ(static_cast<unsigned char>(S.Char), R.Char);
        }
        EXPECT_EQ(S.Keypad, R.Keypad);
        EXPECT_EQ(S.Break, R.Break);
        EXPECT_FALSE(S.Shift.testFlag(Qt::KeypadModifier));
    }
}

TEST(KeyTranslate, CommitStringsThroughWindows1252)
{
    bool Refused = true;
    EXPECT_EQ(CommitToBytes(QString::fromUtf16(u"\u20aca\u00e9"), Refused), "\x80" "a\xe9");
    EXPECT_FALSE(Refused);
    EXPECT_EQ(CommitToBytes(QString::fromUtf16(u"a\u0448b\U0001F600"), Refused), "ab");
    EXPECT_TRUE(Refused);
}

}  // namespace
}  // namespace narvo
