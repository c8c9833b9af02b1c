// String routines, hexadecimal text, escapes and the edit distance.
#include <gtest/gtest.h>

#include <string>

#include "shared/EditDistance.h"
#include "shared/HexText.h"
#include "shared/StringRoutines.h"

namespace narvo {
namespace {

TEST(StringRoutines, PosNoCase)
{
    struct Case {
        const char* Sub;
        const char* S;
        std::int64_t Pos;
    };
    const Case Cases[] = {
        {"ABC", "xxabcxx", 3}, {"abc", "ABC", 1}, {"", "abc", 0},     {"a", "", 0},
        {"abcd", "abc", 0},    {"c", "abc", 3},   {"\xE9", "\xC9", 0},  // Latin-1 is not folded
        {"aab", "aaab", 2},
    };
    for (const Case& K : Cases)
        EXPECT_EQ(PosNoCase(K.Sub, K.S), K.Pos) << K.Sub << " in " << K.S;
}

TEST(StringRoutines, PrefixAndPadding)
{
    EXPECT_EQ(CommonPrefixLength("Hello", "help", false), 0);
    EXPECT_EQ(CommonPrefixLength("Hello", "HELP", true), 3);
    EXPECT_EQ(CommonPrefixLength("abc", "abcdef", false), 3);
    // Counts and widths below the text's length cut nothing and fail nothing.
    EXPECT_EQ(RepeatChar('x', -2), "");
    EXPECT_EQ(PadRightChar("abcdef", 3, '.'), "abcdef");
    EXPECT_EQ(IntToStrZeroPad(1234, 2), "1234");
    EXPECT_EQ(IntToStrZeroPad(-5, 4), "00-5");
}

TEST(StringRoutines, NextFieldWalksFields)
{
    const std::string S = "3.0..72";
    std::int64_t Pos = 1;
    std::string Field;
    const char* Expected[] = {"3", "0", "", "72"};
    for (const char* E : Expected) {
        NextField(S, '.', Pos, Field);
        EXPECT_EQ(Field, E);
    }
    EXPECT_EQ(Pos, 8);
    NextField(S, '.', Pos, Field);
    EXPECT_EQ(Field, "");
    EXPECT_EQ(Pos, 8);
}

TEST(StringRoutines, ReadTextLine)
{
    // LF CR is two line ends; CR CR LF an empty line between; past the end an
    // empty line and no move.
    const std::string S = "a\nb\rc\n\rd\r\r\ne";
    struct Step {
        const char* Line;
        char End;
        std::int64_t Pos;
    };
    const Step Steps[] = {{"a", '\n', 3},  {"b", '\r', 5}, {"c", '\n', 7}, {"", '\r', 8},
                          {"d", '\r', 10}, {"", '\r', 12}, {"e", '\0', 13}, {"", '\0', 13}};
    std::int64_t Pos = 1;
    std::string Line;
    for (const Step& K : Steps) {
        EXPECT_EQ(ReadTextLine(S, Line, Pos), K.End);
        EXPECT_EQ(Line, K.Line);
        EXPECT_EQ(Pos, K.Pos);
    }
}

TEST(HexText, RoundTripAndDefaults)
{
    EXPECT_EQ(StrToHexStr(std::string("\0\xFF=", 3)), "00FF3D");
    struct Case {
        const char* Hex;
        const char* Result;
    };
    const Case Cases[] = {
        {"414", "A"}, {"4G", "Default"}, {"", ""}, {"4142", "AB"}, {"6a6B", "jk"}, {"41 42", "Default"},
    };
    for (const Case& K : Cases)
        EXPECT_EQ(HexStrToStr(K.Hex, "Default"), K.Result) << K.Hex;
    std::string All;
    for (int C = 0; C < 256; ++C)
        All += static_cast<char>(C);
    EXPECT_EQ(HexStrToStr(StrToHexStr(All), "x"), All);
    EXPECT_TRUE(IsHexString(""));
    EXPECT_FALSE(IsHexString("0x"));
}

TEST(HexText, DecodeEscapes)
{
    struct Case {
        const char* S;
        const char* Result;
    };
    const Case Cases[] = {
        {"100%", "100"},       {"%41%42", "AB"},   {"%4142", "AB"},   {"%4a%3a", "J:"},
        {"a%zz", "azz"},       {"%4", "4"},        {"50%%41", "50A"}, {"%20x%7E", " x~"},
    };
    for (const Case& K : Cases)
        EXPECT_EQ(DecodeEscapes(K.S), K.Result) << K.S;
    EXPECT_EQ(DecodeEscapedText("a#41#", '#'), "aA");
    EXPECT_EQ(DecodeEscapes("%00"), std::string(1, '\0'));
}

TEST(EditDistance, Words)
{
    struct Case {
        const char* A;
        const char* B;
        std::int64_t Distance;
    };
    const Case Cases[] = {
        {"flaw", "lawn", 2}, {"", "", 0},          {"a", "A", 1},        {"", "abc", 3},
        {"abc", "", 3},      {"kitten", "sitting", 3}, {"sunday", "saturday", 3}, {"same", "same", 0},
    };
    for (const Case& K : Cases) {
        EXPECT_EQ(EditDistance(K.A, K.B), K.Distance) << K.A << "/" << K.B;
        EXPECT_EQ(EditDistance(K.B, K.A), K.Distance) << K.B << "/" << K.A;
    }
}

TEST(EditDistance, LongWordsHaveNoLimit)
{
    const std::string A(300, 'a');
    std::string B = A;
    B[0] = 'b';
    B[299] = 'c';
    EXPECT_EQ(EditDistance(A, B), 2);
    EXPECT_EQ(EditDistance(std::string(1000, 'x'), ""), 1000);
}

}  // namespace
}  // namespace narvo
