// Text pagination and the print preview pages (see PrintPreview.h).
#include "tools/PrintPreview.h"

#include "engine/EditBuffer.h"
#include "platform/TextConvert.h"
#include "platform/posix/SafeFile.h"
#include "shared/StringRoutines.h"

#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <cerrno>
#include <unistd.h>
#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <stdexcept>

namespace narvo {

namespace {

constexpr int MaxPrintResolution = 300;

QColor ToQColor(TColor C) { return QColor(int(C & 0xFF), int((C >> 8) & 0xFF), int((C >> 16) & 0xFF)); }

TColor FromQColor(const QColor& C)
{
    return TColor(C.red()) | (TColor(C.green()) << 8) | (TColor(C.blue()) << 16);
}

int RoundEven(double V) { return static_cast<int>(std::lrint(V)); }

// Rectangle(L, T, R, B) of the device routines: the outline runs on the pixels L ..
// R - 1 and T .. B - 1 with the pen, the inside filled with the brush.
void WinRectangle(QPainter& Canvas, int L, int T, int R, int B)
{
    if (R - L < 1 || B - T < 1)
        return;
    Canvas.drawRect(QRect(L, T, R - L - 1, B - T - 1));
}

// The classic fixed-pitch fonts draw a symbol in the cells of the control
// characters (a form feed is the female sign); Qt would draw them as nothing.
constexpr char16_t ControlGlyphs[32] = {
    u' ',     u'\u263A', u'\u263B', u'\u2665', u'\u2666', u'\u2663', u'\u2660', u'\u2022',
    u'\u25D8', u'\u25CB', u'\u25D9', u'\u2642', u'\u2640', u'\u266A', u'\u266B', u'\u263C',
    u'\u25BA', u'\u25C4', u'\u2195', u'\u203C', u'\u00B6', u'\u00A7', u'\u25AC', u'\u21A8',
    u'\u2191', u'\u2193', u'\u2192', u'\u2190', u'\u221F', u'\u2194', u'\u25B2', u'\u25BC'};

int RightOf(const QRect& R) { return R.x() + R.width(); }
int BottomOf(const QRect& R) { return R.y() + R.height(); }

}  // namespace

// --- printer metrics -------------------------------------------------------------------

bool PrinterInstalled() { return !QPrinterInfo::availablePrinterNames().isEmpty(); }

QPrinter& CurrentPrinter()
{
    // Made once and kept to the end of the process: the printer settings the user
    // chose last the whole run long.
    static QPrinter* Printer = [] {
        auto* P = new QPrinter(QPrinter::HighResolution);
        if (!PrinterInstalled() || P->printerName().isEmpty()) {
            P->setOutputFormat(QPrinter::PdfFormat);
            P->setOutputFileName(QDir::homePath() + "/NRV Document.pdf");
        }
        if (P->resolution() > MaxPrintResolution)
            P->setResolution(MaxPrintResolution);
        return P;
    }();
    return *Printer;
}

TPrinterMetrics PrinterMetricsOf(QPrinter& Printer)
{
    TPrinterMetrics M;
    const QRect Paper = Printer.paperRect(QPrinter::DevicePixel).toRect();
    const QRect Page = Printer.pageRect(QPrinter::DevicePixel).toRect();
    M.PhysicalWidth = Paper.width();
    M.PhysicalHeight = Paper.height();
    M.HorzSizeMM = Printer.widthMM();
    M.VertSizeMM = Printer.heightMM();
    M.HorzRes = Printer.width();
    M.VertRes = Printer.height();
    M.SizeInches = TRealPoint{M.HorzSizeMM / 25.4, M.VertSizeMM / 25.4};
    M.OffsetX = Page.left() - Paper.left();
    M.OffsetY = Page.top() - Paper.top();
    M.PixelsX = Printer.logicalDpiX();
    M.PixelsY = Printer.logicalDpiY();
    M.Aspect = M.PhysicalWidth > 0 ? double(M.PhysicalHeight) / M.PhysicalWidth : 1.0;
    return M;
}

void GetPrinterMetrics(TPrinterMetrics& Metrics) { Metrics = PrinterMetricsOf(CurrentPrinter()); }

int ScreenPixelsPerInch()
{
    const QScreen* Screen = QGuiApplication::primaryScreen();
    const int Ppi = Screen ? static_cast<int>(std::lround(Screen->logicalDotsPerInchY())) : 96;
    return Ppi > 0 ? Ppi : 96;
}

std::int32_t MulDivRound(std::int64_t Number, std::int64_t Numerator, std::int64_t Denominator)
{
    if (Denominator == 0)
        return -1;
    const long double Q = static_cast<long double>(Number) * Numerator / Denominator;
    const long double R = std::round(Q);
    if (R > std::numeric_limits<std::int32_t>::max() || R < std::numeric_limits<std::int32_t>::min())
        return -1;
    return static_cast<std::int32_t>(R);
}

// --- pagination ----------------------------------------------------------------------------

std::string ExpandTabs(std::string_view S)
{
    std::string Result;
    Result.reserve(S.size());
    for (const char C : S) {
        if (C != '\t') {
            Result += C;
            continue;
        }
        do
            Result += ' ';
        while (Result.size() % 8 != 0);
    }
    return Result;
}

std::vector<std::string> SplitTextLines(std::string_view Text)
{
    std::vector<std::string> Lines;
    // A final line break ends the last line; it does not open another.
    ForEachTextLine(Text, [&](std::string_view Piece, bool Ended) {
        if (Ended || !Piece.empty())
            Lines.emplace_back(Piece);
    });
    return Lines;
}

std::int64_t LinesPerPageFor(std::int64_t Room, std::int64_t Top, std::int64_t Bottom, std::int64_t LineHeight)
{
    if (LineHeight <= 0)
        throw std::invalid_argument("The print font has no line height.");
    return (Room - Top - Bottom) / LineHeight - 1;
}

void PaginateLines(std::vector<std::string>& Lines, std::int64_t LinesPerPage, THugeInteger& PageStarts)
{
    if (Lines.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
        throw std::length_error("The text has too many lines to print.");
    PageStarts.Clear();
    PageStarts.Add(std::int32_t{0});
    std::int64_t Counter = 0;
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        if (Lines[I].find('\t') != std::string::npos)
            Lines[I] = ExpandTabs(Lines[I]);
        if (Lines[I].find('\f') != std::string::npos || Counter >= LinesPerPage) {
            PageStarts.Add(static_cast<std::int32_t>(I));
            Counter = 0;
        }
        ++Counter;
    }
}

bool PageLineRange(const THugeInteger& PageStarts, std::int64_t LineCount, std::int64_t Page,
                   std::int64_t& FirstLine, std::int64_t& LastLine)
{
    if (Page < 0 || Page >= PageStarts.Count())
        return false;
    FirstLine = PageStarts.GetItem(Page);
    LastLine = Page == PageStarts.Count() - 1 ? LineCount - 1 : std::int64_t{PageStarts.GetItem(Page + 1)} - 1;
    return true;
}

std::string PageLineText(std::int64_t Index, const std::string& Line, bool LineNumbers)
{
    if (!LineNumbers)
        return Line;
    return IntToStrPadRight(Index, 2) + ' ' + Line;
}

QString PrintableLineText(std::string_view Line)
{
    QString Text = AnsiToQString(Line);
    for (QChar& C : Text)
        if (C.unicode() < 32)
            C = QChar(ControlGlyphs[C.unicode()]);
    return Text;
}

// --- preview pages -------------------------------------------------------------------------

TRealPoint PrinterScreenRatio()
{
    const TPrinterMetrics M = PrinterMetricsOf(CurrentPrinter());
    const double Ppi = ScreenPixelsPerInch();
    return TRealPoint{M.PixelsX / Ppi, M.PixelsY / Ppi};
}

TRect ScaledBitmapRect(std::int64_t Width, std::int64_t Height)
{
    const TRealPoint Ratio = PrinterScreenRatio();
    return Rect(0, 0, std::llrint(double(Width) * Ratio.X), std::llrint(double(Height) * Ratio.Y));
}

void StretchCopy(QPainter& Canvas, const QRect& Dest, const QImage& Source)
{
    Canvas.setRenderHint(QPainter::SmoothPixmapTransform, true);
    Canvas.drawImage(Dest, Source, Source.rect());
}

TColor ShadowColorFor(TColor Color)
{
    auto Half = [](TColor C) { return TColor(MulDivRound(C & 0xFF, 50, 100)); };
    return Half(Color) | (Half(Color >> 8) << 8) | (Half(Color >> 16) << 16);
}

TPrinterPage::TPrinterPage() { UpdateMetrics(); }

void TPrinterPage::UpdateMetrics()
{
    GetPrinterMetrics(Metrics);
    const QSize Size(std::max(1, Metrics.HorzRes), std::max(1, Metrics.VertRes));
    if (Bitmap.size() != Size) {
        Bitmap = QImage(Size, QImage::Format_RGB32);
        Bitmap.fill(Qt::white);
        FScaled = QImage();
    }
}

void TPrinterPage::Layout(const QRect& R)
{
    const int W = R.width(), H = R.height();
    const double Aspect = Metrics.Aspect > 0 ? Metrics.Aspect : 1.0;
    int w = 0, h = 0;
    if (W > 0 && double(H) / W >= Aspect) {
        w = MulDivRound(W, 93, 100);
        h = RoundEven(w * Aspect);
    } else {
        h = std::max(0, MulDivRound(H, 93, 100));
        w = RoundEven(h / Aspect);
    }
    PageRect = QRect(RoundEven((W - w) / 2.0), RoundEven((H - h) / 2.0), w, h);
    const double Sx = Metrics.PhysicalWidth > 0 ? double(w) / Metrics.PhysicalWidth : 0;
    const double Sy = Metrics.PhysicalHeight > 0 ? double(h) / Metrics.PhysicalHeight : 0;
    PrintRect = QRect(PageRect.x() + RoundEven(Metrics.OffsetX * Sx), PageRect.y() + RoundEven(Metrics.OffsetY * Sy),
                      RoundEven(Metrics.HorzRes * Sx), RoundEven(Metrics.VertRes * Sy));
}

void TPrinterPage::Draw(QPainter& Canvas, const QRect& R)
{
    Layout(R);
    Canvas.setBrush(ToQColor(BackColor));
    Canvas.setPen(ToQColor(BackColor));
    WinRectangle(Canvas, R.x(), R.y(), RightOf(R), BottomOf(R));
    Canvas.setBrush(Qt::white);
    Canvas.setPen(Qt::black);
    WinRectangle(Canvas, PageRect.x(), PageRect.y(), RightOf(PageRect), BottomOf(PageRect));
    Canvas.setPen(QColor(220, 220, 220));
    WinRectangle(Canvas, PrintRect.x(), PrintRect.y(), RightOf(PrintRect), BottomOf(PrintRect));
    Canvas.setBrush(ToQColor(ShadowColor));
    Canvas.setPen(ToQColor(ShadowColor));
    const int Right = RightOf(PageRect), Bottom = BottomOf(PageRect);
    WinRectangle(Canvas, Right, PageRect.y() + 5, Right + 5, Bottom + 5);
    WinRectangle(Canvas, PageRect.x() + 5, Bottom, Right + 1, Bottom + 5);
}

void TPrinterPage::Paint(QPainter& Canvas, const QRect& R)
{
    Draw(Canvas, R);
    if (PrintRect.width() < 1 || PrintRect.height() < 1)
        return;
    // The thumbnail is scaled once per image or size, not at every paint.
    if (FScaled.size() != PrintRect.size())
        FScaled = Bitmap.scaled(PrintRect.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    Canvas.drawImage(PrintRect.topLeft(), FScaled);
}

void TPrinterPage::SetImage(const QImage& Source)
{
    const TRect Dest = ScaledBitmapRect(Source.width(), Source.height());
    Bitmap.fill(Qt::white);
    QPainter Canvas(&Bitmap);
    StretchCopy(Canvas, QRect(0, 0, int(Dest.Right), int(Dest.Bottom)), Source);
    FScaled = QImage();
}

TPageImage::TPageImage(TPrintPreview& Owner, QWidget* Parent, int Tag) : QWidget(Parent), Tag(Tag), FOwner(Owner)
{
    setMouseTracking(true);
}

void TPageImage::paintEvent(QPaintEvent*)
{
    QPainter Canvas(this);
    FOwner.PaintImage(*this, Canvas);
}

void TPageImage::mouseMoveEvent(QMouseEvent* Event)
{
    if (FOwner.OnImageMouseMove) {
        const QPoint P = Event->position().toPoint();
        FOwner.OnImageMouseMove(this, Event->modifiers(), P.x(), P.y());
    }
    QWidget::mouseMoveEvent(Event);
}

TPrintPreview::TPrintPreview(QWidget* Parent) : QScrollArea(Parent), FSheet(new QWidget)
{
    Color = FromQColor(palette().color(QPalette::Button));
    setWidget(FSheet);
    setWidgetResizable(false);
    // One page to start: each page holds a printer-resolution bitmap.
    BeginUpdate();
    AddPage();
    EndUpdate();
}

TPrintPreview::~TPrintPreview() = default;

TPrinterPage& TPrintPreview::Pages(int Index)
{
    if (Index < 0 || Index >= Count())
        throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
    return *FPages[static_cast<std::size_t>(Index)];
}

void TPrintPreview::SetCount(int Value)
{
    Value = std::max(0, Value);
    if (Value == Count())
        return;
    BeginUpdate();
    while (Count() > Value)
        FPages.pop_back();
    while (Count() < Value)
        FPages.push_back(std::make_unique<TPrinterPage>());
    EndUpdate();
}

void TPrintPreview::SetColumns(int Value)
{
    if (Value < 1 || Value == FColumns)
        return;
    FColumns = Value;
    Arrange();
}

void TPrintPreview::SetAutoArrange(bool Value)
{
    if (Value == FAutoArrange)
        return;
    FAutoArrange = Value;
    if (Value)
        Arrange();
}

int TPrintPreview::AddPage()
{
    FPages.push_back(std::make_unique<TPrinterPage>());
    Arrange();
    return Count() - 1;
}

void TPrintPreview::DeletePage(int Index)
{
    Pages(Index);  // the range check
    FPages.erase(FPages.begin() + Index);
    Arrange();
}

void TPrintPreview::EndUpdate()
{
    if (--FUpdateCount <= 0) {
        FUpdateCount = 0;
        Arrange();
    }
}

void TPrintPreview::Arrange()
{
    if (FUpdateCount != 0)
        return;
    LayoutImages();
    viewport()->update();
}

void TPrintPreview::LayoutImages()
{
    ++FLayoutCount;
    TPrinterMetrics M;
    GetPrinterMetrics(M);
    const int Wi = viewport()->width() / FColumns;
    const int Hi = RoundEven(Wi * M.Aspect);
    for (auto It = FImages.rbegin(); It != FImages.rend(); ++It)
        delete *It;
    FImages.clear();
    int Column = 0, Row = 0;
    for (int I = 0; I < Count(); ++I) {
        Pages(I).UpdateMetrics();
        auto* Image = new TPageImage(*this, FSheet, I);
        Image->setGeometry(Column * Wi, Row * Hi, Wi, Hi);
        Image->show();
        FImages.push_back(Image);
        if (++Column == FColumns) {
            Column = 0;
            ++Row;
        }
    }
    const int Rows = Row + (Column > 0 ? 1 : 0);
    FSheet->resize(std::max(1, Wi * std::min(FColumns, std::max(1, Count()))), std::max(1, Rows * Hi));
}

void TPrintPreview::PaintImage(TPageImage& Image, QPainter& Canvas)
{
    const QRect R = Image.rect();
    Canvas.fillRect(R, ToQColor(Color));
    if (Image.Tag < 0 || Image.Tag >= Count())
        return;
    TPrinterPage& Page = Pages(Image.Tag);
    Page.ShadowColor = ShadowColorFor(Color);
    Page.BackColor = Color;
    Page.Paint(Canvas, R);
}

void TPrintPreview::resizeEvent(QResizeEvent* Event)
{
    QScrollArea::resizeEvent(Event);
    if (FAutoArrange)
        Arrange();
}

void TPrintPreview::wheelEvent(QWheelEvent* Event)
{
    // One scroll step per notch, up or down; nothing else of the wheel.
    const int Delta = Event->angleDelta().y();
    QScrollBar* Bar = verticalScrollBar();
    if (Delta > 0)
        Bar->setValue(Bar->value() - Bar->singleStep());
    else if (Delta < 0)
        Bar->setValue(Bar->value() + Bar->singleStep());
    Event->accept();
}

// --- the parser ----------------------------------------------------------------------------

TTextParser::TTextParser(TPrintPreview* Preview) : Preview(Preview) {}

void TTextParser::Parse(std::string_view Text, const QFont& PrintFont)
{
    GetPrinterMetrics(Metrics);
    const int Ppi = ScreenPixelsPerInch();
    const int W = std::max(1, MulDivRound(Metrics.HorzRes, Ppi, Metrics.PixelsX));
    const int H = std::max(1, MulDivRound(Metrics.VertRes, Ppi, Metrics.PixelsY));
    Bitmap = QImage(W, H, QImage::Format_RGB32);
    // The bitmap is a screen canvas: point sizes map at the screen's resolution.
    const int DotsPerMeter = RoundEven(Ppi / 0.0254);
    Bitmap.setDotsPerMeterX(DotsPerMeter);
    Bitmap.setDotsPerMeterY(DotsPerMeter);
    Bitmap.fill(Qt::white);
    Font = PrintFont;
    Paginate(Text);
}

void TTextParser::Paginate(std::string_view Text)
{
    Lines = SplitTextLines(Text);
    GetPrinterMetrics(Metrics);
    LineHeight = std::max(1, QFontMetrics(Font, &Bitmap).height());
    const std::int64_t Room = MulDivRound(Metrics.VertRes, ScreenPixelsPerInch(), Metrics.PixelsY);
    PaginateLines(Lines, LinesPerPageFor(Room, Margins.Top, Margins.Bottom, LineHeight), PageStarts);
}

bool TTextParser::PageRange(std::int64_t Page, std::int64_t& FirstLine, std::int64_t& LastLine) const
{
    return PageLineRange(PageStarts, static_cast<std::int64_t>(Lines.size()), Page, FirstLine, LastLine);
}

void TTextParser::RenderPage(QPainter& Canvas, std::int64_t Page)
{
    const QFontMetrics Fm(Font, Canvas.device());
    LineHeight = std::max(1, Fm.height());
    std::int64_t First = 0, Last = -1;
    if (!PageRange(Page, First, Last))
        return;
    const int W = Canvas.device()->width(), H = Canvas.device()->height();
    Canvas.save();
    Canvas.setFont(Font);
    Canvas.setPen(Qt::black);
    Canvas.setClipRect(QRect(0, 0, std::max(0, W - int(Margins.Right)), H));
    // No glyph is narrower than a pixel, so no more characters than the page is wide
    // can show: a very long line costs no more than a short one.
    const std::size_t MaxChars = static_cast<std::size_t>(std::max(0, W)) + 1;
    std::int64_t Y = Margins.Top;
    for (std::int64_t L = First; L <= Last && L < static_cast<std::int64_t>(Lines.size()); ++L) {
        std::string Text = PageLineText(L, Lines[static_cast<std::size_t>(L)], LineNumbers);
        if (Text.size() > MaxChars)
            Text.resize(MaxChars);
        Canvas.drawText(QPoint(int(Margins.Left), int(Y) + Fm.ascent()), PrintableLineText(Text));
        Y += LineHeight;
    }
    Canvas.restore();
    if (ShowMargins)
        DrawMargins(Canvas);
}

void TTextParser::DrawMargins(QPainter& Canvas)
{
    const int W = Canvas.device()->width(), H = Canvas.device()->height();
    const int L = int(Margins.Left) + 1, T = int(Margins.Top) + 1;
    const int R = W - int(Margins.Right) - 2, B = H - int(Margins.Bottom) - 2;
    Canvas.save();
    Canvas.setPen(QColor(0, 0, 255));
    Canvas.drawLine(0, T, W, T);
    Canvas.drawLine(0, B, W, B);
    Canvas.drawLine(L, 0, L, H);
    Canvas.drawLine(R, 0, R, H);
    Canvas.setBrush(Qt::NoBrush);
    Canvas.setPen(QPen(QColor(255, 0, 0), 0, Qt::DotLine));
    WinRectangle(Canvas, 0, 0, W - 2, H);
    Canvas.restore();
}

void TTextParser::RenderPages(std::int64_t First, std::int64_t Count)
{
    if (!Preview)
        return;
    const std::int64_t N = std::max<std::int64_t>(0, std::min(Count, PageCount() - First));
    Preview->SetCount(static_cast<int>(N));
    for (std::int64_t P = First; P < First + N; ++P) {
        Bitmap.fill(Qt::white);
        {
            QPainter Canvas(&Bitmap);
            RenderPage(Canvas, P);
        }
        // The printer may have changed since the page was laid out: its bitmap takes
        // the new size now, before the image goes in, not at the next layout.
        TPrinterPage& Page = Preview->Pages(static_cast<int>(P - First));
        Page.UpdateMetrics();
        Page.SetImage(Bitmap);
        Preview->viewport()->update();
        for (TPageImage* Image : Preview->Images())
            Image->update();
    }
}

std::int64_t SheetPage(std::int64_t Step, std::int64_t Pages, std::int64_t Copies, bool Collate, bool Reverse)
{
    const std::int64_t Page = Collate ? Step % Pages : Step / Copies;
    return Reverse ? Pages - 1 - Page : Page;
}

namespace {

// Hands the PDF writer's bytes straight to an open file, keeping the first error the
// system gave (a full disk), after which nothing more is written.
class TFileDescriptorDevice : public QIODevice {
public:
    explicit TFileDescriptorDevice(int Fd) : FFd(Fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    int Error = 0;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* Data, qint64 Size) override
    {
        for (qint64 Done = 0; Done < Size && !Error;) {
            const ssize_t N = ::write(FFd, Data + Done, static_cast<std::size_t>(Size - Done));
            if (N > 0)
                Done += N;
            else if (N < 0 && errno != EINTR)
                Error = errno;
            else if (N == 0)
                Error = EIO;
        }
        return Error ? -1 : Size;
    }

private:
    int FFd;
};

// A PDF file is written with the printer's page layout and resolution like a saved
// text: page by page into a temporary file beside the old one, put in its place only
// when whole. A printer writing the file itself would cut it short on a full disk,
// losing the file that was there, and say nothing; the pages are not held in memory
// (a page is over a megabyte at 300 dpi).
struct TPdfOutput {
    std::string Target;  // the file's name as the system takes it, links followed
    TTempFile Temp;      // throws at once when no file can be made beside it
    TFileDescriptorDevice Device;
    QPdfWriter Writer;

    explicit TPdfOutput(const QPrinter& Printer)
        : Target(ResolveFileLink(QFile::encodeName(Printer.outputFileName()).toStdString())),
          Temp(OpenTempFile(Target)), Device(Temp.Fd()), Writer(&Device)
    {
        Writer.setPdfVersion(Printer.pdfVersion());
        Writer.setResolution(Printer.resolution());
        Writer.setPageLayout(Printer.pageLayout());
        Writer.setTitle(Printer.docName());
        Writer.setCreator(Printer.creator());
    }
    // After the painter's end. Throws EFileError with the reason; the old file then
    // stays as it was and the temporary one is gone.
    void Write()
    {
        if (Device.Error)
            throw EFileError(FileErrorText("Cannot write", Target, Device.Error), Device.Error);
        FinishTempFile(Temp, Target);
        RenameIntoPlace(std::move(Temp), Target);
    }
};

}  // namespace

int TTextParser::Print(const std::function<void(int)>& Progress, const std::function<bool(int Page)>& Checked,
                       const std::function<bool()>& MayWrite)
{
    QPrinter& Printer = CurrentPrinter();
    Printer.setDocName("NRV Document");
    int Printed = 0;
    std::optional<TPrinterPage> Local;  // without a preview the page is made here
    const std::int64_t N = PageCount();
    // A print system takes the copies and the order from the job's options; a PDF
    // file is written by us alone, so what the print dialog asked is done here, or
    // the file would quietly hold one copy in the usual order.
    const bool OwnFile = Printer.outputFormat() == QPrinter::PdfFormat;
    std::optional<TPdfOutput> Pdf;
    if (OwnFile && !Printer.outputFileName().isEmpty())
        Pdf.emplace(Printer);
    QPagedPaintDevice& Device = Pdf ? static_cast<QPagedPaintDevice&>(Pdf->Writer) : Printer;
    const bool Gray = Pdf && Printer.colorMode() == QPrinter::GrayScale;
    QPainter Canvas;  // ends before the device it paints on
    const std::int64_t Copies = Printer.supportsMultipleCopies() && !OwnFile ? 1 : std::max(1, Printer.copyCount());
    const bool Reverse = OwnFile && Printer.pageOrder() == QPrinter::LastPageFirst;
    const std::int64_t Steps = N * Copies;
    // The printer may have changed since the last layout.
    if (Preview && Preview->Count() > 0)
        Preview->Pages(0).UpdateMetrics();
    try {
        for (std::int64_t Step = 0; Step < Steps; ++Step) {
            const std::int64_t I = SheetPage(Step, N, Copies, Printer.collateCopies(), Reverse);
            if (Progress)
                Progress(MulDivRound(100, Step, Steps));
            if (Checked && !Checked(static_cast<int>(I)))
                continue;
            if (Printed == 0) {
                if (!Canvas.begin(&Device))
                    throw std::runtime_error("The printer could not start the print job.");
            } else if (!Device.newPage()) {
                throw std::runtime_error("The printer could not start a new page.");
            }
            TPrinterPage* Page = nullptr;
            if (Preview) {
                RenderPages(I, 1);
                Page = &Preview->Pages(0);
            } else {
                if (!Local)
                    Local.emplace();
                Bitmap.fill(Qt::white);
                {
                    QPainter Screen(&Bitmap);
                    RenderPage(Screen, I);
                }
                Local->SetImage(Bitmap);
                Page = &*Local;
            }
            Canvas.setCompositionMode(QPainter::CompositionMode_Source);
            Canvas.drawImage(QPoint(0, 0), Gray ? Page->Bitmap.convertToFormat(QImage::Format_Grayscale8) : Page->Bitmap);
            ++Printed;
        }
    } catch (...) {
        if (Canvas.isActive() && !Pdf)
            Printer.abort();
        throw;
    }
    if (Canvas.isActive())
        Canvas.end();
    if (Pdf && Printed > 0 && (!MayWrite || MayWrite()))
        Pdf->Write();
    return Printed;
}

}  // namespace narvo
