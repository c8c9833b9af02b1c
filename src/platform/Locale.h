// The number separators from the user's locale.
#pragma once

namespace narvo {

// With UseLocale the decimal and thousands separators of QLocale::system() ('.' and
// ',' when the locale gives none, or none that Windows-1252 can hold); without it
// '.' and no thousands separator.
void SetLocaleSeparators(bool UseLocale);

}  // namespace narvo
