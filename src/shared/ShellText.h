// Texts for the shell routines: the messages for the open call's result codes and
// the addresses of the two web lookups. Opening them is the platform layer's.
#pragma once

#include <string>
#include <string_view>

namespace narvo {

// The looked-up text follows these prefixes, percent-encoded.
inline constexpr std::string_view SearchPrefix = "https://www.startpage.com/search?q=";
inline constexpr std::string_view DictionaryPrefix = "https://www.dictionary.com/browse/";

// The message for a result code of the open call ("The specified file was not
// found." for 2); empty for a code without one.
std::string ShellExecuteErrorText(int Code);

// Text (Windows-1252 bytes) as UTF-8 with every byte outside A-Z a-z 0-9 - . _ ~
// written as %XX, so that "C++" or "a&b" reach the site as typed.
std::string PercentEncode(std::string_view Text);
std::string WebSearchUrl(std::string_view Text);
std::string DictionaryLookupUrl(std::string_view Word);

}  // namespace narvo
