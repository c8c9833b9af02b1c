// Scrolling and zoom: keeping the cursor in view, the scroll-bar ranges, scrolling
// by line, page, bar and wheel, and the zoom factor, which is kept in exact tenths
// so that notches of the wheel add up without drift.
#include "editor/ScrollEditor.h"

#include <QEvent>
#include <QResizeEvent>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace narvo {

namespace {

// The new origin O for a cursor coordinate C in a view of V cells with a margin of
// M cells. Without the linear rule the view moves only when the cursor leaves the
// band between the margins; with it the origin follows the cursor once it passes
// V - M and returns to 0 when it comes back.
std::int64_t AdjustOrigin(std::int64_t C, std::int64_t V, std::int64_t M, std::int64_t O, bool Linear)
{
    if (V < 2 * M) {
        // Too few cells for the margins: just keep the cursor on a visible cell.
        const std::int64_t Span = std::max<std::int64_t>(V, 1);
        if (C < O || C >= O + Span)
            O = C - (Span - 1) / 2;
        return std::max<std::int64_t>(O, 0);
    }
    if (!Linear && M <= C - O && C - O <= V - M)
        return std::max<std::int64_t>(O, 0);
    if (C > V - M)
        O = C + M - V;
    else if (Linear)
        O = 0;
    if (!Linear && C - O < M)
        O = C - M;
    return std::max<std::int64_t>(O, 0);
}

// The farthest first column a view may be given: past every line any text in
// memory can hold, and so far below the 64-bit limit that the columns the painting
// adds to it cannot overflow.
constexpr std::int64_t MaxViewColumn = std::int64_t{1} << 48;

}  // namespace

void TScrollEditor::EnsureCursorVisible()
{
    Relayout();
    const TPoint C = Cursor->Pos();
    LeftColumn = AdjustOrigin(DisplayColumn(C, Cursor->ColumnBlock), FVisibleColumns, 4, LeftColumn, FLinearHScroll);
    TopLine = AdjustOrigin(C.Y, FVisibleLines, 1, TopLine, false);
    ClampTopLine();
}

void TScrollEditor::SetScrollRanges(std::int64_t Longest)
{
    VertScrollBar->LargeChange = 40;
    VertScrollBar->SetParams(TopLine, VertScrollBar->Min(), Strings->Count());
    HorzScrollBar->LargeChange = 40;
    HorzScrollBar->SetParams(LeftColumn, HorzScrollBar->Min(), std::max<std::int64_t>(Longest, 255));
}

bool TScrollEditor::SetTopLeft(TPoint P)
{
    if (P.Y < 0 || P.Y >= Strings->Count() || P.X < 0 || P.X > MaxViewColumn)
        return false;
    LeftColumn = P.X;
    TopLine = P.Y;
    return true;
}

void TScrollEditor::ScrollLineUp()
{
    if (TopLine > 0)
        --TopLine;
    UpdateDisplay(false, true);
}

void TScrollEditor::ScrollLineDown()
{
    if (TopLine < Strings->Count() - 1)
        ++TopLine;
    UpdateDisplay(false, true);
}

void TScrollEditor::ScrollPageUp()
{
    Relayout();
    TopLine = std::max<std::int64_t>(TopLine - FVisibleLines, 0);
    UpdateDisplay(false, true);
}

void TScrollEditor::ScrollPageDown()
{
    Relayout();
    TopLine = std::min(TopLine + FVisibleLines, Strings->Count() - 1);
    UpdateDisplay(false, true);
}

void TScrollEditor::ScrollToLine(std::int64_t N)
{
    TopLine = std::clamp<std::int64_t>(N, 0, Strings->Count() - 1);
    UpdateDisplay(false, true);
}

void TScrollEditor::ScrollVert(TScrollCode Code, std::int64_t& Pos)
{
    switch (Code) {
    case scLineUp: ScrollLineUp(); break;
    case scLineDown: ScrollLineDown(); break;
    case scPageUp: ScrollPageUp(); break;
    case scPageDown: ScrollPageDown(); break;
    case scTrack: ScrollToLine(Pos); break;
    default: break;
    }
    Pos = TopLine;
}

void TScrollEditor::DoVertChange()
{
    TScrollBarWindow::DoVertChange();
    ScrollToLine(VertScrollBar->Position());
}

void TScrollEditor::DoHorzScroll(TScrollCode Code, std::int64_t& ScrollPos)
{
    TScrollBarWindow::DoHorzScroll(Code, ScrollPos);
    switch (Code) {
    case scLineUp: LeftColumn = std::max<std::int64_t>(LeftColumn - 1, 0); break;
    case scLineDown: ++LeftColumn; break;
    // A page is 36 columns, not the bar's large change of 40.
    case scPageUp: LeftColumn = std::max<std::int64_t>(LeftColumn - 36, 0); break;
    case scPageDown: LeftColumn = std::min(LeftColumn + 36, HorzScrollBar->Max()); break;
    case scTrack: LeftColumn = std::max<std::int64_t>(ScrollPos, 0); break;
    default: return;
    }
    UpdateDisplay(false, true);
    // The bar shows the column the view really starts at.
    ScrollPos = LeftColumn;
}

void TScrollEditor::SetScale(double S)
{
    if (!std::isfinite(S))
        return;
    // Tenths, from 1.0 up to a factor of 100.
    const auto Tenths = std::clamp<std::int64_t>(std::llround(S * 10.0), 10, 1000);
    if (Tenths == FScaleTenths)
        return;
    FScaleTenths = Tenths;
    Relayout();
    viewport()->update();
    RecreateCaret();
    if (OnScaleChange)
        OnScaleChange(Scale());
}

void TScrollEditor::wheelEvent(QWheelEvent* Event)
{
    // Touchpads send fractions of a notch; they add up to whole notches of 120.
    FWheelRemainder += Event->angleDelta().y();
    const bool Ctrl = Event->modifiers().testFlag(Qt::ControlModifier);
    const QPoint At = Event->position().toPoint();
    while (FWheelRemainder >= 120 || FWheelRemainder <= -120) {
        const bool Up = FWheelRemainder > 0;
        FWheelRemainder += Up ? -120 : 120;
        bool Handled = false;
        if (Up ? static_cast<bool>(OnMouseWheelUp) : static_cast<bool>(OnMouseWheelDown))
            (Up ? OnMouseWheelUp : OnMouseWheelDown)(this, Event->modifiers(), At, Handled);
        if (Ctrl) {
            SetScale(static_cast<double>(FScaleTenths + (Up ? 1 : -1)) / 10.0);
        } else {
            std::int64_t Pos = TopLine;
            ScrollVert(Up ? scLineUp : scLineDown, Pos);
        }
    }
    Event->accept();
}

void TScrollEditor::resizeEvent(QResizeEvent* Event)
{
    TScrollBarWindow::resizeEvent(Event);
    Relayout();
    SetScrollRanges(LongestVisibleLine());
}

void TScrollEditor::changeEvent(QEvent* Event)
{
    TScrollBarWindow::changeEvent(Event);
    if (Event->type() == QEvent::FontChange) {
        MeasureCell();
        Relayout();
        RecreateCaret();
        viewport()->update();
    }
}

void TScrollEditor::RedrawFound()
{
    // The view follows the found match column by column, so that it lands where
    // the eye expects it rather than a jump of whole screens.
    const bool Saved = FLinearHScroll;
    FLinearHScroll = true;
    UpdateDisplay(true, true);
    FLinearHScroll = Saved;
}

}  // namespace narvo
