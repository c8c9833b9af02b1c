// Plain string routines on 8-bit text (see StringRoutines.h). Only ASCII letters fold
// case here; the Latin-1 letters count as letters only in the word rule.
#include "shared/StringRoutines.h"

#include <algorithm>
#include <array>

#include "shared/CharClass.h"

namespace narvo {

namespace {

constexpr std::array<unsigned char, 256> MakeFoldTable()
{
    std::array<unsigned char, 256> Table{};
    for (int I = 0; I < 256; ++I)
        Table[I] = UpCaseChar(static_cast<unsigned char>(I));
    return Table;
}

constexpr std::array<unsigned char, 256> FoldTable = MakeFoldTable();

inline unsigned char Fold(char C) { return FoldTable[static_cast<unsigned char>(C)]; }

inline std::int64_t Len(std::string_view S) { return static_cast<std::int64_t>(S.size()); }

}  // namespace

std::int64_t PosNoCase(std::string_view Sub, std::string_view S)
{
    if (Sub.empty() || S.empty() || Sub.size() > S.size())
        return 0;
    const std::size_t Last = S.size() - Sub.size();
    for (std::size_t Start = 0; Start <= Last; ++Start) {
        std::size_t K = 0;
        while (K < Sub.size() && Fold(S[Start + K]) == Fold(Sub[K]))
            ++K;
        if (K == Sub.size())
            return static_cast<std::int64_t>(Start) + 1;
    }
    return 0;
}

std::int64_t CommonPrefixLength(std::string_view S1, std::string_view S2, bool IgnoreCase)
{
    const std::size_t N = std::min(S1.size(), S2.size());
    std::size_t I = 0;
    if (IgnoreCase)
        while (I < N && Fold(S1[I]) == Fold(S2[I]))
            ++I;
    else
        while (I < N && S1[I] == S2[I])
            ++I;
    return static_cast<std::int64_t>(I);
}

std::string RepeatChar(char C, std::int64_t N)
{
    if (N <= 0)
        return {};
    return std::string(static_cast<std::size_t>(N), C);
}

std::string PadRightChar(std::string_view S, std::int64_t Width, char C)
{
    std::string Result(S);
    if (Width > Len(S))
        Result.append(static_cast<std::size_t>(Width - Len(S)), C);
    return Result;
}

std::string PadRight(std::string_view S, std::int64_t Width) { return PadRightChar(S, Width, ' '); }

std::string IntToStrPadRight(std::int64_t Value, std::int64_t Width)
{
    return PadRight(std::to_string(Value), Width);
}

std::string IntToStrZeroPad(std::int64_t Value, std::int64_t Width)
{
    std::string Text = std::to_string(Value);
    if (Width > Len(Text))
        Text.insert(0, static_cast<std::size_t>(Width - Len(Text)), '0');
    return Text;
}

void NextField(std::string_view S, char Delimiter, std::int64_t& Pos, std::string& Field)
{
    if (Pos < 1)
        Pos = 1;
    Field.clear();
    if (Pos > Len(S))
        return;
    const std::size_t Start = static_cast<std::size_t>(Pos - 1);
    const std::size_t Found = S.find(Delimiter, Start);
    if (Found == std::string_view::npos) {
        Field.assign(S.substr(Start));
        Pos = Len(S) + 1;
    } else {
        Field.assign(S.substr(Start, Found - Start));
        Pos = static_cast<std::int64_t>(Found) + 2;
    }
}

char ReadTextLine(std::string_view S, std::string& Line, std::int64_t& Pos)
{
    if (Pos < 1)
        Pos = 1;
    Line.clear();
    if (Pos > Len(S))
        return '\0';
    const std::size_t Start = static_cast<std::size_t>(Pos - 1);
    const std::size_t End = S.find_first_of("\r\n", Start);
    if (End == std::string_view::npos) {
        Line.assign(S.substr(Start));
        Pos = Len(S) + 1;
        return '\0';
    }
    Line.assign(S.substr(Start, End - Start));
    const char Terminator = S[End];
    std::size_t Next = End + 1;
    if (Terminator == '\r' && Next < S.size() && S[Next] == '\n')
        ++Next;
    Pos = static_cast<std::int64_t>(Next) + 1;
    return Terminator;
}

std::string ElideMiddle(std::string_view S, std::size_t Max)
{
    if (S.size() <= Max)
        return std::string(S);
    if (Max <= 3)
        return std::string(Max, '.');
    const std::size_t Head = (Max - 3) / 2, Tail = Max - 3 - Head;
    return std::string(S.substr(0, Head)) + "..." + std::string(S.substr(S.size() - Tail));
}

std::string ElideLongLines(std::string_view Text, std::size_t Max)
{
    std::string Out;
    std::size_t Start = 0;
    while (Start <= Text.size()) {
        std::size_t End = Text.find_first_of("\r\n", Start);
        if (End == std::string_view::npos)
            End = Text.size();
        Out += ElideMiddle(Text.substr(Start, End - Start), Max);
        if (End == Text.size())
            break;
        Out.push_back(Text[End]);
        Start = End + 1;
    }
    return Out;
}

std::string OneLine(std::string_view Text)
{
    std::string Line;
    Line.reserve(Text.size());
    for (const char C : Text)
        if (C != '\n')
            Line += C == '\r' ? ' ' : C;
    return Line;
}

std::uint32_t Fnv1a32(std::string_view Bytes)
{
    std::uint32_t Hash = 2166136261u;
    for (const char C : Bytes)
        Hash = (Hash ^ static_cast<unsigned char>(C)) * 16777619u;
    return Hash;
}

}  // namespace narvo
