// Character classes of single 8-bit characters: digits, letters, white space, the
// word rule shared by word motion, word marking, whole-word search and the spelling
// engine, and ASCII-only case conversion. Everything here is constexpr and total.
#pragma once

namespace narvo {

constexpr bool IsDigit(unsigned char C) { return C >= '0' && C <= '9'; }
constexpr bool IsUpperHexDigit(unsigned char C) { return IsDigit(C) || (C >= 'A' && C <= 'F'); }
constexpr bool IsHexDigit(unsigned char C) { return IsUpperHexDigit(C) || (C >= 'a' && C <= 'f'); }
constexpr bool IsUpper(unsigned char C) { return C >= 'A' && C <= 'Z'; }
constexpr bool IsLower(unsigned char C) { return C >= 'a' && C <= 'z'; }
constexpr bool IsAlpha(unsigned char C) { return IsUpper(C) || IsLower(C); }
constexpr bool IsAlphaNum(unsigned char C) { return IsAlpha(C) || IsDigit(C); }
// Line feed is deliberately not white: inside the text a line end reads as CR.
constexpr bool IsWhite(unsigned char C) { return C == 9 || C == 13 || C == 32; }

// The accented letters of Latin-1; the multiplication and division signs and the
// two cedillas (199, 231) are not letters here.
constexpr bool IsLatin1Letter(unsigned char C)
{
    return (C >= 192 && C <= 198) || (C >= 200 && C <= 214) || (C >= 216 && C <= 230) ||
           (C >= 232 && C <= 246) || C >= 248;
}

// True for every character that is not part of a word. Word characters are the
// apostrophe, digits, ASCII and Latin-1 letters, the underscore, and the hyphen when
// HyphenInWords is on.
constexpr bool IsDelimiter(unsigned char C, bool HyphenInWords)
{
    if (C == '\'' || C == '_' || IsAlphaNum(C) || IsLatin1Letter(C))
        return false;
    if (C == '-' && HyphenInWords)
        return false;
    return true;
}

// The word rule with one character of look-ahead: an apostrophe not followed by a
// letter or digit is a closing quote and ends the word ("don't" is one word).
constexpr bool IsWordDelimiter(unsigned char C, unsigned char Next, bool HyphenInWords)
{
    if (C == '\'' && !IsAlphaNum(Next))
        return true;
    return IsDelimiter(C, HyphenInWords);
}

constexpr unsigned char UpCaseChar(unsigned char C) { return IsLower(C) ? C - 32 : C; }
constexpr unsigned char LowCaseChar(unsigned char C) { return IsUpper(C) ? C + 32 : C; }

}  // namespace narvo
