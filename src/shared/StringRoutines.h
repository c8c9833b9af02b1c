// Plain string routines on 8-bit text: case-blind search, common prefixes,
// fixed-width formatting, field and line splitting. Positions handed in and out are
// counted from 1, as the callers (command language, settings code, dialogs) count
// them; a position lies within its string or just past its end.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

namespace narvo {

// The 1-based position of the first occurrence of Sub in S, comparing ASCII letters
// without case; 0 when either is empty, Sub is longer than S, or there is none.
std::int64_t PosNoCase(std::string_view Sub, std::string_view S);
// The number of equal leading characters of S1 and S2 (ASCII case folded when
// IgnoreCase), at most the shorter length.
std::int64_t CommonPrefixLength(std::string_view S1, std::string_view S2, bool IgnoreCase);

// N copies of C; empty when N <= 0.
std::string RepeatChar(char C, std::int64_t N);
// S followed by copies of C up to Width characters; never cut.
std::string PadRightChar(std::string_view S, std::int64_t Width, char C);
std::string PadRight(std::string_view S, std::int64_t Width);
// The decimal text of Value padded with spaces on the right to Width.
std::string IntToStrPadRight(std::int64_t Value, std::int64_t Width);
// The decimal text of Value with '0' put in front up to Width; a minus sign stays
// after the zeros (-5 at width 4 gives "00-5"), which the stored formats expect.
std::string IntToStrZeroPad(std::int64_t Value, std::int64_t Width);

inline std::string IfThenStr(bool Condition, std::string_view A, std::string_view B)
{
    return std::string(Condition ? A : B);
}

template <std::integral T>
constexpr void SwapIntegersIf(bool Condition, T& A, T& B)
{
    if (Condition)
        std::swap(A, B);
}

template <std::integral T>
constexpr T Min3(T A, T B, T C)
{
    T M = A < B ? A : B;
    return M < C ? M : C;
}

// Field becomes S from Pos up to (not including) the next Delimiter; Pos moves past
// that delimiter, or to Length(S) + 1 when there is none. Field is empty when Pos is
// already past the end (Pos then stays). A Pos below 1 counts as 1.
void NextField(std::string_view S, char Delimiter, std::int64_t& Pos, std::string& Field);

// Line becomes S from Pos up to the first CR or LF (or the end); the result is the
// character that ended the line, CR, LF or 0 at the end of S. Pos moves past the line
// and its terminator, CR LF counting as one. At Length(S) + 1 the result is 0, Line
// is empty and Pos stays.
char ReadTextLine(std::string_view S, std::string& Line, std::int64_t& Pos);

// S when it has at most Max characters, else its start and end around "...", Max
// characters in all, so that a huge name in a message still shows where it leads.
std::string ElideMiddle(std::string_view S, std::size_t Max = 200);
// Text with each of its lines (cut at CR or LF) passed through ElideMiddle.
std::string ElideLongLines(std::string_view Text, std::size_t Max = 200);
// Text on one line: LFs dropped and CRs made blanks, as a message box's "\r\n"
// line breaks read in a status line or a log.
std::string OneLine(std::string_view Text);

// The 32-bit FNV-1a hash of Bytes: a short tag that tells texts apart in names.
std::uint32_t Fnv1a32(std::string_view Bytes);

}  // namespace narvo
