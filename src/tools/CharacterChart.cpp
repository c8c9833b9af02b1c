// The box-drawing table and the character chart dialog.
#include "tools/CharacterChart.h"

#include "components/ChmHelper.h"
#include "platform/Canvas.h"
#include "platform/TextConvert.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdio>

namespace narvo {

const std::array<std::array<unsigned char, 11>, BoxStyleCount> BoxDrawTable{{
    // 0     1     2     3     4     5     6     7     8     9     +
    {0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20},  // off
    {0xC4, 0xC0, 0xC1, 0xD9, 0xC3, 0xC5, 0xB4, 0xDA, 0xC2, 0xBF, 0xB3},  // single
    {0xCD, 0xD4, 0xCF, 0xBE, 0xC6, 0xD8, 0xB5, 0xD5, 0xD1, 0xB8, 0xB3},  // double horizontal
    {0xC4, 0xD3, 0xD0, 0xBD, 0xC7, 0xD7, 0xB6, 0xD6, 0xD2, 0xB7, 0xBA},  // double vertical
    {0xCD, 0xC8, 0xCA, 0xBC, 0xCC, 0xCE, 0xB9, 0xC9, 0xCB, 0xBB, 0xBA},  // double
}};

int BoxKeyIndex(char Key)
{
    if (Key >= '0' && Key <= '9')
        return Key - '0';
    return Key == '+' ? 10 : -1;
}

bool BoxDrawChar(int Style, char Key, char& Ch)
{
    const int I = BoxKeyIndex(Key);
    if (I < 0 || Style < 0 || Style >= BoxStyleCount)
        return false;
    Ch = static_cast<char>(BoxDrawTable[Style][I]);
    return true;
}

int NextBoxStyleOf(int Style) { return Style >= 0 && Style < BoxStyleCount - 1 ? Style + 1 : 0; }

char BoxStyleCross(int Style)
{
    char Ch = ' ';
    BoxDrawChar(Style, '5', Ch);
    return Ch;
}

int ChartCellSize(int ChartPointSize, int GridPointSize)
{
    return std::max(ChartPointSize + 4, GridPointSize * 3 + 4);
}

namespace {

// What the dialog needs beside the grid (buttons, margins, the window frame).
constexpr int ChartMarginWidth = 40;
constexpr int ChartMarginHeight = 120;

std::string Hex2(int Code)
{
    char Buf[8];
    std::snprintf(Buf, sizeof Buf, "$%02X", Code & 0xFF);
    return Buf;
}

}  // namespace

TAsciiDlg::TAsciiDlg(std::function<void(char Ch)> TypeChar, QWidget* Parent)
    : QDialog(Parent), FTypeChar(std::move(TypeChar))
{
    setObjectName("AsciiDlg");
    setWindowTitle("Character Set");
    setSizeGripEnabled(true);
    auto* Top = new QVBoxLayout(this);
    AsciiGrid = new QTableWidget(17, 17, this);
    AsciiGrid->setObjectName("AsciiGrid");
    AsciiGrid->horizontalHeader()->hide();
    AsciiGrid->verticalHeader()->hide();
    // Cells take the size the chart gives them, however small the font.
    AsciiGrid->horizontalHeader()->setMinimumSectionSize(1);
    AsciiGrid->verticalHeader()->setMinimumSectionSize(1);
    AsciiGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    AsciiGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab goes on to the buttons (arrows move between the cells), not through 289 cells.
    AsciiGrid->setTabKeyNavigation(false);
    AsciiGrid->setShowGrid(true);
    // A header such as "$D0" in a wide desktop font may touch the cell's edge: it
    // is shown whole rather than cut to "$...".
    AsciiGrid->setTextElideMode(Qt::ElideNone);
    // The selected cell is filled silver, its character stays black.
    AsciiGrid->setStyleSheet("QTableWidget::item:selected { background: #C0C0C0; color: black; }");
    auto Fixed = [this](int Row, int Col, const QString& Text) {
        auto* I = new QTableWidgetItem(Text);
        I->setFlags(Qt::ItemIsEnabled);
        I->setBackground(palette().button());
        AsciiGrid->setItem(Row, Col, I);
    };
    Fixed(0, 0, "#");
    for (int C = 1; C <= 16; ++C)
        Fixed(0, C, QString::fromStdString(Hex2((C - 1) * 16)));
    for (int R = 1; R <= 16; ++R)
        Fixed(R, 0, QString::fromStdString(Hex2(R - 1)));
    for (int C = 1; C <= 16; ++C)
        for (int R = 1; R <= 16; ++R) {
            auto* I = new QTableWidgetItem;
            I->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            I->setTextAlignment(Qt::AlignLeft | Qt::AlignTop);
            AsciiGrid->setItem(R, C, I);
        }
    Top->addWidget(AsciiGrid, 1);

    auto* Bottom = new QHBoxLayout;
    Bottom->addWidget(new QLabel(" Selected:", this));
    SelectDis = new QLabel("$41", this);
    SelectDis->setObjectName("SelectDis");
    Bottom->addWidget(SelectDis);
    Bottom->addStretch();
    InsertBtn = new QPushButton("Insert Selected", this);
    CloseBtn = new QPushButton("Close", this);
    HelpBtn = new QPushButton("Help", this);
    for (QPushButton* B : {InsertBtn, CloseBtn, HelpBtn}) {
        B->setAutoDefault(false);
        Bottom->addWidget(B);
    }
    Top->addLayout(Bottom);

    connect(AsciiGrid, &QTableWidget::currentCellChanged, this,
            [this](int Row, int Col, int, int) { AsciiGridSelectCell(Row, Col); });
    connect(AsciiGrid, &QTableWidget::cellDoubleClicked, this, [this](int Row, int Col) {
        if (Row >= 1 && Col >= 1)
            InsertBtnClick();
    });
    connect(InsertBtn, &QPushButton::clicked, this, [this] { InsertBtnClick(); });
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    SetDialogHelp(this, HelpBtn, 4);
    SetChartFont(font(), TCodePage::Ansi);
    SelectCode(0x41);
}

void TAsciiDlg::SetChartFont(const QFont& Font, TCodePage Page)
{
    // A copy: the pane's own font and colour stay as they are.
    const QFont Chart = Font;
    const int Size = ChartCellSize(Chart.pointSize(), AsciiGrid->font().pointSize());
    for (int C = 1; C <= 16; ++C)
        for (int R = 1; R <= 16; ++R) {
            QTableWidgetItem* I = AsciiGrid->item(R, C);
            const char Byte = static_cast<char>(ChartCellCode(C, R));
            I->setFont(Chart);
            I->setForeground(Qt::black);
            I->setText(BytesToQString(Page, std::string_view(&Byte, 1)));
        }
    for (int I = 0; I < 17; ++I) {
        AsciiGrid->setColumnWidth(I, Size);
        AsciiGrid->setRowHeight(I, Size);
    }
    // The grid asks for room for all 17 rows and columns, so the chart opens whole;
    // only a chart larger than the screen keeps scroll bars.
    const int Frame = 2 * AsciiGrid->frameWidth();
    const QSize Area = WorkAreaSize(this);
    const int Room = std::max(0, std::min(Area.width() - ChartMarginWidth, Area.height() - ChartMarginHeight));
    int Width = Frame, Height = Frame;
    for (int I = 0; I < 17; ++I) {
        Width += AsciiGrid->columnWidth(I);
        Height += AsciiGrid->rowHeight(I);
    }
    AsciiGrid->setMinimumSize(std::min(Width, Room), std::min(Height, Room));
    AsciiGrid->setHorizontalScrollBarPolicy(Width > Room ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
    AsciiGrid->setVerticalScrollBarPolicy(Height > Room ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TAsciiDlg::ShowAsciiDlg(const QFont& Font, TCodePage Page)
{
    SetChartFont(Font, Page);
    SelectCode(0x41);
    // A smaller font than at the last showing makes the chart smaller again.
    resize(sizeHint());
    exec();
}

int TAsciiDlg::SelectedCode() const
{
    const int Row = AsciiGrid->currentRow(), Col = AsciiGrid->currentColumn();
    return Row >= 1 && Col >= 1 ? ChartCellCode(Col, Row) : -1;
}

void TAsciiDlg::SelectCode(int Code)
{
    AsciiGrid->setCurrentCell((Code & 15) + 1, ((Code >> 4) & 15) + 1);
    AsciiGridSelectCell(AsciiGrid->currentRow(), AsciiGrid->currentColumn());
}

void TAsciiDlg::AsciiGridSelectCell(int Row, int Col)
{
    if (Row >= 1 && Col >= 1)
        SelectDis->setText(QString::fromStdString(Hex2(ChartCellCode(Col, Row))));
}

void TAsciiDlg::InsertBtnClick()
{
    const int Code = SelectedCode();
    if (Code >= 0 && FTypeChar)
        FTypeChar(static_cast<char>(Code));
}

namespace {
QPointer<TAsciiDlg> GAsciiDlg;
}

void CreateAsciiDlg(std::function<void(char Ch)> TypeChar, QWidget* Parent)
{
    GAsciiDlg = new TAsciiDlg(std::move(TypeChar), Parent);
}

TAsciiDlg* AsciiDlg() { return GAsciiDlg; }

bool ShowCharacterChart(const QFont& Font, TCodePage Page)
{
    if (!GAsciiDlg)
        return false;
    GAsciiDlg->ShowAsciiDlg(Font, Page);
    return true;
}

}  // namespace narvo
