// The print preview dialog and printing (see PPMain.h).
#include "tools/PPMain.h"

#include "components/ChmHelper.h"
#include "components/IntSpin.h"
#include "components/RealSpin.h"
#include "platform/FontChooser.h"
#include "platform/MessageBoxes.h"
#include "platform/ResourceFont.h"
#include "platform/TextConvert.h"
#include "shared/Geometry.h"
#include "tools/FrameCount.h"
#include "tools/PPProgress.h"

#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPageSetupDialog>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPrintDialog>
#include <QFile>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <cmath>
#include <cstdio>
#include <exception>

namespace narvo {

namespace {

QPointer<TPreForm> GPreForm;

void ResetPrintRange(QPrinter& Printer)
{
    Printer.setPrintRange(QPrinter::AllPages);
    Printer.setFromTo(0, 0);
}

std::string Fmt(const char* Format, double A, double B)
{
    char Buf[128];
    std::snprintf(Buf, sizeof Buf, Format, A, B);
    return Buf;
}

QLabel* MakeDisplay(QWidget* Parent, const char* Name)
{
    auto* L = new QLabel(Parent);
    L->setObjectName(Name);
    L->setFrameShape(QFrame::Panel);
    L->setFrameShadow(QFrame::Sunken);
    L->setMinimumWidth(48);
    return L;
}

TRealSpin* MakeMarginSpin(QWidget* Parent, const char* Name)
{
    auto* S = new TRealSpin(Parent);
    S->setObjectName(Name);
    S->SetUnitsString("in");
    S->Increment = 0.1;
    S->UseLimit = true;
    S->SetMinValue(0);
    S->SetMaxValue(10);
    S->SetDigits(2);
    S->SetNumFormat(nfFixed);
    S->SetValue(0.75);
    return S;
}

QToolButton* MakeCheckButton(QWidget* Parent, const char* Name, const char* Text, const char* Hint)
{
    auto* B = new QToolButton(Parent);
    B->setObjectName(Name);
    B->setText(Text);
    B->setToolTip(Hint);
    return B;
}

}  // namespace

TPreForm::TPreForm(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("PreForm");
    setWindowTitle("Print Preview");
    BuildForm();
    // FormCreate
    TextParser = std::make_unique<TTextParser>(PrintPreview1);
    LoadPrintFont();
    AskPrint = [this] {
        // The dialog starts from the printer's range; a range chosen for one print
        // must not come back, unseen behind the collapsed options, in the next.
        ResetPrintRange(CurrentPrinter());
        QPrintDialog Dlg(&CurrentPrinter(), this);
        // The dialog offers a page range over the pages there are; printing
        // honours it together with the ticks.
        Dlg.setMinMax(1, std::max<int>(1, static_cast<int>(TextParser->PageCount())));
        const bool Accepted = Dlg.exec() == QDialog::Accepted;
        if (Accepted)
            TakePrintRange(CurrentPrinter());
        ResetPrintRange(CurrentPrinter());
        return Accepted;
    };
    AskSetup = [this] {
        QPageSetupDialog Dlg(&CurrentPrinter(), this);
        Dlg.exec();
    };
    AskFont = [this](const QFont& Start) { return ChooseFixedFont(this, Start); };
}

TPreForm::~TPreForm() = default;

void TPreForm::BuildForm()
{
    auto* Main = new QVBoxLayout(this);
    auto* Splitter = new QSplitter(Qt::Horizontal, this);
    Main->addWidget(Splitter, 1);

    // --- the settings and the printer information on the left
    auto* Tabs = new QTabWidget(Splitter);
    auto* Settings = new QWidget;
    auto* S = new QVBoxLayout(Settings);
    S->addWidget(new QLabel("Margins", Settings));
    auto* MarginGrid = new QGridLayout;
    LeftSpin = MakeMarginSpin(Settings, "LeftSpin");
    TopSpin = MakeMarginSpin(Settings, "TopSpin");
    BottomSpin = MakeMarginSpin(Settings, "BottomSpin");
    RightSpin = MakeMarginSpin(Settings, "RightSpin");
    const std::pair<const char*, TRealSpin*> Spins[] = {
        {" Left", LeftSpin}, {" Top", TopSpin}, {" Bottom", BottomSpin}, {" Right", RightSpin}};
    for (int I = 0; I < 4; ++I) {
        MarginGrid->addWidget(new QLabel(Spins[I].first, Settings), (I / 2) * 2, I % 2);
        MarginGrid->addWidget(Spins[I].second, (I / 2) * 2 + 1, I % 2);
        Spins[I].second->OnChange = [this](QObject*) { LeftSpinChange(); };
    }
    S->addLayout(MarginGrid);

    auto* PageSelect = new QGroupBox(" Page Select", Settings);
    auto* P = new QHBoxLayout(PageSelect);
    PrintList = new QListWidget(PageSelect);
    PrintList->setObjectName("PrintList");
    PrintList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    P->addWidget(PrintList, 1);
    auto* Buttons = new QVBoxLayout;
    CheckAllBtn = MakeCheckButton(PageSelect, "CheckAllBtn", "All", "Check All");
    ClearAllBtn = MakeCheckButton(PageSelect, "ClearAllBtn", "None", "Clear All");
    CheckHighLightBtn = MakeCheckButton(PageSelect, "CheckHighLightBtn", "Sel+", "Check All Selected");
    ClearHighlightBtn = MakeCheckButton(PageSelect, "ClearHighlightBtn", "Sel-", "Clear All Selected");
    InvertAllBtn = MakeCheckButton(PageSelect, "InvertAllBtn", "Inv", "Invert Selected");
    for (QToolButton* B : {CheckAllBtn, ClearAllBtn, CheckHighLightBtn, ClearHighlightBtn, InvertAllBtn})
        Buttons->addWidget(B);
    Buttons->addStretch(1);
    P->addLayout(Buttons);
    S->addWidget(PageSelect, 1);
    connect(CheckAllBtn, &QToolButton::clicked, this, [this] { CheckAll(true); });
    connect(ClearAllBtn, &QToolButton::clicked, this, [this] { CheckAll(false); });
    connect(CheckHighLightBtn, &QToolButton::clicked, this, [this] { CheckSelected(true); });
    connect(ClearHighlightBtn, &QToolButton::clicked, this, [this] { CheckSelected(false); });
    connect(InvertAllBtn, &QToolButton::clicked, this, [this] { InvertSelected(); });
    connect(PrintList, &QListWidget::itemDoubleClicked, this, [this] { PrintListDblClick(); });

    S->addWidget(new QLabel("Font Size", Settings));
    FontSizeSpin = new TIntegerSpin(Settings);
    FontSizeSpin->setObjectName("FontSizeSpin");
    FontSizeSpin->UseLimit = true;
    FontSizeSpin->SetMinValue(1);
    FontSizeSpin->SetMaxValue(120);
    FontSizeSpin->Increment = 1;
    FontSizeSpin->SetValueQuiet(9);
    FontSizeSpin->OnChange = [this](QObject*) { FontSizeSpinChange(); };
    S->addWidget(FontSizeSpin);
    auto* Note = new QLabel("Font sizes smaller than 7 may not be readable on the printout", Settings);
    Note->setWordWrap(true);
    S->addWidget(Note);
    MarginChk = new QCheckBox("Show Margin Lines", Settings);
    MarginChk->setObjectName("MarginChk");
    LineNumberChk = new QCheckBox("Line Numbers", Settings);
    LineNumberChk->setObjectName("LineNumberChk");
    S->addWidget(MarginChk);
    S->addWidget(LineNumberChk);
    connect(MarginChk, &QCheckBox::clicked, this, [this] { LeftSpinChange(); });
    connect(LineNumberChk, &QCheckBox::clicked, this, [this] { LeftSpinChange(); });
    // On a small screen (or at a large scale) the settings scroll rather than make
    // the dialog taller than the screen.
    auto* SettingsScroll = new QScrollArea;
    SettingsScroll->setWidget(Settings);
    SettingsScroll->setWidgetResizable(true);
    SettingsScroll->setFrameShape(QFrame::NoFrame);
    SettingsScroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    SettingsScroll->setMinimumWidth(Settings->minimumSizeHint().width());
    Tabs->addTab(SettingsScroll, "Settings");

    Memo1 = new QPlainTextEdit;
    Memo1->setObjectName("Memo1");
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Tabs->addTab(Memo1, "Printer Info");

    // --- the page on the right
    auto* Right = new QWidget(Splitter);
    auto* R = new QVBoxLayout(Right);
    auto* Bar = new QHBoxLayout;
    Bar->addWidget(new QLabel(" Page #: ", Right));
    PageCounter = new TFrameCounter(Right);
    PageCounter->setObjectName("PageCounter");
    PageCounter->setFixedSize(131, 20);
    PageCounter->SetShowCount(true);
    PageCounter->OnChange = [this](QObject*) { PageCounterChange(); };
    Bar->addWidget(PageCounter);
    Bar->addSpacing(12);
    Bar->addWidget(new QLabel(" Mouse:", Right));
    MouseXDis = MakeDisplay(Right, "MouseXDis");
    MouseYDis = MakeDisplay(Right, "MouseYDis");
    Bar->addWidget(MouseXDis);
    Bar->addWidget(MouseYDis);
    Bar->addWidget(new QLabel(" Paper:", Right));
    PaperXDis = MakeDisplay(Right, "PaperXDis");
    PaperYDis = MakeDisplay(Right, "PaperYDis");
    Bar->addWidget(PaperXDis);
    Bar->addWidget(PaperYDis);
    Bar->addStretch(1);
    R->addLayout(Bar);
    PrintPreview1 = new TPrintPreview(Right);
    PrintPreview1->setObjectName("PrintPreview1");
    PrintPreview1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    PrintPreview1->SetColumns(1);
    PrintPreview1->SetAutoArrange(true);
    PrintPreview1->SetCount(1);
    PrintPreview1->OnImageMouseMove = [this](QObject*, Qt::KeyboardModifiers, int X, int Y) {
        PrintPreview1ImageMouseMove(X, Y);
    };
    R->addWidget(PrintPreview1, 1);
    Splitter->setStretchFactor(1, 1);

    // --- the buttons
    auto* Row = new QHBoxLayout;
    PrintBtn = new QPushButton("Print", this);
    SetupBtn = new QPushButton("Print Setup", this);
    FontBtn = new QPushButton("Font", this);
    CancelBtn = new QPushButton("Close", this);
    BitBtn1 = new QPushButton("Help", this);
    PrintBtn->setDefault(true);
    Row->addStretch(1);
    for (QPushButton* B : {PrintBtn, SetupBtn, FontBtn, CancelBtn, BitBtn1})
        Row->addWidget(B);
    Main->addLayout(Row);
    connect(PrintBtn, &QPushButton::clicked, this, [this] { PrintBtnClick(); });
    connect(SetupBtn, &QPushButton::clicked, this, [this] { SetupBtnClick(); });
    connect(FontBtn, &QPushButton::clicked, this, [this] { FontBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    SetDialogHelp(this, BitBtn1, 1);
    resize(900, 640);
}

void TPreForm::LoadPrintFont()
{
    std::optional<QFont> F;
    try {
        F = LoadResourceFont("FIXEDSYS-TTF", "Fixedsys Excelsior", true);
    } catch (const std::exception&) {
        F.reset();  // without the resource, the desktop's fixed-pitch font
    }
    const int Size = 12;
    QFont Font = F ? *F : QFontDatabase::systemFont(QFontDatabase::FixedFont);
    Font.setPointSize(Size);
    PrintFont = Font;
}

void TPreForm::Prepare(const QFont& EditorFont, std::string Text, const TPrintMarginValues& Margins)
{
    PrintFont = EditorFont;
    LoadPrintFont();
    FontSizeSpin->SetValueQuiet(std::abs(PrintFont.pointSize()));
    for (auto [Spin, Value] : {std::pair{LeftSpin, Margins.Left}, std::pair{TopSpin, Margins.Top},
                               std::pair{RightSpin, Margins.Right}, std::pair{BottomSpin, Margins.Bottom}}) {
        Spin->BlockChangeEvent = true;
        Spin->SetValue(Value);
        Spin->BlockChangeEvent = false;
    }
    PrintText = std::move(Text);
    Reparse();
}

TPrintMarginValues TPreForm::MarginValues() const
{
    return TPrintMarginValues{LeftSpin->Value(), TopSpin->Value(), RightSpin->Value(), BottomSpin->Value()};
}

void TPreForm::Reparse()
{
    ShowPrinterInfo();
    const int Ppi = ScreenPixelsPerInch();
    auto Px = [Ppi](TRealSpin* S) { return static_cast<std::int64_t>(std::trunc(Ppi * S->Value())); };
    TextParser->Margins = Rect(Px(LeftSpin), Px(TopSpin), Px(RightSpin), Px(BottomSpin));
    TextParser->ShowMargins = MarginChk->isChecked();
    TextParser->LineNumbers = LineNumberChk->isChecked();
    TextParser->Parse(PrintText, PrintFont);
    const std::int64_t Pages = TextParser->PageCount();
    PageCounter->SetMaxFrames(static_cast<int>(Pages));
    PageCounter->SetFrameIndex(0);
    TextParser->RenderPages(0, 1);
    PrintList->setUpdatesEnabled(false);
    PrintList->clear();
    for (std::int64_t I = 0; I < Pages; ++I) {
        auto* Item = new QListWidgetItem("Page-" + QString::number(I + 1), PrintList);
        Item->setFlags(Item->flags() | Qt::ItemIsUserCheckable);
        Item->setCheckState(Qt::Checked);
    }
    PrintList->setUpdatesEnabled(true);
}

void TPreForm::ShowPrinterInfo()
{
    TPrinterMetrics M;
    GetPrinterMetrics(M);
    QStringList L;
    auto Add = [&L](const std::string& S) { L << AnsiToQString(S); };
    Add("Paper SizeMM: " + PointToStr(Point(M.HorzSizeMM, M.VertSizeMM), true) + "mm");
    Add("Physical Size: " + PointToStr(Point(M.PhysicalWidth, M.PhysicalHeight), true) + "px");
    Add("ActiveSize: " + PointToStr(Point(M.HorzRes, M.VertRes), true) + "px");
    Add(Fmt("Inch Size: %.2f/%.2fin", M.SizeInches.X, M.SizeInches.Y));
    Add("Pnts/Inch: " + std::to_string(M.PixelsX) + "/" + std::to_string(M.PixelsY));
    Add(Fmt("Aspect: %4.3f", M.Aspect > 0 ? 1.0 / M.Aspect : 0.0, 0));
    Add("");
    Add("Printer Fonts:");
    Add("==============");
    const QStringList Families = QFontDatabase::families();
    for (int I = 0; I < Families.size(); ++I)
        L << QString::asprintf("%2d: ", I + 1) + Families[I];
    Memo1->setUpdatesEnabled(false);
    Memo1->setPlainText(L.join('\n'));
    Memo1->setUpdatesEnabled(true);
}

bool TPreForm::PageChecked(int Page) const
{
    const QListWidgetItem* Item = PrintList->item(Page);
    // A page the list does not name yet is printed rather than lost.
    return !Item || Item->checkState() == Qt::Checked;
}

void TPreForm::TakePrintRange(const QPrinter& Printer)
{
    if (Printer.printRange() == QPrinter::PageRange && Printer.fromPage() > 0) {
        PrintFromPage = Printer.fromPage();
        PrintToPage = std::max(Printer.toPage(), PrintFromPage);
    } else {
        PrintFromPage = PrintToPage = 0;
    }
}

bool TPreForm::InPrintRange(int Page) const
{
    return PrintFromPage == 0 || (Page + 1 >= PrintFromPage && Page + 1 <= PrintToPage);
}

bool TPreForm::AnyPageChecked() const
{
    for (int I = 0; I < PrintList->count(); ++I)
        if (PrintList->item(I)->checkState() == Qt::Checked)
            return true;
    return PrintList->count() == 0 && TextParser->PageCount() > 0;
}

void TPreForm::PrintBtnClick()
{
    PrintFromPage = PrintToPage = 0;
    // Printing nothing in silence would leave an older file of the same name
    // looking like the result.
    if (!AnyPageChecked()) {
        MessageDlg(NoPageTicked, mtInformation, mbOK);
        return;
    }
    if (AskPrint && !AskPrint())
        return;
    // A PDF file the user marked read-only is kept unless the user agrees.
    const QPrinter& Printer = CurrentPrinter();
    const bool ToFile = Printer.outputFormat() == QPrinter::PdfFormat && !Printer.outputFileName().isEmpty();
    const std::string File = ToFile ? QFile::encodeName(Printer.outputFileName()).toStdString() : std::string();
    if (ToFile && !AgreeToReplaceReadOnly(File))
        return;
    // The file the user agreed to replace is the one there now: one another program
    // makes or changes there while the pages are made is asked about first.
    if (ToFile)
        FFileAtStart = StampOf(File);
    FFileKept = false;
    try {
        if (PrintCheckedPages() == 0)
            MessageDlg(NoTickedPageInRange, mtInformation, mbOK);
    } catch (const std::exception& E) {
        MessageDlg(std::string("Printing failed: ") + E.what(), mtError, mbOK);
    }
    if (FFileKept)
        MessageDlg(NotWrittenText(File) + ".", mtInformation, mbOK);
    FFileAtStart.reset();
    // The range belonged to this print dialog; printing again without it takes
    // the ticks alone.
    PrintFromPage = PrintToPage = 0;
}

int TPreForm::PrintCheckedPages()
{
    ShowPrinterInfo();
    PrintPreview1->Arrange();
    ShowProgress("Printing NRV Document");
    // Printing draws each page through the preview; the page the counter names is
    // shown again afterwards, also after a print that failed.
    const auto Done = [this] {
        HideProgress();
        TextParser->RenderPages(PageCounter->FrameIndex(), 1);
    };
    int Printed = 0;
    try {
        Printed = TextParser->Print(
            UpdateProgress, [this](int Page) { return PageChecked(Page) && InPrintRange(Page); },
            [this] {
                if (!FFileAtStart)
                    return true;
                const std::string File = QFile::encodeName(CurrentPrinter().outputFileName()).toStdString();
                FFileKept = !AgreeToReplaceChanged(File, *FFileAtStart, "chosen");
                return !FFileKept;
            });
    } catch (...) {
        Done();
        throw;
    }
    Done();
    return Printed;
}

void TPreForm::LeftSpinChange() { Reparse(); }

void TPreForm::FontSizeSpinChange()
{
    PrintFont.setPointSize(static_cast<int>(FontSizeSpin->Value()));
    SavedChecks.clear();
    for (int I = 0; I < PrintList->count(); ++I)
        SavedChecks.push_back(PrintList->item(I)->checkState() == Qt::Checked);
    Reparse();
    for (int I = 0; I < PrintList->count(); ++I) {
        if (SavedChecks.empty())
            break;
        const bool Mark = I < static_cast<int>(SavedChecks.size()) ? SavedChecks[static_cast<std::size_t>(I)]
                                                                    : SavedChecks.back();
        PrintList->item(I)->setCheckState(Mark ? Qt::Checked : Qt::Unchecked);
    }
}

void TPreForm::FontBtnClick()
{
    if (!AskFont)
        return;
    if (const std::optional<QFont> F = AskFont(PrintFont)) {
        PrintFont = *F;
        Reparse();
    }
}

void TPreForm::SetupBtnClick()
{
    if (AskSetup)
        AskSetup();
    Reparse();
    PrintPreview1->Arrange();
}

void TPreForm::ShowPage(int Page)
{
    TextParser->RenderPages(Page, 1);
    PrintPreview1->verticalScrollBar()->setValue(0);
    PrintList->clearSelection();
    PrintList->setCurrentRow(Page);
    if (QListWidgetItem* Item = PrintList->item(Page))
        Item->setSelected(true);
}

void TPreForm::PageCounterChange() { ShowPage(PageCounter->FrameIndex()); }

void TPreForm::PrintListDblClick()
{
    PageCounter->SetFrameIndex(PrintList->currentRow());
    ShowPage(PageCounter->FrameIndex());
}

void TPreForm::CheckAll(bool Checked)
{
    for (int I = 0; I < PrintList->count(); ++I)
        PrintList->item(I)->setCheckState(Checked ? Qt::Checked : Qt::Unchecked);
}

void TPreForm::CheckSelected(bool Checked)
{
    for (QListWidgetItem* Item : PrintList->selectedItems())
        Item->setCheckState(Checked ? Qt::Checked : Qt::Unchecked);
}

void TPreForm::InvertSelected()
{
    for (QListWidgetItem* Item : PrintList->selectedItems())
        Item->setCheckState(Item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void TPreForm::PrintPreview1ImageMouseMove(int X, int Y)
{
    MouseXDis->setText(QString::number(X));
    MouseYDis->setText(QString::number(Y));
    if (PrintPreview1->Count() < 1 || PrintPreview1->Images().empty())
        return;
    const TPrinterPage& Page = PrintPreview1->Pages(0);
    const QWidget* Image = PrintPreview1->Images().front();
    const int L = Page.PageRect.left(), T = Page.PageRect.top();
    const double Wd = Image->width() - 2.0 * L, Hd = Image->height() - 2.0 * T;
    const TPrinterMetrics& M = Page.Metrics;
    if (Wd <= 0 || Hd <= 0 || M.PixelsX <= 0 || M.PixelsY <= 0)
        return;
    PaperXDis->setText(QString::number((X - L) * M.PhysicalWidth / Wd / M.PixelsX, 'f', 2));
    PaperYDis->setText(QString::number((Y - T) * M.PhysicalHeight / Hd / M.PixelsY, 'f', 2));
}

TPreForm* PreForm() { return GPreForm; }

void CreatePreForm(QWidget* Parent)
{
    if (!GPreForm)
        GPreForm = new TPreForm(Parent);
}

void PreparePrintPreview(const QFont& EditorFont, std::string Text, const TPrintMarginValues& Margins)
{
    CreatePreForm(nullptr);
    GPreForm->Prepare(EditorFont, std::move(Text), Margins);
}

void ShowPrintPreview(TPrintMarginValues& Margins)
{
    CreatePreForm(nullptr);
    GPreForm->exec();
    Margins = GPreForm->MarginValues();
}

void PrintLastPreview()
{
    if (GPreForm && GPreForm->TextParser->PageCount() > 0)
        GPreForm->PrintBtnClick();
}

}  // namespace narvo
