// "HTML Format" data, the paragraph conversion, clipboard format names, shell
// result texts and the web lookup addresses.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "shared/ClipboardFormatNames.h"
#include "shared/HtmlClipboard.h"
#include "shared/ShellText.h"

namespace narvo {
namespace {

// The 10-digit value after Name in the header.
long HeaderValue(const std::string& Data, const std::string& Name)
{
    const std::size_t At = Data.find(Name + ":");
    if (At == std::string::npos)
        return -1;
    const std::string Digits = Data.substr(At + Name.size() + 1, 10);
    EXPECT_EQ(Data.substr(At + Name.size() + 11, 2), "\r\n");
    return std::stol(Digits);
}

TEST(HtmlClipboard, EmptyFragmentLayout)
{
    const std::string Data = MakeHtmlFormatData("");
    ASSERT_EQ(Data.size(), 177u);
    EXPECT_EQ(Data.substr(0, 105),
              "Version:0.9\r\nStartHTML:0000000105\r\nEndHTML:0000000177\r\n"
              "StartFragment:0000000141\r\nEndFragment:0000000141\r\n");
    EXPECT_EQ(Data.substr(105), "<html>\r\n<body>\r\n<!--StartFragment--><!--EndFragment-->\r\n</body>\r\n</html>");
    EXPECT_EQ(Data.find('\0'), std::string::npos);
}

TEST(HtmlClipboard, OffsetsPointAtTheParts)
{
    for (const std::string& Fragment : {std::string("<b>x</b>").substr(0, 5), std::string(5000, 'y')}) {
        const std::string Data = MakeHtmlFormatData(Fragment);
        const long L = static_cast<long>(Fragment.size());
        EXPECT_EQ(HeaderValue(Data, "StartHTML"), 105);
        EXPECT_EQ(HeaderValue(Data, "EndHTML"), 177 + L);
        EXPECT_EQ(HeaderValue(Data, "StartFragment"), 141);
        EXPECT_EQ(HeaderValue(Data, "EndFragment"), 141 + L);
        EXPECT_EQ(static_cast<long>(Data.size()), 177 + L);
        EXPECT_EQ(Data.substr(141, Fragment.size()), Fragment);
    }
}

TEST(HtmlClipboard, TextToHtmlParagraphs)
{
    struct Case {
        const char* Text;
        const char* Html;
    };
    const Case Cases[] = {
        {"", ""},
        {"one", "<p>one</p>\r\n"},
        {"one\r\ntwo\r\n", "<p>one</p>\r\n<p>two</p>\r\n"},
        {"a\rb\nc", "<p>a</p>\r\n<p>b</p>\r\n<p>c</p>\r\n"},
        {"\r\n\r\n", "<p></p>\r\n<p></p>\r\n"},
        {"x < y && y > z", "<p>x &lt; y &amp;&amp; y &gt; z</p>\r\n"},
        {"<script>", "<p>&lt;script&gt;</p>\r\n"},
    };
    for (const Case& K : Cases)
        EXPECT_EQ(TextToHtmlParagraphs(K.Text), K.Html) << K.Text;
}

TEST(ClipboardFormatNames, TableEdges)
{
    struct Case {
        int Format;
        const char* Name;  // nullptr: not in the table
    };
    const Case Cases[] = {
        {1, "Text"},          {7, "Oem Text"},     {13, "Unicode Text"}, {17, "Max"},
        {18, nullptr},        {0, nullptr},        {127, nullptr},       {128, "Owner Display"},
        {131, "DSP Meta File Pict"}, {132, nullptr}, {142, "DSP Enh Meta File"}, {511, nullptr},
        {512, "Private"},     {600, "Private"},    {767, "Private"},     {768, "GDI Object"},
        {1023, "GDI Object"}, {1024, nullptr},     {-1, nullptr},        {0xC000, nullptr},
    };
    for (const Case& K : Cases) {
        bool Known = !K.Name;
        const std::string Name = StandardClipboardFormatName(K.Format, Known);
        EXPECT_EQ(Known, K.Name != nullptr) << K.Format;
        EXPECT_EQ(Name, K.Name ? K.Name : "") << K.Format;
    }
}

TEST(ShellText, ErrorTexts)
{
    EXPECT_EQ(ShellExecuteErrorText(2), "The specified file was not found.");
    EXPECT_EQ(ShellExecuteErrorText(31), "There is no application associated with the given filename extension.");
    for (int Code : {1, 4, 33, -1, 1000})
        EXPECT_EQ(ShellExecuteErrorText(Code), "") << Code;
    int Known = 0;
    for (int Code = 0; Code <= 32; ++Code)
        Known += !ShellExecuteErrorText(Code).empty();
    EXPECT_EQ(Known, 13);
}

TEST(ShellText, LookupAddressesArePercentEncoded)
{
    EXPECT_EQ(WebSearchUrl("C++"), std::string(SearchPrefix) + "C%2B%2B");
    EXPECT_EQ(WebSearchUrl("a&b c#d"), std::string(SearchPrefix) + "a%26b%20c%23d");
    EXPECT_EQ(WebSearchUrl("Az09-._~"), std::string(SearchPrefix) + "Az09-._~");
    // Windows-1252 bytes go out as UTF-8: e-acute, the euro sign.
    EXPECT_EQ(DictionaryLookupUrl("caf\xE9"), std::string(DictionaryPrefix) + "caf%C3%A9");
    EXPECT_EQ(PercentEncode("\x80"), "%E2%82%AC");
    EXPECT_EQ(PercentEncode(std::string("a\0b", 3)), "a%00b");
}

}  // namespace
}  // namespace narvo
