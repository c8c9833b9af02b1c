// Finding numbers inside free text ("abc-12.5kg" holds -12.5) under the program's
// decimal and thousands separators (SystemData), independent of the C locale.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace narvo {

// A text that should be a number is not one. The message names the text:
// "'2e' is not a valid floating point value".
class EConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Scans S from the 1-based Pos for the first number: an optional minus, digits with
// at most one decimal separator (thousands separators skipped), an optional exponent
// ('E' or 'e', minus signs, digits). True and Value set when one is found; false and
// Value 0 otherwise. Pos is left after the last character taken (Length(S) + 1 when
// none is found); a Pos outside the string is clamped to it first. Throws
// EConvertError when the collected text is no number (an exponent letter without
// digits, "2e").
bool ExtractNumber(std::string_view S, std::int64_t& Pos, double& Value);
// The first number in S, or 0 when there is none; throws as ExtractNumber does.
double StrToFloatLoose(std::string_view S);

// Converts the whole of Text, written with DecimalSeparator: blanks around it, an
// optional sign, digits with at most one separator (at least one digit), an
// optional exponent with an optional sign. Throws EConvertError for anything else or a value out of range.
double StrToFloat(std::string_view Text, char DecimalSeparator);

}  // namespace narvo
