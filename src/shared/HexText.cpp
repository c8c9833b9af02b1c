// Hexadecimal text for ini values and the %XX decoder used by the text transforms
// and the command language.
#include "shared/HexText.h"

#include "shared/CharClass.h"

namespace narvo {

namespace {

constexpr char HexDigits[] = "0123456789ABCDEF";

// The value of one hex digit of either case; the caller has checked IsHexDigit.
constexpr unsigned HexValue(unsigned char C)
{
    if (IsDigit(C))
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    return C - 'A' + 10;
}

}  // namespace

std::string StrToHexStr(std::string_view S)
{
    std::string Result;
    Result.reserve(S.size() * 2);
    for (unsigned char C : S) {
        Result.push_back(HexDigits[C >> 4]);
        Result.push_back(HexDigits[C & 15]);
    }
    return Result;
}

bool IsHexString(std::string_view S)
{
    for (unsigned char C : S)
        if (!IsHexDigit(C))
            return false;
    return true;
}

std::string HexStrToStr(std::string_view Hex, std::string_view Default)
{
    if (!IsHexString(Hex))
        return std::string(Default);
    std::string Result;
    Result.reserve(Hex.size() / 2);
    for (std::size_t I = 0; I + 1 < Hex.size(); I += 2)
        Result.push_back(static_cast<char>(HexValue(static_cast<unsigned char>(Hex[I])) * 16 +
                                           HexValue(static_cast<unsigned char>(Hex[I + 1]))));
    return Result;
}

std::string DecodeEscapedText(std::string_view S, char Escape)
{
    std::string Result;
    Result.reserve(S.size());
    std::size_t I = 0;
    while (I < S.size()) {
        if (S[I] != Escape) {
            Result.push_back(S[I]);
            ++I;
            continue;
        }
        ++I;
        // Lower-case pairs count too: the text transforms decode what users type,
        // and "%3a" means the same character as "%3A".
        while (I + 1 < S.size() && IsHexDigit(static_cast<unsigned char>(S[I])) &&
               IsHexDigit(static_cast<unsigned char>(S[I + 1]))) {
            Result.push_back(static_cast<char>(HexValue(static_cast<unsigned char>(S[I])) * 16 +
                                               HexValue(static_cast<unsigned char>(S[I + 1]))));
            I += 2;
        }
    }
    return Result;
}

std::string DecodeEscapes(std::string_view S) { return DecodeEscapedText(S, '%'); }

}  // namespace narvo
