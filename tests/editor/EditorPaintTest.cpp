// Painting, read back from grabs of the client area: where a tab puts the next
// character, the show-all marks, control characters on ControlColor, the highlight
// and the found highlight, line numbers with thousands separators, very long
// lines, and our own caret.
#include "EditorTestHelpers.h"

#include "shared/SystemData.h"

#include <QApplication>

namespace narvo {
namespace {

using testing::CellAllColor;
using testing::CellHasColor;
using testing::CellHasInk;
using testing::EditorHost;
using testing::GrabClient;

constexpr QRgb White = 0xFFFFFF;
constexpr QRgb Black = 0x000000;
constexpr QRgb Red = 0xFF0000;   // ControlColor $0000FF
constexpr QRgb Navy = 0x000080;  // HighlightColor $800000

TEST(EditorPaint, ATabMovesTheNextCharacterToTheNextStop)
{
    EditorHost H({"abc\tX", "end"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    const QImage Image = GrabClient(E);
    EXPECT_TRUE(CellHasInk(Image, E, 8, 0, Black, White));
    for (int Col = 3; Col < 8; ++Col)
        EXPECT_TRUE(CellAllColor(Image, E, Col, 0, White)) << Col;
    EXPECT_EQ(E.DisplayColumn(TPoint{4, 0}, false), 8);
    // Four columns per tab.
    E.SetSpacesPerTab(4);
    const QImage Four = GrabClient(E);
    EXPECT_TRUE(CellHasInk(Four, E, 4, 0, Black, White));
    EXPECT_TRUE(CellAllColor(Four, E, 5, 0, White));
}

TEST(EditorPaint, ShowAllMarksTabsLineEndsAndSpaces)
{
    EditorHost H({"a\tX b", "end"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    E.SetShowAll(true);
    const QImage Image = GrabClient(E);
    // The tab is one cell: "I" in white on ControlColor; X follows at once.
    EXPECT_TRUE(CellHasColor(Image, E, 1, 0, Red));
    EXPECT_TRUE(CellHasInk(Image, E, 1, 0, White, Red));
    EXPECT_TRUE(CellHasInk(Image, E, 2, 0, Black, White));
    EXPECT_FALSE(CellHasColor(Image, E, 2, 0, Red));
    // The space shows as a dot.
    EXPECT_TRUE(CellHasInk(Image, E, 3, 0, Black, White));
    // Every line but the last ends in a CR shown as "M" on ControlColor.
    EXPECT_TRUE(CellHasColor(Image, E, 5, 0, Red));
    EXPECT_TRUE(CellAllColor(Image, E, 3, 1, White));
    EXPECT_EQ(E.HorzScrollBar->Max(), 255);
}

TEST(EditorPaint, ControlCharactersAndLongLinesShowOnControlColor)
{
    std::string Long = "\t" + std::string(3000, 'z');
    EditorHost H({std::string("x\x01y"), Long});
    H.Show();
    TScrollEditor& E = *H.Editor;
    const QImage Image = GrabClient(E);
    EXPECT_TRUE(CellHasInk(Image, E, 1, 0, White, Red));
    EXPECT_FALSE(CellHasColor(Image, E, 0, 0, Red));
    // A line over 2048 characters is not expanded: its tab is a control cell.
    EXPECT_TRUE(CellHasColor(Image, E, 0, 1, Red));
    EXPECT_FALSE(CellHasColor(Image, E, 1, 1, Red));
    EXPECT_EQ(E.DisplayColumn(TPoint{1, 1}, false), 1);
    EXPECT_EQ(E.HorzScrollBar->Max(), 3001);
}

TEST(EditorPaint, HighlightAndFoundHighlightAreVisible)
{
    EditorHost H({"abcdef"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    E.Cursor->SetPos(TPoint{6, 0});
    E.HighLight->StartPos = TPoint{1, 0};
    E.HighLight->EndPos = TPoint{4, 0};
    E.UpdateDisplay(false, false);
    QImage Image = GrabClient(E);
    EXPECT_TRUE(CellHasInk(Image, E, 1, 0, White, Navy));
    EXPECT_FALSE(CellHasColor(Image, E, 4, 0, Navy));

    // A found highlight: NonDeleteColor (black) behind its complement (white), not
    // behind a system colour that the top byte of a plain complement would name.
    E.HighLight->Found = true;
    E.UpdateDisplay(false, false);
    Image = GrabClient(E);
    for (int Col = 1; Col < 4; ++Col) {
        EXPECT_TRUE(CellHasColor(Image, E, Col, 0, Black)) << Col;
        EXPECT_TRUE(CellHasInk(Image, E, Col, 0, White, Black)) << Col;
        EXPECT_FALSE(CellHasColor(Image, E, Col, 0, Navy)) << Col;
    }
    E.SetNonDeleteColor(0x00FF00);  // green behind magenta
    Image = GrabClient(E);
    EXPECT_TRUE(CellHasColor(Image, E, 2, 0, 0x00FF00));
    EXPECT_TRUE(CellHasInk(Image, E, 2, 0, 0xFF00FF, 0x00FF00));
}

TEST(EditorPaint, ColumnBlockHighlightsTheSameColumnsOnEveryLine)
{
    EditorHost H({"abcdef", "ab", "abcdef"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    E.Cursor->ColumnBlock = true;
    E.HighLight->StartPos = TPoint{1, 0};
    E.HighLight->EndPos = TPoint{4, 2};
    E.UpdateDisplay(false, false);
    const QImage Image = GrabClient(E);
    for (int Row = 0; Row < 3; ++Row) {
        EXPECT_FALSE(CellHasColor(Image, E, 0, Row, Navy)) << Row;
        EXPECT_TRUE(CellHasColor(Image, E, 1, Row, Navy)) << Row;
        EXPECT_FALSE(CellHasColor(Image, E, 4, Row, Navy)) << Row;
    }
}

TEST(EditorPaint, TheFontsCharacterSetChoosesTheCodePage)
{
    // Byte 219 is a full block in code page 437 and a letter in Windows-1252.
    EditorHost H({std::string(1, static_cast<char>(219))});
    TScrollEditor& E = *H.Editor;
    auto Inked = [&](const QImage& Image) {
        int Dark = 0;
        for (int Y = 0; Y < E.LineHeight(); ++Y)
            for (int X = E.GutterWidth(); X < E.GutterWidth() + E.CharWidth(); ++X)
                Dark += qGray(Image.pixel(X, Y)) < 128;
        return Dark;
    };
    E.Cursor->SetPos(TPoint{1, 0});
    const int Ansi = Inked(GrabClient(E));
    E.SetFontCharset(TCodePage::Oem);
    const int Oem = Inked(GrabClient(E));
    EXPECT_GT(Oem, E.LineHeight() * E.CharWidth() / 3);
    EXPECT_GT(Oem, 2 * Ansi);
}

// Every byte takes exactly one cell, whatever the font's shaping makes of its
// character (a soft hyphen has no width of its own, some code points none at all):
// a mark after the byte stands where it stands after a plain letter.
TEST(EditorPaint, EveryByteTakesOneCellInBothCharacterSets)
{
    EditorHost H({"|X|"}, 160, 60);
    H.Show();
    TScrollEditor& E = *H.Editor;
    // A tab too is one cell then.
    E.SetUseTabStops(false);
    // The rightmost column with ink on the first row: the second mark.
    auto LastInk = [&] {
        const QImage Image = GrabClient(E);
        for (int X = Image.width() - 1; X >= 0; --X)
            for (int Y = 0; Y < E.LineHeight(); ++Y)
                if (testing::ColorDistance(Image.pixel(X, Y), White) > 200)
                    return X;
        return -1;
    };
    for (const TCodePage Page : {TCodePage::Ansi, TCodePage::Oem}) {
        E.SetFontCharset(Page);
        E.SetStrings({"|X|"});
        const int Expected = LastInk();
        ASSERT_GT(Expected, E.GutterWidth() + 2 * E.CharWidth());
        ASSERT_LT(Expected, E.GutterWidth() + 3 * E.CharWidth());
        std::string Astray;
        std::string Line = "|?|";
        for (int B = 0; B < 256; ++B) {
            Line[1] = static_cast<char>(B);
            E.SetStrings({Line});
            if (LastInk() != Expected)
                Astray += " " + std::to_string(B);
        }
        EXPECT_EQ(Astray, "") << (Page == TCodePage::Oem ? "code page 437" : "Windows-1252");
    }
}

TEST(EditorPaint, LineNumbersUseThousandsSeparatorsBelowTheTextToo)
{
    const TSeparatorGuard Guard;
    SystemData.SetThousandSeparator(',');
    EXPECT_EQ(TScrollEditor::LineNumberText(1234567), "1,234,567");

    EditorHost H(testing::NumberedLines(1000));
    H.SetClientRows(20);
    H.Show();
    TScrollEditor& E = *H.Editor;
    E.SetLineNumbers(true);
    E.ScrollToLine(990);
    // Line 999 is the last; the numbers go on to the window's bottom.
    EXPECT_EQ(E.TopLine, 990);
    (void)GrabClient(E);
    const auto& Numbers = E.PaintedLineNumbers();
    ASSERT_EQ(Numbers.size(), 20u);
    EXPECT_EQ(Numbers.front(), "991");
    EXPECT_EQ(Numbers[9], "1,000");
    EXPECT_EQ(Numbers.back(), "1,010");
    // The column is as wide as "1,010" and two spaces; the gutter follows it.
    EXPECT_EQ(E.GutterWidth(), 5 + 7 * E.CharWidth());

    SystemData.SetThousandSeparator(0);
    EXPECT_EQ(TScrollEditor::LineNumberText(1010), "1010");
}

TEST(EditorPaint, ATenMegabyteLineIsMappedWithoutWalkingIt)
{
    std::string Line(10'000'000, 'q');
    Line[5'000'000] = '\t';
    EditorHost H({Line});
    H.Show();
    TScrollEditor& E = *H.Editor;
    E.Cursor->SetPos(TPoint{5'000'001, 0});
    E.RefreshView(true);
    EXPECT_EQ(E.DisplayColumn(E.Cursor->Pos(), false), 5'000'001);
    EXPECT_GT(E.LeftColumn, 4'999'000);
    const QImage Image = GrabClient(E);
    EXPECT_TRUE(CellHasColor(Image, E, 5'000'000, 0, Red));
    EXPECT_EQ(E.HorzScrollBar->Max(), 10'000'000);
}

TEST(EditorPaint, OurCaretBlinksOnItsOwnTimerWhileFocused)
{
    EditorHost H({"abc", "de"});
    H.Show();
    TScrollEditor& E = *H.Editor;
    const int DesktopBlink = QApplication::cursorFlashTime();
    H.Window.activateWindow();
    E.setFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return E.hasFocus(); }, 20000));
    EXPECT_TRUE(E.CaretShown());
    EXPECT_EQ(E.CaretRect().width(), 3);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !E.CaretShown(); }, 20000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return E.CaretShown(); }, 20000));
    // Zoom scales the caret.
    E.SetScale(2.0);
    EXPECT_EQ(E.CaretRect().width(), 6);
    E.SetScale(1.0);
    // The input method is told where the caret is.
    const QRectF Reported = E.inputMethodQuery(Qt::ImCursorRectangle).toRectF();
    EXPECT_EQ(Reported.toRect(), E.CaretRect().translated(E.viewport()->pos()));
    E.clearFocus();
    EXPECT_FALSE(E.CaretCreated());
    EXPECT_EQ(QApplication::cursorFlashTime(), DesktopBlink);
}

TEST(EditorPaint, CaretPastALineEndInColumnBlockModeStandsAtTheCursor)
{
    EditorHost H({"ab\tc", "x"});
    TScrollEditor& E = *H.Editor;
    E.Cursor->ColumnBlock = true;
    E.Cursor->SetPos(TPoint{12, 1});
    EXPECT_EQ(E.CaretPos(), (TPoint{E.GutterWidth() + 12 * E.CharWidth(), E.LineHeight()}));
    // Outside column-block mode a cursor on the tab's far side stands at the stop.
    E.Cursor->ColumnBlock = false;
    E.Cursor->SetPos(TPoint{3, 0});
    EXPECT_EQ(E.CaretPos().X, E.GutterWidth() + 8 * E.CharWidth());
}

}  // namespace
}  // namespace narvo
