// The "Character Set" chart and the box-drawing keys. The chart is a 16 x 16 grid
// of all 256 character codes in the active pane's font (columns step the high
// hexadecimal digit, rows the low one) from which a character is typed into the
// pane. The box-drawing keys type code page 437 line characters from the keypad's
// digits and "+" in one of four styles (style 0 is off); 7 8 9 are the top
// corners and tee, 4 5 6 the left tee, cross and right tee, 1 2 3 the bottom
// row, 0 the horizontal and + the vertical line.
#pragma once

#include "shared/CodePage.h"

#include <QDialog>
#include <QFont>

#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QTableWidget;

namespace narvo {

inline constexpr int BoxStyleCount = 5;
// Style by key index ("0".."9" are 0..9, "+" is 10): code page 437 bytes.
extern const std::array<std::array<unsigned char, 11>, BoxStyleCount> BoxDrawTable;

// The key's index in the table, -1 for a key that draws nothing.
int BoxKeyIndex(char Key);
// The character Key types in Style; false for a key that draws nothing or an
// unknown style.
bool BoxDrawChar(int Style, char Key, char& Ch);
// The style after Style: 1 .. 4, then back to 0 (off).
int NextBoxStyleOf(int Style);
// The status panel's text for Style: its cross, a blank for style 0.
char BoxStyleCross(int Style);

// The chart's cell size: the larger of the chart font's size + 4 and three times
// the grid's own font size + 4 (sizes in points, taken as pixels).
int ChartCellSize(int ChartPointSize, int GridPointSize);
// The code of the cell in column Col and row Row (both from 1).
inline int ChartCellCode(int Col, int Row) { return (Row - 1) + 16 * (Col - 1); }

class TAsciiDlg : public QDialog {
    Q_OBJECT
public:
    // TypeChar types one character into the active pane.
    explicit TAsciiDlg(std::function<void(char Ch)> TypeChar, QWidget* Parent = nullptr);

    // The chart in a copy of Font (black), its bytes shown through Page; "A" is
    // selected; shown modally.
    void ShowAsciiDlg(const QFont& Font, TCodePage Page);
    void SetChartFont(const QFont& Font, TCodePage Page);
    // The selected code, -1 when a header cell is selected.
    int SelectedCode() const;
    void SelectCode(int Code);
    void InsertBtnClick();

    QTableWidget* AsciiGrid = nullptr;
    QLabel* SelectDis = nullptr;
    QPushButton *InsertBtn = nullptr, *CloseBtn = nullptr, *HelpBtn = nullptr;

private:
    void AsciiGridSelectCell(int Row, int Col);
    std::function<void(char)> FTypeChar;
};

// The run's chart, made with the start-up forms (nullptr before and after; its parent
// frees it).
void CreateAsciiDlg(std::function<void(char Ch)> TypeChar, QWidget* Parent);
TAsciiDlg* AsciiDlg();
// Shows the chart in Font and Page (Alt+F2, the menu entry); false when it was not made.
bool ShowCharacterChart(const QFont& Font, TCodePage Page);

}  // namespace narvo
