// Floating-point, long and hex-encoded ini values. Numbers are converted with the
// locale-independent std::to_chars/from_chars, so the C library's locale (which Qt
// sets from the environment) can never put a comma into the file.
#include "platform/posix/IniValues.h"

#include "shared/HexText.h"
#include "shared/SystemData.h"

#include <charconv>

namespace narvo {

std::string IniFloatToStr(double Value)
{
    char Buffer[64];
    const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::general, 15);
    return std::string(Buffer, Result.ptr);
}

bool IniStrToFloat(std::string_view Text, double& Value)
{
    while (!Text.empty() && (Text.front() == ' ' || Text.front() == '\t'))
        Text.remove_prefix(1);
    while (!Text.empty() && (Text.back() == ' ' || Text.back() == '\t'))
        Text.remove_suffix(1);
    if (!Text.empty() && Text.front() == '+')
        Text.remove_prefix(1);
    if (Text.empty())
        return false;
    double Parsed = 0;
    const auto [End, Err] = std::from_chars(Text.data(), Text.data() + Text.size(), Parsed);
    if (Err != std::errc() || End != Text.data() + Text.size())
        return false;
    Value = Parsed;
    return true;
}

double ReadIniFloat(const TIniFile& Ini, std::string_view Section, std::string_view Key, double Default)
{
    // Number routines elsewhere honour the process-wide separator; while a stored
    // number is handled it is the point, and the caller's separator comes back on
    // every path.
    TSeparatorGuard Guard;
    SystemData.SetDecimalSeparator('.');
    double Value = Default;
    if (!IniStrToFloat(Ini.ReadString(Section, Key, IniFloatToStr(Default)), Value))
        return Default;
    return Value;
}

void WriteIniFloat(TIniFile& Ini, std::string_view Section, std::string_view Key, double Value)
{
    TSeparatorGuard Guard;
    SystemData.SetDecimalSeparator('.');
    Ini.WriteString(Section, Key, IniFloatToStr(Value));
}

std::string ReadIniLongString(const TIniFile& Ini, std::string_view Section, std::string_view Key,
                              std::string_view Default)
{
    return Ini.ReadString(Section, Key, Default);
}

void WriteIniHexString(TIniFile& Ini, std::string_view Section, std::string_view Key, std::string_view Value)
{
    Ini.WriteString(Section, Key, StrToHexStr(Value));
}

std::string ReadIniHexString(const TIniFile& Ini, std::string_view Section, std::string_view Key,
                             std::string_view Default)
{
    return HexStrToStr(ReadIniLongString(Ini, Section, Key, ""), Default);
}

}  // namespace narvo
