// The two code pages of the text: Windows-1252 ("ANSI", the default) and code page
// 437 ("OEM"). Text inside the program is 8-bit bytes; these tables convert them to
// and from Unicode at every boundary (painting, typed text, clipboard, file names,
// URLs, UTF-16 files). Every byte has a Unicode character, so no byte is ever lost;
// a Unicode character without a byte is reported, never cut to its low byte.
#pragma once

#include <string>
#include <string_view>

namespace narvo {

enum class TCodePage { Ansi, Oem };

// Byte to Unicode. The five bytes that Windows-1252 leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) map to the C1 controls of the same number. Code page 437 maps
// 0x00-0x7F to ASCII (control characters stay controls) and the upper half to its
// box-drawing, Greek and accented characters.
char32_t ByteToUnicode(TCodePage Page, unsigned char Byte);
// Unicode to byte; false when the code page has no byte for the character.
bool UnicodeToByte(TCodePage Page, char32_t Ch, unsigned char& Byte);

inline char32_t AnsiToUnicode(unsigned char Byte) { return ByteToUnicode(TCodePage::Ansi, Byte); }
inline bool UnicodeToAnsi(char32_t Ch, unsigned char& Byte) { return UnicodeToByte(TCodePage::Ansi, Ch, Byte); }

// Whole strings through UTF-8 and UTF-16. A character with no byte becomes
// Replacement and sets *Lossy (when given); the other characters convert exactly.
// Malformed UTF-8 counts as a character with no byte.
std::string BytesToUtf8(TCodePage Page, std::string_view Bytes);
std::string Utf8ToBytes(TCodePage Page, std::string_view Utf8, bool* Lossy = nullptr, char Replacement = '?');
std::u16string BytesToUtf16(TCodePage Page, std::string_view Bytes);
// The same into Out, which has room for Bytes.size() units (one per byte).
void BytesToUtf16Units(TCodePage Page, std::string_view Bytes, char16_t* Out);
std::string Utf16ToBytes(TCodePage Page, std::u16string_view Utf16, bool* Lossy = nullptr, char Replacement = '?');

}  // namespace narvo
