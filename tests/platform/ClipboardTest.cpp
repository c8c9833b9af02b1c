// The clipboard adapter on the offscreen platform's clipboard: exact bytes inside
// the program, readable text for others, foreign text made ours, the HTML format
// and the format registry.
#include "platform/Clipboard.h"
#include "platform/TextConvert.h"
#include "shared/HtmlClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <gtest/gtest.h>

namespace narvo {
namespace {

std::string AllBytes()
{
    std::string S;
    for (int I = 0; I < 256; ++I)
        S.push_back(static_cast<char>(I));
    return S;
}

TEST(Clipboard, EveryByteRoundTripsAndOthersSeeUnicode)
{
    const std::string Bytes = AllBytes();
    CopyTextToClipboard(Bytes);
    EXPECT_TRUE(ClipboardHasText());
    EXPECT_EQ(GetClipboardText(), Bytes);
    EXPECT_EQ(GetClipboardOemText(), Bytes);
    const QString Plain = QGuiApplication::clipboard()->text();
    ASSERT_EQ(Plain.size(), 256);
    EXPECT_EQ(Plain.at(0x80).unicode(), 0x20AC);
    EXPECT_EQ(Plain.at(0x81).unicode(), 0x0081);
}

TEST(Clipboard, ForeignTextBecomesAnsiWithCrLf)
{
    struct {
        QString Foreign;
        std::string Ansi;
        std::string Oem;
    } const Cases[] = {
        {QStringLiteral("a\nb"), "a\r\nb", "a\r\nb"},
        {QStringLiteral("a\r\nb\n\n"), "a\r\nb\r\n\r\n", "a\r\nb\r\n\r\n"},
        {QString::fromUtf8("\u20ac \u00e9 \u4e2d"), "\x80 \xE9 ?", "? \x82 ?"},
    };
    for (const auto& C : Cases) {
        QGuiApplication::clipboard()->setText(C.Foreign);
        EXPECT_TRUE(ClipboardHasText());
        EXPECT_EQ(GetClipboardText(), C.Ansi);
        EXPECT_EQ(GetClipboardOemText(), C.Oem);
    }
    QGuiApplication::clipboard()->clear();
    EXPECT_FALSE(ClipboardHasText());
    EXPECT_EQ(GetClipboardText(), "");
}

TEST(Clipboard, HtmlFormatCarriesItsRawBytes)
{
    CopyHtmlToClipboard("<b>caf\xE9</b>", "caf\xE9");
    const QMimeData* Data = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(Data);
    const std::string Raw = QByteArrayToString(Data->data(QString::fromLatin1(HtmlFormatMimeType)));
    EXPECT_EQ(Raw, MakeHtmlFormatData("<b>caf\xE9</b>") + std::string(1, '\0'));
    EXPECT_EQ(Data->html(), QString::fromUtf8("<b>caf\u00e9</b>"));
    EXPECT_EQ(GetClipboardText(), "caf\xE9");

    // An empty text skips its formats; an empty fragment still gives the built
    // block (177 bytes and the zero), though no text/html.
    CopyHtmlToClipboard("", "only text");
    EXPECT_FALSE(QGuiApplication::clipboard()->mimeData()->hasHtml());
    EXPECT_EQ(GetClipboardText(), "only text");
    CopyHtmlToClipboard("", "");
    const std::string Bare = ClipboardFormatBytes(RegisterClipboardFormat(HtmlFormatName));
    ASSERT_EQ(Bare.size(), 177u + 1);
    EXPECT_EQ(Bare, MakeHtmlFormatData("") + std::string(1, '\0'));
    EXPECT_NE(Bare.find("EndHTML:0000000177\r\n"), std::string::npos);
    EXPECT_NE(Bare.find("EndFragment:0000000141\r\n"), std::string::npos);
    EXPECT_FALSE(ClipboardHasText());
    CopyHtmlToClipboard("<i>x</i>", "");
    EXPECT_FALSE(ClipboardHasText());
    EXPECT_EQ(ClipboardFormatBytes(RegisterClipboardFormat("html format")).size(), 177u + 8 + 1);
}

TEST(Clipboard, FormatRegistryAndNames)
{
    const int Html = RegisterClipboardFormat("HTML Format");
    EXPECT_GE(Html, FirstRegisteredClipboardFormat);
    EXPECT_EQ(RegisterClipboardFormat("html FORMAT"), Html);
    const int Other = RegisterClipboardFormat("Narvo Test Format");
    EXPECT_NE(Other, Html);
    EXPECT_EQ(RegisteredClipboardFormatName(Other), "Narvo Test Format");

    // Standard numbers go through the shared table; registered ones by name.
    EXPECT_EQ(ClipboardFormatName(CF_TEXT), "Text");
    EXPECT_EQ(ClipboardFormatName(Other), "Narvo Test Format");
    EXPECT_EQ(RegisteredClipboardFormatName(Other + 1000), "");

    CopyTextToClipboard("abc");
    std::vector<int> Numbers;
    for (const TClipboardFormat& F : ClipboardFormats())
        Numbers.push_back(F.Format);
    EXPECT_NE(std::find(Numbers.begin(), Numbers.end(), CF_TEXT), Numbers.end());
    EXPECT_NE(std::find(Numbers.begin(), Numbers.end(), CF_OEMTEXT), Numbers.end());
    EXPECT_NE(std::find(Numbers.begin(), Numbers.end(), CF_UNICODETEXT), Numbers.end());
    EXPECT_EQ(ClipboardFormatBytes(CF_OEMTEXT), "abc");
}

TEST(TextConvert, BytesAndFileNames)
{
    bool Lossy = false;
    EXPECT_EQ(QStringToAnsi(AnsiToQString("\x80\x9F\xFF"), &Lossy), "\x80\x9F\xFF");
    EXPECT_FALSE(Lossy);
    EXPECT_EQ(QStringToAnsi(QString::fromUtf8("\u4e2d"), &Lossy), "?");
    EXPECT_TRUE(Lossy);
    EXPECT_EQ(OemToQString("\xC9").at(0).unicode(), 0x2554);
    const std::string Name = "/tmp/caf\xC3\xA9.txt";
    EXPECT_EQ(QStringToFileName(FileNameToQString(Name)), Name);
}

}  // namespace
}  // namespace narvo
