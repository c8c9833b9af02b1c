// The Windows-1252 and code page 437 tables and the conversions through them.
#include <gtest/gtest.h>

#include <string>

#include "shared/CodePage.h"

namespace narvo {
namespace {

std::string AllBytes()
{
    std::string S;
    for (int C = 0; C < 256; ++C)
        S += static_cast<char>(C);
    return S;
}

class CodePageRoundTrip : public ::testing::TestWithParam<TCodePage> {};

TEST_P(CodePageRoundTrip, EveryByteSurvivesUtf8AndUtf16)
{
    const TCodePage Page = GetParam();
    const std::string Bytes = AllBytes();
    bool Lossy = false;
    EXPECT_EQ(Utf8ToBytes(Page, BytesToUtf8(Page, Bytes), &Lossy), Bytes);
    EXPECT_FALSE(Lossy);
    EXPECT_EQ(Utf16ToBytes(Page, BytesToUtf16(Page, Bytes), &Lossy), Bytes);
    EXPECT_FALSE(Lossy);
    // The table is one-to-one.
    for (int C = 0; C < 256; ++C) {
        unsigned char Back = 0;
        ASSERT_TRUE(UnicodeToByte(Page, ByteToUnicode(Page, static_cast<unsigned char>(C)), Back)) << C;
        EXPECT_EQ(Back, C);
    }
}

INSTANTIATE_TEST_SUITE_P(BothPages, CodePageRoundTrip, ::testing::Values(TCodePage::Ansi, TCodePage::Oem));

TEST(CodePage, KnownCharacters)
{
    struct Case {
        TCodePage Page;
        unsigned char Byte;
        char32_t Unicode;
    };
    const Case Cases[] = {
        {TCodePage::Ansi, 0x80, 0x20AC}, {TCodePage::Ansi, 0x81, 0x0081}, {TCodePage::Ansi, 0x9D, 0x009D},
        {TCodePage::Ansi, 0xE9, 0x00E9}, {TCodePage::Ansi, 0x41, 'A'},    {TCodePage::Oem, 0xC4, 0x2500},
        {TCodePage::Oem, 0x80, 0x00C7},  {TCodePage::Oem, 0xFF, 0x00A0},  {TCodePage::Oem, 0x0A, 0x0A},
    };
    for (const Case& K : Cases) {
        EXPECT_EQ(ByteToUnicode(K.Page, K.Byte), K.Unicode) << int(K.Byte);
        unsigned char Back = 0;
        EXPECT_TRUE(UnicodeToByte(K.Page, K.Unicode, Back));
        EXPECT_EQ(Back, K.Byte);
    }
    EXPECT_EQ(BytesToUtf8(TCodePage::Ansi, "\x80"), "\xE2\x82\xAC");
}

TEST(CodePage, UnmappedCharactersAreRefusedNotCut)
{
    unsigned char Byte = 0x55;
    EXPECT_FALSE(UnicodeToAnsi(0x0100, Byte));  // would be 0x00 if cut to the low byte
    EXPECT_FALSE(UnicodeToByte(TCodePage::Oem, 0x00E9 + 0x100, Byte));
    EXPECT_FALSE(UnicodeToByte(TCodePage::Oem, 0x00A9, Byte));  // in 1252, not in 437
    bool Lossy = false;
    EXPECT_EQ(Utf8ToBytes(TCodePage::Ansi, "a\xC4\x80z", &Lossy), "a?z");
    EXPECT_TRUE(Lossy);
    Lossy = false;
    EXPECT_EQ(Utf16ToBytes(TCodePage::Ansi, u"a\u0100\U0001F600z", &Lossy, '#'), "a##z");
    EXPECT_TRUE(Lossy);
    Lossy = false;
    // Malformed UTF-8: a lone continuation byte, a truncated sequence, an overlong form.
    EXPECT_EQ(Utf8ToBytes(TCodePage::Ansi, "\x80|\xE2\x82|\xC0\x80", &Lossy), "?|?|?");
    EXPECT_TRUE(Lossy);
}

}  // namespace
}  // namespace narvo
