// "HTML Format" data (see HtmlClipboard.h). The offsets count bytes from the first
// byte of the data, so the header is formatted twice: once to measure it, once
// with the real offsets (its length does not change, the numbers being 10 digits).
#include "shared/HtmlClipboard.h"

#include <cstdint>
#include <cstdio>


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
    // One byte more for the zero byte the clipboard's writer appends.
    Data.reserve(static_cast<std::size_t>(EndHtml) + 1);
    Data.append(Opening);
    Data.append(Html);
    Data.append(Closing);
    return Data;
}

namespace {

// The bytes Text takes once '&', '<' and '>' are entities.
std::size_t EscapedSize(std::string_view Text)
{
    std::size_t Size = Text.size();
    for (const char C : Text)
        Size += C == '&' ? 4 : C == '<' || C == '>' ? 3 : 0;
    return Size;
}

void AppendEscaped(std::string& Out, std::string_view Text)
{
    for (const char C : Text) {
        switch (C) {
        case '&': Out += "&amp;"; break;
        case '<': Out += "&lt;"; break;
        case '>': Out += "&gt;"; break;
        default: Out += C; break;
        }
    }
}

// Calls Line for each line of Text, without its line end (CR LF, CR or LF); a
// final line end adds no line.
template <class F>
void ForEachParagraph(std::string_view Text, F&& Line)
{
    std::size_t Start = 0;
    while (Start < Text.size()) {
        const std::size_t End = Text.find_first_of("\r\n", Start);
        if (End == std::string_view::npos) {
            Line(Text.substr(Start));
            return;
        }
        Line(Text.substr(Start, End - Start));
        Start = End + (Text[End] == '\r' && End + 1 < Text.size() && Text[End + 1] == '\n' ? 2 : 1);
    }
}

constexpr std::string_view ParagraphOpen = "<p>", ParagraphClose = "</p>\r\n";

}  // namespace

std::string HtmlEscape(std::string_view Text)
{
    std::string Result;
    Result.reserve(EscapedSize(Text));
    AppendEscaped(Result, Text);
    return Result;
}

std::string TextToHtmlParagraphs(std::string_view Text)
{
    // Sized first, as a copy of hundreds of megabytes would otherwise be built
    // and moved again at each doubling.
    std::size_t Size = 0;
    ForEachParagraph(Text, [&Size](std::string_view Line) {
        Size += ParagraphOpen.size() + EscapedSize(Line) + ParagraphClose.size();
    });
    std::string Result;
    Result.reserve(Size);
    ForEachParagraph(Text, [&Result](std::string_view Line) {
        Result += ParagraphOpen;
        AppendEscaped(Result, Line);
        Result += ParagraphClose;
    });
    return Result;
}

}  // namespace narvo
