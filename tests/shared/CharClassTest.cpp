// The word rule and the character classes it is built from.
#include <gtest/gtest.h>

#include "shared/CharClass.h"

namespace narvo {
namespace {

TEST(CharClass, WhiteSpaceExcludesLineFeedAndCaseIsAsciiOnly)
{
    EXPECT_TRUE(IsWhite(13) && IsWhite(9) && IsWhite(' '));
    EXPECT_FALSE(IsWhite(10));
    EXPECT_EQ(UpCaseChar('z'), 'Z');
    EXPECT_EQ(UpCaseChar(0xE9), 0xE9);
    EXPECT_EQ(LowCaseChar(0xC9), 0xC9);
    EXPECT_FALSE(IsUpperHexDigit('a'));
    EXPECT_TRUE(IsHexDigit('a'));
}

TEST(CharClass, Latin1LettersExcludeCedillasAndSigns)
{
    for (int C = 0; C < 256; ++C) {
        const bool Expected = C >= 192 && C != 199 && C != 215 && C != 231 && C != 247;
        EXPECT_EQ(IsLatin1Letter(static_cast<unsigned char>(C)), Expected) << C;
    }
    EXPECT_TRUE(IsDelimiter(0xC7, false));
    EXPECT_FALSE(IsDelimiter(0xC6, false));
    EXPECT_FALSE(IsDelimiter(0xE8, false));
}

TEST(CharClass, WordRule)
{
    struct Case {
        unsigned char C, Next;
        bool Hyphen, Delimiter;
    };
    const Case Cases[] = {
        {'\'', 's', false, false},  // don't
        {'\'', '7', false, false},
        {'\'', ' ', false, true},   // closing quote
        {'\'', '.', false, true},
        {'\'', 0xE9, false, true},  // only ASCII letters and digits keep the apostrophe
        {'-', 'a', false, true},
        {'-', 'a', true, false},
        {'_', ' ', false, false},
        {'a', ' ', false, false},
        {'9', ' ', false, false},
        {' ', 'a', true, true},
        {'.', 'a', true, true},
        {0, 'a', true, true},
    };
    for (const Case& K : Cases)
        EXPECT_EQ(IsWordDelimiter(K.C, K.Next, K.Hyphen), K.Delimiter) << int(K.C) << " " << int(K.Next);
}

}  // namespace
}  // namespace narvo
