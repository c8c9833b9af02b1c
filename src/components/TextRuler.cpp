// The column ruler: tick painting, the three margin markers and their drags.
#include "components/TextRuler.h"

#include "platform/Canvas.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>

namespace narvo {


namespace {

// Real pixel and column values are taken to the nearest integer with halves to
// even. Far-off pixels are clamped first, so that no conversion overflows.
int RoundHalfEven(double Value)
{
    return int(std::nearbyint(std::clamp(Value, -1.0e9, 1.0e9)));
}

// A column computed in 64 bits, kept within the int range: margins and the start
// column may be anything up to the int limits, and a sum or a step beyond them
// must stop at the limit rather than wrap.
int ClampedColumn(std::int64_t C) { return int(std::clamp<std::int64_t>(C, INT_MIN, INT_MAX)); }

// The same for a real column, rounded halves to even.
int RoundColumn(double C) { return int(std::nearbyint(std::clamp(C, double(INT_MIN), double(INT_MAX)))); }

// A line from A to B without its end point, as a pen moved from A to B draws it,
// so that the ends of ticks and marker edges fall on the same pixels everywhere.
void LineSegment(QPainter& Canvas, QPoint A, QPoint B)
{
    int x = A.x(), y = A.y();
    const int dx = std::abs(B.x() - x), dy = -std::abs(B.y() - y);
    const int sx = x < B.x() ? 1 : -1, sy = y < B.y() ? 1 : -1;
    int err = dx + dy;
    while (x != B.x() || y != B.y()) {
        Canvas.drawPoint(x, y);
        const int e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

void PolyLine(QPainter& Canvas, std::initializer_list<QPoint> Points)
{
    const QPoint* prev = nullptr;
    for (const QPoint& p : Points) {
        if (prev)
            LineSegment(Canvas, *prev, p);
        prev = &p;
    }
}

// A filled polygon with a one-pixel outline, non-antialiased.
void Polygon(QPainter& Canvas, std::initializer_list<QPoint> Points, const QColor& Fill, const QColor& Outline)
{
    Canvas.setPen(QPen(Outline, 0));
    Canvas.setBrush(Fill);
    Canvas.drawPolygon(QPolygon(QList<QPoint>(Points)));
    Canvas.setBrush(Qt::NoBrush);
}

// The painting walks at most this many columns: a ruler shows a screen's width
// of them, and a tiny scale would otherwise put thousands on each pixel.
constexpr int MaxPaintedColumns = 100000;

} // namespace

TTextRuler::TTextRuler(QWidget* Parent)
    : TCustomPanel(Parent)
{
    SetPreferredSize(185, 17);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TTextRuler::SetStart(int Value)
{
    if (Value != FStart) {
        FStart = Value;
        update();
    }
}

void TTextRuler::SetSpacing(int Value)
{
    if (Value >= 1 && Value != FSpacing) {
        FSpacing = Value;
        update();
    }
}

void TTextRuler::SetGutter(int Value)
{
    if (Value != FGutter) {
        FGutter = Value;
        update();
    }
}

void TTextRuler::SetMarker1(int Value)
{
    if (Value != FMarker1) {
        FMarker1 = Value;
        update();
    }
}

void TTextRuler::SetMarker2(int Value)
{
    if (Value != FMarker2) {
        FMarker2 = Value;
        update();
    }
}

void TTextRuler::SetMarker3(int Value)
{
    if (Value != FMarker3) {
        FMarker3 = Value;
        update();
    }
}

void TTextRuler::SetLineColor(TColor Value)
{
    if (Value != FLineColor) {
        FLineColor = Value;
        update();
    }
}

void TTextRuler::SetShowNumbers(bool Value)
{
    if (Value != FShowNumbers) {
        FShowNumbers = Value;
        update();
    }
}

void TTextRuler::SetScale(double Value)
{
    // A zoom of zero or less would put every column on one pixel and the painting
    // loop would never reach the right edge.
    if (!std::isfinite(Value) || Value <= 0.0)
        return;
    if (Value != FScale) {
        FScale = Value;
        update();
    }
}

int TTextRuler::ColumnX(std::int64_t C) const
{
    const std::int64_t X = std::int64_t(RoundHalfEven((double(C) - FStart) * FSpacing * FScale)) + FrameSize() + FGutter;
    return int(std::clamp<std::int64_t>(X, INT_MIN, INT_MAX));
}

int TTextRuler::ColumnAt(int X) const
{
    const double offset = double(X) - FrameSize() - FGutter;
    return RoundColumn(offset / (FSpacing * FScale) + FStart);
}

int TTextRuler::LastColumn() const
{
    const int limit = width() - FrameSize();
    const double pitch = FSpacing * FScale;
    // Kept one below the int limit, so that a marker pushed one column further by
    // a drag still fits.
    std::int64_t last = std::min<std::int64_t>(
        RoundColumn(std::floor((double(limit) - FrameSize() - FGutter) / pitch) + FStart), INT_MAX - 1);
    // Rounding of the tick positions may put the estimate a column off.
    for (int k = 0; k < 4 && last > FStart && ColumnX(last) >= limit; ++k)
        --last;
    for (int k = 0; k < 4 && last < INT_MAX - 1 && ColumnX(last + 1) < limit; ++k)
        ++last;
    return ClampedColumn(std::max(last, std::min<std::int64_t>(std::int64_t(FStart) + 1, INT_MAX - 1)));
}

QRect TTextRuler::BottomMarkerRect(int Column) const
{
    const int x = ColumnX(Column);
    const int bottom = height() - FrameSize() - 1;
    return QRect(QPoint(x - 4, bottom - 8), QPoint(x + 4 - 1, bottom - 1));
}

QRect TTextRuler::TopMarkerRect(int Column) const
{
    const int x = ColumnX(Column);
    const int top = FrameSize();
    return QRect(QPoint(x - 4, top), QPoint(x + 4 - 1, top + 7 - 1));
}

int TTextRuler::HitTest(int X, int Y) const
{
    const QPoint p(X, Y);
    if (BottomMarkerRect(FMarker1).contains(p))
        return 1;
    if (BottomMarkerRect(FMarker2).contains(p))
        return 2;
    if (TopMarkerRect(FMarker3).contains(p))
        return 3;
    return 0;
}

int TTextRuler::ClampColumn(int C) const
{
    return std::min(std::max(C, FStart), LastColumn());
}

void TTextRuler::DragMarker1(int C)
{
    if (C == FMarker1)
        return;
    const int last = LastColumn();
    FMarker1 = ClampColumn(C);
    if (FMarker1 >= FMarker2) {
        // FMarker1 is at most LastColumn, which stays below the int limit.
        FMarker2 = FMarker1 + 1;
        if (FMarker2 > last) {
            FMarker2 = last;
            FMarker1 = last - 1;
        }
    }
    if (FMarker1 > FMarker3)
        FMarker3 = std::min(FMarker1, last);
    update();
}

void TTextRuler::DragMarker2(int C)
{
    if (C == FMarker2)
        return;
    FMarker2 = ClampColumn(C);
    if (FMarker2 <= FMarker1) {
        if (std::int64_t(FMarker2) - 1 < FStart) {
            FMarker1 = FStart;
            FMarker2 = ClampedColumn(std::int64_t(FStart) + 1);
        } else {
            FMarker1 = FMarker2 - 1;
        }
    }
    update();
}

void TTextRuler::DragMarker3(int C)
{
    if (C == FMarker3)
        return;
    FMarker3 = ClampColumn(C);
    if (FMarker3 < FMarker1)
        FMarker1 = std::max(FMarker3, FStart);
    update();
}

void TTextRuler::DrawBottomMarker(QPainter& Canvas, int Column) const
{
    const int x = ColumnX(Column);
    const int left = x - 4, right = x + 4;
    const int bottom = height() - FrameSize() - 1, top = bottom - 8, s = bottom - 4;
    Polygon(Canvas, {{x, top}, {left, s}, {left, bottom}, {right, bottom}, {right, s}}, ToQColor(clSilver),
            ToQColor(clBlack));
    Canvas.setPen(ToQColor(clWhite));
    PolyLine(Canvas, {{x, top + 1}, {left + 1, s}, {left + 1, bottom - 1}});
    Canvas.setPen(ToQColor(clGray));
    PolyLine(Canvas, {{x, top + 1}, {right - 1, s}, {right - 1, bottom - 1}, {left, bottom - 1}});
}

void TTextRuler::DrawTopMarker(QPainter& Canvas, int Column) const
{
    const int x = ColumnX(Column);
    const int left = x - 4, right = x + 4;
    const int top = FrameSize(), bottom = top + 7, s = top + 3;
    Polygon(Canvas, {{x, bottom}, {left, s}, {left, top}, {right, top}, {right, s}}, ToQColor(clSilver),
            ToQColor(clBlack));
    Canvas.setPen(ToQColor(clWhite));
    PolyLine(Canvas, {{left + 1, s}, {left + 1, top + 1}, {right - 1, top + 1}});
    Canvas.setPen(ToQColor(clGray));
    PolyLine(Canvas, {{left + 1, s}, {x, bottom - 1}, {right - 1, s}, {right - 1, top + 1}});
}

void TTextRuler::Paint(QPainter& Canvas)
{
    TCustomPanel::Paint(Canvas);
    Canvas.setRenderHint(QPainter::Antialiasing, false);

    const int b = FrameSize();
    const int w = width(), h = height();
    const int inner = h - 2 * b;
    const int half = inner / 2, third = inner / 3, quarter = inner / 4;
    const QColor panelColor = ToQColor(Color());
    const QColor lineColor = ToQColor(FLineColor);

    const QRect client(QPoint(2 * b, 2 * b), QPoint(w - 2 * b - 1, h - 2 * b - 1));
    if (client.isValid())
        Canvas.fillRect(client, panelColor);

    Canvas.setPen(lineColor);
    Canvas.setFont(font());
    const QFontMetrics metrics = Canvas.fontMetrics();
    const int cursorWidth = RoundHalfEven(FSpacing * FScale);

    for (int i = 0; i < MaxPaintedColumns; ++i) {
        const std::int64_t c = std::int64_t(FStart) + i;
        const int x = ColumnX(c);
        if (x >= w - b)
            break;
        if (c % 10 == 0) {
            LineSegment(Canvas, {x, b}, {x, h - b});
            if (FShowNumbers) {
                const QString number = QString::number(c);
                const int top = (h - b - metrics.height()) / 2;
                Canvas.drawText(QPoint(x - metrics.horizontalAdvance(number) / 2, top + metrics.ascent()), number);
            }
        } else if (c % 5 == 0) {
            LineSegment(Canvas, {x, quarter + b}, {x, quarter + half + b});
        } else if (i == 1 || ((c - 1) % 10 != 0 && (c + 1) % 10 != 0)) {
            // The short ticks beside a numbered column are left out so the number
            // has room, except at the second position.
            LineSegment(Canvas, {x, third + b}, {x, 2 * third + b});
        }
        if (c == CursorColumn && cursorWidth > 0 && third > 0) {
            Canvas.setPen(QPen(lineColor, 0));
            Canvas.setBrush(ToQColor(clRed));
            // A stroked QRect covers width + 1 pixels: this box spans x to
            // x + cursorWidth - 1 and the rows from third + b to 2 * third + b - 1.
            Canvas.drawRect(QRect(x, third + b, cursorWidth - 1, third - 1));
            Canvas.setBrush(Qt::NoBrush);
        }
    }

    if (FStart < 500) {
        // A marker far off either edge is not drawn: its shape would lie wholly
        // outside, at coordinates the painting need not be given.
        const auto Shown = [&](int Column) {
            const int x = ColumnX(Column);
            return x > -8 && x < w + 8;
        };
        if (Shown(FMarker1))
            DrawBottomMarker(Canvas, FMarker1);
        if (Shown(FMarker2))
            DrawBottomMarker(Canvas, FMarker2);
        if (Shown(FMarker3))
            DrawTopMarker(Canvas, FMarker3);
    }
}

void TTextRuler::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    TCustomPanel::MouseDown(Button, Shift, X, Y);
    FDragMarker = HitTest(X, Y);
}

void TTextRuler::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y)
{
    TCustomPanel::MouseMove(Shift, X, Y);
    switch (FDragMarker) {
    case 1: DragMarker1(ColumnAt(X)); break;
    case 2: DragMarker2(ColumnAt(X)); break;
    case 3: DragMarker3(ColumnAt(X)); break;
    default: break;
    }
}

void TTextRuler::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    TCustomPanel::MouseUp(Button, Shift, X, Y);
    if (FDragMarker > 0 && OnMarkerChange)
        OnMarkerChange(this);
    FDragMarker = 0;
}

} // namespace narvo
