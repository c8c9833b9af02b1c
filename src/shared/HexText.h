// Hexadecimal text and %XX escapes. Texts that may hold control characters ('=',
// line breaks, Esc in command lines and macros) are stored in ini files as two
// upper-case hex digits per character.
#pragma once

#include <string>
#include <string_view>

namespace narvo {

// "abc" gives "616263".
std::string StrToHexStr(std::string_view S);
// True when every character is a hex digit (either case); true for "".
bool IsHexString(std::string_view S);
// The characters the digit pairs of Hex encode (either case; an odd last digit is
// dropped; "" gives ""). Any non-hex character makes the result Default.
std::string HexStrToStr(std::string_view Hex, std::string_view Default);

// Each Escape character and the run of hex pairs (either case) after it become the
// characters the pairs encode; the escape character itself is never copied, so
// "100%" gives "100" and "%41%42" and "%4142" both give "AB".
std::string DecodeEscapedText(std::string_view S, char Escape);
std::string DecodeEscapes(std::string_view S);  // with '%'

}  // namespace narvo
