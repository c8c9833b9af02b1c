// Painting the editor: the visible lines (plus two) from TopLine, each cut to the
// visible columns plus 20, drawn in runs of equal colour; tabs expanded, control
// characters shown as letters on ControlColor, the show-all marks, the highlight
// and the found highlight, the shaded cursor line, the line-number column and our
// own caret. Nothing here walks the whole text or a whole long line.
#include "editor/ScrollEditor.h"

#include "platform/Canvas.h"
#include "platform/TextConvert.h"

#include <QPaintEvent>
#include <QPainter>
#include <QFontMetricsF>
#include <algorithm>
#include <array>
#include <cmath>

namespace narvo {

namespace {

// The character drawn for each byte: a control character (below 32) as its letter,
// every other byte through the code page. The soft hyphen, which text shaping
// hides, is drawn as the hyphen it stands for.
const std::array<char16_t, 256>& GlyphTable(TCodePage Page)
{
    auto Build = [](TCodePage P) {
        std::array<char16_t, 256> T{};
        for (int B = 0; B < 256; ++B)
            T[static_cast<std::size_t>(B)] =
                B < 32 ? static_cast<char16_t>(B + 64)
                       : static_cast<char16_t>(ByteToUnicode(P, static_cast<unsigned char>(B)));
        if (T[0xAD] == 0x00AD)
            T[0xAD] = u'-';
        return T;
    };
    static const std::array<char16_t, 256> Ansi = Build(TCodePage::Ansi);
    static const std::array<char16_t, 256> Oem = Build(TCodePage::Oem);
    return Page == TCodePage::Oem ? Oem : Ansi;
}

enum : std::uint8_t { atNormal = 0, atControl = 1, atHighlight = 2 };

// The complement of a colour as a plain RGB value: a complement that kept the top
// byte would name a system colour instead.
TColor Complement(TColor C) { return ~ColorToRGB(C) & 0xFFFFFF; }

}  // namespace

void TScrollEditor::ClampTopLine()
{
    TopLine = std::clamp<std::int64_t>(TopLine, 0, std::max<std::int64_t>(Strings->Count() - 1, 0));
    LeftColumn = std::max<std::int64_t>(LeftColumn, 0);
}

std::int64_t TScrollEditor::LongestVisibleLine() const
{
    const std::int64_t Last = std::min(Strings->Count() - 1, TopLine + FVisibleLines + 2);
    std::int64_t Longest = 0;
    for (std::int64_t Y = std::max<std::int64_t>(TopLine, 0); Y <= Last; ++Y)
        Longest = std::max(Longest, DisplayLength(Y));
    return Longest;
}

void TScrollEditor::paintEvent(QPaintEvent*)
{
    QPainter Canvas(viewport());
    Canvas.fillRect(viewport()->rect(), ToQColor(FColor));
    Paint(Canvas);
    Canvas.resetTransform();
    FCaretDrawn = QRect();
    if (CaretShown()) {
        FCaretDrawn = CaretRect();
        Canvas.setCompositionMode(QPainter::CompositionMode_Difference);
        Canvas.fillRect(FCaretDrawn, Qt::white);
    }
    Canvas.end();
    if (OnPaint)
        OnPaint(this);
}

void TScrollEditor::MeasureGlyphCells()
{
    const QFontMetricsF M(FCanvasFont);
    const auto& Glyphs = GlyphTable(FFontCharset);
    for (std::size_t B = 0; B < 256; ++B) {
        const double Advance = M.horizontalAdvance(QString(QChar(Glyphs[B])));
        FWholeCell[B] = std::abs(Advance - FCharWidth) < 0.02;
    }
    FWholeCellPage = FFontCharset;
    FWholeCellValid = true;
}

void TScrollEditor::Paint(QPainter& Canvas)
{
    if (!FWholeCellValid || FWholeCellPage != FFontCharset)
        MeasureGlyphCells();
    ClampTopLine();
    HighlightTextColor = ContrastColor(FHighlightColor);
    const TRect Mark = NormalizeRange(HighLight->Range());
    Relayout();
    if (FScaleTenths != 10)
        Canvas.scale(Scale(), Scale());
    Canvas.setFont(FCanvasFont);
    const int Gutter = GutterWidth();
    const std::int64_t Last = std::min(Strings->Count() - 1, TopLine + FVisibleLines + 2);
    std::int64_t Longest = 0;
    for (std::int64_t Y = TopLine; Y <= Last; ++Y)
        Longest = std::max(Longest, DrawLine(Canvas, Y, Mark, Gutter));
    SetScrollRanges(Longest);
    if (FLineNumbers)
        PaintLineNumbers(Canvas);
}

std::int64_t TScrollEditor::DrawLine(QPainter& Canvas, std::int64_t Y, const TRect& Mark, int Gutter)
{
    const std::string_view L = (*Strings)[Y];
    const auto Len = static_cast<std::int64_t>(L.size());
    const bool LastLine = Y + 1 == Strings->Count();
    const bool Expand = !FShowAll && FUseTabStops && Len <= MaxExpandedLine;
    const std::int64_t First = LeftColumn;
    const std::int64_t End = LeftColumn + FVisibleColumns + 20;

    // The cells of the line from display column First up to End.
    std::string Cells;
    std::int64_t DispLen = 0;
    if (Expand) {
        std::int64_t Col = 0;
        for (const char C : L) {
            if (C == '\t') {
                const std::int64_t W = FSpacesPerTab - Col % FSpacesPerTab;
                const std::int64_t From = std::max(Col, First), To = std::min(Col + W, End);
                if (To > From)
                    Cells.append(static_cast<std::size_t>(To - From), ' ');
                Col += W;
            } else {
                if (Col >= First && Col < End)
                    Cells += C;
                ++Col;
            }
        }
        DispLen = Col;
    } else {
        const bool WithCr = FShowAll && !LastLine;
        DispLen = Len + (WithCr ? 1 : 0);
        if (First < DispLen) {
            const std::int64_t Stop = std::min(End, DispLen);
            const std::int64_t FromText = std::min(Stop, Len) - First;
            if (FromText > 0)
                Cells.assign(L, static_cast<std::size_t>(First), static_cast<std::size_t>(FromText));
            if (WithCr && Stop > Len)
                Cells += '\r';
        }
        if (FShowAll) {
            const char Dot = static_cast<char>(FFontCharset == TCodePage::Oem ? 249 : 183);
            std::replace(Cells.begin(), Cells.end(), ' ', Dot);
        }
    }

    // The highlighted display columns of this line, [HS, HE).
    std::int64_t HS = 0, HE = 0;
    if (!(Mark.Left == Mark.Right && Mark.Top == Mark.Bottom) && Y >= Mark.Top && Y <= Mark.Bottom) {
        const std::int64_t S = DisplayColumn(TPoint{Mark.Left, Mark.Top}, true);
        const std::int64_t E = DisplayColumn(TPoint{Mark.Right, Mark.Bottom}, true);
        if (Cursor->ColumnBlock) {
            HS = std::min(S, E);
            HE = std::max(S, E);
        } else {
            HS = Y == Mark.Top ? S : 0;
            HE = Y == Mark.Bottom ? E : DispLen;
        }
    }

    const int Row = static_cast<int>((Y - TopLine) * FLineHeight);
    const bool Shade = FShadowLine && Y == Cursor->Y.load();
    const QColor NormalBg = ToQColor(Shade ? FShadowColor : FColor);
    const QColor NormalFg = ToQColor(FFontColor);
    const bool Found = HighLight->Found;
    const auto& Glyphs = GlyphTable(FFontCharset);

    auto AttrAt = [&](std::size_t I) {
        const auto C = static_cast<unsigned char>(Cells[I]);
        const std::int64_t Col = First + static_cast<std::int64_t>(I);
        return static_cast<std::uint8_t>((C < 32 ? atControl : atNormal) | (Col >= HS && Col < HE ? atHighlight : 0));
    };
    // A character whose glyph does not advance by exactly one cell (one without
    // width, one from a fallback font) is drawn on its own at its cell, so that
    // the characters after it stay on the columns the caret and the mouse use.
    QString Run;
    std::size_t I = 0;
    while (I < Cells.size()) {
        const std::uint8_t Attr = AttrAt(I);
        const auto Lead = static_cast<unsigned char>(Cells[I]);
        std::size_t J = I + 1;
        Run.clear();
        Run += QChar(Glyphs[Lead]);
        if (FWholeCell[Lead]) {
            for (; J < Cells.size() && AttrAt(J) == Attr; ++J) {
                const auto C = static_cast<unsigned char>(Cells[J]);
                if (!FWholeCell[C])
                    break;
                Run += QChar(Glyphs[C]);
            }
        }
        QColor Fg = NormalFg, Bg = NormalBg;
        switch (Attr) {
        case atControl:
            Fg = Qt::white;
            Bg = ToQColor(FControlColor);
            break;
        case atHighlight:
            Fg = ToQColor(Found ? Complement(FNonDeleteColor) : HighlightTextColor);
            Bg = ToQColor(Found ? FNonDeleteColor : FHighlightColor);
            break;
        case atControl | atHighlight:
            Fg = Qt::black;
            Bg = ToQColor(Complement(FControlColor));
            break;
        default:
            break;
        }
        const int X = Gutter + static_cast<int>(I) * FCharWidth;
        const int Width = static_cast<int>(J - I) * FCharWidth;
        Canvas.fillRect(X, Row, Width, FLineHeight, Bg);
        Canvas.setPen(Fg);
        Canvas.drawText(X, Row + FAscent, Run);
        I = J;
    }
    return DispLen;
}

void TScrollEditor::PaintLineNumbers(QPainter& Canvas)
{
    FPaintedLineNumbers.clear();
    const double Height = ClientHeight();
    Canvas.fillRect(QRectF(0, 0, LineNumberWidth(), Height), QColor(240, 240, 240));
    Canvas.setPen(QColor(153, 153, 204));
    // Numbers go on below the last line of the text down to the window's bottom.
    for (std::int64_t R = 0; R * FLineHeight <= Height - FLineHeight; ++R) {
        std::string Text = LineNumberText(TopLine + R + 1);
        Canvas.drawText(5, static_cast<int>(R * FLineHeight + FAscent), BytesToQString(FFontCharset, Text));
        FPaintedLineNumbers.push_back(std::move(Text));
    }
}

}  // namespace narvo
