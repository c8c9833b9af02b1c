// Number scanning (see NumberScan.h). The collected text is checked and converted
// here with std::from_chars after the decimal separator is mapped to '.', so
// neither the C locale nor a stray separator setting changes what is read.
#include "shared/NumberScan.h"

#include <charconv>
#include <system_error>

#include "shared/CharClass.h"
#include "shared/SystemData.h"

namespace narvo {

namespace {

[[noreturn]] void ThrowNotANumber(std::string_view Text)
{
    throw EConvertError("'" + std::string(Text) + "' is not a valid floating point value");
}

}  // namespace

double StrToFloat(std::string_view Text, char DecimalSeparator)
{
    if (DecimalSeparator == '\0')
        DecimalSeparator = '.';
    // Rebuild the text in the one form from_chars reads, checking the shape on the
    // way: from_chars alone would also accept "inf" and "nan".
    std::string Plain;
    Plain.reserve(Text.size());
    // Blanks around the number are allowed, as in hand-edited settings files.
    std::size_t I = Text.find_first_not_of(' ');
    if (I == std::string_view::npos)
        ThrowNotANumber(Text);
    const std::size_t Last = Text.find_last_not_of(' ');
    const std::string_view Body = Text.substr(0, Last + 1);
    if (Body[I] == '-')
        Plain.push_back(Body[I++]);
    else if (Body[I] == '+')
        ++I;
    bool Digits = false;
    bool Separator = false;
    for (; I < Body.size(); ++I) {
        const unsigned char C = static_cast<unsigned char>(Body[I]);
        if (IsDigit(C)) {
            Digits = true;
            Plain.push_back(static_cast<char>(C));
        } else if (C == static_cast<unsigned char>(DecimalSeparator) && !Separator) {
            Separator = true;
            Plain.push_back('.');
        } else {
            break;
        }
    }
    if (!Digits)
        ThrowNotANumber(Text);
    if (I < Body.size() && (Body[I] == 'e' || Body[I] == 'E')) {
        Plain.push_back('e');
        ++I;
        if (I < Body.size() && (Body[I] == '-' || Body[I] == '+'))
            Plain.push_back(Body[I++]);
        bool ExponentDigits = false;
        while (I < Body.size() && IsDigit(static_cast<unsigned char>(Body[I]))) {
            ExponentDigits = true;
            Plain.push_back(Body[I++]);
        }
        if (!ExponentDigits)
            ThrowNotANumber(Text);
    }
    if (I != Body.size())
        ThrowNotANumber(Text);
    double Value = 0;
    const auto [End, Error] = std::from_chars(Plain.data(), Plain.data() + Plain.size(), Value);
    if (Error != std::errc() || End != Plain.data() + Plain.size())
        ThrowNotANumber(Text);
    return Value;
}

bool ExtractNumber(std::string_view S, std::int64_t& Pos, double& Value)
{
    Value = 0;
    const std::int64_t Length = static_cast<std::int64_t>(S.size());
    if (Pos < 1)
        Pos = 1;
    if (Pos > Length + 1)
        Pos = Length + 1;
    if (S.empty())
        return false;

    char D = SystemData.DecimalSeparator();
    if (D == '\0')
        D = '.';
    const char T = SystemData.ThousandSeparator();
    // The zero character means "no thousands separator": a NUL byte in the text is
    // then an ordinary character, never skipped as a separator.
    const bool HasThousands = T != '\0' && T != D;

    std::string N;
    bool SeparatorSeen = false;
    std::size_t I = static_cast<std::size_t>(Pos - 1);

    // Prefix: a minus and a decimal separator may come before the first digit;
    // anything else starts over.
    for (;;) {
        if (I >= S.size()) {
            Pos = Length + 1;
            return false;
        }
        const char C = S[I];
        if (C == '-') {
            if (N.empty() || (!SeparatorSeen && N.back() != '-'))
                N.push_back('-');
            ++I;
        } else if (C == D && !SeparatorSeen) {
            N.push_back(D);
            SeparatorSeen = true;
            ++I;
        } else if (IsDigit(static_cast<unsigned char>(C))) {
            break;
        } else {
            N.clear();
            SeparatorSeen = false;
            ++I;
        }
    }

    // Digits, one decimal separator, thousands separators skipped.
    while (I < S.size()) {
        const char C = S[I];
        const bool Thousands = HasThousands && C == T;
        if (!IsDigit(static_cast<unsigned char>(C)) && C != D && !Thousands)
            break;
        if (C == D) {
            if (SeparatorSeen)
                break;
            SeparatorSeen = true;
        }
        if (!Thousands)
            N.push_back(C);
        ++I;
    }

    // Exponent: the letter, a run of minus signs taken as one, then digits.
    if (I < S.size() && (S[I] == 'E' || S[I] == 'e')) {
        N.push_back(S[I++]);
        bool Minus = false;
        while (I < S.size() && S[I] == '-') {
            Minus = true;
            ++I;
        }
        if (Minus)
            N.push_back('-');
        while (I < S.size() && IsDigit(static_cast<unsigned char>(S[I])))
            N.push_back(S[I++]);
    }

    Pos = static_cast<std::int64_t>(I) + 1;
    Value = StrToFloat(N, D);
    return true;
}

double StrToFloatLoose(std::string_view S)
{
    std::int64_t Pos = 1;
    double Value = 0;
    return ExtractNumber(S, Pos, Value) ? Value : 0.0;
}

}  // namespace narvo
