// Table tests of the Format menu's string transforms, the 7-bit table and the case
// modes: empty text, a text without a final line break, 8-bit bytes.
#include "tools/SevenBit.h"
#include "tools/TextTransforms.h"
#include "support/ChildUnderLimit.h"

#include <gtest/gtest.h>

#include <cctype>
#include <functional>
#include <new>

namespace narvo {
namespace {

struct TCase {
    const char* Name;
    std::function<std::string(std::string_view)> F;
    std::string In, Out;
};

class TransformTable : public ::testing::TestWithParam<TCase> {};

TEST_P(TransformTable, Gives)
{
    const TCase& C = GetParam();
    EXPECT_EQ(C.F(C.In), C.Out) << C.Name;
}

const auto Hex = [](std::string_view S) { return StringToPercentHex(S); };
const auto Unhex = [](std::string_view S) { return PercentHexToString(S); };
const auto Mark = [](std::string_view S) { return InsertLineMarksText(S, '>'); };
const auto Unmark = [](std::string_view S) { return RemoveLineMarksText(S, '>'); };
const auto Spanish = [](std::string_view S) { return SpanishAccentsText(S); };
const auto Html = [](std::string_view S) { return RemoveHtmlText(S); };
const auto Tabs8 = [](std::string_view S) { return TabsToSpacesText(S, 8); };
const auto Spaces8 = [](std::string_view S) { return SpacesToTabsText(S, 8, 1); };
const auto Spaces8Min3 = [](std::string_view S) { return SpacesToTabsText(S, 8, 3); };
const auto Spaces0 = [](std::string_view S) { return SpacesToTabsText(S, 0, 1); };
const auto IndentTab2 = [](std::string_view S) { return IndentText(S, '\t', 2, false); };
const auto UnindentSp4 = [](std::string_view S) { return IndentText(S, ' ', 4, true); };
const auto Seven = [](std::string_view S) { return StringTo7Bit(S); };
auto CaseOf(TCaseMode M)
{
    return [M](std::string_view S) {
        std::string T(S);
        ApplyCaseMode(T, M);
        return T;
    };
}

INSTANTIATE_TEST_SUITE_P(
    Transforms, TransformTable,
    ::testing::Values(
        TCase{"hex empty", Hex, "", ""}, TCase{"hex line break", Hex, "A\r\xff", "%41%0D%FF"},
        TCase{"unhex run", Unhex, "%414243", "ABC"}, TCase{"unhex lower pair", Unhex, "%20ab", " \xab"},
        TCase{"unhex bare percent", Unhex, "100% x%4", "100 x4"}, TCase{"unhex empty", Unhex, "", ""},
        TCase{"mark empty", Mark, "", ""}, TCase{"mark lines", Mark, "a\r>b\r\rc", "> a\r>>b\r> \r> c"},
        TCase{"mark final break", Mark, "a\r", "> a\r"},
        TCase{"mark crlf block", Mark, "ab\r\ncd\r\n", "> ab\r\n> cd\r\n"},
        TCase{"unmark", Unmark, "> a\r>>b\rc>\r>", " a\r>b\rc>\r"}, TCase{"unmark empty", Unmark, "", ""},
        TCase{"spanish", Spanish, "it's Espan~a ?'", "its Espa\xf1" "a \xbf"},
        TCase{"spanish short", Spanish, "'", "'"}, TCase{"spanish before mark", Spanish, "don't", "do\xf1t"}, TCase{"spanish caps", Spanish, "A'E~O'", "\xc1\xc9\xd3"},
        TCase{"html tags", Html, "<html><p>Hi <B>x</B><br>y", "\r\n\r\nHi x\r\ny"},
        TCase{"html link", Html, "<a href=\"u\">t</a>", "\r\nu\r\n\r\nt\r\n"},
        TCase{"html comment list", Html, "<!--c--><li>i", "Comment: c\r\n\r\n + i"},
        TCase{"html open lt", Html, "a<b", "ab"}, TCase{"html plain gt kept", Html, "a > b", "a > b"},
        TCase{"html 8-bit", Html, "\xe9<i>\xff", "\xe9\xff"},
        TCase{"html div whole", Html, "<div>t</div>", "\r\nt"},
        TCase{"html div attributes", Html, "<div class=\"x\">t</div>u", "\r\ntu"},
        TCase{"html gt closing no tag", Html, "a -> b <b>c</b> d > e", "a -> b c d > e"},
        TCase{"html lone lt then tag", Html, "1 < 2 <em>x</em>", "1  2 x"},
        TCase{"tabs", Tabs8, "a\tb\r\tc", "a       b\r        c"}, TCase{"tabs no final break", Tabs8, "x\t", "x       "},
        TCase{"tabs final break", Tabs8, "x\r", "x\r"}, TCase{"tabs crlf", Tabs8, "a\r\nb", "a\rb"},
        TCase{"spaces to tab", Spaces8, "ab      x", "ab\tx"}, TCase{"spaces kept", Spaces8, "ab   x", "ab   x"},
        TCase{"spaces two stops", Spaces8, "abc                  x", "abc\t\t     x"},
        TCase{"spaces trailing dropped", Spaces8, "a  \r   ", "a\r"},
        TCase{"spaces after tab", Spaces8, "\t        x", "\t\tx"},
        TCase{"spaces below minimum", Spaces8Min3, "ab  x           y", "ab  x\t\ty"},
        TCase{"tab width 0 counts as 1", Spaces0, "a  b", "a\t\tb"},
        TCase{"indent", IndentTab2, "a\r\rb", "\t\ta\r\t\t\r\t\tb"}, TCase{"indent empty", IndentTab2, "", "\t\t"},
        TCase{"unindent stops at tab", UnindentSp4, "  \tx\r     y", "\tx\r y"},
        TCase{"7bit sample", Seven, "Se\xf1or M\xfcller, 25 \xb0" "C", "Senor Muller, 25 degreesC"},
        TCase{"7bit y c", Seven, "\xff\xe7\x80\x91\r\n", " C `\r\n"},
        TCase{"7bit empty", Seven, "", ""},
        TCase{"upper", CaseOf(TCaseMode::Upper), "ab\xe9z", "AB\xe9Z"},
        TCase{"lower", CaseOf(TCaseMode::Lower), "AB\xc9Z", "ab\xc9z"},
        TCase{"sentence", CaseOf(TCaseMode::Sentence), "hello WORLD. this is it", "Hello world. This is it"},
        TCase{"sentence only point", CaseOf(TCaseMode::Sentence), "a! b. 1c", "A! b. 1C"},
        TCase{"title", CaseOf(TCaseMode::Title), "the (old) man-made tool", "The (old) Man-made Tool"},
        TCase{"title column block", CaseOf(TCaseMode::Title), "ab\r\ncd\r\n", "Ab\r\ncd\r\n"},
        TCase{"toggle", CaseOf(TCaseMode::Toggle), "aB\xe9", "Ab\xe9"}, TCase{"case empty", CaseOf(TCaseMode::Title), "", ""}),
    [](const ::testing::TestParamInfo<TCase>& I) {
        std::string N = I.param.Name;
        for (char& C : N)
            if (!std::isalnum(static_cast<unsigned char>(C)))
                C = '_';
        return N;
    });

TEST(SevenBit, EveryHighByteGivesPlainAscii)
{
    for (int C = 0; C < 256; ++C) {
        const std::string T = CharTo7Bit(static_cast<unsigned char>(C));
        ASSERT_FALSE(T.empty()) << C;
        for (const char Ch : T)
            EXPECT_LT(static_cast<unsigned char>(Ch), 128) << C;
        if (C < 128) {
            EXPECT_EQ(T, std::string(1, static_cast<char>(C)));
        }
    }
    EXPECT_EQ(CharTo7Bit(166), "|");
    EXPECT_EQ(CharTo7Bit(216), "0");
    EXPECT_EQ(CharTo7Bit(198), "AE");
}

TEST(TextTransforms, DisplayColumnAndToggleResult)
{
    EXPECT_EQ(DisplayColumn("a\tbc", 0, 4), 0);
    EXPECT_EQ(DisplayColumn("a\tbc", 2, 4), 4);
    EXPECT_EQ(DisplayColumn("a\tbc", 3, 4), 5);
    std::string S = "12 .";
    EXPECT_FALSE(ToggleLetterCase(S));
    EXPECT_EQ(StripTags("x>y<z"), "x>yz");
}

TEST(TextTransforms, ATransformThatWouldOutgrowTheRoomIsRefusedBeforeItBuilds)
{
    // A million tabs, or a million short lines, with 16 MB of room left (a control
    // group's limit, past which the kernel would end the program): each of these
    // would build 60 MB or more.
    EXPECT_EQ(test::InChild([] {
                  SetMemoryLimitsForTest(TMemoryLimits{0, 0, 0, 2 * (MemoryUse().Resident + (16 << 20))});
                  const std::string Tabs(1 << 20, '\t'), Lines(1 << 20, '\r');
                  const std::function<std::string()> Steps[] = {
                      [&] { return TabsToSpacesText(Tabs, 64); },
                      [&] { return IndentText(Lines, ' ', 64, false); },
                      [&] { return StringToPercentHex(std::string(24 << 20, 'x')); },
                      [&] { return StringTo7Bit(std::string(12 << 20, '\xa2')); },  // "cents"
                  };
                  std::string Fault;
                  for (const auto& Step : Steps) {
                      try {
                          Fault += "built " + std::to_string(Step().size()) + " bytes; ";
                      } catch (const std::bad_alloc&) {
                      }
                  }
                  // What fits is built as before.
                  if (IndentText(Lines.substr(0, 1000), ' ', 3, false).size() != 4003)
                      Fault += "a small indent failed; ";
                  return Fault;
              }),
              "");
}

}  // namespace
}  // namespace narvo
