// The box-drawing table per style and key, the style cycle, and the chart's cells,
// selection and typing.
#include "tools/CharacterChart.h"

#include <QLabel>
#include <QTableWidget>
#include <gtest/gtest.h>

#include <string>

namespace narvo {
namespace {

std::string Keys(int Style, const char* KeySeq)
{
    std::string Out;
    for (const char* K = KeySeq; *K; ++K) {
        char Ch = 0;
        EXPECT_TRUE(BoxDrawChar(Style, *K, Ch));
        Out += Ch;
    }
    return Out;
}

TEST(BoxDrawing, EachStyleTypesItsLineCharacters)
{
    struct {
        int Style;
        const char* Expected;  // keys 7 8 9 4 5 6 1 2 3 0 +
    } const Cases[] = {
        {0, "           "},
        {1, "\xDA\xC2\xBF\xC3\xC5\xB4\xC0\xC1\xD9\xC4\xB3"},
        {2, "\xD5\xD1\xB8\xC6\xD8\xB5\xD4\xCF\xBE\xCD\xB3"},
        {3, "\xD6\xD2\xB7\xC7\xD7\xB6\xD3\xD0\xBD\xC4\xBA"},
        {4, "\xC9\xCB\xBB\xCC\xCE\xB9\xC8\xCA\xBC\xCD\xBA"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(Keys(C.Style, "789456123" "0+"), C.Expected) << C.Style;
    char Ch = 'q';
    for (char Other : {'a', '-', '*', '\r', '\0'})
        EXPECT_FALSE(BoxDrawChar(1, Other, Ch));
    EXPECT_FALSE(BoxDrawChar(5, '5', Ch));
    EXPECT_EQ(Ch, 'q');

    // Five presses of the style key come back to off, whose cross is a blank.
    int Style = 0;
    std::string Crosses;
    for (int I = 0; I < 5; ++I) {
        Style = NextBoxStyleOf(Style);
        Crosses += BoxStyleCross(Style);
    }
    EXPECT_EQ(Style, 0);
    EXPECT_EQ(Crosses, "\xC5\xD8\xD7\xCE ");
}

TEST(CharacterChart, CellsSizeSelectionAndTyping)
{
    EXPECT_EQ(ChartCellSize(30, 9), 34);
    EXPECT_EQ(ChartCellSize(9, 9), 31);
    EXPECT_EQ(ChartCellCode(5, 2), 0x41);
    EXPECT_EQ(ChartCellCode(16, 16), 0xFF);

    std::string Typed;
    TAsciiDlg D([&](char Ch) { Typed += Ch; });
    EXPECT_EQ(D.AsciiGrid->item(0, 16)->text(), "$F0");
    EXPECT_EQ(D.AsciiGrid->item(16, 0)->text(), "$0F");
    QFont Big = D.font();
    Big.setPointSize(30);
    D.SetChartFont(Big, TCodePage::Oem);
    EXPECT_EQ(D.AsciiGrid->item(1 + 0x9, 1 + 0xC)->text(), QString(QChar(0x2554)));  // $C9 in code page 437
    EXPECT_EQ(D.AsciiGrid->columnWidth(3), ChartCellSize(30, D.AsciiGrid->font().pointSize()));
    EXPECT_EQ(D.SelectedCode(), 0x41);
    EXPECT_EQ(D.SelectDis->text(), "$41");
    D.SelectCode(0xB3);
    EXPECT_EQ(D.SelectDis->text(), "$B3");
    D.InsertBtnClick();
    D.SelectCode(0);
    D.InsertBtnClick();
    EXPECT_EQ(Typed, std::string("\xB3\0", 2));
    EXPECT_EQ(Big.pointSize(), 30);  // the caller's font is a copy
}

}  // namespace
}  // namespace narvo
