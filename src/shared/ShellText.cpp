// Shell result texts and web lookup addresses (see ShellText.h).
#include "shared/ShellText.h"

#include "shared/CharClass.h"
#include "shared/CodePage.h"

namespace narvo {

std::string ShellExecuteErrorText(int Code)
{
    // Two messages end in a space; they are shown as they stand.
    switch (Code) {
    case 0: return "The operating system is out of memory or resources.";
    case 2: return "The specified file was not found.";
    case 3: return "The specified path was not found.";
    case 5: return "The operating system denied access to the specified file. ";
    case 8: return "There was not enough memory to complete the operation.";
    case 11: return "The .EXE file is invalid (non-Win32 .EXE or error in .EXE image).";
    case 26: return "A sharing violation occurred.";
    case 27: return "The filename association is incomplete or invalid.";
    case 28: return "The DDE transaction could not be completed because the request timed out.";
    case 29: return "The DDE transaction failed.";
    case 30: return "The DDE transaction could not be completed because other DDE transactions were being processed.";
    case 31: return "There is no application associated with the given filename extension.";
    case 32: return "The specified dynamic-link library was not found. ";
    default: return {};
    }
}

std::string PercentEncode(std::string_view Text)
{
    static constexpr char Hex[] = "0123456789ABCDEF";
    const std::string Utf8 = BytesToUtf8(TCodePage::Ansi, Text);
    std::string Result;
    Result.reserve(Utf8.size() * 3);
    for (unsigned char C : Utf8) {
        if (IsAlphaNum(C) || C == '-' || C == '.' || C == '_' || C == '~') {
            Result += static_cast<char>(C);
        } else {
            Result += '%';
            Result += Hex[C >> 4];
            Result += Hex[C & 15];
        }
    }
    return Result;
}

std::string WebSearchUrl(std::string_view Text) { return std::string(SearchPrefix) + PercentEncode(Text); }

std::string DictionaryLookupUrl(std::string_view Word) { return std::string(DictionaryPrefix) + PercentEncode(Word); }

}  // namespace narvo
