// The number separators from the user's locale (see Locale.h).
#include "platform/Locale.h"

#include "shared/CodePage.h"
#include "shared/SystemData.h"

#include <QLocale>

namespace narvo {

namespace {

// The first character of Text as a Windows-1252 byte. Thin and narrow spaces (the
// grouping of many locales) become the no-break space, which the code page has.
char SeparatorByte(const QString& Text, char Fallback)
{
    if (Text.isEmpty())
        return Fallback;
    char32_t Ch = Text.at(0).unicode();
    if (Ch == 0x202F || Ch == 0x2009 || Ch == 0x2007)
        Ch = 0xA0;
    unsigned char Byte = 0;
    if (!UnicodeToAnsi(Ch, Byte) || Byte == 0)
        return Fallback;
    return static_cast<char>(Byte);
}

}  // namespace

void SetLocaleSeparators(bool UseLocale)
{
    if (!UseLocale) {
        SystemData.SetDecimalSeparator('.');
        SystemData.SetThousandSeparator('\0');
        return;
    }
    const QLocale Locale = QLocale::system();
    SystemData.SetDecimalSeparator(SeparatorByte(Locale.decimalPoint(), '.'));
    SystemData.SetThousandSeparator(SeparatorByte(Locale.groupSeparator(), ','));
}

}  // namespace narvo
