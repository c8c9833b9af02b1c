// "HTML Format" data (see HtmlClipboard.h). The offsets count bytes from the first
// byte of the data, so the header is formatted twice: once to measure it, once
// with the real offsets (its length does not change, the numbers being 10 digits).
#include "shared/HtmlClipboard.h"

#include <cstdint>
#include <cstdio>

#include "shared/StringRoutines.h"

namespace narvo {

namespace {

constexpr std::string_view Opening = "<html>\r\n<body>\r\n<!--StartFragment-->";
constexpr std::string_view Closing = "<!--EndFragment-->\r\n</body>\r\n</html>";

std::string Header(std::int64_t StartHtml, std::int64_t EndHtml, std::int64_t StartFragment, std::int64_t EndFragment)
{
    char Buffer[160];
    const int Length = std::snprintf(Buffer, sizeof Buffer,
                                     "Version:0.9\r\nStartHTML:%.10lld\r\nEndHTML:%.10lld\r\n"
                                     "StartFragment:%.10lld\r\nEndFragment:%.10lld\r\n",
                                     static_cast<long long>(StartHtml), static_cast<long long>(EndHtml),
                                     static_cast<long long>(StartFragment), static_cast<long long>(EndFragment));
    return std::string(Buffer, static_cast<std::size_t>(Length));
}

}  // namespace

std::string MakeHtmlFormatData(std::string_view Html)
{
    const std::int64_t H = static_cast<std::int64_t>(Header(0, 0, 0, 0).size());
    const std::int64_t StartFragment = H + static_cast<std::int64_t>(Opening.size());
    const std::int64_t EndFragment = StartFragment + static_cast<std::int64_t>(Html.size());
    const std::int64_t EndHtml = EndFragment + static_cast<std::int64_t>(Closing.size());
    std::string Data = Header(H, EndHtml, StartFragment, EndFragment);
    Data.reserve(static_cast<std::size_t>(EndHtml));
    Data.append(Opening);
    Data.append(Html);
    Data.append(Closing);
    return Data;
}

std::string HtmlEscape(std::string_view Text)
{
    std::string Result;
    Result.reserve(Text.size());
    for (char C : Text) {
        switch (C) {
        case '&': Result += "&amp;"; break;
        case '<': Result += "&lt;"; break;
        case '>': Result += "&gt;"; break;
        default: Result += C; break;
        }
    }
    return Result;
}

std::string TextToHtmlParagraphs(std::string_view Text)
{
    std::string Result;
    std::string Line;
    std::int64_t Pos = 1;
    const std::int64_t Length = static_cast<std::int64_t>(Text.size());
    while (Pos <= Length) {
        ReadTextLine(Text, Line, Pos);
        Result += "<p>";
        Result += HtmlEscape(Line);
        Result += "</p>\r\n";
    }
    return Result;
}

}  // namespace narvo
