// Whole-text conversion of the line buffer: line ends, final line ends, UTF-16, the
// lossy flag, and writing the text back as the bytes it came from.
#include "FakeEditor.h"

#include <gtest/gtest.h>

namespace narvo::test {
namespace {

using Lines = std::vector<std::string>;

struct TConversionCase {
    const char* Name;
    std::string Bytes;
    Lines Expected;
    TLineEnd Style;
    std::int64_t Changed = 0;  // line ends written back differently
};

class TextConversion : public ::testing::TestWithParam<TConversionCase> {};

TEST_P(TextConversion, SplitsAndWritesBackByteForByte)
{
    const auto& C = GetParam();
    TEditBuffer B;
    B.SetTextStr(C.Bytes);
    EXPECT_EQ(LinesOf(B), C.Expected);
    EXPECT_EQ(B.LineEnd, C.Style);
    EXPECT_EQ(B.Encoding, 0);
    EXPECT_FALSE(B.Lossy);
    EXPECT_EQ(B.ChangedLineEnds, C.Changed);
    if (C.Changed == 0) {
        EXPECT_EQ(B.GetFileBytes(), C.Bytes);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Buffer, TextConversion,
    ::testing::Values(
        TConversionCase{"OneLetter", "a", {"a"}, TLineEnd::Lf},
        TConversionCase{"CrLf", "a\r\nb", {"a", "b"}, TLineEnd::CrLf},
        TConversionCase{"Lf", "a\nb", {"a", "b"}, TLineEnd::Lf},
        TConversionCase{"Cr", "a\rb", {"a", "b"}, TLineEnd::Cr},
        // A tie goes to CR; an LF not split at stays a character of its line.
        TConversionCase{"LfCrTieSplitsAtCr", "a\n\rb", {"a\n", "b"}, TLineEnd::Cr},
        TConversionCase{"TrailingCrLf", "a\r\n", {"a", ""}, TLineEnd::CrLf},
        TConversionCase{"TrailingCr", "a\r", {"a", ""}, TLineEnd::Cr},
        TConversionCase{"TrailingLfKept", "a\n", {"a", ""}, TLineEnd::Lf},
        TConversionCase{"OnlyLineEnds", "\n\n", {"", "", ""}, TLineEnd::Lf},
        TConversionCase{"ZeroByteStays", std::string("a\0b\nc", 5), {std::string("a\0b", 3), "c"}, TLineEnd::Lf},
        TConversionCase{"StrayLfInCrLfText", "a\nb\r\nc\r\n", {"a\nb", "c", ""}, TLineEnd::CrLf},
        TConversionCase{"TieOfCrLfAndLfGoesToCrLf", "a\r\nb\nc", {"a", "b\nc"}, TLineEnd::CrLf},
        // A CR always ends a line inside the program: one that is not the usual
        // line end is counted, and saving writes the usual one instead.
        TConversionCase{"CrLfInLfText", "a\r\nb\nc\nd", {"a", "b", "c", "d"}, TLineEnd::Lf, 1},
        TConversionCase{"StrayCrInCrLfText", "a\rb\r\nc\r\n", {"a", "b", "c", ""}, TLineEnd::CrLf, 1},
        TConversionCase{"LoneLfInCrText", "a\rb\nc\r", {"a", "b\nc", ""}, TLineEnd::Cr},
        TConversionCase{"CrOfCrLfInCrText", "a\rb\rc\r\nd", {"a", "b", "c", "\nd"}, TLineEnd::Cr}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(TextConversionMixed, WritesChangedLineEndsInTheUsualStyle)
{
    TEditBuffer B;
    B.SetTextStr("a\r\nb\nc\rd\r\n");
    EXPECT_EQ(LinesOf(B), (Lines{"a", "b\nc", "d", ""}));
    EXPECT_EQ(B.ChangedLineEnds, 1);
    EXPECT_EQ(B.GetTextStr(), "a\r\nb\nc\r\nd\r\n");
    EXPECT_EQ(B.JoinLines('\r'), "a\rb\nc\rd\r");
    B.SetTextStr("plain\n");
    EXPECT_EQ(B.ChangedLineEnds, 0);
}

TEST(TextConversionEmpty, ResetAfterUtf16GivesAPlainNewText)
{
    TFakeEditor E;
    E.Strings->SetTextStr(std::string("\xFF\xFE" "a\0\r\0\n\0", 8));
    ASSERT_EQ(E.Strings->Encoding, 1);
    ASSERT_EQ(E.Strings->LineEnd, TLineEnd::CrLf);
    E.ResetText();  // what loading an empty file does first
    E.Strings->SetTextStr("");
    EXPECT_EQ(E.Strings->Count(), 1);
    EXPECT_EQ(E.Strings->Encoding, 0);
    EXPECT_EQ(E.Strings->FirstWord, 0);
    EXPECT_EQ(E.Strings->LineEnd, TLineEnd::Lf);
    EXPECT_EQ(E.Strings->GetFileBytes(), "");
}

std::string Utf16(std::u16string_view Units, bool BigEndian)
{
    std::string S = BigEndian ? std::string("\xFE\xFF") : std::string("\xFF\xFE");
    for (char16_t U : Units) {
        const char Lo = static_cast<char>(U & 0xFF), Hi = static_cast<char>(U >> 8);
        S.push_back(BigEndian ? Hi : Lo);
        S.push_back(BigEndian ? Lo : Hi);
    }
    return S;
}

TEST(TextConversionUtf16, LittleAndBigEndianGiveTheSameLines)
{
    const std::u16string Text = u"caf\u00E9\r\n\u20AC 5\r\n\r\nx\r\n";
    const Lines Expected{"caf\xE9", "\x80 5", "", "x", ""};
    for (bool Big : {false, true}) {
        TEditBuffer B;
        B.SetTextStr(Utf16(Text, Big));
        EXPECT_EQ(LinesOf(B), Expected) << Big;
        EXPECT_EQ(B.Encoding, Big ? 2 : 1);
        EXPECT_EQ(B.FirstWord, Big ? 0xFFFE : 0xFEFF);
        EXPECT_EQ(B.LineEnd, TLineEnd::CrLf);
        EXPECT_FALSE(B.Lossy);
    }
}

TEST(TextConversionUtf16, MixedLineEndsAndBigEndianComeBackAsTheyWere)
{
    const std::u16string Text = u"a\r\nb\nc\r\nd\r\n";
    for (bool Big : {false, true}) {
        TEditBuffer B;
        B.SetTextStr(Utf16(Text, Big));
        EXPECT_EQ(LinesOf(B), (Lines{"a", "b\nc", "d", ""})) << Big;
        EXPECT_EQ(B.ChangedLineEnds, 0);
        EXPECT_EQ(B.GetFileBytes(), Utf16(Text, Big)) << Big;
    }
}

TEST(TextConversionUtf16, Latin1TextMatchesTheByteRule)
{
    // Printable Latin-1 is the same in Windows-1252, so dropping the zero bytes of
    // each unit (the old byte rule) and mapping units give the same lines.
    std::u16string Text;
    std::string Bytes;
    for (char16_t U = 0x20; U <= 0xFF; ++U) {
        if (U >= 0x7F && U < 0xA0)
            continue;
        Text.push_back(U);
        Bytes.push_back(static_cast<char>(U));
    }
    TEditBuffer B;
    B.SetTextStr(Utf16(Text + u"\r\n" + Text, false));
    EXPECT_EQ(LinesOf(B), (Lines{Bytes, Bytes}));
}

TEST(TextConversionUtf16, UnitWithoutByteBecomesQuestionMarkAndSetsLossy)
{
    TEditBuffer B;
    B.SetTextStr(Utf16(u"a\u0416b\U0001F600c", false));  // Cyrillic Zhe, then an emoji pair
    EXPECT_EQ(LinesOf(B), Lines{"a?b?c"});
    EXPECT_TRUE(B.Lossy);
    B.SetTextStr("plain");
    EXPECT_FALSE(B.Lossy);
    B.SetTextStr(Utf16(u"ab", false) + "x");  // an odd trailing byte
    EXPECT_EQ(LinesOf(B), Lines{"ab"});
    EXPECT_TRUE(B.Lossy);
}


TEST(TextConversionChanges, NormalizeLineBreaksGivesOneCrPerLineEnd)
{
    EXPECT_EQ(NormalizeLineBreaks("a\r\nb\nc\rd\n\r"), "a\rb\rc\rd\r\r");
    EXPECT_EQ(NormalizeLineBreaks(""), "");
}

// The cut at line ends against a byte-by-byte one, on texts made of few letters
// and many CRs and LFs in every order (CR LF at the very end, LF CR, runs of ends).
TEST(TextConversionChanges, TextIsCutAtEveryKindOfLineEnd)
{
    auto ByteByByte = [](std::string_view T) {
        std::vector<std::pair<std::string, bool>> R;
        std::size_t Start = 0, I = 0;
        while (I < T.size()) {
            if (T[I] != '\r' && T[I] != '\n') {
                ++I;
                continue;
            }
            R.emplace_back(std::string(T.substr(Start, I - Start)), true);
            I += T[I] == '\r' && I + 1 < T.size() && T[I + 1] == '\n' ? 2 : 1;
            Start = I;
        }
        R.emplace_back(std::string(T.substr(Start)), false);
        return R;
    };
    std::uint32_t Seed = 12345;
    for (int Round = 0; Round < 2000; ++Round) {
        std::string T;
        const std::size_t Length = Round % 23;
        for (std::size_t I = 0; I < Length; ++I) {
            Seed = Seed * 1103515245u + 12345u;
            T += "ab\r\n\r\n"[(Seed >> 16) % 6];
        }
        std::vector<std::pair<std::string, bool>> Got;
        ForEachTextLine(T, [&](std::string_view Piece, bool Ended) { Got.emplace_back(std::string(Piece), Ended); });
        ASSERT_EQ(Got, ByteByByte(T)) << testing::PrintToString(T);
    }
}

}  // namespace
}  // namespace narvo::test
