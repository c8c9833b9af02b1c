// The line searcher: wildcards, line breaks in patterns, case folding, the
// whole-word test with its apostrophe rule, and backward searches across lines.
#include "FakeEditor.h"

#include <gtest/gtest.h>

namespace narvo::test {
namespace {

class Searcher : public ::testing::Test {
protected:
    bool Forward(const std::string& Pattern, TPoint From)
    {
        P = From;
        return E.Searcher->SearchForward(Pattern, P, R);
    }
    bool Backward(const std::string& Pattern, TPoint From)
    {
        P = From;
        return E.Searcher->SearchBackward(Pattern, P, R);
    }
    TFakeEditor E;
    TPoint P;
    TRect R;
};

TEST_F(Searcher, FindsForwardWithRangeAndLastPosition)
{
    E.SetLines("one two|three two");
    ASSERT_TRUE(Forward("two", {0, 0}));
    EXPECT_EQ(R, (TRect{4, 0, 7, 0}));
    EXPECT_EQ(P, (TPoint{7, 0}));
    ASSERT_TRUE(Forward("two", {8, 0}));  // from the line end: the next line
    EXPECT_EQ(R, (TRect{6, 1, 9, 1}));
    EXPECT_FALSE(Forward("two", {8, 1}));
    EXPECT_FALSE(Forward("", {0, 0}));
}

TEST_F(Searcher, WildcardsAndLineBreaks)
{
    E.SetLines("ab1|x9z");
    const std::string AnyDigit(1, static_cast<char>(TListSearcher::AnyDigit));
    const std::string AnyChar(1, static_cast<char>(TListSearcher::AnyChar));
    ASSERT_TRUE(Forward("b" + AnyDigit, {0, 0}));
    EXPECT_EQ(R, (TRect{1, 0, 3, 0}));
    ASSERT_TRUE(Forward(AnyDigit + AnyChar + "x", {0, 0}));  // 23 matches the line break
    EXPECT_EQ(R, (TRect{2, 0, 1, 1}));
    ASSERT_TRUE(Forward("1\rx", {0, 0}));
    EXPECT_EQ(R, (TRect{2, 0, 1, 1}));
    EXPECT_FALSE(Forward("a" + AnyDigit, {0, 0}));
    EXPECT_FALSE(Forward(AnyDigit + AnyDigit, {0, 0}));
}

TEST_F(Searcher, CrPatternFromTheStartGivesTheEmptyRangeAtTheStart)
{
    E.SetLines("ab|cd");
    ASSERT_TRUE(Forward("\r", {0, 0}));
    EXPECT_EQ(R, (TRect{0, 0, 0, 0}));
    ASSERT_TRUE(Forward("\r", {1, 0}));
    EXPECT_EQ(R, (TRect{2, 0, 0, 1}));
}

TEST_F(Searcher, IgnoreCaseFoldsOnlyAsciiLetters)
{
    E.SetLines("Abc \xC9T\xE9 ABC");
    E.Searcher->IgnoreCase = true;
    ASSERT_TRUE(Forward("ABC", {2, 0}));
    EXPECT_EQ(R, (TRect{8, 0, 11, 0}));
    ASSERT_TRUE(Forward("\xC9t\xE9", {0, 0}));
    EXPECT_FALSE(Forward("\xE9t\xE9", {0, 0}));
    E.Searcher->IgnoreCase = false;
    EXPECT_FALSE(Forward("abc", {2, 0}));
}

TEST_F(Searcher, WholeWordRejectsAndDoesNotRetryOneLater)
{
    E.SetLines("aaa aa");
    E.Searcher->WholeWord = true;
    ASSERT_TRUE(Forward("aa", {0, 0}));
    EXPECT_EQ(R, (TRect{4, 0, 6, 0}));
    E.SetLines("subword word");
    ASSERT_TRUE(Forward("word", {0, 0}));
    EXPECT_EQ(R, (TRect{8, 0, 12, 0}));
    E.SetLines("word subword");
    ASSERT_TRUE(Backward("word", {12, 0}));
    EXPECT_EQ(R, (TRect{0, 0, 4, 0}));
}

TEST_F(Searcher, WholeWordApostropheRule)
{
    E.Searcher->WholeWord = true;
    struct { const char* Text; const char* Word; bool Found; } Cases[] = {
        {"don't", "t", false},       // an apostrophe inside a word joins it
        {"the dog's bone", "dog", false},
        {"'dog' barks", "dog", true},  // a quote around the word ends it
        {"dog", "dog", true},
        {"x-dog", "dog", true},      // no hyphen in words here
        {"dog_x", "dog", false},
    };
    for (const auto& C : Cases) {
        E.SetLines(C.Text);
        EXPECT_EQ(Forward(C.Word, {0, 0}), C.Found) << C.Text;
    }
}

TEST_F(Searcher, BackwardAcrossLines)
{
    E.SetLines("ab cd|xx|cd ef");
    ASSERT_TRUE(Backward("cd", {1, 2}));
    EXPECT_EQ(R, (TRect{0, 2, 2, 2}));  // a match that begins at the start position
    ASSERT_TRUE(Backward("cd", {0, 2}));
    EXPECT_EQ(R, (TRect{3, 0, 5, 0}));
    ASSERT_TRUE(Backward("d\rx", {0, 2}));
    EXPECT_EQ(R, (TRect{4, 0, 1, 1}));
    EXPECT_FALSE(Backward("cd", {0, 0}));
    EXPECT_FALSE(Backward("zz", {5, 2}));
    EXPECT_FALSE(Backward("ab", {0, 0}));  // the text start: fails without reading
    E.Searcher->IgnoreCase = true;
    ASSERT_TRUE(Backward("AB", {5, 2}));
    EXPECT_EQ(R, (TRect{0, 0, 2, 0}));
}

TEST_F(Searcher, StartPastALineEnd)
{
    E.SetLines("ab|ab");
    ASSERT_TRUE(Forward("ab", {9, 0}));
    EXPECT_EQ(R, (TRect{0, 1, 2, 1}));
    ASSERT_TRUE(Backward("ab", {9, 0}));
    EXPECT_EQ(R, (TRect{0, 0, 2, 0}));
    EXPECT_FALSE(Forward("ab", {0, 7}));
}

}  // namespace
}  // namespace narvo::test
