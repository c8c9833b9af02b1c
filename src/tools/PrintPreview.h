// Text pagination and the print preview pages. TTextParser cuts a plain text into
// printer pages by a line count worked out from the printable height, the margins
// and the print font, and draws any page as plain text at screen resolution (long
// lines are cut at the right margin, never wrapped). TPrinterPage keeps one page as
// a bitmap at the printer's resolution and draws itself as a sheet with a shadow;
// TPrintPreview is the scroll box that shows the pages as images in columns. The
// same page bitmaps are what printing sends to the printer.
//
// The current printer is one QPrinter for the whole run (CurrentPrinter): the
// system's default printer, or PDF output into a file when no printer exists.
#pragma once

#include "shared/Colour.h"
#include "shared/Geometry.h"
#include "shared/HugeArray.h"
#include "platform/ControlEvents.h"

#include <QFont>
#include <QImage>
#include <QRect>
#include <QScrollArea>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class QPainter;
class QPrinter;

namespace narvo {

// --- printer metrics -------------------------------------------------------------------

// The current printer's device metrics: sizes in device pixels unless named in
// millimetres or inches; the offsets are those of the printable area on the sheet.
struct TPrinterMetrics {
    std::int32_t PhysicalWidth = 0;
    std::int32_t PhysicalHeight = 0;
    std::int32_t HorzSizeMM = 0;
    std::int32_t VertSizeMM = 0;
    std::int32_t HorzRes = 0;
    std::int32_t VertRes = 0;
    TRealPoint SizeInches;
    std::int32_t OffsetX = 0;
    std::int32_t OffsetY = 0;
    std::int32_t PixelsX = 0;
    std::int32_t PixelsY = 0;
    double Aspect = 0;  // PhysicalHeight / PhysicalWidth
};

// The run's printer. Made on first use: the default printer, else PDF output into
// "NRV Document.pdf" in the home folder. Its resolution is held at no more than
// 300 dots per inch: pages travel as bitmaps drawn at screen resolution, and a
// finer bitmap only costs memory (a 600-dpi sheet is over 100 MB).
QPrinter& CurrentPrinter();
// True when the system has at least one printer.
bool PrinterInstalled();
// The metrics of Printer (the current printer when omitted).
void GetPrinterMetrics(TPrinterMetrics& Metrics);
TPrinterMetrics PrinterMetricsOf(QPrinter& Printer);
// The desktop's logical pixels per inch (96 when there is no screen).
int ScreenPixelsPerInch();

// Number * Numerator / Denominator rounded to the nearest (halves away from zero),
// -1 when Denominator is 0, as the device routines scale.
std::int32_t MulDivRound(std::int64_t Number, std::int64_t Numerator, std::int64_t Denominator);

// --- pagination (plain code) -------------------------------------------------------------

// Tabs expanded to stops every 8 columns from column 0; a TAB always adds at least
// one space.
std::string ExpandTabs(std::string_view S);
// The text's lines split at CR, LF or CR LF. A final line end does not make an
// extra empty line, and an empty text has no line.
std::vector<std::string> SplitTextLines(std::string_view Text);
// The lines that fit a page: (Room - Top - Bottom) div LineHeight - 1, so one
// line's worth of room stays free below the last line. 0 or less when the margins
// leave room for one line or less. LineHeight must be positive.
std::int64_t LinesPerPageFor(std::int64_t Room, std::int64_t Top, std::int64_t Bottom, std::int64_t LineHeight);
// Expands the tabs of every line in place and fills PageStarts with the first line
// of each page: entry 0 is 0; a line holding a form feed (12) starts a page, as does
// the line after a full page. One pass over the lines. std::length_error when the
// text has more lines than a 32-bit page start can name.
void PaginateLines(std::vector<std::string>& Lines, std::int64_t LinesPerPage, THugeInteger& PageStarts);
// First and last line of Page; false when Page is not a page. LastLine < FirstLine
// for an empty page.
bool PageLineRange(const THugeInteger& PageStarts, std::int64_t LineCount, std::int64_t Page,
                   std::int64_t& FirstLine, std::int64_t& LastLine);
// The text drawn for line Index: with line numbers, the index padded to 2 columns and
// one space before the line.
std::string PageLineText(std::int64_t Index, const std::string& Line, bool LineNumbers);

// A line as the page shows it: each control character (a form feed, say) as the
// symbol that fixed-pitch fonts draw in its cell, so it is seen on paper too.
QString PrintableLineText(std::string_view Line);

// --- preview pages -----------------------------------------------------------------------

// The printer's pixels per screen pixel across and down.
TRealPoint PrinterScreenRatio();
TRect ScaledBitmapRect(std::int64_t Width, std::int64_t Height);
// Copies the whole Source into Dest of Canvas, smoothly scaled.
void StretchCopy(QPainter& Canvas, const QRect& Dest, const QImage& Source);
// The shadow drawn under a sheet on a background of Color: each component halved,
// halves rounded up (white gives 128, 128, 128).
TColor ShadowColorFor(TColor Color);

// One page as a bitmap of the printable area at the printer's resolution.
class TPrinterPage {
public:
    TPrinterPage();
    QRect PageRect;   // the sheet inside the drawing rectangle, from the last Layout
    QRect PrintRect;  // the printable area inside PageRect
    TPrinterMetrics Metrics;
    QImage Bitmap;
    TColor ShadowColor = 0x808080;
    TColor BackColor = 0xC0C0C0;

