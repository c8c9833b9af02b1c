// Numbers found in free text under the program's separators.
#include <gtest/gtest.h>

#include <clocale>
#include <string>

#include "shared/NumberScan.h"
#include "shared/SystemData.h"

namespace narvo {
namespace {

class NumberScan : public ::testing::Test {
protected:
    TSeparatorGuard Guard;
    void Use(char Decimal, char Thousand)
    {
        SystemData.SetDecimalSeparator(Decimal);
        SystemData.SetThousandSeparator(Thousand);
    }
};

TEST_F(NumberScan, FindsTheFirstNumber)
{
    Use('.', ',');
    struct Case {
        std::string S;
        bool Found;
        double Value;
        std::int64_t PosAfter;
    };
    const Case Cases[] = {
        {"abc-12.5kg", true, -12.5, 9},
        {"x 1,234.5", true, 1234.5, 10},
        {"--3", true, -3, 4},
        {"-.5", true, -0.5, 4},
        {"1.2.3", true, 1.2, 4},
        {"a-b5", true, 5, 5},         // the minus before b is forgotten
        {".-5", true, 0.5, 4},        // a minus after the separator is skipped
        {"7.", true, 7, 3},
        {"2e3x", true, 2000, 4},
        {"2e--3", true, 0.002, 6},
        {"1,,0", true, 10, 5},
        {"no digits", false, 0, 10},
        {"", false, 0, 1},
        {"- . -", false, 0, 6},
    };
    for (const Case& K : Cases) {
        std::int64_t Pos = 1;
        double Value = 99;
        EXPECT_EQ(ExtractNumber(K.S, Pos, Value), K.Found) << K.S;
        EXPECT_DOUBLE_EQ(Value, K.Value) << K.S;
        EXPECT_EQ(Pos, K.PosAfter) << K.S;
    }
}

TEST_F(NumberScan, ContinuesFromPos)
{
    Use('.', '\0');
    const std::string S = "3 apples, 4.5 pears";
    std::int64_t Pos = 1;
    double Value = 0;
    ASSERT_TRUE(ExtractNumber(S, Pos, Value));
    EXPECT_EQ(Value, 3);
    ASSERT_TRUE(ExtractNumber(S, Pos, Value));
    EXPECT_EQ(Value, 4.5);
    EXPECT_FALSE(ExtractNumber(S, Pos, Value));
    // A start past the end is clamped: no number, no read past the string.
    Pos = 1000;
    EXPECT_FALSE(ExtractNumber(S, Pos, Value));
    EXPECT_EQ(Pos, static_cast<std::int64_t>(S.size()) + 1);
}

TEST_F(NumberScan, ExponentLetterWithoutDigitsRaises)
{
    Use('.', ',');
    for (const char* S : {"2e", "size 2em", "1e+5"}) {
        try {
            StrToFloatLoose(S);
            ADD_FAILURE() << S << " did not raise";
        } catch (const EConvertError& E) {
            EXPECT_NE(std::string(E.what()).find("is not a valid floating point value"), std::string::npos);
        }
    }
    try {
        StrToFloatLoose("2e");
    } catch (const EConvertError& E) {
        EXPECT_STREQ(E.what(), "'2e' is not a valid floating point value");
    }
    EXPECT_THROW(StrToFloatLoose("1e999"), EConvertError);
}

TEST_F(NumberScan, NoThousandsSeparatorNeverMatchesNul)
{
    Use('.', '\0');
    const std::string S("1\0" "2", 3);
    EXPECT_EQ(StrToFloatLoose(S), 1);
    std::int64_t Pos = 1;
    double Value = 0;
    ASSERT_TRUE(ExtractNumber(S, Pos, Value));
    EXPECT_EQ(Pos, 2);
}

TEST_F(NumberScan, CommaDecimalSeparatorAndLocaleIndependence)
{
    Use(',', '.');
    EXPECT_EQ(StrToFloatLoose("Preis: 1.234,5 EUR"), 1234.5);
    EXPECT_EQ(StrToFloatLoose("x,5"), 0.5);
    Use('.', ',');
    // The C locale's own separator never matters.
    const char* Old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string Saved = Old ? Old : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
        EXPECT_EQ(StrToFloatLoose("1.5"), 1.5);
    }
    std::setlocale(LC_NUMERIC, Saved.c_str());
    EXPECT_EQ(StrToFloatLoose("nothing"), 0);
}

TEST(StrToFloat, WholeTextOnly)
{
    EXPECT_EQ(StrToFloat("0.75", '.'), 0.75);
    EXPECT_EQ(StrToFloat(" -1,5e+2 ", ','), -150);
    EXPECT_EQ(StrToFloat("+3", '.'), 3);
    for (const char* Bad : {"", " ", "abc", "1.2.3", "inf", "nan", "0x10", "1e", "-", ".", "1 2"})
        EXPECT_THROW(StrToFloat(Bad, '.'), EConvertError) << Bad;
}

TEST(SystemData, GuardRestoresSeparatorsOnThrow)
{
    SystemData.SetDecimalSeparator('.');
    SystemData.SetThousandSeparator('\0');
    try {
        TSeparatorGuard Guard;
        SystemData.SetDecimalSeparator(',');
        SystemData.SetThousandSeparator('.');
        throw 1;
    } catch (int) {
    }
    EXPECT_EQ(SystemData.DecimalSeparator(), '.');
    EXPECT_EQ(SystemData.ThousandSeparator(), '\0');
}

}  // namespace
}  // namespace narvo
