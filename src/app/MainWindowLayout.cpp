// The main window's controls and their places: the tool bar row, the main pane
// with the two extra panes in a splitter, the ruler, the command panel and the two
// status bars, stacked top to bottom without gaps; and the layout of the extra
// panes (none, the split view or the secondary file, under or beside the main pane).
#include "app/MainWindow.h"

#include "app/MainWindowMenus.h"
#include "app/MessageField.h"

#include "components/AutoButton.h"
#include "components/OnOffBox.h"
#include "components/TextRuler.h"
#include "platform/ProgramIcon.h"
#include "platform/TextConvert.h"
#include "shared/SystemData.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QMenu>
#include <QLabel>
#include <QSplitter>
#include <QVBoxLayout>
#include <algorithm>
#include <initializer_list>
#include <string>

namespace narvo {

namespace {

constexpr int CmdControlHeight = 21;
constexpr int StatusBarHeight = 27;
// The secondary pane's own background: red 227, green 240, blue 227.
constexpr TColor SecondaryPaneColor = RGBColor(227, 240, 227);

// A sunken field of a status bar (L when given, else a new label).
QLabel* Field(QWidget* Parent, QHBoxLayout* Row, const char* Hint, int MinWidth, int Stretch = 0, QLabel* L = nullptr)
{
    if (!L)
        L = new QLabel(Parent);
    L->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    L->setToolTip(QString::fromLatin1(Hint));
    L->setMinimumWidth(MinWidth);
    L->setTextFormat(Qt::PlainText);
    Row->addWidget(L, Stretch);
    return L;
}

// The largest values the number fields show whole: texts of up to 9,999,999,999
// characters (past 2 GiB by far) with up to 999,999,999 lines; a line may be as
// long as its text. The information field shows a whole 32-bit value, in decimal
// with its sign or as eight hexadecimal digits.
constexpr int LineDigits = 9;
constexpr int CharacterDigits = 10;
constexpr int InfoDecimalDigits = 10;
constexpr int InfoHexDigits = 8;

// A field never narrower than its widest value needs, so that the window at its
// opening size shows every value whole.
void FitValues(QLabel* L, std::initializer_list<std::string> Values)
{
    const QString Kept = L->text();
    int Width = L->minimumWidth();
    for (const std::string& V : Values) {
        L->setText(QString::fromStdString(V));
        Width = std::max(Width, L->sizeHint().width());
    }
    L->setText(Kept);
    L->setMinimumWidth(Width);
}

// Digits characters, each the one of Candidates that is widest in L's font: the
// widest text of that length, whatever the font's figures are like.
std::string WidestRun(const QLabel* L, const char* Candidates, int Digits)
{
    const QFontMetrics M = L->fontMetrics();
    char Widest = Candidates[0];
    for (const char* C = Candidates; *C; ++C)
        if (M.horizontalAdvance(QLatin1Char(*C)) > M.horizontalAdvance(QLatin1Char(Widest)))
            Widest = *C;
    return std::string(static_cast<std::size_t>(Digits), Widest);
}

// A number field wide enough for every whole number of up to Digits digits with
// the thousands separators, measured in the field's own font.
void FitWholeNumbers(QLabel* L, int Digits)
{
    // Grouped as the fields group, then every digit made the widest one.
    std::string Widest = GroupedWhole(std::stoll(std::string(static_cast<std::size_t>(Digits), '9')));
    const char Digit = WidestRun(L, "0123456789", 1)[0];
    for (char& C : Widest)
        if (C == '9')
            C = Digit;
    FitValues(L, {Widest});
}

// A caption and its field.
QLabel* CaptionedField(QWidget* Parent, QHBoxLayout* Row, const char* Caption, const char* Hint, int MinWidth)
{
    auto* C = new QLabel(QString::fromLatin1(Caption), Parent);
    Row->addWidget(C);
    return Field(Parent, Row, Hint, MinWidth);
}

TOnOffBox* Indicator(QWidget* Parent, QHBoxLayout* Row, const char* On, TColor OnColor, const char* Off,
                     TColor OffColor, const char* Hint, bool UserChangeable = true)
{
    auto* B = new TOnOffBox(Parent);
    B->SetOnString(QString::fromLatin1(On));
    B->SetOffString(QString::fromLatin1(Off));
    B->SetOnColor(OnColor);
    B->SetOffColor(OffColor);
    B->SetUserChangeable(UserChangeable);
    B->setToolTip(QString::fromLatin1(Hint));
    const int TextWidth = B->fontMetrics().horizontalAdvance(QString::fromLatin1(On).length() > 3 ? On : "Wrp");
    B->setFixedSize(std::max(30, TextWidth + 12), 21);
    Row->addWidget(B);
    return B;
}

TAutoButton* ToolButton(QWidget* Parent, QHBoxLayout* Row, const char* Text, const char* Hint)
{
    auto* B = new TAutoButton(Parent);
    B->setText(QString::fromLatin1(Text));
    B->setToolTip(QString::fromLatin1(Hint));
    B->setAutoRaise(true);
    B->setFocusPolicy(Qt::NoFocus);
    Row->addWidget(B);
    return B;
}

QHBoxLayout* BarRow(QWidget* Bar, int Height)
{
    Bar->setFixedHeight(Height);
    auto* Row = new QHBoxLayout(Bar);
    Row->setContentsMargins(2, 2, 2, 2);
    Row->setSpacing(2);
    return Row;
}

}  // namespace

void TForm1::CreateControls()
{
    setWindowTitle(QStringLiteral("Narvo"));
    setWindowIcon(ProgramIcon());
    auto* Central = new QWidget(this);
    auto* Stack = new QVBoxLayout(Central);
    Stack->setContentsMargins(0, 0, 0, 0);
    Stack->setSpacing(0);

    Stack->addWidget(CreateToolBar());

    ScreenDivider = new QSplitter(Qt::Vertical, Central);
    ScreenDivider->setObjectName(QStringLiteral("ScreenDivider"));
    ScreenDivider->setChildrenCollapsible(false);
    MainEditor = new TScrollEditor(ScreenDivider);
    Editor2 = new TScrollEditor(ScreenDivider);
    Editor3 = new TScrollEditor(ScreenDivider);
    MainEditor->setObjectName(QStringLiteral("MainEditor"));
    Editor2->setObjectName(QStringLiteral("Editor2"));
    Editor3->setObjectName(QStringLiteral("Editor3"));
    ScreenDivider->setStretchFactor(0, 1);
    Editor2->hide();
    Editor3->hide();
    Editor3->SetColor(SecondaryPaneColor);
    Stack->addWidget(ScreenDivider, 1);

    TextRuler = new TTextRuler(Central);
    TextRuler->setObjectName(QStringLiteral("TextRuler"));
    Stack->addWidget(TextRuler);
    Stack->addWidget(CreateCommandPanel());
    Stack->addWidget(CreateStatusBar());
    Stack->addWidget(CreateStatusBar2());
    setCentralWidget(Central);
    resize(800, 600);
}

QWidget* TForm1::CreateCommandPanel()
{
    CmdControl = new QWidget(this);
    CmdControl->setObjectName(QStringLiteral("CmdControl"));
    CmdControl->setFixedHeight(CmdControlHeight);
    auto* Row = new QHBoxLayout(CmdControl);
    Row->setContentsMargins(0, 0, 0, 0);
    Row->setSpacing(1);
    ExecCmdBtn = ToolButton(CmdControl, Row, "Exec", "Execute Command Line");
    CmdNumberDis = new QLabel(QStringLiteral("0"), CmdControl);
    CmdNumberDis->setToolTip(QStringLiteral("Command Line Number"));
    CmdNumberDis->setAlignment(Qt::AlignCenter);
    CmdNumberDis->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    CmdNumberDis->setMinimumWidth(24);
    Row->addWidget(CmdNumberDis);
    // The spin button: up and down halves stacked.
    auto* Spin = new QWidget(CmdControl);
    auto* SpinStack = new QVBoxLayout(Spin);
    SpinStack->setContentsMargins(0, 0, 0, 0);
    SpinStack->setSpacing(0);
    CmdSpinUp = new TAutoButton(Spin);
    CmdSpinDown = new TAutoButton(Spin);
    for (auto [B, Arrow] : {std::pair{CmdSpinUp, Qt::UpArrow}, std::pair{CmdSpinDown, Qt::DownArrow}}) {
        B->setArrowType(Arrow);
        B->setFixedSize(16, CmdControlHeight / 2);
        B->setFocusPolicy(Qt::NoFocus);
        B->SetDoRepeat(true);
        SpinStack->addWidget(B);
    }
    Row->addWidget(Spin);
    CmdEditor = new TScrollEditor(CmdControl);
    CmdEditor->setObjectName(QStringLiteral("CmdEditor"));
    CmdEditor->SetScrollBars(ssNone);
    CmdEditor->SetStandAlone(true);
    CmdEditor->SetKeyMapping(kmNRVLite);
    CmdEditor->SetGutterSize(2);
    // A sunken field, so the command line is seen to be there before Esc enters it.
    CmdEditor->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    Row->addWidget(CmdEditor, 1);
    return CmdControl;
}

QWidget* TForm1::CreateStatusBar()
{
    StatusBar = new QWidget(this);
    StatusBar->setObjectName(QStringLiteral("StatusBar"));
    QHBoxLayout* Row = BarRow(StatusBar, StatusBarHeight);
    StatusDis = Field(StatusBar, Row, "Status", 120, 1, new TMessageField(QStringLiteral("Status"), StatusBar));
    ScoopPnl = new QFrame(StatusBar);
    ScoopPnl->setToolTip(QStringLiteral("Scoop Free Space"));
    auto* ScoopRow = new QHBoxLayout(ScoopPnl);
    ScoopRow->setContentsMargins(0, 0, 0, 0);
    ScoopRow->setSpacing(1);
    ScoopDis = Field(ScoopPnl, ScoopRow, "Scoop Free Space", 0);
    ScoopDis->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    ScoopStatusDis = Field(ScoopPnl, ScoopRow, "Scoop", 14);
    // The register starts with no scoop; the field changes only when a scoop starts or ends.
    ScoopStatusDis->setText(QStringLiteral("Off"));
    // The register holds at most 100,000 characters.
    FitWholeNumbers(ScoopDis, 6);
    FitValues(ScoopStatusDis, {"Off", "On", "Blk"});
    Row->addWidget(ScoopPnl);
    ModifiedDis = Field(StatusBar, Row, "Modified", 30);
    FitValues(ModifiedDis, {"Mod"});
    SrchCaseOnOff = Indicator(StatusBar, Row, "S=s", clLime, "S#s", clBtnFace, "Search Case Sensitivity");
    SrchDirOnOff = Indicator(StatusBar, Row, "=>", clBtnFace, "<=", clLime, "Search Direction");
    OverWriteOnOff = Indicator(StatusBar, Row, "Ovr", clYellow, "Ins", clBtnFace, "Insert Mode");
    WrapOnOff = Indicator(StatusBar, Row, "Wrp", clLime, "-", clBtnFace, "Line Wrap");
    FileTypeOnOff = Indicator(StatusBar, Row, "Unicode", clLime, "ASCII", clBtnFace, "File Type");
    WordSearchOnOff = Indicator(StatusBar, Row, "Wrd", clLime, "-", clBtnFace, "Whole Word Search");
    BoxCharDis = Field(StatusBar, Row, "Box Drawing Style", 16);
    BoxCharDis->setAlignment(Qt::AlignCenter);
    CharHexDis = Field(StatusBar, Row, "Character Left of the Cursor", 30);
    CharHexDis->setAlignment(Qt::AlignCenter);
    FitValues(CharHexDis, {"$FF"});
    InfoDis = Field(StatusBar, Row, "Information", 40);
    FitValues(InfoDis, {"-" + WidestRun(InfoDis, "0123456789", InfoDecimalDigits),
                        WidestRun(InfoDis, "0123456789ABCDEF", InfoHexDigits)});
    return StatusBar;
}

QWidget* TForm1::CreateStatusBar2()
{
    StatusBar2 = new QWidget(this);
    StatusBar2->setObjectName(QStringLiteral("StatusBar2"));
    QHBoxLayout* Row = BarRow(StatusBar2, StatusBarHeight);
    LineNumDis = CaptionedField(StatusBar2, Row, "Line:", "Line Number", 0);
    ColumnDis = CaptionedField(StatusBar2, Row, "Col:", "Column", 0);
    LocationDis = CaptionedField(StatusBar2, Row, "At:", "Character Offset of the Cursor", 0);
    SizeDis = CaptionedField(StatusBar2, Row, "Size:", "Text Size", 0);
    HighlightDis = CaptionedField(StatusBar2, Row, "Highlighted:", "Highlighted Characters", 0);
    FitWholeNumbers(LineNumDis, LineDigits);
    for (QLabel* L : {ColumnDis, LocationDis, SizeDis, HighlightDis})
        FitWholeNumbers(L, CharacterDigits);
    ZoomDis = CaptionedField(StatusBar2, Row, "Zoom:", "Zoom (click to reset)", 0);
    // The zoom goes from 1.00 to 100.00.
    FitValues(ZoomDis, {WidestRun(ZoomDis, "0123456789", 3) + SystemData.DecimalSeparator() +
                        WidestRun(ZoomDis, "0123456789", 2)});
    Row->addStretch(1);
    return StatusBar2;
}

bool TForm1::IsSplitHorizontal() const { return ScreenDivider->orientation() == Qt::Vertical; }

void TForm1::LayoutSplitEditors(int Mode, bool Horizontal)
{
    Editor2->hide();
    Editor3->hide();
    // The orientation lives in the divider and changes only when a pane is shown,
    // so that the hidden pane takes the same place when it is shown later.
    if (Mode != 1 && Mode != 2)
        return;
    ScreenDivider->setOrientation(Horizontal ? Qt::Vertical : Qt::Horizontal);
    TScrollEditor* Pane = Mode == 1 ? Editor2 : Editor3;
    Pane->show();
    const int Total = Horizontal ? ScreenDivider->height() : ScreenDivider->width();
    QList<int> Sizes{Total / 2, 0, 0};
    Sizes[Mode] = Total - Total / 2;
    ScreenDivider->setSizes(Sizes);
}

// --- panels ---------------------------------------------------------------------------------------

void TogglePanels(TForm1& Form)
{
    QWidget* const Panels[] = {Form.TextRuler, Form.CmdControl, Form.StatusBar, Form.StatusBar2};
    // Shown within the window, whether or not the window itself is on the screen.
    const bool AnyShown =
        std::any_of(std::begin(Panels), std::end(Panels), [&](QWidget* W) { return W && W->isVisibleTo(&Form); });
    for (QWidget* W : Panels)
        if (W)
            W->setVisible(!AnyShown);
}

void UpdateSplitMenuChecks(TForm1& Form)
{
    if (Form.Menus)
        Form.Menus->UpdateSplitMenuChecks();
}

void TForm1::ShowDebugMenu()
{
    if (Menus && Menus->DebugMnu)
        Menus->DebugMnu->menuAction()->setVisible(true);
}

}  // namespace narvo