    // Fresh metrics; the bitmap becomes HorzRes x VertRes (white).
    void UpdateMetrics();
    void Layout(const QRect& R);
    // The empty sheet with its printable area and shadow on the background.
    void Draw(QPainter& Canvas, const QRect& R);
    // Draw, then the page bitmap into PrintRect.
    void Paint(QPainter& Canvas, const QRect& R);
    // A screen-resolution page image stretched over the printer-resolution bitmap.
    void SetImage(const QImage& Source);

private:
    QImage FScaled;  // the bitmap at PrintRect's size, made again after a change
};

class TPrintPreview;

// One page image of the preview; Tag is its page index.
class TPageImage : public QWidget {
    Q_OBJECT
public:
    TPageImage(TPrintPreview& Owner, QWidget* Parent, int Tag);
    int Tag;

protected:
    void paintEvent(QPaintEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;

private:
    TPrintPreview& FOwner;
};

// A scroll box showing its pages as images, Columns to a row.
class TPrintPreview : public QScrollArea {
    Q_OBJECT
public:
    explicit TPrintPreview(QWidget* Parent = nullptr);
    ~TPrintPreview() override;

    TPrinterPage& Pages(int Index);  // std::out_of_range for a bad index
    int Count() const { return static_cast<int>(FPages.size()); }
    void SetCount(int Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);  // below 1 is refused
    bool AutoArrange() const { return FAutoArrange; }
    void SetAutoArrange(bool Value);
    TColor Color = 0xC0C0C0;
    TMouseMoveEvent OnImageMouseMove;

    int AddPage();
    void DeletePage(int Index);
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void Arrange();
    // The page images, in page order.
    const std::vector<TPageImage*>& Images() const { return FImages; }
    // How many times the images were laid out (for tests).
    int LayoutCount() const { return FLayoutCount; }

    // Paints image Image: background, then its page as a sheet.
    void PaintImage(TPageImage& Image, QPainter& Canvas);

protected:
    void resizeEvent(QResizeEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;

private:
    void LayoutImages();
    std::vector<std::unique_ptr<TPrinterPage>> FPages;
    std::vector<TPageImage*> FImages;
    QWidget* FSheet;
    int FColumns = 3;
    bool FAutoArrange = false;
    int FUpdateCount = 0;
    int FLayoutCount = 0;
};

// --- the parser --------------------------------------------------------------------------

class TTextParser {
public:
    explicit TTextParser(TPrintPreview* Preview);
    TTextParser(const TTextParser&) = delete;
    TTextParser& operator=(const TTextParser&) = delete;

    TPrintPreview* Preview;
    TPrinterMetrics Metrics;
    int LineHeight = 0;      // the print font's character cell height on the bitmap
    QImage Bitmap;           // one page's printable area at screen resolution
    QFont Font;              // the bitmap canvas's font
    TRect Margins;           // screen pixels from each edge of the printable area
    bool ShowMargins = false;
    bool LineNumbers = false;
    std::vector<std::string> Lines;
    THugeInteger PageStarts{5};

    std::int64_t PageCount() const { return PageStarts.Count(); }
    // Reads the metrics, sizes Bitmap, takes the font and paginates Text.
    void Parse(std::string_view Text, const QFont& PrintFont);
    void Paginate(std::string_view Text);
    bool PageRange(std::int64_t Page, std::int64_t& FirstLine, std::int64_t& LastLine) const;
    // Draws page Page onto Canvas, whose device is the page's printable area.
    void RenderPage(QPainter& Canvas, std::int64_t Page);
    void DrawMargins(QPainter& Canvas);
    // Renders Count pages from First into the preview's pages 0 .. N - 1.
    void RenderPages(std::int64_t First, std::int64_t Count);
    // Prints every page (those checked, when Checked is given) on the current
    // printer, drawing the preview's page 0 at the printer's resolution, in the
    // copies and the order the printer asks for (see SheetPage). Progress gets the
    // percentage before each page. No page printed, no job: an empty job would
    // still give a blank sheet. The job is aborted and the error passed on when
    // the printer fails. A PDF file is written whole or not at all: a failure
    // (a full disk) throws EFileError with the reason and leaves the file that was
    // there as it was; MayWrite, when given, is asked once the pages are made, just
    // before the file is replaced, and false leaves the file as it was. Returns the
    // number of sheets printed.
    int Print(const std::function<void(int)>& Progress, const std::function<bool(int Page)>& Checked,
              const std::function<bool()>& MayWrite = {});
};

// The page (from 0) printed at step Step (from 0) of a job of Copies copies of
// Pages pages: collated copies run through every page in turn (1 2 3 1 2 3),
// uncollated ones repeat each page (1 1 2 2 3 3); Reverse starts from the last page.
std::int64_t SheetPage(std::int64_t Step, std::int64_t Pages, std::int64_t Copies, bool Collate, bool Reverse);

}  // namespace narvo
