// Typed values in ini files beyond strings and integers: floating-point numbers,
// always stored with '.' whatever the locale, long strings, and texts stored as two
// upper-case hex digits per character (command lines and macros that hold control
// characters, '=' or line breaks).
#pragma once

#include "platform/posix/IniFile.h"

#include <string>
#include <string_view>

namespace narvo {

// A stored value that is not a number gives Default, so that loading the settings
// never stops half-way.
double ReadIniFloat(const TIniFile& Ini, std::string_view Section, std::string_view Key, double Default);
// The general format with up to 15 significant digits: 0.75 is stored as "0.75".
void WriteIniFloat(TIniFile& Ini, std::string_view Section, std::string_view Key, double Value);
// The whole value, however long.
std::string ReadIniLongString(const TIniFile& Ini, std::string_view Section, std::string_view Key,
                              std::string_view Default);
void WriteIniHexString(TIniFile& Ini, std::string_view Section, std::string_view Key, std::string_view Value);
// A missing or empty value gives ""; a value holding a non-hex character gives Default.
std::string ReadIniHexString(const TIniFile& Ini, std::string_view Section, std::string_view Key,
                             std::string_view Default);

// The text WriteIniFloat stores for Value, and the reverse (false when Text is no number).
std::string IniFloatToStr(double Value);
bool IniStrToFloat(std::string_view Text, double& Value);

}  // namespace narvo
