// The geometry of the editor's view: the character cell, how many lines and
// columns fit at the current zoom, the gutter, display columns (tabs expanded),
// and the mapping between client pixels and text positions. Lines longer than
// MaxExpandedLine characters are mapped without tab arithmetic, so no routine here
// costs more than that per line, however long the line.
#include "editor/ScrollEditor.h"

#include "platform/ResourceFont.h"
#include "shared/SystemData.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

namespace narvo {

namespace {

// Nearest integer, halves to even (the current rounding mode).
std::int64_t RoundEven(double V) { return static_cast<std::int64_t>(std::nearbyint(V)); }

}  // namespace

void TScrollEditor::MeasureCell()
{
    QFont F = font();
    F.setFamily(ResolveFaceName(F.family()));
    F.setKerning(false);
    const double Real = QFontMetricsF(F).horizontalAdvance(QLatin1Char('X'));
    FCharWidth = std::max(1, static_cast<int>(std::lround(Real)));
    // Each glyph advances by exactly one whole cell, so runs of text line up with
    // the columns the caret and the mouse use.
    if (Real > 0 && Real != FCharWidth)
        F.setLetterSpacing(QFont::AbsoluteSpacing, FCharWidth - Real);
    FCanvasFont = F;
    FWholeCellValid = false;
    const QFontMetrics M(F);
    FLineHeight = std::max(1, M.height());
    FAscent = M.ascent();
    FCharWidthReal = QFontMetricsF(F).horizontalAdvance(QStringLiteral("MMMMMMMMMM")) / 10.0;
    if (!(FCharWidthReal > 0))
        FCharWidthReal = FCharWidth;
}

double TScrollEditor::ClientWidth() const { return viewport()->width() / Scale(); }
double TScrollEditor::ClientHeight() const { return viewport()->height() / Scale(); }

void TScrollEditor::Relayout()
{
    // Cells are counted at the current zoom, so that the cursor never leaves the
    // view when zoomed in.
    FVisibleLines = std::max<std::int64_t>(static_cast<std::int64_t>(ClientHeight() / FLineHeight), 0);
    FVisibleColumns = std::max<std::int64_t>(RoundEven((ClientWidth() - GutterWidth()) / FCharWidth), 0);
}

std::string TScrollEditor::LineNumberText(std::int64_t N) { return GroupedWhole(N); }

int TScrollEditor::LineNumberWidth() const
{
    const std::int64_t N = static_cast<std::int64_t>(ClientHeight()) / FLineHeight + TopLine;
    return static_cast<int>((LineNumberText(N).size() + 2) * static_cast<std::size_t>(FCharWidth));
}

int TScrollEditor::GutterWidth() const { return FGutterSize + (FLineNumbers ? LineNumberWidth() : 0); }

std::string TScrollEditor::ExpandTabs(const std::string& S) const
{
    std::string Out;
    Out.reserve(S.size());
    for (const char C : S) {
        if (C == '\t')
            Out.append(static_cast<std::size_t>(FSpacesPerTab - static_cast<std::int64_t>(Out.size()) % FSpacesPerTab),
                       ' ');
        else
            Out += C;
    }
    return Out;
}

std::int64_t TScrollEditor::DisplayColumn(TPoint P, bool PermitPastEnd) const
{
    const std::int64_t X = std::max<std::int64_t>(P.X, 0);
    if (!Strings->ValidLine(P.Y))
        return PermitPastEnd ? X : 0;
    const std::string_view L = (*Strings)[P.Y];
    const auto Len = static_cast<std::int64_t>(L.size());
    if (Len == 0)
        return PermitPastEnd ? X : 0;
    // Where tabs are not expanded they are shown in one cell each.
    if (FShowAll || Len > MaxExpandedLine || !FUseTabStops)
        return X;
    if (X > Len)
        return PermitPastEnd ? X : 0;
    std::int64_t Col = 0;
    for (std::int64_t I = 0; I < X; ++I)
        Col += L[static_cast<std::size_t>(I)] == '\t' ? FSpacesPerTab - Col % FSpacesPerTab : 1;
    return Col;
}

std::int64_t TScrollEditor::DisplayLength(std::int64_t Y) const
{
    const std::int64_t Len = Strings->LineLength(Y);
    if (FShowAll)
        return Len + (Y + 1 < Strings->Count() ? 1 : 0);
    return DisplayColumn(TPoint{Len, Y}, false);
}

std::int64_t TScrollEditor::TextColumn(std::int64_t Y, std::int64_t D) const
{
    if (!Strings->ValidLine(Y))
        return D;
    const std::string_view L = (*Strings)[Y];
    const auto Len = static_cast<std::int64_t>(L.size());
    if (FShowAll || Len == 0 || Len > MaxExpandedLine || !FUseTabStops)
        return D;
    if (Cursor->ColumnBlock && DisplayColumn(TPoint{Len, Y}, false) < D)
        return D;
    std::int64_t Col = 0, I = 0;
    while (I < Len && Col < D) {
        Col += L[static_cast<std::size_t>(I)] == '\t' ? FSpacesPerTab - Col % FSpacesPerTab : 1;
        ++I;
    }
    return I;
}

TPoint TScrollEditor::PixelToDisplayPos(std::int64_t X, std::int64_t Y) const
{
    const double Cell = std::max<std::int64_t>(X - GutterWidth(), 0) / static_cast<double>(FCharWidth);
    return TPoint{RoundEven(Cell - 0.5) + LeftColumn,
                  RoundEven(static_cast<double>(Y) / FLineHeight - 0.5) + TopLine};
}

void TScrollEditor::PixelToPos(std::int64_t X, std::int64_t Y, TPoint& P) const
{
    TPoint Q = PixelToDisplayPos(X, Y);
    Q.X = std::max<std::int64_t>(Q.X, 0);
    Q.Y = std::clamp<std::int64_t>(Q.Y, 0, Strings->Count() - 1);
    P.Y = Q.Y;
    P.X = TextColumn(Q.Y, Q.X);
    if (!Cursor->ColumnBlock)
        P.X = std::min(P.X, Strings->LineLength(Q.Y));
}

void TScrollEditor::Unscale(std::int64_t& X, std::int64_t& Y) const
{
    X = RoundEven(static_cast<double>(X) / Scale());
    Y = RoundEven(static_cast<double>(Y) / Scale());
}

TPoint TScrollEditor::CaretPos() const
{
    const TPoint C = Cursor->Pos();
    // In column-block mode the caret past a line end stands where the cursor is.
    const std::int64_t Col = DisplayColumn(C, Cursor->ColumnBlock);
    return TPoint{GutterWidth() + RoundEven(static_cast<double>(Col - LeftColumn) * FCharWidthReal),
                  (C.Y - TopLine) * FLineHeight};
}

}  // namespace narvo
